#include "reward/PerformanceVariableWorker.h"

#include <cstdlib>
#include <iostream>

#include "base/Allocate.h"
#include "base/OwnedString.h"
#include "reward/RewardStrings.h"

PerformanceVariableWorker::PerformanceVariableWorker(int numModelSlots) {
  VELMOR_ASSERT(numModelSlots >= 0, "PerformanceVariableWorker");
  NumModelSlots = numModelSlots;
  if (numModelSlots > 0) {
    SlotTargets = AllocateZeroedArray<void*>(numModelSlots);
    SlotSetters = AllocateZeroedArray<SlotSetter>(numModelSlots);
  }
}

PerformanceVariableWorker::~PerformanceVariableWorker() {
  ReleaseOwnedString(Name);
  delete[] SlotTargets;
  delete[] SlotSetters;
}

void PerformanceVariableWorker::CurrentReward() {
  std::cerr << "!! Calling PerformanceVariableWorker::CurrentReward()" << std::endl;
}

void PerformanceVariableWorker::Reset() {
  Value = 0.0;
  SquaredValue = 0.0;
}

void PerformanceVariableWorker::DefineName(const char* name, int index) {
  char* copy = CopyOwnedString(name);
  ReleaseOwnedString(Name);
  Name = copy;
  WorkerIndex = index;
}

void PerformanceVariableWorker::SetModelSlot(int slot, BaseModelClass* model) {
  VELMOR_ASSERT(slot >= 0 && slot < NumModelSlots, "PerformanceVariableWorker");
  if (SlotSetters[slot] == nullptr) return;
  bool stored = SlotSetters[slot](SlotTargets[slot], model);
  VELMOR_ASSERT_MSG(stored, "model of the bound type", "PerformanceVariableWorker");
}

#include "reward/ImpulseNodeClass.h"

#include <cstdlib>

#include "base/Allocate.h"
#include "base/OwnedString.h"
#include "reward/RewardStrings.h"

ImpulseNodeClass::ImpulseNodeClass(int numModelSlots) {
  VELMOR_ASSERT(numModelSlots >= 0, "ImpulseNodeClass");
  NumModelSlots = numModelSlots;
  if (numModelSlots > 0) {
    SlotTargets = AllocateZeroedArray<void*>(numModelSlots);
    SlotSetters = AllocateZeroedArray<SlotSetter>(numModelSlots);
  }
}

ImpulseNodeClass::~ImpulseNodeClass() {
  ReleaseOwnedString(Name);
  delete[] SlotTargets;
  delete[] SlotSetters;
}

void ImpulseNodeClass::Reset() {
  Value = 0.0;
  SquaredValue = 0.0;
}

void ImpulseNodeClass::DefineName(const char* name, int impulseIndex, int workerIndex) {
  char* copy = CopyOwnedString(name);
  ReleaseOwnedString(Name);
  Name = copy;
  ImpulseIndex = impulseIndex;
  WorkerIndex = workerIndex;
}

void ImpulseNodeClass::SetModelSlot(int slot, BaseModelClass* model) {
  VELMOR_ASSERT(slot >= 0 && slot < NumModelSlots, "ImpulseNodeClass");
  if (SlotSetters[slot] == nullptr) return;
  bool stored = SlotSetters[slot](SlotTargets[slot], model);
  VELMOR_ASSERT_MSG(stored, "model of the bound type", "ImpulseNodeClass");
}

// Join: setup, the action-name table, and the side-by-side state layout.
#include "composer/Join.h"

#include <cstring>
#include <new>

#include "base/Allocate.h"
#include "base/Assert.h"
#include "base/ErrorReports.h"
#include "framework/BaseActionClass.h"

Join::Join(const char* modelName, int numChildren, int numShared, char** sharedNames)
    : BaseComposerClass(modelName, numChildren, numShared, sharedNames),
      ActionNames(nullptr),
      ActionNameCounts(nullptr),
      ChildStateSizes(nullptr),
      ActionNameTableSize(0) {}

Join::~Join() {
  delete[] ActionNames;
  delete[] ActionNameCounts;
  delete[] ChildStateSizes;
}

void Join::Setup() {
  GeneralSetup();
  delete[] ChildStateSizes;
  ChildStateSizes = AllocateZeroedArray<int>(NumChildren);
  RecordChildStateSizes();

  int distinct = 0;
  for (int a = 0; a < numActions; a++) {
    bool seen = false;
    for (int b = 0; b < a && !seen; b++) {
      seen = std::strcmp(actions[a]->getName(), actions[b]->getName()) == 0;
    }
    if (!seen) distinct++;
  }
  ActionNameTableSize = 4 * distinct;
  delete[] ActionNames;
  delete[] ActionNameCounts;
  ActionNames = AllocateZeroedArray<const char*>(ActionNameTableSize);
  ActionNameCounts = AllocateZeroedArray<int>(ActionNameTableSize);
  HashActions();
}

void Join::RecordChildStateSizes() {
  for (int c = 0; c < NumChildren; c++) ChildStateSizes[c] = Children[c]->StateSize();
}

void Join::RefreshStateLayout() {
  if (ChildStateSizes == nullptr) return;  // before Setup: nothing recorded
  RefreshChildLayouts();
  RecordChildStateSizes();
}

int Join::ProbeSlot(int h, int k) const {
  long long step = (k + 1) / 2;
  long long offset = (k % 2 == 1) ? step * step : -step * step;
  long long slot = (h + offset) % ActionNameTableSize;
  return static_cast<int>(slot < 0 ? slot + ActionNameTableSize : slot);
}

void Join::HashActions() {
  for (int a = 0; a < numActions; a++) {
    const char* actionName = actions[a]->getName();
    int h = Hash(actionName, ActionNameTableSize);
    // The table is at most a quarter full, so probing ends long before
    // this bound; the linear pass after it only guards the impossible case.
    int maxProbes = 2 * ActionNameTableSize + 1;
    int slot = -1;
    for (int k = 0; k < maxProbes + ActionNameTableSize; k++) {
      int s = k < maxProbes ? ProbeSlot(h, k) : k - maxProbes;
      if (ActionNames[s] == nullptr || std::strcmp(ActionNames[s], actionName) == 0) {
        slot = s;
        break;
      }
    }
    VELMOR_ASSERT(slot != -1, "Join");
    if (ActionNames[slot] == nullptr) {
      ActionNames[slot] = actionName;
      ActionNameCounts[slot] = 1;
    } else {
      ActionNameCounts[slot]++;
    }
  }
}

int Join::NumActionsNamed(const char* actionName) const {
  if (ActionNameTableSize < 1) return 0;
  int h = Hash(actionName, ActionNameTableSize);
  int maxProbes = 2 * ActionNameTableSize + 1;
  for (int k = 0; k < maxProbes + ActionNameTableSize; k++) {
    int s = k < maxProbes ? ProbeSlot(h, k) : k - maxProbes;
    if (ActionNames[s] == nullptr) {
      if (k < maxProbes) return 0;
      continue;
    }
    if (std::strcmp(ActionNames[s], actionName) == 0) return ActionNameCounts[s];
  }
  return 0;
}

BaseModelClass* Join::GetChild(int i) {
  VELMOR_ASSERT_MSG(i < GetNumberOfChildren(), "i < GetNumberOfChildren()", "Join");
  VELMOR_ASSERT(i >= 0, "Join");
  return Children[i];
}

void Join::GetLocalActions(slist&) { VELMOR_ASSERT_MSG(false, "false", "Join"); }

void Join::GetGlobalActions(slist&) { VELMOR_ASSERT_MSG(false, "false", "Join"); }

int Join::StateSize() {
  int size = 0;
  for (int c = 0; c < NumChildren; c++) size += Children[c]->StateSize();
  return size + SharedStateSize();
}

void Join::CurrentState(void* location) {
  char* position = static_cast<char*>(location);
  for (int c = 0; c < NumChildren; c++) {
    Children[c]->CurrentState(position);
    position += ChildStateSizes[c];
  }
  CurrentSharedState(position);
}

void Join::SetState(void* location) {
  char* position = static_cast<char*>(location);
  for (int c = 0; c < NumChildren; c++) {
    Children[c]->SetState(position);
    position += ChildStateSizes[c];
  }
  SetSharedState(position);
}

void Join::ConstructLocalState(State*& state) { state = Allocate<LocalState>(this); }

void Join::DestructLocalState(State* state) { delete state; }

void Join::GetLocalState(State* state) { state->GetState(this); }

void Join::SetLocalState(const State* state) { const_cast<State*>(state)->SetState(this); }

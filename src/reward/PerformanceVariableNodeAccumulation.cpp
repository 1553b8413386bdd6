// PerformanceVariableNode: accumulation over a window, completion and reset.
// Accumulate and CommonAccumulate run once per event: they allocate nothing.
#include "base/FastSet.h"
#include "framework/BaseActionClass.h"
#include "framework/BaseGroupClass.h"
#include "reward/PerformanceVariableNode.h"

namespace {

// Membership in a set that may already be frozen into its sorted array.
bool SetHolds(const FastSet& set, int value) {
  if (!set.isFrozen()) return set.find(value);
  int low = 0;
  int high = set.size() - 1;
  while (low <= high) {
    int mid = low + (high - low) / 2;
    if (set[mid] == value) return true;
    if (set[mid] < value) {
      low = mid + 1;
    } else {
      high = mid - 1;
    }
  }
  return false;
}

// The members of a synchronising composite, or null when it has none.
BaseGroupClass* SyncMembers(BaseActionClass* action) {
  if (!action->isSync()) return nullptr;
  return dynamic_cast<BaseGroupClass*>(action);
}

}  // namespace

void PerformanceVariableNode::Accumulate(double now, double lastChange, BaseActionClass* action) {
  if (State == 2 || now < StartTime) return;
  CommonAccumulate(now, lastChange, action);
  if (now > StopTime) {
    State = 2;
    TotalAccumulation();
  } else {
    State = 1;
  }
}

void PerformanceVariableNode::CommonAccumulate(double now, double lastChange,
                                               BaseActionClass* action) {
  double sum = 0.0;
  for (int i = 0; i < NumberOfWorkers; i++) {
    Workers[i]->Accumulate(now, lastChange);
    sum += Workers[i]->Value;
  }
  if (Type != InstantOfTimeReward && NumberOfWorkers > 0) {
    double weight = Workers[0]->Weight;
    Value += sum * weight;
    SquaredValue += weight * sum * sum;
  }
  CommonImpulseAccumulate(now, lastChange, action);
}

// Only the impulse step is repeated for the members of a synchronising
// composite: the rate reward of the interval is counted once.
void PerformanceVariableNode::CommonImpulseAccumulate(double now, double lastChange,
                                                      BaseActionClass* action) {
  auto step = [now, lastChange](ImpulseNodeClass* worker) { worker->Accumulate(now, lastChange); };
  ForEachEarnedImpulseWorker(action, step);
}

// The action's own table first, then each member's, in member order.
template <typename Visit>
void PerformanceVariableNode::ForEachEarnedImpulseWorker(BaseActionClass* action, Visit& visit) {
  if (NumImpulses == 0 || !ImpulseAffectedBy(action)) return;
  if (action->IsPVImpulseDSAllocated() && Id < action->numImpulseTables) {
    const FastSet& impulses = action->impulseSets[Id];
    for (int k = 0; k < impulses.size(); k++) {
      int impulse = impulses[k];
      const int* workers = action->impulseWorkers[Id][impulse];
      int count = action->impulseWorkerCounts[Id][impulse];
      for (int m = 0; m < count; m++) visit(ImpulseWorkers[impulse][workers[m]]);
    }
  }
  BaseGroupClass* group = SyncMembers(action);
  for (int m = 0; group != nullptr && m < group->getNumMembers(); m++) {
    ForEachEarnedImpulseWorker(group->getMember(m), visit);
  }
}

void PerformanceVariableNode::TotalAccumulation() {
  if (Type == InstantOfTimeReward && NumberOfWorkers > 0) {
    double sum = 0.0;
    for (int i = 0; i < NumberOfWorkers; i++) sum += Workers[i]->Value;
    double weight = Workers[0]->Weight;
    Value += sum * weight;
    SquaredValue += weight * sum * sum;
  }
  ImpulseValue = 0.0;
  ImpulseSquaredValue = 0.0;
  for (int i = 0; i < NumImpulses; i++) {
    for (int k = 0; k < NumImpulseWorkers[i]; k++) {
      double value = ImpulseWorkers[i][k]->Value;
      ImpulseValue += value;
      ImpulseSquaredValue += value * value;
    }
  }
  Value += ImpulseValue;
  SquaredValue += ImpulseSquaredValue;
}

// Completes a window at the end of a terminating run. The margin of 1.0
// completes a window whose stop time equals the run end.
void PerformanceVariableNode::EndAccumulate(double end, double lastChange,
                                            BaseActionClass* action) {
  if (State == 2) return;
  CommonAccumulate(end, lastChange, action);
  for (int i = 0; i < NumImpulses; i++) {
    for (int k = 0; k < NumImpulseWorkers[i]; k++) ImpulseWorkers[i][k]->EndAccumulate(end);
  }
  if (end + 1.0 > StopTime) {
    State = 2;
    TotalAccumulation();
  } else {
    State = 1;
  }
}

void PerformanceVariableNode::UpdateAccumulate(double now) {
  if (now > StopTime) {
    State = 2;
    TotalAccumulation();
  } else {
    State = 1;
  }
}

void PerformanceVariableNode::CurrentReward(BaseActionClass* action) {
  Value = 0.0;
  SquaredValue = 0.0;
  for (int i = 0; i < NumberOfWorkers; i++) {
    Workers[i]->CurrentReward();
    Value += Workers[i]->Value;
    SquaredValue += Workers[i]->SquaredValue;
  }
  ImpulseValue = 0.0;
  ImpulseSquaredValue = 0.0;
  CurrentImpulse(action);
}

void PerformanceVariableNode::CurrentImpulse(BaseActionClass* action) {
  auto read = [this](ImpulseNodeClass* worker) {
    worker->CurrentImpulse();
    ImpulseValue += worker->Value;
    ImpulseSquaredValue += worker->SquaredValue;
  };
  ForEachEarnedImpulseWorker(action, read);
}

bool PerformanceVariableNode::ImpulseAffectedBy(BaseActionClass* action) const {
  if (action == nullptr) return false;
  if (SetHolds(action->AffectedNodesByImpulseReward, Id)) return true;
  BaseGroupClass* group = SyncMembers(action);
  for (int m = 0; group != nullptr && m < group->getNumMembers(); m++) {
    if (ImpulseAffectedBy(group->getMember(m))) return true;
  }
  return false;
}

void PerformanceVariableNode::Reset() {
  Value = 0.0;
  SquaredValue = 0.0;
  ImpulseValue = 0.0;
  ImpulseSquaredValue = 0.0;
  State = 0;
  for (int i = 0; i < NumberOfWorkers; i++) Workers[i]->Reset();
  for (int i = 0; i < NumImpulses; i++) {
    for (int k = 0; k < NumImpulseWorkers[i]; k++) ImpulseWorkers[i][k]->ResetImpulse();
  }
  if (SteadyState == 1) SlideWindow();
}

// Batch means: the next window starts where this one stopped. The workers
// follow, since their time checks read their own copy of the window.
void PerformanceVariableNode::SlideWindow() {
  StartTime = StopTime;
  StopTime = StartTime + WindowLength;
  CopyWindowToWorkers();
}

void PerformanceVariableNode::CopyWindowToWorkers() {
  for (int i = 0; i < NumberOfWorkers; i++) {
    Workers[i]->StartTime = StartTime;
    Workers[i]->StopTime = StopTime;
  }
  for (int i = 0; i < NumImpulses; i++) {
    for (int k = 0; k < NumImpulseWorkers[i]; k++) {
      ImpulseWorkers[i][k]->StartTime = StartTime;
      ImpulseWorkers[i][k]->StopTime = StopTime;
    }
  }
}

// ImpulseReward: the accumulation of an impulse reward (a value earned when
// an activity completes) for each kind of reward variable; the generated
// impulse classes derive from it. Part of the model kit. Simulation thread
// only.
#ifndef VELMOR_MODELKIT_IMPULSEREWARD_H
#define VELMOR_MODELKIT_IMPULSEREWARD_H

#include "base/Allocate.h"
#include "framework/BaseActionClass.h"
#include "framework/BaseModelClass.h"
#include "reward/ImpulseNodeClass.h"
#include "reward/PVModel.h"
#include "study/BaseStudyClass.h"

// One impulse worker. The reward node visits a worker at the first
// accumulation step after its action completed (lastChange is the
// completion time, the marking is the one the completion left), so
// Impulse_Function reads the marking just after the completion.
//  - interval, average, steady: every completion in [StartTime, StopTime]
//    adds its value (divided by the window length for an average). A batch
//    closes before the completions at its boundary fire, so they count in
//    the next batch only;
//  - instant: the value of the completion that was the model's last one at
//    or before the time point, when it was this worker's action, else 0.
// Does not own the models or the action (the derived class reaches them
// through its model slots).
class ImpulseReward : public ImpulseNodeClass {
 public:
  enum Kind { kInstant, kInterval, kAverage, kSteady };

  ImpulseReward(int numModelSlots, Kind kind) : ImpulseNodeClass(numModelSlots), kind_(kind) {}

  // The action whose completion earns the impulse, in this worker's
  // instance. REQUIRES: the model slots are set.
  virtual BaseActionClass* EarningAction() = 0;

  void Accumulate(double now, double lastChange) override {
    if (lastChange > StopTime) return;
    if (kind_ == kInstant) {
      // A later step at or before the time point means a later completion.
      Value = now > StopTime ? Impulse_Function() : 0.0;
    } else {
      if (lastChange < StartTime) return;
      double earned = Impulse_Function();
      if (kind_ == kAverage) earned /= StopTime - StartTime;
      Value += earned;
    }
    SquaredValue = Value * Value;
  }

  // The run ends before any step beyond the time point: the last completion
  // is the reward model's last action.
  void EndAccumulate(double) override {
    if (kind_ != kInstant) return;
    const PVModel* pv = GlobalStudyPtr != nullptr ? GlobalStudyPtr->CurrentPVModel() : nullptr;
    bool mine = pv != nullptr && pv->getLastAction() == EarningAction() &&
                BaseModelClass::LastActionTime <= StopTime;
    Value = mine ? Impulse_Function() : 0.0;
    SquaredValue = Value * Value;
  }

  void CurrentImpulse() override {
    Value = Impulse_Function();
    SquaredValue = Value * Value;
  }
  void ResetImpulse() override { Reset(); }

 private:
  Kind kind_;
};

// A new array of n new impulse workers of class W (the node owns both).
template <class W>
ImpulseNodeClass** NewImpulseWorkers(int n) {
  ImpulseNodeClass** workers = AllocateArray<ImpulseNodeClass*>(n);
  for (int i = 0; i < n; i++) workers[i] = Allocate<W>();
  return workers;
}

#endif  // VELMOR_MODELKIT_IMPULSEREWARD_H

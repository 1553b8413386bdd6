// IntervalOfTime: the worker of an accumulating reward variable, which
// integrates its reward function over the variable's window. Not
// thread-safe.
#ifndef VELMOR_REWARD_INTERVALOFTIME_H
#define VELMOR_REWARD_INTERVALOFTIME_H

#include "reward/PerformanceVariableWorker.h"

// A step over [lastChange, now] sets Weight to the length of that interval
// inside [StartTime, StopTime] and Value to the reward function (the
// marking is constant between two firings), or both to 0 when the interval
// misses the window. The node adds Value x Weight at every step, so a
// completed window holds the time integral of the reward.
class IntervalOfTime : public PerformanceVariableWorker {
 public:
  explicit IntervalOfTime(int numModelSlots = 0) : PerformanceVariableWorker(numModelSlots) {}

  void Accumulate(double now, double lastChange) override;
  void CurrentReward() override;
};

#endif  // VELMOR_REWARD_INTERVALOFTIME_H

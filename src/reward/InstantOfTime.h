// InstantOfTime: the worker of an instant-of-time reward variable, which
// observes its reward function at one time point. Not thread-safe.
#ifndef VELMOR_REWARD_INSTANTOFTIME_H
#define VELMOR_REWARD_INSTANTOFTIME_H

#include "reward/PerformanceVariableWorker.h"

// A step at `now` with the last change at or before the worker's time point
// (StartTime) reads the reward function: the marking then is the marking at
// the time point. Any later step reads nothing (Value 0). Weight is always 1.
class InstantOfTime : public PerformanceVariableWorker {
 public:
  explicit InstantOfTime(int numModelSlots = 0) : PerformanceVariableWorker(numModelSlots) {}

  void Accumulate(double now, double lastChange) override;
  void CurrentReward() override;
};

#endif  // VELMOR_REWARD_INSTANTOFTIME_H

#include "reward/IntervalOfTime.h"

void IntervalOfTime::Accumulate(double now, double lastChange) {
  double from = lastChange > StartTime ? lastChange : StartTime;
  double to = now < StopTime ? now : StopTime;
  Weight = to > from ? to - from : 0.0;
  Value = Weight > 0.0 ? Reward_Function() : 0.0;
  SquaredValue = Value * Value;
}

void IntervalOfTime::CurrentReward() {
  Value = Reward_Function();
  SquaredValue = Value * Value;
}

#include "reward/InstantOfTime.h"

void InstantOfTime::Accumulate(double /*now*/, double lastChange) {
  Value = 0.0;
  SquaredValue = 0.0;
  Weight = 1.0;
  if (StartTime >= lastChange) {
    Value = Reward_Function();
    SquaredValue = Value * Value;
  }
}

void InstantOfTime::CurrentReward() {
  Value = Reward_Function();
  SquaredValue = Value * Value;
}

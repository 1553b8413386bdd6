// Tests of the worker classes.
#include <gtest/gtest.h>

#include "RewardTestNodes.h"

namespace {

// Reward 6.0; leaves CurrentReward to the base.
class PlainWorker : public PerformanceVariableWorker {
 public:
  double Reward_Function() override { return 6.0; }
  void Accumulate(double, double) override {}
};

class SixWorker : public InstantOfTime {
 public:
  double Reward_Function() override { return 6.0; }
};

using WorkerTest = RewardFixture;

TEST_F(WorkerTest, InstantOfTimeReadsOnlyWhenTheLastChangeIsNotAfterItsTimePoint) {
  SixWorker worker;
  worker.StartTime = worker.StopTime = 30.0;
  worker.Accumulate(45.0, 30.0);  // last change at the time point: read
  EXPECT_DOUBLE_EQ(worker.Value, 6.0);
  EXPECT_DOUBLE_EQ(worker.SquaredValue, 36.0);
  EXPECT_DOUBLE_EQ(worker.Weight, 1.0);
  worker.Accumulate(50.0, 45.0);  // changed after the time point: nothing
  EXPECT_DOUBLE_EQ(worker.Value, 0.0);
  EXPECT_DOUBLE_EQ(worker.SquaredValue, 0.0);
  EXPECT_DOUBLE_EQ(worker.Weight, 1.0);
  worker.CurrentReward();  // without time, always read
  EXPECT_DOUBLE_EQ(worker.Value, 6.0);
  worker.Reset();
  EXPECT_DOUBLE_EQ(worker.Value, 0.0);
}

TEST_F(WorkerTest, IntervalOfTimeWeighsTheOverlapWithItsWindow) {
  TokensWorker<IntervalOfTime> worker;
  CounterSAN counter("counter", 2);
  worker.SetModelSlot(0, &counter);
  worker.StartTime = 100.0;
  worker.StopTime = 200.0;
  worker.Accumulate(150.0, 80.0);  // overlap [100, 150]
  EXPECT_DOUBLE_EQ(worker.Weight, 50.0);
  EXPECT_DOUBLE_EQ(worker.Value, 2.0);
  worker.Accumulate(90.0, 80.0);  // before the window
  EXPECT_DOUBLE_EQ(worker.Weight, 0.0);
  EXPECT_DOUBLE_EQ(worker.Value, 0.0);
  worker.Accumulate(260.0, 190.0);  // overlap [190, 200]
  EXPECT_DOUBLE_EQ(worker.Weight, 10.0);
}

TEST_F(WorkerTest, TheBaseCurrentRewardOnlyComplains) {
  PlainWorker worker;
  worker.Value = 1.5;
  ::testing::internal::CaptureStderr();
  worker.CurrentReward();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "!! Calling PerformanceVariableWorker::CurrentReward()\n");
  EXPECT_DOUBLE_EQ(worker.Value, 1.5);
}

TEST_F(WorkerTest, ModelSlotsStoreTypedPointers) {
  TokensWorker<InstantOfTime> worker;
  CounterSAN counter;
  worker.SetModelSlot(0, &counter);
  EXPECT_EQ(worker.counter, &counter);
  worker.SetModelSlot(0, nullptr);
  EXPECT_EQ(worker.counter, nullptr);
  TestComposite notACounter("top", {});
  EXPECT_DEATH(worker.SetModelSlot(0, &notACounter),
               "Assertion failed: model of the bound type, file PerformanceVariableWorker");
}

}  // namespace

// Tests of the small reward classes: workers, model groups and name pairs.
#include <gtest/gtest.h>

#include <cstring>

#include "RewardTestNodes.h"
#include "reward/ActionModelPairClass.h"
#include "reward/ModelGroupClass.h"
#include "reward/VarModelPairClass.h"

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

TEST_F(WorkerTest, DefineNameCopiesTheName) {
  char name[] = "seu_events";
  PlainWorker worker;
  worker.DefineName(name, 3);
  name[0] = 'X';
  EXPECT_STREQ(worker.Name, "seu_events");
  EXPECT_EQ(worker.WorkerIndex, 3);
  EXPECT_EQ(worker.VariableId, -1);
}

TEST_F(WorkerTest, ModelGroupKnowsItsModels) {
  CounterSAN a;
  CounterSAN b;
  CounterSAN c;
  ModelGroupClass group;
  group.CreateModelList(2);
  group.SetModel(0, &a);
  group.SetModel(1, &b);
  EXPECT_TRUE(group.IsDependentOnModel(&a));
  EXPECT_TRUE(group.IsDependentOnModel(&b));
  EXPECT_FALSE(group.IsDependentOnModel(&c));
  EXPECT_EQ(group.GetNumModels(), 2);
}

TEST_F(WorkerTest, PairsOwnCopiesOfTheirNames) {
  char variable[] = "tokens";
  char model[] = "counter";
  VarModelPairClass pair;
  pair.SetPair(variable, model);
  ActionModelPairClass action;
  action.SetPair("add", model);
  model[0] = 'X';
  EXPECT_STREQ(pair.GetVariableName(), "tokens");
  EXPECT_STREQ(pair.GetModelName(), "counter");
  EXPECT_STREQ(action.GetActionName(), "add");
  EXPECT_STREQ(action.GetModelName(), "counter");
  action.SetPair("touch", "other");
  EXPECT_STREQ(action.GetActionName(), "touch");
}

TEST_F(WorkerTest, ImpulseNodeHelpers) {
  FiringImpulse impulse;
  impulse.Value = 4.0;
  impulse.SquaredValue = 16.0;
  impulse.Reset();
  EXPECT_DOUBLE_EQ(impulse.Value, 0.0);
  EXPECT_DOUBLE_EQ(impulse.SquaredValue, 0.0);
  impulse.DefineName("pv", 2, 5);
  EXPECT_STREQ(impulse.Name, "pv");
  EXPECT_EQ(impulse.ImpulseIndex, 2);
  EXPECT_EQ(impulse.WorkerIndex, 5);
  EXPECT_DOUBLE_EQ(ImpulseNodeClass::min(1.0, -2.0), -2.0);
  EXPECT_DOUBLE_EQ(ImpulseNodeClass::max(1.0, -2.0), 1.0);
}

}  // namespace

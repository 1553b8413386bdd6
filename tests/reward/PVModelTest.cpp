// Tests of the reward model: the node list, wiring to the actions, the
// considered nodes, firing, resets, destruction and rebuilding.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RewardTestNodes.h"

namespace {

// "reliability"-like variable: instant of time at 30, 180 and 365 (pv 0);
// any other pv is unknown.
TestPVModel::Factory ThreePoints(std::vector<std::string>* destroyed = nullptr) {
  return [destroyed](int pv, int window) -> PerformanceVariableNode* {
    if (pv != 0) return nullptr;
    InstantNode::Spec spec;
    spec.starts = spec.stops = {30.0, 180.0, 365.0};
    spec.destroyed = destroyed;
    return new InstantNode(spec, window);
  };
}

using PVModelTest = RewardFixture;

TEST_F(PVModelTest, ExpandGivesOneNodePerTimePoint) {
  TestPVModel single(new CounterSAN(), ThreePoints(), 1, false);
  ASSERT_EQ(single.getNumPVNodes(), 1);
  EXPECT_DOUBLE_EQ(single.getPVNode(0)->StopTime, 30.0);
  EXPECT_DOUBLE_EQ(single.getRunEnd(), 30.0);

  TestPVModel expanded(new CounterSAN(), ThreePoints(), 2, true);  // pv 1 is unknown
  ASSERT_EQ(expanded.getNumPVNodes(), 3);
  const double windows[] = {30.0, 180.0, 365.0};
  for (int i = 0; i < 3; i++) {
    EXPECT_EQ(expanded.getPVNode(i)->Id, i);
    EXPECT_DOUBLE_EQ(expanded.getPVNode(i)->StartTime, windows[i]);
  }
  EXPECT_DOUBLE_EQ(expanded.getRunEnd(), 365.0);
}

TEST_F(PVModelTest, WithoutNodesTheRunEndIsZeroAndEveryOperationIsHarmless) {
  CounterSAN* top = new CounterSAN();
  TestPVModel pv(top, ThreePoints(), 0, true);
  EXPECT_EQ(pv.getNumPVNodes(), 0);
  EXPECT_DOUBLE_EQ(pv.getRunEnd(), 0.0);
  pv.ConsiderOnly(nullptr, 0);
  pv.Accumulate(1.0);
  EXPECT_EQ(pv.FireAction(&top->add, 1.0), &top->add);
  pv.EndAccumulate(0.0);
  pv.PVReset();
  EXPECT_EQ(pv.getNumAffectingActions(), 0);
}

TEST_F(PVModelTest, TablesAreWiredOnlyToActionsThatChangeWhatIsRead) {
  CounterSAN* top = new CounterSAN();
  TestPVModel pv(top, ThreePoints(), 1, true);
  // add changes tokens, read by all three nodes.
  ASSERT_EQ(top->add.AffectedNodes.size(), 3);
  EXPECT_EQ(top->add.AffectedNodes[2], 2);
  EXPECT_EQ(top->add.AffectedNodesByRateReward.size(), 3);
  EXPECT_EQ(top->add.rateSets[1].size(), 1);
  // touch and noop change nothing read: empty, frozen tables.
  for (StepActivity* action : {&top->touch, &top->noop}) {
    ASSERT_TRUE(action->IsPVRateDSAllocated());
    ASSERT_TRUE(action->IsPVImpulseDSAllocated());
    EXPECT_EQ(action->rateSets[0].size(), 0);
    EXPECT_EQ(action->impulseSets[0].size(), 0);
    EXPECT_EQ(action->AffectedNodesByRateReward.size(), 0);
    EXPECT_FALSE(action->AffectedNodes.isFrozen());
  }
  ASSERT_EQ(pv.getNumAffectingActions(), 1);
  EXPECT_EQ(pv.getAffectingAction(0), &top->add);
  for (int i = 0; i < 3; i++) {
    ASSERT_EQ(pv.getPVNode(i)->NumAffectingActions, 1);
    EXPECT_EQ(pv.getPVNode(i)->AffectingActions[0], &top->add);
  }
  // The placeholder has empty frozen tables for every node.
  EXPECT_STREQ(pv.getNoActionFiredYet()->getName(), "No Action Fired Yet");
  EXPECT_EQ(pv.getNoActionFiredYet()->impulseSets[2].size(), 0);
  EXPECT_EQ(pv.getLastAction(), pv.getNoActionFiredYet());
}

TEST_F(PVModelTest, ConsiderOnlyAppendsInTheGivenOrder) {
  TestPVModel pv(new CounterSAN(), ThreePoints(), 1, true);
  const int chosen[] = {2, 0};
  pv.ConsiderOnly(chosen, 2);
  ASSERT_EQ(pv.getNumConsideredNodes(), 2);
  EXPECT_EQ(pv.getConsideredNode(0), pv.getPVNode(2));
  EXPECT_EQ(pv.getConsideredNode(1), pv.getPVNode(0));
  pv.ConsiderOnly(nullptr, 0);  // appends all, keeping the earlier entries
  ASSERT_EQ(pv.getNumConsideredNodes(), 5);
  EXPECT_EQ(pv.getConsideredNode(2), pv.getPVNode(0));
  pv.ConsiderOnly(nullptr, 0);
  EXPECT_EQ(pv.getNumConsideredNodes(), 8);
}

TEST_F(PVModelTest, FireActionRecordsTheTimeAndTheActionThatCompleted) {
  CounterSAN* top = new CounterSAN();
  TestPVModel pv(top, ThreePoints(), 1, false);
  top->touch.result = &top->noop;  // a group answering with its member
  EXPECT_EQ(pv.FireAction(&top->touch, 12.5), &top->noop);
  EXPECT_EQ(pv.getLastAction(), &top->noop);
  EXPECT_DOUBLE_EQ(BaseModelClass::LastActionTime, 12.5);
  EXPECT_EQ(top->touch.firings, 1);
  EXPECT_EQ(top->other.getMark(), 1);
}

TEST_F(PVModelTest, PVResetResetsStartedNodesOnly) {
  CounterSAN* top = new CounterSAN();
  TestPVModel pv(top, ThreePoints(), 1, true);
  PerformanceVariableNode* n0 = pv.getPVNode(0);
  PerformanceVariableNode* n1 = pv.getPVNode(1);
  PerformanceVariableNode* n2 = pv.getPVNode(2);
  n0->State = 0;
  n0->Value = 7.0;  // a node in state 0 is not touched
  n1->State = 1;
  n1->Value = 8.0;
  n2->State = 2;
  n2->Value = 9.0;
  pv.FireAction(&top->add, 3.0);
  pv.PVReset();
  EXPECT_DOUBLE_EQ(n0->Value, 7.0);
  EXPECT_EQ(n1->State, 0);
  EXPECT_DOUBLE_EQ(n1->Value, 0.0);
  EXPECT_EQ(n2->State, 0);
  EXPECT_DOUBLE_EQ(n2->Value, 0.0);
  EXPECT_EQ(pv.getLastAction(), pv.getNoActionFiredYet());
  EXPECT_DOUBLE_EQ(BaseModelClass::LastActionTime, 0.0);
}

// Nodes at 30, 180 and 365. After the pass at 31 only the later two are
// unfinished, so nothing can change before 180; but once PVReset has
// reopened the node at 30, a pass at 30.5 must complete it again (with
// the one token added at 10).
TEST_F(PVModelTest, AccumulateSkipsNodesOnlyWhileNoneCanChange) {
  CounterSAN* top = new CounterSAN();
  TestPVModel pv(top, ThreePoints(), 1, true);
  pv.ConsiderOnly(nullptr, 0);
  PerformanceVariableNode* at30 = pv.getPVNode(0);
  pv.Accumulate(10.0);
  pv.FireAction(&top->add, 10.0);
  pv.Accumulate(31.0);
  ASSERT_EQ(at30->State, 2);
  EXPECT_DOUBLE_EQ(at30->Value, 1.0);
  pv.Accumulate(100.0);
  EXPECT_EQ(pv.getPVNode(1)->State, 0);
  pv.PVReset();
  pv.Accumulate(30.5);
  EXPECT_EQ(at30->State, 2);
  EXPECT_DOUBLE_EQ(at30->Value, 1.0);
  // A node changed from outside takes part again once announced.
  pv.getPVNode(1)->StartTime = 50.0;
  pv.NodesChanged();
  pv.Accumulate(60.0);
  EXPECT_EQ(pv.getPVNode(1)->State, 1);
}

TEST_F(PVModelTest, ReplicationsRestartFromTheSavedState) {
  // Two replications of: add at 10 and 20, end at 365. Each observes 2 at
  // 365 because the initial state (0 tokens) is restored in between.
  InstantNode::Spec spec;
  spec.starts = spec.stops = {365.0};
  CounterSAN* top = new CounterSAN();
  TestPVModel pv(top, OneVariable<InstantNode>(spec), 1, false);
  pv.ConsiderOnly(nullptr, 0);
  std::vector<char> initial(static_cast<size_t>(pv.StateSize()));
  pv.CurrentState(initial.data());
  for (int replication = 0; replication < 2; replication++) {
    for (double t : {10.0, 20.0}) {
      pv.Accumulate(t);
      pv.FireAction(&top->add, t);
    }
    pv.EndAccumulate(pv.getRunEnd());
    EXPECT_DOUBLE_EQ(pv.getPVNode(0)->Value, 2.0) << replication;
    pv.SetState(initial.data());
    pv.PVReset();
    EXPECT_EQ(top->tokens.getMark(), 0);
  }
}

TEST_F(PVModelTest, DestructionReleasesTheNodesBeforeTheTopModel) {
  std::vector<std::string> destroyed;
  auto* top = new TestComposite("top", {new CounterSAN()});
  top->destroyed = &destroyed;
  {
    TestPVModel pv(top, ThreePoints(&destroyed), 1, true);
    pv.Destruct();
    pv.Destruct();  // a second call finds nothing left
  }
  EXPECT_EQ(destroyed, (std::vector<std::string>{"node0", "node1", "node2", "top"}));
}

TEST_F(PVModelTest, ARebuiltRewardModelNumbersItsNodesFromZero) {
  // A study replaces its reward model: the second one must index the
  // tables of its own actions by 0 .. n-1 again.
  auto* first = new TestPVModel(new CounterSAN(), ThreePoints(), 1, true);
  delete first;
  CounterSAN* top = new CounterSAN();
  TestPVModel second(top, ThreePoints(), 1, true);
  EXPECT_EQ(second.getPVNode(0)->Id, 0);
  EXPECT_EQ(second.getPVNode(2)->Id, 2);
  ASSERT_EQ(top->add.AffectedNodes.size(), 3);
  EXPECT_EQ(top->add.AffectedNodes[0], 0);
  second.ConsiderOnly(nullptr, 0);
  second.Accumulate(400.0);
  EXPECT_EQ(second.getPVNode(2)->State, 2);
}

// A composite whose action table holds one action twice.
class DuplicatingComposite : public TestComposite {
 public:
  DuplicatingComposite() : TestComposite("dup", {new CounterSAN()}) { actions[1] = actions[0]; }
};

TEST_F(PVModelTest, AnActionListedTwiceInTheTableFailsTheAssertion) {
  EXPECT_DEATH(TestPVModel(new DuplicatingComposite(), ThreePoints(), 1, false),
               "Assertion failed: Action->AffectedNodes.empty\\(\\), file PVModel");
}

}  // namespace

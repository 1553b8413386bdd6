// Tests of one reward variable: registration, worker enumeration, the
// accumulation of an observation window, impulses and resets.
#include <gtest/gtest.h>

#include "RewardTestNodes.h"

namespace {

// Reads tokens of an "a" and a "b" counter: two model dependencies.
class PairNode : public PerformanceVariableNode {
 public:
  PairNode() {
    double at[] = {10.0};
    Initialize("pair", InstantOfTimeReward, 1, at, at, 0, 0, 2, 2);
    AddVariableDependency("tokens", "a");
    AddVariableDependency("tokens", "b");
  }
  void CreateWorkerList() override {
    for (int i = 0; i < NumberOfWorkers; i++) Workers[i] = new PairWorker();
  }
};

// A bare node (no workers created) for registration tests.
class BareNode : public PerformanceVariableNode {
 public:
  BareNode(int impulses, int modelDeps, int varDeps, int steady = 0) {
    double starts[] = {100.0, 5.0};
    double stops[] = {200.0, 5.0};
    Initialize("bare", AccumulatedReward, 2, starts, stops, 0, impulses, modelDeps, varDeps);
    SteadyState = steady;
  }
  void CreateWorkerList() override {}
};

using NodeTest = RewardFixture;

TEST_F(NodeTest, WorkersEnumerateEveryPairOfInstancesFirstDependencySlowest) {
  // Instances a0, a1 hold tokens 1, 2; b0, b1, b2 hold 3, 4, 5.
  auto* top = new TestComposite(
      "top", {new CounterSAN("a", 1), new CounterSAN("a", 2), new CounterSAN("b", 3),
              new CounterSAN("b", 4), new CounterSAN("b", 5)});
  auto pairs = [](int p, int) -> PerformanceVariableNode* {
    return p == 0 ? new PairNode() : nullptr;
  };
  TestPVModel pv(top, pairs, 1, false);
  PerformanceVariableNode* node = pv.getPVNode(0);
  // 2 instances of a times 3 instances of b.
  ASSERT_EQ(node->NumberOfWorkers, 6);
  for (int w = 0; w < 6; w++) {
    // Worker w reads a-instance w / 3 and b-instance w % 3.
    PairWorker* worker = static_cast<PairWorker*>(node->Workers[w]);
    EXPECT_EQ(worker->a, top->children[static_cast<size_t>(w / 3)]) << w;
    EXPECT_EQ(worker->b, top->children[static_cast<size_t>(2 + w % 3)]) << w;
    EXPECT_DOUBLE_EQ(worker->Reward_Function(), 10.0 * (1 + w / 3) + (3 + w % 3)) << w;
    EXPECT_EQ(node->ModelGroups[w].GetModel(0), worker->a);
    EXPECT_EQ(worker->WorkerIndex, w);
    EXPECT_EQ(worker->VariableId, 0);
    EXPECT_STREQ(worker->Name, "pair");
    EXPECT_DOUBLE_EQ(worker->StartTime, 10.0);
  }
  // The add of a1 concerns the workers reading a1 (3, 4, 5); the add of b1
  // those reading b1 (1 and 4).
  CounterSAN* a1 = static_cast<CounterSAN*>(top->children[1]);
  CounterSAN* b1 = static_cast<CounterSAN*>(top->children[3]);
  ASSERT_EQ(a1->add.rateSets[0].size(), 3);
  EXPECT_EQ(a1->add.rateSets[0][0], 3);
  EXPECT_EQ(a1->add.rateSets[0][2], 5);
  ASSERT_EQ(b1->add.rateSets[0].size(), 2);
  EXPECT_EQ(b1->add.rateSets[0][0], 1);
  EXPECT_EQ(b1->add.rateSets[0][1], 4);
}

TEST_F(NodeTest, AMissingSubmodelInstanceEndsWithStatusOne) {
  InstantNode::Spec spec;
  spec.model = "missing";
  EXPECT_EXIT(TestPVModel(new TestComposite("top", {new CounterSAN()}),
                          OneVariable<InstantNode>(spec), 1, false),
              ::testing::ExitedWithCode(1),
              "Number of missing's was 0\\.  Model cannot be created\\.\nModel Name was: top\n\\.");
}

TEST_F(NodeTest, ModelDependencyOnAnUnknownImpulseEndsWithStatusOne) {
  BareNode node(1, 2, 0);
  FiringImpulse stranger;
  EXPECT_EXIT(node.AddImpulseModelDependency("counter", &stranger), ::testing::ExitedWithCode(1),
              "Model Dependency requested on undefined impulse\\.  Check code generator\\.  "
              "Error code GP0001\\.");
}

TEST_F(NodeTest, DependenciesAreRecordedOncePerSubmodel) {
  BareNode node(1, 2, 2);
  node.AddVariableDependency("x", "m");
  node.AddVariableDependency("y", "m");
  EXPECT_EQ(node.NumModelDependencies, 1);
  FiringImpulse* proto = new FiringImpulse();
  node.AddImpulse("add", "counter", proto);
  node.AddImpulse("add2", "counter", proto);  // same prototype: replaces the action
  EXPECT_EQ(node.NumImpulses, 1);
  EXPECT_STREQ(node.ImpulseActions[0].GetActionName(), "add2");
  node.AddImpulseModelDependency("other", proto);
  node.AddImpulseModelDependency("other", proto);  // duplicate ignored
  node.AddImpulseModelDependency("other", 0);      // the index form appends as given
  EXPECT_EQ(node.NumImpulseModelDependencies[0], 3);
}

TEST_F(NodeTest, InstantOfTimeObservesTheStateAfterTheEventAtItsTimePoint) {
  // Events at 10, 30 and 45, each adding a token: the observation at 30 is
  // the marking after the event at 30, i.e. two tokens.
  CounterSAN* top = new CounterSAN();
  TestPVModel pv(top, OneVariable<InstantNode>(InstantNode::Spec()), 1, false);
  pv.ConsiderOnly(nullptr, 0);
  PerformanceVariableNode* node = pv.getPVNode(0);
  pv.Accumulate(10.0);
  pv.FireAction(&top->add, 10.0);
  EXPECT_EQ(node->State, 0);  // before the time point nothing happens
  pv.Accumulate(30.0);
  pv.FireAction(&top->add, 30.0);
  EXPECT_EQ(node->State, 1);  // a step at the time point stays open
  pv.Accumulate(45.0);
  pv.FireAction(&top->add, 45.0);
  EXPECT_EQ(node->State, 2);
  EXPECT_DOUBLE_EQ(node->Value, 2.0);
  EXPECT_DOUBLE_EQ(node->SquaredValue, 4.0);
  pv.EndAccumulate(pv.getRunEnd());  // a complete node is left alone
  EXPECT_DOUBLE_EQ(node->Value, 2.0);
}

TEST_F(NodeTest, EndAccumulateCompletesAWindowWhoseStopIsTheRunEnd) {
  // Time point 365 after the last event (20): the end of the run evaluates
  // the marking left by the events at 10 and 20.
  InstantNode::Spec spec;
  spec.starts = spec.stops = {365.0};
  CounterSAN* top = new CounterSAN();
  TestPVModel pv(top, OneVariable<InstantNode>(spec), 1, false);
  pv.ConsiderOnly(nullptr, 0);
  EXPECT_DOUBLE_EQ(pv.getRunEnd(), 365.0);
  pv.Accumulate(10.0);
  pv.FireAction(&top->add, 10.0);
  pv.Accumulate(20.0);
  pv.FireAction(&top->add, 20.0);
  EXPECT_EQ(pv.getPVNode(0)->State, 0);
  pv.EndAccumulate(pv.getRunEnd());
  EXPECT_EQ(pv.getPVNode(0)->State, 2);
  EXPECT_DOUBLE_EQ(pv.getPVNode(0)->Value, 2.0);
}

TEST_F(NodeTest, EndAccumulateLeavesAWindowOpenBeyondTheMargin) {
  InstantNode::Spec spec;
  spec.starts = {100.0, 100.0};
  spec.stops = {365.5, 366.0};
  CounterSAN* top = new CounterSAN("counter", 3);
  TestPVModel pv(top, OneVariable<InstantNode>(spec), 1, true);
  pv.getPVNode(0)->EndAccumulate(365.0, 0.0, pv.getLastAction());
  pv.getPVNode(1)->EndAccumulate(365.0, 0.0, pv.getLastAction());
  // 365 + 1 > 365.5 completes; 365 + 1 is not beyond 366.
  EXPECT_EQ(pv.getPVNode(0)->State, 2);
  EXPECT_EQ(pv.getPVNode(1)->State, 1);
  pv.getPVNode(1)->UpdateAccumulate(366.5);
  EXPECT_EQ(pv.getPVNode(1)->State, 2);
  // The worker read 3 tokens at time 0 (its start 100 is after 0).
  EXPECT_DOUBLE_EQ(pv.getPVNode(1)->Value, 3.0);
}

TEST_F(NodeTest, SteadyStateBatchesSlideAndTheWorkersFollow) {
  // Window [0, 100], one token at first. Event at 50 adds a token; the batch
  // closes with a step at 101: 1*50 + 2*50 = 150. After Reset the window
  // is [100, 200]; an event at 120 adds a token; the step at 201 closes:
  // 2*20 + 3*80 = 280 (the part of [50, 120] before 100 belongs to the
  // first batch).
  IntervalNode::Spec spec = AccumulatingSpec(0.0, 100.0, false);
  CounterSAN* top = new CounterSAN("counter", 1);
  TestPVModel pv(top, OneVariable<IntervalNode>(spec), 1, false);
  PerformanceVariableNode* node = pv.getPVNode(0);
  node->SteadyState = 1;
  pv.ConsiderOnly(nullptr, 0);
  pv.SteadyState();
  EXPECT_EQ(node->State, 1);
  pv.Accumulate(50.0);
  pv.FireAction(&top->add, 50.0);
  node->Accumulate(node->StopTime + 1.0, BaseModelClass::LastActionTime, pv.getLastAction());
  EXPECT_EQ(node->State, 2);
  EXPECT_DOUBLE_EQ(node->Value, 150.0);
  node->Reset();
  EXPECT_DOUBLE_EQ(node->StartTime, 100.0);
  EXPECT_DOUBLE_EQ(node->StopTime, 200.0);
  EXPECT_DOUBLE_EQ(node->Workers[0]->StartTime, 100.0);
  EXPECT_EQ(node->State, 0);
  EXPECT_DOUBLE_EQ(node->Value, 0.0);
  pv.Accumulate(120.0);
  pv.FireAction(&top->add, 120.0);
  node->Accumulate(node->StopTime + 1.0, BaseModelClass::LastActionTime, pv.getLastAction());
  EXPECT_DOUBLE_EQ(node->Value, 280.0);
}

TEST_F(NodeTest, ImpulsesAreWiredPerInstanceAndAddedToTheObservation) {
  // Two counters, an accumulating variable over [0, 100] plus an impulse of
  // 2.5 per firing of "add". Events: add of counter 1 at 10, touch of
  // counter 0 at 20, then the run ends at 100.
  // Rate part: [0,10] 0 tokens, [10,100] 1 token in all: 90 (squared 90).
  // Impulse part: one firing of add: 2.5 (squared 6.25).
  IntervalNode::Spec spec = AccumulatingSpec(0.0, 100.0, true);
  auto* top = new TestComposite("top", {new CounterSAN(), new CounterSAN()});
  CounterSAN* c0 = static_cast<CounterSAN*>(top->children[0]);
  CounterSAN* c1 = static_cast<CounterSAN*>(top->children[1]);
  TestPVModel pv(top, OneVariable<IntervalNode>(spec), 1, false);
  PerformanceVariableNode* node = pv.getPVNode(0);
  ASSERT_EQ(node->NumImpulseWorkers[0], 2);
  EXPECT_EQ(node->ImpulseWorkers[0][1]->ActionModel, c1);
  EXPECT_EQ(node->ImpulseWorkers[0][1]->WorkerIndex, 1);
  ASSERT_EQ(c1->add.impulseSets[0].size(), 1);
  ASSERT_EQ(c1->add.impulseWorkerCounts[0][0], 1);
  EXPECT_EQ(c1->add.impulseWorkers[0][0][0], 1);
  EXPECT_TRUE(node->ImpulseAffectedBy(&c1->add));
  EXPECT_FALSE(node->ImpulseAffectedBy(&c1->touch));
  EXPECT_FALSE(node->ImpulseAffectedBy(pv.getNoActionFiredYet()));

  pv.ConsiderOnly(nullptr, 0);
  pv.Accumulate(10.0);
  pv.FireAction(&c1->add, 10.0);
  pv.Accumulate(20.0);
  EXPECT_DOUBLE_EQ(node->ImpulseWorkers[0][1]->Value, 2.5);
  EXPECT_DOUBLE_EQ(node->ImpulseWorkers[0][0]->Value, 0.0);
  pv.FireAction(&c0->touch, 20.0);
  pv.EndAccumulate(100.0);
  EXPECT_EQ(static_cast<FiringImpulse*>(node->ImpulseWorkers[0][0])->endCalls, 1);
  EXPECT_DOUBLE_EQ(node->Value, 92.5);
  EXPECT_DOUBLE_EQ(node->SquaredValue, 96.25);
  EXPECT_DOUBLE_EQ(node->ImpulseValue, 2.5);

  pv.PVReset();
  EXPECT_DOUBLE_EQ(node->ImpulseWorkers[0][1]->Value, 0.0);
  EXPECT_DOUBLE_EQ(node->ImpulseValue, 0.0);
}

// A synchronising composite whose member carries the impulse.
class SyncGroup : public BaseGroupClass {
 public:
  bool isSync() override { return true; }
};

TEST_F(NodeTest, ASynchronisingCompositeEarnsItsMembersImpulsesOnce) {
  // Rate part over [0, 50] with no token, then the impulse of the member's
  // firing: 2.5, earned once although the rate step ran for the composite.
  IntervalNode::Spec spec = AccumulatingSpec(0.0, 100.0, true);
  CounterSAN* top = new CounterSAN();
  TestPVModel pv(top, OneVariable<IntervalNode>(spec), 1, false);
  SyncGroup sync;
  sync.initialize(1, "sync");
  sync.appendGroup(&top->add);
  PerformanceVariableNode* node = pv.getPVNode(0);
  EXPECT_TRUE(node->ImpulseAffectedBy(&sync));
  node->Accumulate(60.0, 50.0, &sync);
  EXPECT_DOUBLE_EQ(node->ImpulseWorkers[0][0]->Value, 2.5);
  EXPECT_DOUBLE_EQ(node->Value, 0.0);
  node->CurrentReward(&sync);
  EXPECT_DOUBLE_EQ(node->ImpulseValue, 2.5);
}

TEST_F(NodeTest, AVariableWithoutModelDependencyHasNoWorkers) {
  BareNode node(0, 0, 0);
  CounterSAN model;
  node.FixReferences(&model);
  node.CreateModelGroupList();
  node.FixWorkerList();
  EXPECT_EQ(node.NumberOfWorkers, 0);
  node.Accumulate(250.0, 0.0, nullptr);
  EXPECT_EQ(node.State, 2);
  EXPECT_DOUBLE_EQ(node.Value, 0.0);
}

}  // namespace

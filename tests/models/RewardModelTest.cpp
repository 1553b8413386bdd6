// The reward model of the built-in model: its nodes, their windows and
// workers, and what the reward functions read. Expected values follow from
// the reward-variable table by hand.
#include <gtest/gtest.h>

#include <string>

#include "ModelFixture.h"
#include "redundant_controller_flash_model.h"
#include "reward/PerformanceVariableNode.h"

namespace {

class RewardModelTest : public ModelFixture {};

// Whether a frozen id set holds v.
bool Holds(const FastSet& set, int v) {
  for (int i = 0; i < set.size(); i++) {
    if (set[i] == v) return true;
  }
  return false;
}

redundant_controller_flash_modelRJ* TopOf(PVModel& pv) {
  return static_cast<redundant_controller_flash_modelRJ*>(pv.getTopModel());
}

TEST_F(RewardModelTest, ExpandedNodesOnePerTimePoint) {
  redundant_controller_flash_rewardPVModel pv(true);
  EXPECT_STREQ("redundant_controller_flash_rewardPVModel", pv.getName());
  ASSERT_EQ(5, pv.getNumPVNodes());
  const char* names[] = {"reliability", "reliability", "reliability", "seu_events", "sefi_events"};
  const double times[] = {30.0, 180.0, 365.0, 365.0, 365.0};
  for (int i = 0; i < 5; i++) {
    PerformanceVariableNode* node = pv.getPVNode(i);
    EXPECT_STREQ(names[i], node->Name) << i;
    EXPECT_EQ(i, node->Id) << i;
    EXPECT_EQ(times[i], node->StartTime) << i;
    EXPECT_EQ(times[i], node->StopTime) << i;
    EXPECT_EQ(InstantOfTimeReward, node->GetRewardType()) << i;
    EXPECT_EQ(0, node->NumImpulses) << i;
  }
  EXPECT_EQ(3, pv.getPVNode(0)->GetNumTimePoints());
  EXPECT_EQ(180.0, pv.getPVNode(0)->GetStopTime(1));
  EXPECT_TRUE(pv.getPVNode(0)->IsDependentOnModel("ram_system"));
  EXPECT_TRUE(pv.getPVNode(3)->IsDependentOnModel("redundant_controller_flash_system"));
  EXPECT_EQ(365.0, pv.getRunEnd());
}

TEST_F(RewardModelTest, UnexpandedReliabilityIsObservedAt30Only) {
  redundant_controller_flash_rewardPVModel pv(false);
  ASSERT_EQ(3, pv.getNumPVNodes());
  EXPECT_STREQ("reliability", pv.getPVNode(0)->Name);
  EXPECT_EQ(30.0, pv.getPVNode(0)->StopTime);
  EXPECT_STREQ("seu_events", pv.getPVNode(1)->Name);
  EXPECT_STREQ("sefi_events", pv.getPVNode(2)->Name);
  EXPECT_EQ(nullptr, pv.createPVNode(3, 0));
  EXPECT_EQ(nullptr, pv.createPVNode(-1, 0));
}

// reliability has one worker on the one ram_system; the event counts have
// one worker per replica, worker i on replica i.
TEST_F(RewardModelTest, WorkersReadTheirOwnInstances) {
  SetModelGlobals(3, 2);
  redundant_controller_flash_rewardPVModel pv(true);
  redundant_controller_flash_modelRJ* top = TopOf(pv);
  for (int n = 0; n < 3; n++) {
    ASSERT_EQ(1, pv.getPVNode(n)->NumberOfWorkers);
    auto* w =
        dynamic_cast<redundant_controller_flash_rewardPV0Worker*>(pv.getPVNode(n)->Workers[0]);
    ASSERT_NE(nullptr, w);
    EXPECT_EQ(top->ram_system, w->ram_system);
  }
  ASSERT_EQ(3, pv.getPVNode(3)->NumberOfWorkers);
  ASSERT_EQ(3, pv.getPVNode(4)->NumberOfWorkers);
  for (int i = 0; i < 3; i++) {
    auto* seu =
        dynamic_cast<redundant_controller_flash_rewardPV1Worker*>(pv.getPVNode(3)->Workers[i]);
    auto* sefi =
        dynamic_cast<redundant_controller_flash_rewardPV2Worker*>(pv.getPVNode(4)->Workers[i]);
    ASSERT_NE(nullptr, seu);
    ASSERT_NE(nullptr, sefi);
    EXPECT_EQ(top->flash_rep->Replica(i), seu->redundant_controller_flash_system);
    EXPECT_EQ(top->flash_rep->Replica(i), sefi->redundant_controller_flash_system);
  }
}

TEST_F(RewardModelTest, RewardFunctionsReturnTheMarks) {
  SetModelGlobals(2, 3);
  redundant_controller_flash_rewardPVModel pv(true);
  redundant_controller_flash_modelRJ* top = TopOf(pv);
  top->ram_system->system_failed->setMark(1);
  top->flash_rep->Replica(0)->seu_events->setMark(2);
  top->flash_rep->Replica(1)->seu_events->setMark(5);
  top->flash_rep->Replica(1)->sefi_events->setMark(1);
  EXPECT_EQ(1.0, pv.getPVNode(2)->Workers[0]->Reward_Function());
  EXPECT_EQ(2.0, pv.getPVNode(3)->Workers[0]->Reward_Function());
  EXPECT_EQ(5.0, pv.getPVNode(3)->Workers[1]->Reward_Function());
  EXPECT_EQ(0.0, pv.getPVNode(4)->Workers[0]->Reward_Function());
  EXPECT_EQ(1.0, pv.getPVNode(4)->Workers[1]->Reward_Function());
}

// The observation of seu_events is the sum over the replicas: 2 + 5 = 7,
// squared 49, taken when the window at 365 completes.
TEST_F(RewardModelTest, EventCountObservationSumsTheReplicas) {
  SetModelGlobals(2, 3);
  redundant_controller_flash_rewardPVModel pv(true);
  redundant_controller_flash_modelRJ* top = TopOf(pv);
  pv.ConsiderOnly(nullptr, 0);
  top->flash_rep->Replica(0)->seu_events->setMark(2);
  top->flash_rep->Replica(1)->seu_events->setMark(5);
  pv.EndAccumulate(365.0);
  EXPECT_EQ(7.0, pv.getPVNode(3)->Value);
  EXPECT_EQ(49.0, pv.getPVNode(3)->SquaredValue);
}

// The actions that change a variable's places are wired to its node: every
// replica's seu_case2 changes seu_events, nothing in ram_system does.
TEST_F(RewardModelTest, AffectingActionsAreWiredToTheirNodes) {
  SetModelGlobals(2, 1);
  redundant_controller_flash_rewardPVModel pv(true);
  redundant_controller_flash_modelRJ* top = TopOf(pv);
  for (int i = 0; i < 2; i++) {
    BaseActionClass& seu = top->flash_rep->Replica(i)->seu_case2;
    EXPECT_TRUE(Holds(seu.AffectedNodesByRateReward, 3)) << i;
    EXPECT_FALSE(Holds(seu.AffectedNodesByRateReward, 4)) << i;
    EXPECT_TRUE(Holds(top->flash_rep->Replica(i)->sefi.AffectedNodesByRateReward, 4)) << i;
  }
  EXPECT_TRUE(Holds(top->ram_system->failure.AffectedNodesByRateReward, 0));
  EXPECT_FALSE(Holds(top->ram_system->bit_error_case2.AffectedNodesByRateReward, 0));
}

TEST_F(RewardModelTest, StudyReplacesItsRewardModel) {
  BaseStudyClass* study = GenerateStudy();
  study->SetGVs(8);
  PVModel* first = study->GetPVModel(true);
  ASSERT_NE(nullptr, first);
  EXPECT_EQ(3, TopOf(*first)->flash_rep->NumReplicas());
  ResetRewardGlobals();
  study->SetGVs(4);
  PVModel* second = study->GetPVModel(true);
  EXPECT_EQ(2, TopOf(*second)->flash_rep->NumReplicas());
}

}  // namespace

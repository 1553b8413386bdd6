// The composed model: the join of ram_system with the flash replicate, the
// places they share, the renumbered group ids, the state layout, and the
// effect of the globals (experiment and overrides) on the replica count.
// Expected values follow from the model's sharing rules by hand.
#include <gtest/gtest.h>

#include <memory>

#include "ModelFixture.h"
#include "redundant_controller_flash_model.h"

namespace {

using ComposedModelTest = ModelFixture;
using Top = redundant_controller_flash_modelRJ;

TEST_F(ComposedModelTest, OneDeviceTreeAndSixteenByteState) {
  Top top;
  EXPECT_STREQ("Join", top.getName());
  ASSERT_EQ(2, top.GetNumberOfChildren());
  EXPECT_EQ(top.ram_system, top.GetChild(0));
  EXPECT_EQ(top.flash_rep, top.GetChild(1));
  EXPECT_STREQ("ram_system", top.ram_system->getName());
  EXPECT_STREQ("flash_rep", top.flash_rep->getName());
  ASSERT_EQ(1, top.flash_rep->NumReplicas());
  EXPECT_STREQ("redundant_controller_flash_system", top.flash_rep->Replica(0)->getName());
  // ram_system's three private places, the replica's three private places,
  // the replicate's devices_available and the join's flash_corrupted.
  EXPECT_EQ(16, top.StateSize());
}

// Group ids are the positions in the composed table: ram_system's five
// units, then each replica's three.
TEST_F(ComposedModelTest, GroupIdsAreRenumberedAcrossTheTree) {
  SetModelGlobals(2, 1);
  Top top;
  ASSERT_EQ(5 + 2 * 3, top.getNumGroups());
  ASSERT_EQ(7 + 2 * 4, top.getNumActions());
  // A case group passes the id on to its cases (its own id is not used).
  for (int g = 0; g < top.getNumGroups(); g++) {
    BaseGroupClass* unit = top.getGroups()[g];
    if (unit->getNumMembers() == 0) {
      EXPECT_EQ(g, unit->getGroupId()) << unit->getName();
    }
    for (int m = 0; m < unit->getNumMembers(); m++) {
      EXPECT_EQ(g, unit->getMember(m)->getGroupId()) << unit->getMember(m)->getName();
    }
  }
  redundant_controller_flash_systemSAN* second = top.flash_rep->Replica(1);
  EXPECT_EQ(top.getGroups()[8], &second->seuGroup);
  EXPECT_EQ(8, second->seu_case1.getGroupId());
  EXPECT_EQ(8, second->seu_case2.getGroupId());
  EXPECT_EQ(9, second->sefi.getGroupId());
  EXPECT_EQ(10, second->power_cycle.getGroupId());
  EXPECT_EQ(4, top.ram_system->failure.getGroupId());
  EXPECT_EQ(2, top.ram_system->bit_error_case2.getGroupId());
}

TEST_F(ComposedModelTest, SharedPlacesAreOneCellPrivateOnesAreNot) {
  SetModelGlobals(3, 3);
  Top top;
  ram_systemSAN* ram = top.ram_system;
  redundant_controller_flash_systemSAN* r[3];
  for (int i = 0; i < 3; i++) r[i] = top.flash_rep->Replica(i);
  for (int i = 0; i < 3; i++) {
    EXPECT_EQ(ram->flash_corrupted->getMarkPointer(), r[i]->flash_corrupted->getMarkPointer());
    EXPECT_EQ(r[0]->devices_available->getMarkPointer(), r[i]->devices_available->getMarkPointer());
    EXPECT_EQ(3, r[i]->replicas_available->getMark());
    EXPECT_EQ(3, r[i]->devices_available->getMark());
    EXPECT_FALSE(r[i]->flash_corrupted->getStored());
    EXPECT_FALSE(r[i]->devices_available->getStored());
    EXPECT_TRUE(r[i]->replicas_available->getStored());
  }
  EXPECT_TRUE(top.flash_corrupted->getStored());
  EXPECT_TRUE(top.flash_rep->devices_available->getStored());
  EXPECT_FALSE(top.flash_rep->flash_corrupted->getStored());
  r[1]->replicas_available->setMark(0);
  EXPECT_EQ(3, r[0]->replicas_available->getMark());
  EXPECT_EQ(3, r[2]->replicas_available->getMark());
  r[2]->flash_corrupted->setMark(1);
  EXPECT_EQ(1, ram->flash_corrupted->getMark());
}

// After sharing, the shared places' action lists hold the replicas' actions
// in replica order (ram_system changes neither place).
TEST_F(ComposedModelTest, SharedActionListsInReplicaOrder) {
  SetModelGlobals(2, 1);
  Top top;
  redundant_controller_flash_systemSAN* r0 = top.flash_rep->Replica(0);
  redundant_controller_flash_systemSAN* r1 = top.flash_rep->Replica(1);
  List<BaseActionClass>* affecting = top.flash_corrupted->getAffectingActions();
  ASSERT_EQ(6, affecting->getNumItems());
  BaseActionClass* want[] = {&r0->seu_case2, &r0->sefi, &r0->power_cycle,
                             &r1->seu_case2, &r1->sefi, &r1->power_cycle};
  for (int i = 0; i < 6; i++) EXPECT_EQ(want[i], affecting->getItem(i)) << i;
  List<BaseActionClass>* enabled = top.flash_corrupted->getEnabledActions();
  ASSERT_EQ(1, enabled->getNumItems());
  EXPECT_EQ(&top.ram_system->failure, enabled->getItem(0));
  List<BaseActionClass>* devices = top.flash_rep->devices_available->getAffectingActions();
  ASSERT_EQ(6, devices->getNumItems());
  for (int i = 0; i < 6; i++) EXPECT_EQ(want[i], devices->getItem(i)) << i;
}

// The activities' cached marks follow the sharing: losing the devices one
// by one corrupts the flash only with the last, and the RAM's failure
// activity sees it.
TEST_F(ComposedModelTest, LastDeviceLostCorruptsTheFlashSeenByTheRam) {
  SetModelGlobals(3, 2);
  Top top;
  ram_systemSAN* ram = top.ram_system;
  ram->ram_corrupted->setMark(1);
  for (int i = 0; i < 3; i++) {
    EXPECT_FALSE(ram->failure.Enabled()) << i;
    top.flash_rep->Replica(i)->sefi.Fire();
    EXPECT_EQ(2 - i, top.flash_rep->Replica(0)->devices_available->getMark());
  }
  EXPECT_EQ(1, ram->flash_corrupted->getMark());
  EXPECT_TRUE(ram->failure.Enabled());
  // A power cycle of any replica restores a device and clears the flash.
  top.flash_rep->Replica(1)->power_cycle.Fire();
  EXPECT_EQ(1, top.flash_rep->Replica(2)->devices_available->getMark());
  EXPECT_FALSE(ram->failure.Enabled());
}

TEST_F(ComposedModelTest, StateRoundTripsThroughTheTopModel) {
  SetModelGlobals(2, 2);
  Top top;
  const int size = top.StateSize();
  // 3 ram places + 2 x 3 replica places + devices_available + flash_corrupted.
  ASSERT_EQ(2 * (3 + 6 + 1 + 1), size);
  std::unique_ptr<char[]> initial(new char[size]);
  top.CurrentState(initial.get());
  top.ram_system->ram_working->setMark(0);
  top.flash_rep->Replica(0)->sefi.Fire();
  top.flash_rep->Replica(1)->sefi.Fire();
  EXPECT_EQ(1, top.ram_system->flash_corrupted->getMark());
  top.SetState(initial.get());
  EXPECT_EQ(1, top.ram_system->ram_working->getMark());
  EXPECT_EQ(0, top.ram_system->flash_corrupted->getMark());
  EXPECT_EQ(2, top.flash_rep->Replica(0)->devices_available->getMark());
  EXPECT_EQ(2, top.flash_rep->Replica(1)->replicas_available->getMark());
}

// Experiments 5 and 9 (indices 4 and 8) set num_devices = num_replicas = 2
// and 3: that many replicas, each starting full, power_cycle disabled.
TEST_F(ComposedModelTest, ExperimentsFiveAndNineBuildFullReplicas) {
  for (short n : {2, 3}) {
    GenerateStudy()->SetGVs(n == 2 ? 4 : 8);
    Top top;
    ASSERT_EQ(n, top.flash_rep->NumReplicas());
    for (int i = 0; i < n; i++) {
      EXPECT_EQ(n, top.flash_rep->Replica(i)->replicas_available->getMark()) << n;
      EXPECT_EQ(n, top.flash_rep->Replica(i)->devices_available->getMark()) << n;
      EXPECT_TRUE(top.flash_rep->Replica(i)->seu_case1.Enabled()) << n;
      EXPECT_FALSE(top.flash_rep->Replica(i)->power_cycle.Enabled()) << n;
    }
  }
}

// Overrides given before the model is built decide the replica count, the
// initial replicas_available and power_cycle's bound.
TEST_F(ComposedModelTest, OverridesBeforeBuildingChangeTheTree) {
  BaseStudyClass* study = GenerateStudy();
  study->SetGVs(0);
  char text[] = "s:num_devices:3:s:num_replicas:2";
  study->overrideGVs(text);
  Top top;
  ASSERT_EQ(3, top.flash_rep->NumReplicas());
  redundant_controller_flash_systemSAN* r = top.flash_rep->Replica(2);
  EXPECT_EQ(2, r->replicas_available->getMark());
  EXPECT_EQ(3, r->devices_available->getMark());
  r->replicas_available->setMark(1);
  EXPECT_TRUE(r->power_cycle.Enabled());
  r->power_cycle.Fire();
  EXPECT_EQ(2, r->replicas_available->getMark());
}

TEST_F(ComposedModelTest, NoDevicesLeavesTheRamAlone) {
  SetModelGlobals(0, 1);
  Top top;
  EXPECT_EQ(0, top.flash_rep->NumReplicas());
  EXPECT_EQ(7, top.getNumActions());
  // ram_system's three private places and the join's flash_corrupted.
  EXPECT_EQ(8, top.StateSize());
  EXPECT_EQ(top.flash_corrupted->getMarkPointer(),
            top.ram_system->flash_corrupted->getMarkPointer());
}

}  // namespace

// Structure of the two submodels: places, activities, scheduling units,
// group ids, distributions, arcs and the registrations of cached marks.
// Expected values are the model's tables written out by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "ModelFixture.h"
#include "redundant_controller_flash_model.h"

namespace {

using RamStructureTest = ModelFixture;
using FlashStructureTest = ModelFixture;

Names PlaceNames(SANModel& m) {
  Names names;
  for (int i = 0; i < m.getNumPlaces(); i++) names.push_back(m.getPlaces()[i]->getName());
  return names;
}

Names ActivityNames(BaseModelClass& m) {
  Names names;
  for (int i = 0; i < m.getNumActions(); i++) names.push_back(m.getActions()[i]->getName());
  return names;
}

Names UnitNames(BaseModelClass& m) {
  Names names;
  for (int i = 0; i < m.getNumGroups(); i++) names.push_back(m.getGroups()[i]->getName());
  return names;
}

TEST_F(RamStructureTest, PlacesActivitiesAndUnitsInDeclaredOrder) {
  ram_systemSAN ram;
  EXPECT_STREQ("ram_system", ram.getName());
  EXPECT_EQ(Names({"flash_corrupted", "ram_working", "ram_corrupted", "system_failed"}),
            PlaceNames(ram));
  EXPECT_EQ(0, ram.flash_corrupted->getMark());
  EXPECT_EQ(1, ram.ram_working->getMark());
  EXPECT_EQ(0, ram.ram_corrupted->getMark());
  EXPECT_EQ(0, ram.system_failed->getMark());
  EXPECT_EQ(4, ram.getNumStateVariables());

  EXPECT_EQ(Names({"failure", "watchdog_reboot", "random_failure", "bit_error_case1",
                   "bit_error_case2", "page_error_case1", "page_error_case2"}),
            ActivityNames(ram));
  EXPECT_EQ(
      Names({"watchdog_reboot", "random_failure", "bit_errorGroup", "page_errorGroup", "failure"}),
      UnitNames(ram));
  // The group id of each activity is its unit's position.
  const int groupIds[] = {4, 0, 1, 2, 2, 3, 3};
  const int dists[] = {18, 2, 1, 1, 1, 1, 1};
  for (int i = 0; i < ram.getNumActions(); i++) {
    BaseActionClass* a = ram.getActions()[i];
    EXPECT_EQ(groupIds[i], a->getGroupId()) << a->getName();
    EXPECT_EQ(dists[i], static_cast<int>(a->distributionType)) << a->getName();
    EXPECT_EQ(1, static_cast<int>(a->executionPolicy)) << a->getName();
    EXPECT_FALSE(a->reactivation) << a->getName();
    EXPECT_EQ(1, a->Rank()) << a->getName();
    EXPECT_EQ(&ram, a->getModel()) << a->getName();
  }
  ASSERT_EQ(2, ram.bit_errorGroup.getNumMembers());
  EXPECT_EQ(&ram.bit_error_case1, ram.bit_errorGroup.getMember(0));
  EXPECT_EQ(&ram.bit_error_case2, ram.bit_errorGroup.getMember(1));
  ASSERT_EQ(2, ram.page_errorGroup.getNumMembers());
  EXPECT_EQ(&ram.page_error_case1, ram.page_errorGroup.getMember(0));
  EXPECT_EQ(&ram.page_error_case2, ram.page_errorGroup.getMember(1));
}

TEST_F(RamStructureTest, ArcsGiveEachActivityItsVariablesInArcOrder) {
  ram_systemSAN ram;
  EXPECT_EQ(Names({"system_failed"}), SVNames(ram.failure.getAffectedSVs()));
  EXPECT_EQ(Names({"flash_corrupted", "ram_corrupted", "system_failed"}),
            SVNames(ram.failure.getEnablingSVs()));
  EXPECT_EQ(Names({"ram_working", "ram_corrupted"}), SVNames(ram.watchdog_reboot.getAffectedSVs()));
  EXPECT_EQ(Names({"ram_corrupted"}), SVNames(ram.watchdog_reboot.getEnablingSVs()));
  EXPECT_EQ(Names({"ram_corrupted"}), SVNames(ram.random_failure.getAffectedSVs()));
  EXPECT_EQ(Names({"ram_working"}), SVNames(ram.bit_error_case1.getAffectedSVs()));
  EXPECT_EQ(Names({"ram_working", "ram_corrupted"}), SVNames(ram.bit_error_case2.getAffectedSVs()));
  EXPECT_EQ(Names({"ram_working"}), SVNames(ram.page_error_case1.getEnablingSVs()));
  EXPECT_EQ(Names({"ram_working", "ram_corrupted"}),
            SVNames(ram.page_error_case2.getAffectedSVs()));

  // The places' lists follow the declaration order of the arcs; the
  // simulator walks them when it builds the connectivity list.
  EXPECT_EQ(Names({"watchdog_reboot", "bit_error_case1", "bit_error_case2", "page_error_case1",
                   "page_error_case2"}),
            ActionNames(ram.ram_working->getAffectingActions()));
  EXPECT_EQ(Names({"watchdog_reboot", "random_failure", "bit_error_case2", "page_error_case2"}),
            ActionNames(ram.ram_corrupted->getAffectingActions()));
  EXPECT_EQ(Names({"failure", "watchdog_reboot", "random_failure"}),
            ActionNames(ram.ram_corrupted->getEnabledActions()));
  EXPECT_EQ(Names({"bit_error_case1", "bit_error_case2", "page_error_case1", "page_error_case2"}),
            ActionNames(ram.ram_working->getEnabledActions()));
  EXPECT_EQ(0, ram.flash_corrupted->getNumAffectingActions());
  EXPECT_EQ(Names({"failure"}), ActionNames(ram.flash_corrupted->getEnabledActions()));
}

// Each place counts its value and mark pointers (2) plus one cached mark
// for every activity that reads or writes it: flash_corrupted (failure),
// ram_working (watchdog, bit 1, bit 2, page 1, page 2), ram_corrupted
// (failure, watchdog, random_failure, bit 2, page 2), system_failed
// (failure).
TEST_F(RamStructureTest, EveryCachedMarkIsRegisteredWithItsPlace) {
  ram_systemSAN ram;
  EXPECT_EQ(3, ram.flash_corrupted->getSharingCount());
  EXPECT_EQ(7, ram.ram_working->getSharingCount());
  EXPECT_EQ(7, ram.ram_corrupted->getSharingCount());
  EXPECT_EQ(3, ram.system_failed->getSharingCount());
}

TEST_F(RamStructureTest, WeightsRatesAndParameters) {
  ram_systemSAN ram;
  // 1/512 of ram_size 128 is exactly 0.25.
  EXPECT_EQ(0.75, ram.bit_error_case1.Weight());
  EXPECT_EQ(0.25, ram.bit_error_case2.Weight());
  EXPECT_EQ(0.75, ram.page_error_case1.Weight());
  EXPECT_EQ(0.25, ram.page_error_case2.Weight());
  EXPECT_EQ(1.0, ram.failure.Weight());
  EXPECT_EQ(1.0, ram.watchdog_reboot.Weight());
  EXPECT_EQ(1.0, ram.random_failure.Weight());
  ram_size = 384.0f;  // read when evaluated: 384/512 = 0.75
  EXPECT_EQ(0.25, ram.bit_error_case1.Weight());
  EXPECT_EQ(0.75, ram.bit_error_case2.Weight());

  EXPECT_EQ(6.012, ram.bit_error_case1.Rate());
  EXPECT_EQ(6.012, ram.bit_error_case2.Rate());
  EXPECT_EQ(2.95e-6, ram.page_error_case2.Rate());
  EXPECT_EQ(static_cast<double>(0.005f), ram.random_failure.Rate());
  EXPECT_EQ(0.0, ram.failure.Rate());
  EXPECT_EQ(0.0, ram.watchdog_reboot.Rate());

  EXPECT_EQ(nullptr, ram.failure.ReturnDistributionParameters());
  EXPECT_EQ(0.00347, ram.watchdog_reboot.ReturnDistributionParameters()[0]);
  EXPECT_EQ(0.00347, ram.watchdog_reboot.DeterministicParamValue());
  EXPECT_EQ(6.012, ram.bit_error_case1.ReturnDistributionParameters()[0]);
  random_failure_rate = 0.25f;
  EXPECT_EQ(0.25, ram.random_failure.ReturnDistributionParameters()[0]);
}

TEST_F(FlashStructureTest, PlacesActivitiesAndUnitsInDeclaredOrder) {
  SetModelGlobals(2, 3);
  redundant_controller_flash_systemSAN flash;
  EXPECT_STREQ("redundant_controller_flash_system", flash.getName());
  EXPECT_EQ(Names({"devices_available", "replicas_available", "flash_corrupted", "seu_events",
                   "sefi_events"}),
            PlaceNames(flash));
  // The initial markings read the globals at construction.
  EXPECT_EQ(2, flash.devices_available->getMark());
  EXPECT_EQ(3, flash.replicas_available->getMark());
  EXPECT_EQ(0, flash.flash_corrupted->getMark());
  EXPECT_EQ(Names({"seu_case1", "seu_case2", "sefi", "power_cycle"}), ActivityNames(flash));
  EXPECT_EQ(Names({"seuGroup", "sefi", "power_cycle"}), UnitNames(flash));
  const int groupIds[] = {0, 0, 1, 2};
  const int dists[] = {1, 1, 1, 2};
  for (int i = 0; i < flash.getNumActions(); i++) {
    BaseActionClass* a = flash.getActions()[i];
    EXPECT_EQ(groupIds[i], a->getGroupId()) << a->getName();
    EXPECT_EQ(dists[i], static_cast<int>(a->distributionType)) << a->getName();
    EXPECT_EQ(1, a->Rank()) << a->getName();
  }
  ASSERT_EQ(2, flash.seuGroup.getNumMembers());
  EXPECT_EQ(&flash.seu_case1, flash.seuGroup.getMember(0));
  EXPECT_EQ(&flash.seu_case2, flash.seuGroup.getMember(1));
}

TEST_F(FlashStructureTest, ArcsAndCachedMarks) {
  redundant_controller_flash_systemSAN flash;
  EXPECT_EQ(Names({"replicas_available"}), SVNames(flash.seu_case1.getAffectedSVs()));
  EXPECT_EQ(Names({"replicas_available", "devices_available", "flash_corrupted", "seu_events"}),
            SVNames(flash.seu_case2.getAffectedSVs()));
  EXPECT_EQ(Names({"replicas_available", "devices_available", "flash_corrupted", "sefi_events"}),
            SVNames(flash.sefi.getAffectedSVs()));
  EXPECT_EQ(Names({"replicas_available", "devices_available", "flash_corrupted"}),
            SVNames(flash.power_cycle.getAffectedSVs()));
  for (Activity* a :
       {static_cast<Activity*>(&flash.seu_case1), static_cast<Activity*>(&flash.seu_case2),
        static_cast<Activity*>(&flash.sefi), static_cast<Activity*>(&flash.power_cycle)}) {
    EXPECT_EQ(Names({"replicas_available"}), SVNames(a->getEnablingSVs())) << a->getName();
  }
  EXPECT_EQ(Names({"seu_case1", "seu_case2", "sefi", "power_cycle"}),
            ActionNames(flash.replicas_available->getAffectingActions()));
  EXPECT_EQ(Names({"seu_case2", "sefi", "power_cycle"}),
            ActionNames(flash.flash_corrupted->getAffectingActions()));
  // 2 + one per reading activity: replicas_available is read by all four,
  // devices_available and flash_corrupted by seu 2, sefi and power_cycle.
  EXPECT_EQ(6, flash.replicas_available->getSharingCount());
  EXPECT_EQ(5, flash.devices_available->getSharingCount());
  EXPECT_EQ(5, flash.flash_corrupted->getSharingCount());
  EXPECT_EQ(3, flash.seu_events->getSharingCount());
  EXPECT_EQ(3, flash.sefi_events->getSharingCount());
}

// seu case 2 weighs replicas_available * flash_size / 512 of this replica.
TEST_F(FlashStructureTest, SeuWeightsFollowTheRemainingReplicas) {
  SetModelGlobals(1, 3);
  redundant_controller_flash_systemSAN flash;
  EXPECT_DOUBLE_EQ(3 * 17.0 / 512, flash.seu_case2.Weight());
  EXPECT_DOUBLE_EQ(1.0 - 3 * 17.0 / 512, flash.seu_case1.Weight());
  flash.replicas_available->setMark(1);
  EXPECT_DOUBLE_EQ(17.0 / 512, flash.seu_case2.Weight());
  flash.replicas_available->setMark(0);
  EXPECT_EQ(0.0, flash.seu_case2.Weight());
  EXPECT_EQ(1.0, flash.seu_case1.Weight());
  EXPECT_EQ(1.0, flash.sefi.Weight());
  EXPECT_EQ(6.44e-7, flash.seu_case1.Rate());
  EXPECT_EQ(0.00274, flash.sefi.Rate());
  EXPECT_EQ(0.00274, flash.sefi.ReturnDistributionParameters()[0]);
  power_cycle_rate = 12.5f;
  EXPECT_EQ(12.5, flash.power_cycle.SampleDistribution());
  EXPECT_EQ(12.5, flash.power_cycle.ReturnDistributionParameters()[0]);
}

}  // namespace

// Enabling, firing effects and delay sampling of every activity of the two
// submodels. Expected markings follow from the model's firing rules; the
// expected samples are computed from the generator's raw draws.
#include <gtest/gtest.h>

#include <cmath>

#include "ModelFixture.h"
#include "random/UserDistributions.h"
#include "redundant_controller_flash_model.h"

namespace {

using RamFiringTest = ModelFixture;
using FlashFiringTest = ModelFixture;
using SamplingTest = ModelFixture;

struct RamMarks {
  short flash, working, corrupted, failed;
};

RamMarks Read(const ram_systemSAN& m) {
  return {m.flash_corrupted->getMark(), m.ram_working->getMark(), m.ram_corrupted->getMark(),
          m.system_failed->getMark()};
}

void Set(ram_systemSAN& m, RamMarks s) {
  m.flash_corrupted->setMark(s.flash);
  m.ram_working->setMark(s.working);
  m.ram_corrupted->setMark(s.corrupted);
  m.system_failed->setMark(s.failed);
}

void ExpectMarks(RamMarks want, const ram_systemSAN& m) {
  RamMarks got = Read(m);
  EXPECT_EQ(want.flash, got.flash);
  EXPECT_EQ(want.working, got.working);
  EXPECT_EQ(want.corrupted, got.corrupted);
  EXPECT_EQ(want.failed, got.failed);
}

TEST_F(RamFiringTest, EnablingPredicates) {
  ram_systemSAN ram;
  // Initial state: RAM working, nothing corrupted.
  EXPECT_FALSE(ram.failure.Enabled());
  EXPECT_FALSE(ram.watchdog_reboot.Enabled());
  EXPECT_TRUE(ram.random_failure.Enabled());
  EXPECT_TRUE(ram.bit_error_case1.Enabled());
  EXPECT_TRUE(ram.page_error_case2.Enabled());
  Set(ram, {1, 0, 2, 0});
  EXPECT_TRUE(ram.failure.Enabled());
  EXPECT_TRUE(ram.watchdog_reboot.Enabled());
  EXPECT_FALSE(ram.random_failure.Enabled());
  EXPECT_FALSE(ram.bit_error_case2.Enabled());
  EXPECT_FALSE(ram.page_error_case1.Enabled());
  Set(ram, {1, 0, 2, 1});  // already failed
  EXPECT_FALSE(ram.failure.Enabled());
  Set(ram, {0, 0, 2, 0});  // flash intact
  EXPECT_FALSE(ram.failure.Enabled());
}

TEST_F(RamFiringTest, EnablingChangeComparesTheLastTwoEvaluations) {
  ram_systemSAN ram;
  ram.watchdog_reboot.Enabled();
  EXPECT_FALSE(ram.watchdog_reboot.EnablingChange());  // false, false
  ram.ram_corrupted->setMark(1);
  EXPECT_TRUE(ram.watchdog_reboot.EnablingChange());   // false -> true
  EXPECT_FALSE(ram.watchdog_reboot.EnablingChange());  // true, true
}

TEST_F(RamFiringTest, FiringEffects) {
  ram_systemSAN ram;
  Set(ram, {1, 1, 1, 0});
  EXPECT_EQ(&ram.failure, ram.failure.Fire());
  ExpectMarks({1, 1, 1, 1}, ram);
  EXPECT_FALSE(ram.failure.Enabled());  // fires once per run

  Set(ram, {0, 0, 2, 0});
  EXPECT_EQ(&ram.watchdog_reboot, ram.watchdog_reboot.Fire());
  ExpectMarks({0, 1, 0, 0}, ram);

  EXPECT_EQ(&ram.random_failure, ram.random_failure.Fire());
  ExpectMarks({0, 1, 1, 0}, ram);  // the RAM keeps working

  Set(ram, {0, 1, 0, 0});
  EXPECT_EQ(&ram.bit_error_case1, ram.bit_error_case1.Fire());
  ExpectMarks({0, 1, 0, 0}, ram);
  EXPECT_EQ(&ram.bit_error_case2, ram.bit_error_case2.Fire());
  ExpectMarks({0, 0, 1, 0}, ram);

  Set(ram, {0, 1, 1, 0});  // a page error after a random failure
  EXPECT_EQ(&ram.page_error_case1, ram.page_error_case1.Fire());
  ExpectMarks({0, 1, 1, 0}, ram);
  EXPECT_EQ(&ram.page_error_case2, ram.page_error_case2.Fire());
  ExpectMarks({0, 0, 2, 0}, ram);
}

struct FlashMarks {
  short devices, replicas, flash, seu, sefi;
};

void Set(redundant_controller_flash_systemSAN& m, FlashMarks s) {
  m.devices_available->setMark(s.devices);
  m.replicas_available->setMark(s.replicas);
  m.flash_corrupted->setMark(s.flash);
  m.seu_events->setMark(s.seu);
  m.sefi_events->setMark(s.sefi);
}

void ExpectMarks(FlashMarks want, const redundant_controller_flash_systemSAN& m) {
  EXPECT_EQ(want.devices, m.devices_available->getMark());
  EXPECT_EQ(want.replicas, m.replicas_available->getMark());
  EXPECT_EQ(want.flash, m.flash_corrupted->getMark());
  EXPECT_EQ(want.seu, m.seu_events->getMark());
  EXPECT_EQ(want.sefi, m.sefi_events->getMark());
}

TEST_F(FlashFiringTest, SeuCase1ChangesNothing) {
  SetModelGlobals(2, 3);
  redundant_controller_flash_systemSAN flash;
  Set(flash, {2, 1, 0, 4, 0});
  EXPECT_EQ(&flash.seu_case1, flash.seu_case1.Fire());
  ExpectMarks({2, 1, 0, 4, 0}, flash);
}

TEST_F(FlashFiringTest, SeuCase2UsesOneReplicaAndTheLastOneLosesTheDevice) {
  SetModelGlobals(2, 3);
  redundant_controller_flash_systemSAN flash;
  Set(flash, {2, 2, 0, 0, 0});
  EXPECT_EQ(&flash.seu_case2, flash.seu_case2.Fire());
  ExpectMarks({2, 1, 0, 1, 0}, flash);
  // The last replica of one of two devices: one device fewer, flash intact.
  flash.seu_case2.Fire();
  ExpectMarks({1, 0, 0, 2, 0}, flash);
  // The last replica of the last device corrupts the flash.
  Set(flash, {1, 1, 0, 0, 0});
  flash.seu_case2.Fire();
  ExpectMarks({0, 0, 1, 1, 0}, flash);
}

TEST_F(FlashFiringTest, SefiEmptiesTheDevice) {
  SetModelGlobals(3, 3);
  redundant_controller_flash_systemSAN flash;
  EXPECT_EQ(&flash.sefi, flash.sefi.Fire());
  ExpectMarks({2, 0, 0, 0, 1}, flash);
  EXPECT_FALSE(flash.sefi.Enabled());
  EXPECT_FALSE(flash.seu_case1.Enabled());
  EXPECT_FALSE(flash.seu_case2.Enabled());
  Set(flash, {1, 2, 0, 0, 1});
  flash.sefi.Fire();
  ExpectMarks({0, 0, 1, 0, 2}, flash);
}

TEST_F(FlashFiringTest, PowerCycleRestoresUpToNumReplicas) {
  SetModelGlobals(1, 2);
  redundant_controller_flash_systemSAN flash;
  EXPECT_FALSE(flash.power_cycle.Enabled());  // replicas_available == num_replicas
  Set(flash, {0, 0, 1, 3, 1});
  EXPECT_TRUE(flash.power_cycle.Enabled());
  EXPECT_EQ(&flash.power_cycle, flash.power_cycle.Fire());
  ExpectMarks({1, 2, 0, 3, 1}, flash);
  EXPECT_FALSE(flash.power_cycle.Enabled());
  // The bound is the global as it is when evaluated.
  num_replicas = 3;
  EXPECT_TRUE(flash.power_cycle.Enabled());
  flash.power_cycle.Fire();
  ExpectMarks({2, 3, 0, 3, 1}, flash);
}

// An exponential activity draws exactly one uniform u and returns
// -ln(u) / rate; deterministic and instantaneous ones draw nothing.
TEST_F(SamplingTest, ExponentialActivitiesDrawOneUniformEach) {
  ram_systemSAN ram;
  redundant_controller_flash_systemSAN flash;
  const double u1 = TheDistribution->GetGenerator()->rnd();
  const double u2 = TheDistribution->GetGenerator()->rnd();
  const double u3 = TheDistribution->GetGenerator()->rnd();
  const double u4 = TheDistribution->GetGenerator()->rnd();
  ResetTheGenerator();
  EXPECT_DOUBLE_EQ(-std::log(u1) / 6.012, ram.bit_errorGroup.SampleDistribution());
  EXPECT_EQ(0.0, ram.failure.SampleDistribution());
  EXPECT_EQ(0.00347, ram.watchdog_reboot.SampleDistribution());
  EXPECT_DOUBLE_EQ(-std::log(u2) / static_cast<double>(0.005f),
                   ram.random_failure.SampleDistribution());
  EXPECT_EQ(1000.0, flash.power_cycle.SampleDistribution());
  EXPECT_DOUBLE_EQ(-std::log(u3) / 6.44e-7, flash.seuGroup.SampleDistribution());
  EXPECT_DOUBLE_EQ(-std::log(u4) / 0.00274, flash.sefi.SampleDistribution());
}

}  // namespace

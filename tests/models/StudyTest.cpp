// The range study: its nine experiments, name lookups, overrides, printing
// and the GenerateStudy/DestructStudy life cycle. Expected values are the
// experiment table of the model written out by hand.
#include <gtest/gtest.h>

#include <string>

#include "ModelFixture.h"
#include "redundant_controller_flash_model.h"

namespace {

using StudyTest = ModelFixture;

TEST_F(StudyTest, DeclaresSixGlobalsAndNineExperiments) {
  BaseStudyClass* study = GenerateStudy();
  ASSERT_EQ(6, study->GetNumGVs());
  EXPECT_EQ(9, study->GetNumExps());
  const char* names[] = {"flash_size",       "num_devices", "num_replicas",
                         "power_cycle_rate", "ram_size",    "random_failure_rate"};
  const char* types[] = {"float", "short", "short", "float", "float", "float"};
  for (int i = 0; i < 6; i++) {
    EXPECT_STREQ(names[i], study->GetGVName(i));
    EXPECT_STREQ(types[i], study->GetGVType(i));
  }
  EXPECT_STREQ("Experiment 1", study->GetExpName(0));
  EXPECT_STREQ("Experiment 9", study->GetExpName(8));
}

// Experiment e (1-based): num_devices = (e - 1) mod 3 + 1 and
// num_replicas = (e - 1) div 3 + 1; the other four are the same in all.
TEST_F(StudyTest, SetGVsWritesEachExperimentsColumnValues) {
  BaseStudyClass* study = GenerateStudy();
  const short devices[] = {1, 2, 3, 1, 2, 3, 1, 2, 3};
  const short replicas[] = {1, 1, 1, 2, 2, 2, 3, 3, 3};
  for (int e = 0; e < 9; e++) {
    SetModelGlobals(0, 0);
    flash_size = power_cycle_rate = ram_size = random_failure_rate = 0.0f;
    study->SetGVs(e);
    EXPECT_EQ(17.0f, flash_size) << e;
    EXPECT_EQ(devices[e], num_devices) << e;
    EXPECT_EQ(replicas[e], num_replicas) << e;
    EXPECT_EQ(1000.0f, power_cycle_rate) << e;
    EXPECT_EQ(128.0f, ram_size) << e;
    // The nearest float to 0.005 is 0.004999999888241291046142578125.
    EXPECT_EQ(0.004999999888241291, static_cast<double>(random_failure_rate)) << e;
  }
}

TEST_F(StudyTest, GetGVValueKnowsTheGlobalsByName) {
  BaseStudyClass* study = GenerateStudy();
  char flash[] = "flash_size", devices[] = "num_devices", rate[] = "random_failure_rate";
  EXPECT_EQ(static_cast<void*>(&flash_size), study->GetGVValue(flash));
  EXPECT_EQ(static_cast<void*>(&num_devices), study->GetGVValue(devices));
  EXPECT_EQ(static_cast<void*>(&random_failure_rate), study->GetGVValue(rate));
  char unknown[] = "num_device";
  testing::internal::CaptureStderr();
  EXPECT_EQ(nullptr, study->GetGVValue(unknown));
  EXPECT_EQ(
      "!! redundant_controller_flash_studyRangeStudy::GetGVValue: Global Variable num_device does "
      "not exist.\n",
      testing::internal::GetCapturedStderr());
}

TEST_F(StudyTest, OverrideGVValueReadsTheVariablesOwnType) {
  BaseStudyClass* study = GenerateStudy();
  char replicasName[] = "num_replicas", ramName[] = "ram_size";
  short three = 3;
  float big = 256.0f;
  study->OverrideGVValue(replicasName, &three);
  study->OverrideGVValue(ramName, &big);
  EXPECT_EQ(3, num_replicas);
  EXPECT_EQ(256.0f, ram_size);
  EXPECT_EQ(1, num_devices);  // neighbours untouched

  char unknown[] = "ramsize";
  testing::internal::CaptureStderr();
  study->OverrideGVValue(unknown, &big);
  EXPECT_EQ(
      "!! redundant_controller_flash_studyRangeStudy::OverrideGVValue: Global Variable ramsize "
      "does not exist.\n",
      testing::internal::GetCapturedStderr());
}

TEST_F(StudyTest, OverrideTextAppliesAfterTheExperiment) {
  BaseStudyClass* study = GenerateStudy();
  study->SetGVs(0);
  char text[] = "s:num_replicas:2:f:ram_size:256:s:num_devices:3";
  study->overrideGVs(text);
  EXPECT_EQ(2, num_replicas);
  EXPECT_EQ(256.0f, ram_size);
  EXPECT_EQ(3, num_devices);
  EXPECT_EQ(17.0f, flash_size);
}

TEST_F(StudyTest, PrintGlobalValuesSetsAndListsTheExperiment) {
  BaseStudyClass* study = GenerateStudy();
  testing::internal::CaptureStdout();
  study->PrintGlobalValues(4);
  // Six significant digits: 17.0 prints as 17 and the float 0.005 as 0.005.
  EXPECT_EQ(
      "The Global Variable values for experiment Experiment 5 are:\n"
      "flash_size\tfloat\t17\n"
      "num_devices\tshort\t2\n"
      "num_replicas\tshort\t2\n"
      "power_cycle_rate\tfloat\t1000\n"
      "ram_size\tfloat\t128\n"
      "random_failure_rate\tfloat\t0.005\n",
      testing::internal::GetCapturedStdout());
  EXPECT_EQ(2, num_devices);
}

TEST_F(StudyTest, GenerateStudyKeepsOneStudyUntilDestroyed) {
  BaseStudyClass* first = GenerateStudy();
  EXPECT_EQ(first, GenerateStudy());
  EXPECT_EQ(first, GlobalStudyPtr);
  EXPECT_NE(nullptr, dynamic_cast<redundant_controller_flash_studyRangeStudy*>(first));
  DestructStudy();
  EXPECT_EQ(nullptr, GlobalStudyPtr);
  DestructStudy();  // nothing left to destroy
  EXPECT_NE(nullptr, GenerateStudy());
}

// Case weights under each experiment, from the table: seu case 2 weighs
// num_replicas * 17 / 512 on a fresh replica, bit_error case 2 weighs
// 128 / 512 = 0.25, page_error case 2 always 0.25.
TEST_F(StudyTest, CaseWeightsOfEveryExperiment) {
  BaseStudyClass* study = GenerateStudy();
  const int replicas[] = {1, 1, 1, 2, 2, 2, 3, 3, 3};
  for (int e = 0; e < 9; e++) {
    study->SetGVs(e);
    ram_systemSAN ram;
    redundant_controller_flash_systemSAN flash;
    EXPECT_DOUBLE_EQ(replicas[e] * 17.0 / 512.0, flash.seu_case2.Weight()) << e;
    EXPECT_DOUBLE_EQ(1.0 - replicas[e] * 17.0 / 512.0, flash.seu_case1.Weight()) << e;
    EXPECT_EQ(0.75, ram.bit_error_case1.Weight()) << e;
    EXPECT_EQ(0.25, ram.bit_error_case2.Weight()) << e;
    EXPECT_EQ(0.25, ram.page_error_case2.Weight()) << e;
    EXPECT_EQ(1000.0, flash.power_cycle.SampleDistribution()) << e;
  }
}

}  // namespace

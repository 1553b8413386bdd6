// Tests of the study as the simulator drives it: experiment values and
// overrides reach the composed model that GetPVModel builds, and a count
// that leaves the model unbuildable ends the process with status 1.
#include <gtest/gtest.h>

#include "CellsRewardModel.h"
#include "FrameworkFixture.h"
#include "TestStudy.h"
#include "reward/PVModel.h"
#include "reward/PerformanceVariableNode.h"

namespace {

class StudyRewardModelTest : public FrameworkFixture {
 protected:
  void SetUp() override {
    FrameworkFixture::SetUp();
    DestructStudy();
    teststudy::ResetGlobals();
  }
  void TearDown() override {
    DestructStudy();
    FrameworkFixture::TearDown();
  }

  // The driver's start-up order: study, experiment, override, reward model.
  PVModel* Build(int experiment, const char* overrideText) {
    BaseStudyClass* study = GenerateStudy();
    study->SetGVs(experiment);
    if (overrideText != nullptr) {
      std::string text(overrideText);
      study->overrideGVs(&text[0]);
    }
    return study->GetPVModel(true);
  }
};

TEST_F(StudyRewardModelTest, ExperimentValueSetsTheReplicaCount) {
  PVModel* model = Build(1, nullptr);  // experiment 1: shortGV = 2
  ASSERT_NE(model, nullptr);
  EXPECT_EQ(model->getTopModel()->GetNumberOfChildren(), 2);
  // One worker per replica; each replica's x starts at 1.
  EXPECT_EQ(model->getPVNode(0)->NumberOfWorkers, 2);
  EXPECT_EQ(model->StateSize(), 4);
}

TEST_F(StudyRewardModelTest, OverrideAppliedBeforeTheModelIsBuilt) {
  PVModel* model = Build(0, "s:shortGV:3");
  EXPECT_EQ(model->getTopModel()->GetNumberOfChildren(), 3);
  EXPECT_EQ(model->getPVNode(0)->NumberOfWorkers, 3);
}

TEST_F(StudyRewardModelTest, EachGetPVModelReplacesTheStoredModel) {
  PVModel* first = Build(0, nullptr);
  ASSERT_NE(first, nullptr);
  PVModel* second = GlobalStudyPtr->GetPVModel(true);  // the first is destroyed here
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->getTopModel()->GetNumberOfChildren(), 1);
  // DestructStudy (TearDown) releases the second; ASan reports a leak or a
  // double release.
}

using StudyRewardModelDeathTest = StudyRewardModelTest;

TEST_F(StudyRewardModelDeathTest, OverrideToZeroReplicasIsAFailureExit) {
  // No instance of "cell" is left for the reward variable to measure.
  EXPECT_EXIT(Build(0, "s:shortGV:0"), testing::ExitedWithCode(1),
              "^Number of cell's was 0\\.  Model cannot be created\\.\n"
              "Model Name was: cells\n\\.$");
}

TEST_F(StudyRewardModelDeathTest, OverrideToNegativeReplicasIsAFailureExit) {
  EXPECT_EXIT(Build(0, "s:shortGV:-2"), testing::ExitedWithCode(1),
              "^Number of reps for cells must be >= 0\\.\n$");
}

}  // namespace

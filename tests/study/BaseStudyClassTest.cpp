// Tests of the study base: the override text, experiment names, the base
// defaults and the process-wide study factory.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "TestStudy.h"
#include "study/BaseStudyClass.h"

namespace {

using teststudy::TestStudy;

class StudyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DestructStudy();
    teststudy::ResetGlobals();
  }
  void TearDown() override { DestructStudy(); }

  // Runs overrideGVs on a writable copy of text and returns what it printed.
  std::string Override(const char* text) {
    std::string copy(text);
    testing::internal::CaptureStdout();
    study.overrideGVs(&copy[0]);
    return testing::internal::GetCapturedStdout();
  }

  TestStudy study;
};

TEST_F(StudyTest, EveryTypeLetterConvertsItsValue) {
  EXPECT_EQ(Override("b:flagGV:7:c:letterGV:xyz:d:doubleGV:2.5:f:floatGV:256"), "");
  EXPECT_TRUE(teststudy::flagGV);
  EXPECT_EQ(teststudy::letterGV, 'x');  // "%c" takes the first character only
  EXPECT_EQ(teststudy::doubleGV, 2.5);
  EXPECT_EQ(teststudy::floatGV, 256.0f);

  EXPECT_EQ(Override("i:intGV:0x1F:l:longGV:-123456789:s:shortGV:2"), "");
  EXPECT_EQ(teststudy::intGV, 31);  // "%i" reads 0x as hexadecimal
  EXPECT_EQ(teststudy::longGV, -123456789L);
  EXPECT_EQ(teststudy::shortGV, 2);
  EXPECT_EQ(study.overrideCalls, 7);
}

TEST_F(StudyTest, IntegerLettersFollowTheirBase) {
  Override("i:intGV:010");
  EXPECT_EQ(teststudy::intGV, 8);  // a leading 0 is octal under "%i"
  Override("l:longGV:0x10");
  EXPECT_EQ(teststudy::longGV, 16L);
  Override("s:shortGV:-7");
  EXPECT_EQ(teststudy::shortGV, -7);
  Override("b:flagGV:0");
  EXPECT_FALSE(teststudy::flagGV);  // true only for a non-zero short
}

// The study reads the passed bytes as the variable's own type. A letter
// narrower than that type still passes a zero-filled value of the widest
// kind, so nothing is read beyond it (ASan would report the over-read).
TEST_F(StudyTest, MismatchedLetterPassesItsBytesZeroFilled) {
  Override("s:doubleGV:1");
  short one = 1;
  double expected = 0.0;
  std::memcpy(&expected, &one, sizeof one);  // short 1, then zero bytes
  EXPECT_EQ(std::memcmp(&teststudy::doubleGV, &expected, sizeof expected), 0);
  Override("b:longGV:3");
  bool yes = true;
  long expectedLong = 0;
  std::memcpy(&expectedLong, &yes, sizeof yes);
  EXPECT_EQ(teststudy::longGV, expectedLong);
}

TEST_F(StudyTest, IncompleteTripleStopsWithMessageAndKeepsEarlierTriples) {
  EXPECT_EQ(Override("s:shortGV:2:f:floatGV"), "Not enough double override tokens");
  EXPECT_EQ(teststudy::shortGV, 2);
  EXPECT_EQ(teststudy::floatGV, -1.0f);
  EXPECT_EQ(study.overrideCalls, 1);
  // A letter alone is incomplete too, and so is an unknown letter whose
  // name or value is missing: the fields are taken before the letter is
  // looked at.
  EXPECT_EQ(Override("f"), "Not enough double override tokens");
  EXPECT_EQ(Override("x:floatGV"), "Not enough double override tokens");
  EXPECT_EQ(study.overrideCalls, 1);
}

TEST_F(StudyTest, UnknownLetterSkipsItsTripleOnly) {
  EXPECT_EQ(Override("x:floatGV:1:s:shortGV:3"), "Type x not recognized\n");
  EXPECT_EQ(teststudy::floatGV, -1.0f);
  EXPECT_EQ(teststudy::shortGV, 3);
  EXPECT_EQ(study.overrideCalls, 1);
  // Letters are case-sensitive.
  EXPECT_EQ(Override("S:shortGV:4"), "Type S not recognized\n");
  EXPECT_EQ(teststudy::shortGV, 3);
}

TEST_F(StudyTest, EmptyFieldsAreSkippedAndOnlyTheFirstLetterCounts) {
  Override("::s::shortGV:3");
  EXPECT_EQ(teststudy::shortGV, 3);
  Override("short:shortGV:4::");
  EXPECT_EQ(teststudy::shortGV, 4);
  EXPECT_EQ(Override(":::"), "");
  EXPECT_EQ(study.overrideCalls, 2);
}

TEST_F(StudyTest, UnconvertibleValuePassesZero) {
  Override("s:shortGV:abc:f:floatGV:zz");
  EXPECT_EQ(teststudy::shortGV, 0);
  EXPECT_EQ(teststudy::floatGV, 0.0f);
}

TEST_F(StudyTest, TextIsNotChangedAndNullTextDoesNothing) {
  char text[] = "s:shortGV:5";
  study.overrideGVs(text);
  EXPECT_STREQ(text, "s:shortGV:5");
  EXPECT_EQ(teststudy::shortGV, 5);
  study.overrideGVs(nullptr);
  EXPECT_EQ(study.overrideCalls, 1);
}

TEST_F(StudyTest, UnknownNameReachesTheStudyAndTheNextTripleStillApplies) {
  testing::internal::CaptureStderr();
  Override("f:nosuch:1:s:shortGV:9");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "!! TestStudy::OverrideGVValue: Global Variable nosuch does not exist.\n");
  EXPECT_EQ(teststudy::shortGV, 9);
}

TEST_F(StudyTest, ExperimentNamesShareOneBuffer) {
  char* first = BaseStudyClass::GetExpName(0);
  EXPECT_STREQ(first, "Experiment 1");
  char* second = BaseStudyClass::GetExpName(41);
  EXPECT_EQ(first, second);
  EXPECT_STREQ(first, "Experiment 42");
  EXPECT_STREQ(BaseStudyClass::GetExpName(2147483646), "Experiment 2147483647");
}

TEST(StudyBaseTest, DefaultsOfTheBase) {
  BaseStudyClass base;
  EXPECT_EQ(base.GetNumGVs(), 0);
  EXPECT_EQ(base.GetNumExps(), 0);
  EXPECT_EQ(base.GetPVModel(true), nullptr);
  char name[] = "anything";
  EXPECT_EQ(base.GetGVValue(name), nullptr);
  testing::internal::CaptureStdout();
  base.SetGVs(0);
  base.PrintGlobalValues(0);
  int value = 3;
  base.OverrideGVValue(name, &value);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "basestudyclass::SetGVs\n");
}

TEST(StudyFactoryTest, GenerateStudyKeepsOneStudyUntilDestructed) {
  DestructStudy();
  ASSERT_EQ(GlobalStudyPtr, nullptr);
  BaseStudyClass* first = GenerateStudy();
  EXPECT_EQ(GlobalStudyPtr, first);
  EXPECT_EQ(GenerateStudy(), first);
  DestructStudy();
  EXPECT_EQ(GlobalStudyPtr, nullptr);
  BaseStudyClass* again = GenerateStudy();
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(GlobalStudyPtr, again);
  DestructStudy();
}

}  // namespace

// Tests of actions: ids, tags, leaf variable lists, reward tables, Erlang
// phases and the info listing.
#include <gtest/gtest.h>

#include <sstream>

#include "FrameworkFixture.h"
#include "TestActions.h"
#include "framework/BaseActionClass.h"
#include "framework/state/Place.h"

namespace {

class ActionTest : public FrameworkFixture {};

// An action with a chosen number of Erlang phases.
class ErlangAction : public BaseActionClass {
 public:
  explicit ErlangAction(double m) : phases(m) {}
  double ErlangParamM() override { return phases; }
  double phases;
};

TEST_F(ActionTest, IdsAreConsecutiveFromZero) {
  BaseActionClass first;
  BaseActionClass second;
  ScriptedActivity third("third");
  EXPECT_EQ(first.getActionId(), 0);
  EXPECT_EQ(second.getActionId(), 1);
  EXPECT_EQ(third.getActionId(), 2);
  EXPECT_EQ(BaseActionClass::MaxID, 3);
}

TEST_F(ActionTest, DefaultsAndInitialization) {
  BaseActionClass a;
  EXPECT_STREQ(a.getName(), "default");
  EXPECT_EQ(a.groupId, 0);
  EXPECT_EQ(a.distributionType, kExponential);
  EXPECT_EQ(a.executionPolicy, kRaceEnabled);
  EXPECT_TRUE(a.disabled);
  EXPECT_FALSE(a.reactivation);
  EXPECT_FALSE(a.fired);
  EXPECT_EQ(a.phase, 1);
  EXPECT_EQ(a.affectsList, nullptr);
  EXPECT_EQ(a.getScheduleRecord(), nullptr);
  EXPECT_EQ(a.getModel(), nullptr);
  EXPECT_FALSE(a.IsPVRateDSAllocated());
  EXPECT_FALSE(a.IsPVImpulseDSAllocated());
  EXPECT_TRUE(a.IsAMember(&a));
  EXPECT_EQ(a.Fire(), nullptr);
  EXPECT_EQ(a.ReturnDistributionParameters(), nullptr);
  a.SetFired(2);
  EXPECT_TRUE(a.fired);
  a.SetFired(0);
  EXPECT_FALSE(a.fired);

  BaseActionClass b("timer", 4, kInstantaneous, kRaceEnabled, 3, 1, true);
  EXPECT_STREQ(b.getName(), "timer");
  EXPECT_EQ(b.groupId, 4);
  EXPECT_EQ(static_cast<int>(b.distributionType), 18);
  EXPECT_TRUE(b.reactivation);
  EXPECT_EQ(b.getNumAffectedSVs(), 0);  // the counts are only hints
  b.defineName("renamed");
  EXPECT_STREQ(b.getName(), "renamed");
}

TEST_F(ActionTest, VariableListsHoldEachLeafOnce) {
  Place p("p", 0);
  Place q("q", 0);
  ScriptedActivity act("act");
  act.addEnablingSV(&p);
  act.addEnablingSV(&p);
  act.addAffectedSV(&q);
  EXPECT_EQ(act.getNumEnablingSVs(), 1);
  EXPECT_TRUE(act.IsAnAffectingStateVariable(&q));
  EXPECT_FALSE(act.IsAnAffectingStateVariable(&p));
  std::ostringstream out;
  act.printAffectedState(&out);
  act.printEnablingState(&out);
  EXPECT_EQ(out.str(), "q = 0\np = 0\n");
  act.removeEnablingSV(&p);
  EXPECT_EQ(act.getNumEnablingSVs(), 0);
}

TEST_F(ActionTest, ReadyToFireWhenThePhaseReachesTheErlangCount) {
  ErlangAction one(1.0);
  one.ResetPhase();
  EXPECT_TRUE(one.ReadyToFire());
  ErlangAction three(3.0);
  three.ResetPhase();
  EXPECT_FALSE(three.ReadyToFire());
  three.Age();
  EXPECT_FALSE(three.ReadyToFire());
  three.Age();
  EXPECT_TRUE(three.ReadyToFire());
  three.ResetPhase();
  EXPECT_EQ(three.phase, 1);
}

TEST_F(ActionTest, RewardTablesAreAllocatedEmptyAndReleased) {
  BaseActionClass a;
  a.AllocatePVRateDS(3);
  ASSERT_TRUE(a.IsPVRateDSAllocated());
  a.rateSets[2].insert(7);
  EXPECT_TRUE(a.rateSets[2].find(7));
  EXPECT_TRUE(a.rateSets[0].empty());
  a.AllocatePVImpulseDS(2);
  ASSERT_TRUE(a.IsPVImpulseDSAllocated());
  EXPECT_EQ(a.impulseWorkers[0], nullptr);
  EXPECT_EQ(a.impulseWorkers[1], nullptr);
  EXPECT_EQ(a.impulseWorkerCounts[1], nullptr);
  EXPECT_TRUE(a.impulseSets[1].empty());
  a.DeallocatePVRateDS();
  a.DeallocatePVImpulseDS();
  EXPECT_FALSE(a.IsPVRateDSAllocated());
  EXPECT_FALSE(a.IsPVImpulseDSAllocated());
  a.DeallocatePVRateDS();  // absent tables: nothing to do
  a.AllocatePVRateDS(1);   // released by the destructor
}

// The listing of an action without variables, then with one enabling and
// one affected variable, each under its heading after eleven spaces.
TEST_F(ActionTest, PrintInfoListsHeaderVariablesAndTags) {
  BaseActionClass a("solo", 2, kDeterministic, kRaceEnabled, 0, 0, false);
  testing::internal::CaptureStdout();
  a.PrintInfo();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "********* solo**********\n"
            "\n"
            "Enabled by:\n"
            "Affects:\n"
            "Group ID = 2\n"
            "Execution Policy = 1\n"
            "Disabled = 1\n"
            "Reactivation = 0\n"
            "DistributionType = 2\n");

  Place p("p", 0);
  Place q("q", 0);
  ScriptedActivity act("act");
  act.addEnablingSV(&p);
  act.addAffectedSV(&q);
  act.disabled = false;
  BaseActionClass& asAction = act;  // the action listing, not the group's
  testing::internal::CaptureStdout();
  asAction.PrintInfo();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "********* act**********\n"
            "\n"
            "Enabled by:\n"
            "           p\n"
            "Affects:\n"
            "           q\n"
            "Group ID = 0\n"
            "Execution Policy = 1\n"
            "Disabled = 0\n"
            "Reactivation = 0\n"
            "DistributionType = 1\n");
}

}  // namespace

// Tests of groups: the weighted one-draw selection (fed with chosen
// uniforms), ranks, zero weights, probabilities, the four group kinds and
// their printing.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "FrameworkFixture.h"
#include "TestActions.h"
#include "framework/BaseGroupClass.h"
#include "framework/EmptyGroup.h"
#include "framework/PostselectGroup.h"
#include "framework/PreselectGroup.h"
#include "framework/SingleGroup.h"

namespace {

class GroupTest : public FrameworkFixture {
 protected:
  // A plain group over the given activities, in order.
  static void Fill(BaseGroupClass* g, std::vector<ScriptedActivity*> acts) {
    g->initialize(static_cast<int>(acts.size()), "g");
    for (ScriptedActivity* a : acts) g->appendGroup(a);
  }
};

TEST_F(GroupTest, NothingEnabledStillConsumesOneDrawAndSelectsNothing) {
  ScriptedActivity a("a", false);
  ScriptedActivity b("b", false);
  a.disabled = false;
  BaseGroupClass g;
  Fill(&g, {&a, &b});
  ScriptedGenerator* gen = ScriptUniforms({0.3, 0.0});
  EXPECT_FALSE(g.SelectAction());
  EXPECT_EQ(gen->drawn, 1);
  EXPECT_EQ(g.getSelectedAction(), nullptr);
  EXPECT_TRUE(a.disabled);
  EXPECT_TRUE(b.disabled);
  EXPECT_EQ(g.CalculateWeightDistribution(), -1.0);
  // A uniform of exactly 0 must not turn "nothing enabled" into a choice.
  EXPECT_FALSE(g.SelectAction());
  EXPECT_EQ(gen->drawn, 2);
  EXPECT_EQ(g.getSelectedAction(), nullptr);
}

// Weights 1 and 3: cumulative entries 1 and 4; x = 4u. The first entry
// strictly greater than x wins, so u = 0.25 (x = 1) passes over entry 0.
TEST_F(GroupTest, CumulativeWeightEqualToTheDrawIsPassedOver) {
  ScriptedActivity a("a", true, 1.0);
  ScriptedActivity b("b", true, 3.0);
  BaseGroupClass g;
  Fill(&g, {&a, &b});
  ScriptUniforms({0.2499, 0.25, 0.0, 0.9999});
  ASSERT_TRUE(g.SelectAction());
  EXPECT_EQ(g.getSelectedAction(), &a);
  ASSERT_TRUE(g.SelectAction());
  EXPECT_EQ(g.getSelectedAction(), &b);
  ASSERT_TRUE(g.SelectAction());
  EXPECT_EQ(g.getSelectedAction(), &a);
  ASSERT_TRUE(g.SelectAction());
  EXPECT_EQ(g.getSelectedAction(), &b);
  EXPECT_EQ(g.getNumEntries(), 2);
  EXPECT_DOUBLE_EQ(g.getWeightDistribution()[1].cumulativeWeight, 4.0);
}

// Seven members with weights 1..7 (total 28): the chosen member is the
// first whose running sum exceeds 28u, computed here by a linear scan.
TEST_F(GroupTest, BinarySearchAgreesWithALinearScan) {
  std::vector<ScriptedActivity*> acts;
  for (int i = 0; i < 7; i++) {
    acts.push_back(new ScriptedActivity("m", true, i + 1.0));
  }
  BaseGroupClass g;
  Fill(&g, acts);
  std::vector<double> us;
  for (int k = 0; k <= 28; k++) us.push_back(k / 28.0 * 0.99999 + (k % 3) * 1e-4);
  ScriptUniforms(us);
  for (double u : us) {
    double x = u * 28.0;
    double running = 0.0;
    int expected = 6;
    for (int i = 0; i < 7; i++) {
      running += i + 1.0;
      if (running > x) {
        expected = i;
        break;
      }
    }
    ASSERT_TRUE(g.SelectAction());
    EXPECT_EQ(g.getSelectedAction(), acts[static_cast<size_t>(expected)]) << "u=" << u;
  }
  for (ScriptedActivity* a : acts) delete a;
}

TEST_F(GroupTest, HigherRankRestartsTheDistribution) {
  ScriptedActivity first("first", true, 5.0, 1);
  ScriptedActivity second("second", true, 5.0, 1);
  ScriptedActivity top("top", true, 1.0, 2);
  ScriptedActivity later("later", true, 9.0, 1);
  ScriptedActivity off("off", false, 9.0, 3);
  BaseGroupClass g;
  Fill(&g, {&first, &second, &top, &later, &off});
  ScriptUniforms({0.0, 0.999});
  ASSERT_TRUE(g.SelectAction());
  EXPECT_EQ(g.getSelectedAction(), &top);
  ASSERT_TRUE(g.SelectAction());
  EXPECT_EQ(g.getSelectedAction(), &top);
  EXPECT_EQ(g.getHighestRank(), 2);
  EXPECT_EQ(g.getNumEntries(), 1);
  // Members that entered before the higher rank keep a cleared flag.
  EXPECT_FALSE(first.disabled);
  EXPECT_FALSE(second.disabled);
  EXPECT_FALSE(top.disabled);
  EXPECT_TRUE(later.disabled);
  EXPECT_TRUE(off.disabled);
}

TEST_F(GroupTest, EachMemberIsEvaluatedOncePerDraw) {
  ScriptedActivity a("a", true);
  ScriptedActivity b("b", false);
  BaseGroupClass g;
  Fill(&g, {&a, &b});
  ScriptUniforms({0.5});
  g.CalculateWeightDistribution();
  EXPECT_EQ(a.evaluations, 1);
  EXPECT_EQ(b.evaluations, 1);
}

// All weights 0: x = 0, no cumulative entry exceeds it, the last is taken.
TEST_F(GroupTest, ZeroWeightsSelectTheLastEntry) {
  ScriptedActivity a("a", true, 0.0);
  ScriptedActivity b("b", true, 0.0);
  ScriptedActivity c("c", true, 0.0);
  ScriptedActivity d("d", false, 0.0);
  BaseGroupClass g;
  Fill(&g, {&a, &b, &c, &d});
  ScriptUniforms({0.0, 0.7});
  ASSERT_TRUE(g.SelectAction());
  EXPECT_EQ(g.getSelectedAction(), &c);
  ASSERT_TRUE(g.SelectAction());
  EXPECT_EQ(g.getSelectedAction(), &c);
}

// Outer draw 0.7 over two equally weighted case groups picks the second
// (x = 1.4 > 1); its own draw 0.1 over cases of weight 1 picks its first.
TEST_F(GroupTest, NestedGroupsDrawInTurn) {
  ScriptedActivity a("a");
  ScriptedActivity b("b");
  ScriptedActivity c("c");
  ScriptedActivity d("d");
  PostselectGroup p1;
  PostselectGroup p2;
  Fill(&p1, {&a, &b});
  Fill(&p2, {&c, &d});
  BaseGroupClass outer;
  outer.initialize(2, "outer");
  outer.appendGroup(&p1);
  outer.appendGroup(&p2);
  ScriptedGenerator* gen = ScriptUniforms({0.7, 0.1});
  ASSERT_TRUE(outer.SelectAction());
  EXPECT_EQ(outer.getSelectedAction(), &c);
  EXPECT_EQ(gen->drawn, 2);
  // Each case group has weight 1, so c stands for 1/2 * 1/2.
  EXPECT_DOUBLE_EQ(outer.Probability(&c), 0.25);
  EXPECT_TRUE(outer.IsAMember(&p1));
  EXPECT_FALSE(outer.IsAMember(&c));
}

TEST_F(GroupTest, ProbabilityIsTheWeightShareAmongTheHighestRank) {
  ScriptedActivity c1("c1", true, 0.3);
  ScriptedActivity c2("c2", true, 0.7);
  BaseGroupClass g;
  Fill(&g, {&c1, &c2});
  EXPECT_DOUBLE_EQ(g.Probability(&c1), 0.3);
  EXPECT_DOUBLE_EQ(g.Probability(&c2), 0.7);
  c2.on = false;  // only c1 competes now
  EXPECT_DOUBLE_EQ(g.Probability(&c1), 1.0);
  c2.on = true;
  c2.rank = 4;  // c1 is outranked
  EXPECT_EQ(g.Probability(&c1), 0.0);
  ScriptedActivity stranger("stranger");
  EXPECT_EQ(g.Probability(&stranger), 0.0);
}

TEST_F(GroupTest, ProbabilityWithZeroTotalWeightWarnsAndIsNotFinite) {
  ScriptedActivity a("a", true, 0.0);
  BaseGroupClass g;
  Fill(&g, {&a});
  testing::internal::CaptureStdout();
  double p = g.Probability(&a);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "BaseGroupClass::Probability() TotalWeight is zero.\n");
  EXPECT_FALSE(std::isfinite(p));
}

TEST_F(GroupTest, BaseFireFiresTheSelectionAndClearsIt) {
  ScriptedActivity a("a");
  BaseGroupClass g;
  Fill(&g, {&a});
  ScriptUniforms({0.5});
  ASSERT_TRUE(g.SelectAction());
  EXPECT_EQ(g.Weight(), 1.0);
  EXPECT_EQ(g.SampleDistribution(), 2.5);
  EXPECT_EQ(g.Fire(), &a);
  EXPECT_EQ(a.firings, 1);
  EXPECT_EQ(g.getSelectedAction(), nullptr);
  EXPECT_DEATH(g.Rank(), "file BaseGroupClass");
}

TEST_F(GroupTest, PostselectDrawsTheCaseAtFiring) {
  ScriptedActivity c1("c1", true, 0.75);
  ScriptedActivity c2("c2", true, 0.25);
  c1.delay = 4.0;
  PostselectGroup g;
  Fill(&g, {&c1, &c2});
  ScriptedGenerator* gen = ScriptUniforms({0.8, 0.1});
  EXPECT_TRUE(g.Enabled());
  EXPECT_EQ(g.Weight(), 1.0);
  EXPECT_EQ(g.Rank(), 1);
  EXPECT_EQ(g.SampleDistribution(), 4.0);  // the first case's timing
  EXPECT_EQ(gen->drawn, 0);
  EXPECT_EQ(g.Fire(), &c2);  // x = 0.8 >= 0.75
  EXPECT_EQ(g.Fire(), &c1);
  EXPECT_EQ(c1.firings, 1);
  EXPECT_EQ(c2.firings, 1);
  EXPECT_EQ(g.getSelectedAction(), nullptr);
  EXPECT_EQ(gen->drawn, 2);
}

TEST_F(GroupTest, PostselectWithCountStoresMembersBySetMember) {
  ScriptedActivity c1("c1");
  ScriptedActivity c2("c2");
  PostselectGroup g(2);
  EXPECT_EQ(g.getNumMembers(), 2);
  g.setMember(&c1, 0);
  g.setMember(&c2, 1);
  testing::internal::CaptureStderr();
  g.setMember(&c1, 2);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Array out of bounds error at Array out of bounds "
            "(BaseGroupClass::setMember()\n");
  EXPECT_EQ(g.getMember(0), &c1);
  EXPECT_EQ(g.getMember(1), &c2);
}

TEST_F(GroupTest, PreselectKeepsItsChoiceUntilItFires) {
  ScriptedActivity a("a", true, 1.0);
  ScriptedActivity b("b", true, 1.0);
  a.delay = 1.0;
  b.delay = 2.0;
  PreselectGroup g(2);
  g.appendGroup(&a);
  g.appendGroup(&b);
  ScriptedGenerator* gen = ScriptUniforms({0.9, 0.1});
  EXPECT_TRUE(g.isSelectionPending());
  EXPECT_TRUE(g.Enabled());  // draws: 0.9 -> b
  EXPECT_EQ(gen->drawn, 1);
  EXPECT_FALSE(g.isSelectionPending());
  EXPECT_EQ(g.SampleDistribution(), 2.0);
  EXPECT_EQ(g.Rank(), 0);
  EXPECT_EQ(gen->drawn, 1);
  EXPECT_EQ(g.Fire(), &b);
  EXPECT_TRUE(g.isSelectionPending());
  EXPECT_EQ(g.getSelectedAction(), &b);    // kept after firing
  EXPECT_EQ(g.SampleDistribution(), 1.0);  // draws again: 0.1 -> a
  EXPECT_EQ(gen->drawn, 2);
}

TEST_F(GroupTest, PreselectStaysPendingWhenNothingIsEnabled) {
  ScriptedActivity a("a", false);
  PreselectGroup g(1);
  g.appendGroup(&a);
  ScriptedGenerator* gen = ScriptUniforms({0.5, 0.5});
  EXPECT_FALSE(g.Enabled());
  EXPECT_TRUE(g.isSelectionPending());
  a.on = true;
  EXPECT_TRUE(g.Enabled());
  EXPECT_FALSE(g.isSelectionPending());
  EXPECT_EQ(gen->drawn, 2);
}

TEST_F(GroupTest, SingleGroupForwardsAndTracksEnabling) {
  ScriptedActivity a("a", true, 2.0, 3);
  a.executionPolicy = kRaceEnabled;
  a.reactivation = true;
  SingleGroup g(&a);
  EXPECT_STREQ(g.getName(), "a");
  EXPECT_EQ(g.Weight(), 2.0);
  EXPECT_EQ(g.Rank(), 3);
  EXPECT_EQ(g.Probability(&a), 1.0);
  EXPECT_EQ(g.Probability(&g), 0.0);
  EXPECT_TRUE(g.Enabled());
  EXPECT_TRUE(g.EnablingChange());  // false -> true
  int before = a.evaluations;
  EXPECT_TRUE(g.EnablingChange());  // asking does not re-evaluate
  EXPECT_EQ(a.evaluations, before);
  EXPECT_TRUE(g.Enabled());
  EXPECT_FALSE(g.EnablingChange());  // true -> true
  testing::internal::CaptureStderr();
  EXPECT_TRUE(g.SelectAction());
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "This program has entered into an inconsistant state. Please "
            "report this bug.\n");
  EXPECT_EQ(g.getSelectedAction(), &a);
  EXPECT_FALSE(g.disabled);
  EXPECT_TRUE(g.reactivation);
  EXPECT_EQ(g.Fire(), &a);
}

TEST_F(GroupTest, EmptyGroupIsNeverEnabled) {
  EmptyGroup g;
  EXPECT_STREQ(g.getName(), "ImmediateGroup");
  EXPECT_FALSE(g.Enabled());
  EXPECT_EQ(g.Weight(), 0.0);
  EXPECT_EQ(g.Rank(), 0);
  EXPECT_EQ(g.SampleDistribution(), 0.0);
  EXPECT_EQ(g.Fire(), nullptr);
  EXPECT_EQ(g.getNumMembers(), 0);
  ScriptedActivity a("a");
  g.SetAction(&a);
  EXPECT_EQ(g.getNumMembers(), 0);
  EXPECT_EQ(g.getPrintedAction(), &g);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(g.SelectAction());
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "This program has entered into an inconsistant state. Please "
            "report this bug.\n");
}

TEST_F(GroupTest, MemberArraysGrowAsDocumented) {
  ScriptedActivity a("a");
  ScriptedActivity b("b");
  ScriptedActivity c("c");
  BaseGroupClass g;
  g.initialize(1, "g");
  g.appendGroup(&a);
  g.appendGroup(&b);  // full: grows by exactly one
  EXPECT_EQ(g.getCapacity(), 2);
  g.appendGroup(&a);  // the same member may be appended twice
  EXPECT_EQ(g.getNumMembers(), 3);
  BaseGroupClass h;
  h.initialize(1, "h");
  h.appendGroup(&c);
  h.appendMembers(&g);  // capacity below 1 + 3: grows to exactly 4
  EXPECT_EQ(h.getCapacity(), 4);
  ASSERT_EQ(h.getNumMembers(), 4);
  EXPECT_EQ(h.getMember(1), &a);
  EXPECT_EQ(h.getMember(3), &a);
  h.enlargeArrays(9);
  EXPECT_EQ(h.getCapacity(), 9);
  EXPECT_EQ(h.getMember(2), &b);
  ScriptUniforms({0.9});
  ASSERT_TRUE(h.SelectAction());  // x = 3.6 -> the fourth member, a
  EXPECT_EQ(h.getSelectedAction(), &a);
  h.replaceMember(&a, &c);
  EXPECT_EQ(h.getMember(1), &c);
  EXPECT_EQ(h.getMember(3), &c);
  EXPECT_EQ(h.getSelectedAction(), &c);
}

TEST_F(GroupTest, SetGroupIdReachesEveryMemberButNotTheGroup) {
  ScriptedActivity a("a");
  ScriptedActivity b("b");
  PostselectGroup g;
  Fill(&g, {&a, &b});
  g.groupId = 8;
  g.setGroupId(5);
  EXPECT_EQ(a.groupId, 5);
  EXPECT_EQ(b.groupId, 5);
  EXPECT_EQ(g.groupId, 8);
  a.setGroupId(2);
  EXPECT_EQ(a.groupId, 2);
}

TEST_F(GroupTest, PrintGroupListsMembersRecursively) {
  ScriptedActivity a("a");
  ScriptedActivity b("b");
  ScriptedActivity c("c");
  PostselectGroup inner;
  Fill(&inner, {&b, &c});
  inner.defineName("inner");
  BaseGroupClass g;
  g.initialize(2, "top");
  g.appendGroup(&a);
  g.appendGroup(&inner);
  testing::internal::CaptureStdout();
  g.printGroup();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "** Members of Group top\n"
            "[0] a\n"
            "[1] inner\n"
            "  [1.0] b\n"
            "  [1.1] c\n");
  testing::internal::CaptureStdout();
  g.PrintInfo();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "************ Group: top ****************\n"
            "Contains the following actions:\n"
            "  a\n"
            "  inner\n"
            "Selected Action = none\n");
  EXPECT_EQ(g.getPrintedAction(), &a);
}

TEST_F(GroupTest, ActivitySelectsItselfAndSeesEnablingChanges) {
  ScriptedActivity a("a", true);
  EXPECT_EQ(a.getSelectedAction(), &a);
  EXPECT_TRUE(a.EnablingChange());   // initial false -> true
  EXPECT_FALSE(a.EnablingChange());  // same marking again
  a.on = false;
  EXPECT_TRUE(a.EnablingChange());
  EXPECT_FALSE(a.SelectAction());
  EXPECT_EQ(a.getSelectedAction(), &a);
  EXPECT_EQ(a.Probability(&a), 1.0);
  ScriptedActivity other("other");
  EXPECT_EQ(a.Probability(&other), 0.0);
}

}  // namespace

// Tests of scalar state variables: places, the four ways two sharing
// classes are joined, merged action lists, registered pointers, snapshots
// and the raw memory routines.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#include "FrameworkFixture.h"
#include "TestActions.h"
#include "framework/state/MemoryRoutines.h"
#include "framework/state/Place.h"

namespace {

class SharableSVTest : public FrameworkFixture {};

TEST_F(SharableSVTest, NewPlaceOwnsItsCellAndPrintsNameAndMark) {
  Place p("p", 3);
  EXPECT_EQ(p.getMark(), 3);
  // value pointer + mark pointer are registered.
  EXPECT_EQ(p.getSharingCount(), 2);
  EXPECT_TRUE(p.getStored());
  EXPECT_FALSE(p.getShared());
  EXPECT_EQ(p.getRepresentative(), &p);
  EXPECT_EQ(p.getMarkPointer(), p.getValuePointer());
  std::ostringstream out;
  p.printState(&out);
  EXPECT_EQ(out.str(), "p = 3\n");
  std::ostringstream val;
  p.printStateVal(&val);
  EXPECT_EQ(val.str(), "3");
  Place unnamed;
  EXPECT_STREQ(unnamed.getName(), "default");
  EXPECT_EQ(unnamed.getMark(), 0);
}

// Both stored: self takes the other's value, the other's class joins self.
TEST_F(SharableSVTest, BothStoredSelfTakesOtherValueAndStaysRepresentative) {
  Place a("a", 1);
  Place b("b", 5);
  a.ShareWith(&b);
  EXPECT_EQ(a.getMark(), 5);
  EXPECT_EQ(b.getMark(), 5);
  EXPECT_TRUE(a.getStored());
  EXPECT_FALSE(b.getStored());
  EXPECT_TRUE(a.getShared());
  EXPECT_TRUE(b.getShared());
  EXPECT_EQ(a.getSharingCount(), 4);  // 2 + 2 registrations
  EXPECT_EQ(b.getRepresentative(), &a);
  b.setMark(7);
  EXPECT_EQ(a.getMark(), 7);
  EXPECT_EQ(a.getValuePointer(), b.getValuePointer());
  EXPECT_EQ(a.getAffectingActions(), b.getAffectingActions());
  EXPECT_EQ(a.getEnabledActions(), b.getEnabledActions());
  EXPECT_EQ(b.getHead(), nullptr);  // registrations moved to a
}

// Self is a member, the other stored: the other's class joins self's
// representative and the value of self's class survives.
TEST_F(SharableSVTest, MemberWithStoredOtherKeepsValueOfSelfsClass) {
  Place a("a", 1);
  Place b("b", 5);
  a.ShareWith(&b);  // class {a, b}, value 5, a representative
  Place c("c", 9);
  b.ShareWith(&c);
  EXPECT_EQ(c.getMark(), 5);
  EXPECT_TRUE(a.getStored());
  EXPECT_FALSE(c.getStored());
  EXPECT_EQ(a.getSharingCount(), 6);
  c.setMark(2);
  EXPECT_EQ(a.getMark(), 2);
  EXPECT_EQ(b.getMark(), 2);
}

// Self stored, the other a member: self's class joins the other's
// representative and the value of the other's class survives.
TEST_F(SharableSVTest, StoredSelfWithMemberOtherTakesValueOfOthersClass) {
  Place a("a", 1);
  Place b("b", 5);
  a.ShareWith(&b);  // value 5, a representative
  Place d("d", 8);
  d.ShareWith(&b);
  EXPECT_EQ(d.getMark(), 5);
  EXPECT_TRUE(a.getStored());
  EXPECT_FALSE(d.getStored());
  EXPECT_TRUE(d.getShared());
  EXPECT_EQ(d.findRepresentative(), &a);
  EXPECT_EQ(a.getSharingCount(), 6);
}

// Both members: the other's representative's class joins self's
// representative only when its count is below self's own sharing count
// (the count self had when it joined its class).
TEST_F(SharableSVTest, BothMembersLargerCountDecidesWhichClassSurvives) {
  // Class {a, b}: a representative, count 4, value 1; b's own count 2.
  Place a("a", 1);
  Place b("b", 1);
  a.ShareWith(&b);
  // Class {c, d, e}: c representative, count 6, value 3.
  Place c("c", 3);
  Place d("d", 0);
  Place e("e", 0);
  c.ShareWith(&d);  // c takes d's 0
  c.ShareWith(&e);
  c.setMark(3);
  ASSERT_EQ(c.getSharingCount(), 6);
  // Other's representative count 6 is not below b's own count 2, so a's
  // class joins c: c's value 3 survives and c stays the representative.
  b.ShareWith(&d);
  EXPECT_TRUE(c.getStored());
  EXPECT_FALSE(a.getStored());
  EXPECT_EQ(a.getMark(), 3);
  EXPECT_EQ(b.getMark(), 3);
  EXPECT_EQ(c.getSharingCount(), 10);
  a.setMark(4);
  EXPECT_EQ(e.getMark(), 4);
}

TEST_F(SharableSVTest, BothMembersSmallerOtherClassJoinsSelfsRepresentative) {
  // x carries three extra registrations (count 5) and then joins y.
  Place x("x", 0);
  short* caches[3] = {nullptr, nullptr, nullptr};
  for (short*& cache : caches) x.registerPointer(&cache);
  ASSERT_EQ(x.getSharingCount(), 5);
  Place y("y", 6);
  y.ShareWith(&x);  // y representative, value 0 (x's)
  y.setMark(6);
  // w and z are bare SharableSV<short>s: one registration each.
  SharableSV<short> w("w", "");
  SharableSV<short> z("z", "");
  w.setValue(11);
  w.ShareWith(&z);  // w representative, count 2
  // Other's representative w (count 2) is below x's own count 5: w's class
  // joins y, and y's value 6 survives.
  x.ShareWith(&z);
  EXPECT_TRUE(y.getStored());
  EXPECT_FALSE(w.getStored());
  EXPECT_EQ(w.getValue(), 6);
  EXPECT_EQ(z.getValue(), 6);
  for (short* cache : caches) EXPECT_EQ(cache, y.getMarkPointer());
}

TEST_F(SharableSVTest, SharingWithinOneClassChangesNothing) {
  Place a("a", 1);
  Place b("b", 5);
  a.ShareWith(&b);
  b.ShareWith(&a);
  a.ShareWith(&b);
  EXPECT_TRUE(a.getStored());
  EXPECT_FALSE(b.getStored());
  EXPECT_EQ(a.getSharingCount(), 4);
  EXPECT_EQ(b.getMark(), 5);
}

TEST_F(SharableSVTest, SharingMergesActionListsAndRenamesVariablesInActions) {
  Place a("a", 0);
  Place b("b", 0);
  ScriptedActivity both("both");
  ScriptedActivity readsB("readsB");
  ScriptedActivity readsBoth("readsBoth");
  a.appendAffectingAction(&both);
  both.addAffectedSV(&a);
  b.appendAffectingAction(&both);
  both.addAffectedSV(&b);
  b.appendEnabledAction(&readsB);
  readsB.addEnablingSV(&b);
  a.appendEnabledAction(&readsBoth);
  b.appendEnabledAction(&readsBoth);
  readsBoth.addEnablingSV(&a);
  readsBoth.addEnablingSV(&b);

  a.ShareWith(&b);
  // One copy of `both` in the merged affecting list, two enabled actions.
  EXPECT_EQ(a.getNumAffectingActions(), 1);
  EXPECT_EQ(a.getNumEnabledActions(), 2);
  EXPECT_EQ(b.getNumEnabledActions(), 2);
  // Actions now name the representative a where they named b, once.
  ASSERT_EQ(readsB.getNumEnablingSVs(), 1);
  EXPECT_EQ(readsB.getEnablingSVs()->getItem(0), &a);
  ASSERT_EQ(readsBoth.getNumEnablingSVs(), 1);
  EXPECT_EQ(readsBoth.getEnablingSVs()->getItem(0), &a);
  ASSERT_EQ(both.getNumAffectedSVs(), 1);
  EXPECT_EQ(both.getAffectedSVs()->getItem(0), &a);
}

TEST_F(SharableSVTest, AffectingActionsGoToTheSharedListOnlyThroughTheRepresentative) {
  Place a("a", 0);
  Place b("b", 0);
  a.ShareWith(&b);
  ScriptedActivity first("first");
  ScriptedActivity second("second");
  b.appendAffectingAction(&first);  // b is not its own representative
  EXPECT_EQ(a.getNumAffectingActions(), 0);
  a.appendAffectingAction(&second);
  a.appendAffectingAction(&second);
  EXPECT_EQ(a.getNumAffectingActions(), 1);
  EXPECT_EQ(b.getAffectingAction(0), &second);
}

TEST_F(SharableSVTest, RegisteredPointersFollowEverySharingStep) {
  Place a("a", 0);
  Place b("b", 3);
  Place c("c", 0);
  TokenActivity take("take", &b);
  take.LinkVariables();
  EXPECT_EQ(take.mark, b.getMarkPointer());
  EXPECT_EQ(b.getSharingCount(), 3);
  a.ShareWith(&b);  // a takes 3
  EXPECT_EQ(take.mark, a.getMarkPointer());
  c.ShareWith(&a);  // a's class joins c, c takes 3
  EXPECT_EQ(take.mark, c.getMarkPointer());
  EXPECT_EQ(c.getSharingCount(), 7);
  take.Fire();
  EXPECT_EQ(a.getMark(), 2);
  EXPECT_EQ(b.getMark(), 2);
  EXPECT_EQ(c.getMark(), 2);
  // A registration on a member goes to the class and points at its cell.
  short* late = nullptr;
  b.registerPointer(&late);
  EXPECT_EQ(late, c.getMarkPointer());
  EXPECT_EQ(c.getSharingCount(), 8);
}

TEST_F(SharableSVTest, OutOfBoundsActionIndexReportsAndYieldsNull) {
  Place p("p", 0);
  ScriptedActivity act("act");
  p.appendEnabledAction(&act);
  testing::internal::CaptureStderr();
  EXPECT_EQ(p.getEnabledAction(1), nullptr);
  EXPECT_EQ(p.getAffectingAction(0), nullptr);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err,
            "!! BaseStateVariableClass::getEnabledAction(int):  EnabledAction "
            "index out of bounds\n"
            "!! BaseStateVariableClass::getAffectingAction(int):  "
            "AffectingAction index out of bounds\n");
  EXPECT_EQ(p.getEnabledAction(0), &act);
}

TEST_F(SharableSVTest, SnapshotIsExactlyTwoNativeBytes) {
  Place p("p", -2);
  unsigned char buffer[4];
  std::memset(buffer, 0xAB, sizeof buffer);
  EXPECT_EQ(p.StateSize(), 2);
  p.CurrentState(buffer);
  short stored = 0;
  std::memcpy(&stored, buffer, 2);
  EXPECT_EQ(stored, -2);
  EXPECT_EQ(buffer[2], 0xAB);
  EXPECT_EQ(buffer[3], 0xAB);
  p.setMark(40);
  p.SetState(buffer);
  EXPECT_EQ(p.getMark(), -2);
}

TEST_F(SharableSVTest, ShareWithSomethingElseIsAProgrammingError) {
  EXPECT_DEATH(
      {
        Place p("p", 0);
        SharableSV<double> other("d", "");
        p.share(&other);
      },
      "Assertion failed: otherSV, file SharableSV");
}

TEST_F(SharableSVTest, ShareThroughTheBaseInterfaceJoinsTheClasses) {
  Place a("a", 1);
  Place b("b", 2);
  BaseStateVariableClass* base = &a;
  base->share(&b);
  EXPECT_EQ(a.getMark(), 2);
  EXPECT_FALSE(b.getStored());
}

template <class T>
void ExpectRoundTrip(T first, T second) {
  T values[2] = {first, second};
  unsigned char buffer[2 * sizeof(T) + 1];
  buffer[2 * sizeof(T)] = 0x5A;  // sentinel right after the packed pair
  writeArray<T>(values, buffer, 2);
  EXPECT_EQ(buffer[2 * sizeof(T)], 0x5A);
  EXPECT_EQ(std::memcmp(buffer, values, 2 * sizeof(T)), 0);
  T back[2] = {T(), T()};
  readArray<T>(back, buffer, 2);
  EXPECT_EQ(back[0], first);
  EXPECT_EQ(back[1], second);
  writeMemory<T>(second, buffer);
  T one = T();
  readMemory2<T>(buffer, &one);
  EXPECT_EQ(one, second);
}

TEST(MemoryRoutinesTest, EveryElementKindRoundTripsPacked) {
  ExpectRoundTrip<bool>(true, false);
  ExpectRoundTrip<char>('x', -3);
  ExpectRoundTrip<short>(-300, 12345);
  ExpectRoundTrip<int>(-7, 1 << 30);
  ExpectRoundTrip<float>(1.5f, -0.25f);
  ExpectRoundTrip<double>(3.141592653589793, -1e300);
}

}  // namespace

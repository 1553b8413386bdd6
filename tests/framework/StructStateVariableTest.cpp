// Tests of struct and array state variables: sizes and snapshot layout,
// leaves, printing, action lists that see only leaves, and struct sharing.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <sstream>
#include <vector>

#include "FrameworkFixture.h"
#include "TestActions.h"
#include "framework/state/BaseStructStateVariable.h"
#include "framework/state/Place.h"

namespace {

// A generated-style structure: field() creates the element variable for
// each scalar type; the structure owns its element variables.
class TestStruct : public BaseStructStateVariable {
 public:
  TestStruct(const char* structName, std::vector<ArrayType> types)
      : BaseStructStateVariable(structName, "") {
    makeArrays(types.data(), static_cast<int>(types.size()));
  }
  fieldType field(ArrayType type, BaseStateVariableClass* sv) const override {
    if (sv != nullptr) return fieldType{sv, type};
    BaseStateVariableClass* made = nullptr;
    switch (type) {
      case kShortElement:
        made = new SharableSV<short>("s", "");
        break;
      case kIntElement:
        made = new SharableSV<int>("i", "");
        break;
      case kCharElement:
        made = new SharableSV<char>("c", "");
        break;
      case kDoubleElement:
        made = new SharableSV<double>("d", "");
        break;
      case kFloatElement:
        made = new SharableSV<float>("f", "");
        break;
      default:  // a nested record of two shorts
        made = new TestStruct("inner", {kShortElement, kShortElement});
        break;
    }
    owned.emplace_back(made);
    return fieldType{made, type};
  }
  template <class T>
  SharableSV<T>* scalar(int i) {
    return dynamic_cast<SharableSV<T>*>(getField(i));
  }

  mutable std::vector<std::unique_ptr<BaseStateVariableClass>> owned;
};

class StructStateVariableTest : public FrameworkFixture {};

TEST_F(StructStateVariableTest, SnapshotPacksFieldsInOrder) {
  TestStruct s("s", {kShortElement, kCharElement, kDoubleElement});
  // 2 + 1 + 8 bytes.
  EXPECT_EQ(s.StateSize(), 11);
  EXPECT_EQ(s.calculateStateSize(), 11);
  EXPECT_EQ(s.getSize(), 3);
  EXPECT_EQ(s.getType(1), kCharElement);
  s.scalar<short>(0)->setValue(-5);
  s.scalar<char>(1)->setValue('q');
  s.scalar<double>(2)->setValue(0.125);
  unsigned char buffer[12];
  buffer[11] = 0x77;
  s.CurrentState(buffer);
  short first = 0;
  double third = 0;
  std::memcpy(&first, buffer, 2);
  std::memcpy(&third, buffer + 3, 8);
  EXPECT_EQ(first, -5);
  EXPECT_EQ(buffer[2], 'q');
  EXPECT_EQ(third, 0.125);
  EXPECT_EQ(buffer[11], 0x77);

  TestStruct t("t", {kShortElement, kCharElement, kDoubleElement});
  t.SetState(buffer);
  EXPECT_EQ(t.scalar<short>(0)->getValue(), -5);
  EXPECT_EQ(t.scalar<char>(1)->getValue(), 'q');
  EXPECT_EQ(t.scalar<double>(2)->getValue(), 0.125);
}

TEST_F(StructStateVariableTest, FourByteKindsAndNestedStructSizes) {
  TestStruct fourBytes("fourBytes", {kIntElement, kFloatElement});
  EXPECT_EQ(fourBytes.StateSize(), 8);
  // 1 byte, then a nested record of two 2-byte shorts.
  TestStruct outer("outer", {kCharElement, kStructElement});
  EXPECT_EQ(outer.StateSize(), 5);
  EXPECT_EQ(ArrayTypeSize(kStructElement, outer.getField(1)), 4);
  EXPECT_EQ(ArrayTypeSize(kStructElement, nullptr), 0);
  // makeArrays on an existing variable drops the cached size.
  std::vector<ArrayType> more = {kDoubleElement};
  outer.makeArrays(more.data(), 1);
  EXPECT_EQ(outer.StateSize(), 13);
}

TEST_F(StructStateVariableTest, StructWithoutFieldsIsALeaf) {
  BaseStructStateVariable empty("empty", "");
  EXPECT_TRUE(empty.isLeafNode());
  EXPECT_EQ(empty.getNumLeafNodes(), 1);
  EXPECT_EQ(empty.StateSize(), 0);
  List<BaseStateVariableClass>* leaves = empty.getLeafNodes();
  EXPECT_EQ(leaves->getNumItems(), 0);
  delete leaves;
}

TEST_F(StructStateVariableTest, LeavesOfNestedStructsInFieldOrder) {
  TestStruct outer("outer", {kCharElement, kStructElement});
  auto* inner = dynamic_cast<TestStruct*>(outer.getField(1));
  ASSERT_NE(inner, nullptr);
  EXPECT_FALSE(outer.isLeafNode());
  EXPECT_EQ(outer.getNumLeafNodes(), 3);
  List<BaseStateVariableClass>* leaves = outer.getLeafNodes();
  ASSERT_EQ(leaves->getNumItems(), 3);
  EXPECT_EQ(leaves->getItem(0), outer.getField(0));
  EXPECT_EQ(leaves->getItem(1), inner->getField(0));
  EXPECT_EQ(leaves->getItem(2), inner->getField(1));
  delete leaves;
  // The nested snapshot sits right after the char.
  inner->scalar<short>(1)->setValue(0x0102);
  unsigned char buffer[5] = {0, 0, 0, 0, 0};
  outer.CurrentState(buffer);
  short second = 0;
  std::memcpy(&second, buffer + 3, 2);
  EXPECT_EQ(second, 0x0102);
}

TEST_F(StructStateVariableTest, PrintListsEachFieldAfterAFullStop) {
  TestStruct s("s", {kShortElement, kShortElement});
  s.getField(0)->SetName("a");
  s.getField(1)->SetName("b");
  s.scalar<short>(0)->setValue(1);
  s.scalar<short>(1)->setValue(2);
  std::ostringstream out;
  s.printState(&out);
  EXPECT_EQ(out.str(), "s = {\n.a = 1\n.b = 2\n}\n");
}

TEST_F(StructStateVariableTest, ActionsSeeOnlyTheLeaves) {
  TestStruct s("s", {kShortElement, kDoubleElement});
  ScriptedActivity act("act");
  act.addEnablingSV(&s);
  act.addAffectedSV(&s);
  ASSERT_EQ(act.getNumEnablingSVs(), 2);
  EXPECT_EQ(act.getEnablingSVs()->getItem(0), s.getField(0));
  EXPECT_EQ(act.getEnablingSVs()->getItem(1), s.getField(1));
  EXPECT_EQ(act.getNumAffectedSVs(), 2);
  EXPECT_FALSE(act.getAffectedSVs()->contains(&s));
  // Arcs put the action on the struct and on every field.
  s.appendAffectingAction(&act);
  s.appendEnabledAction(&act);
  EXPECT_EQ(s.getNumAffectingActions(), 1);
  EXPECT_EQ(s.getField(0)->getNumAffectingActions(), 1);
  EXPECT_EQ(s.getField(1)->getNumEnabledActions(), 1);
  act.removeEnablingSV(&s);
  EXPECT_EQ(act.getNumEnablingSVs(), 0);
  act.removeAffectedSV(&s);
  EXPECT_EQ(act.getNumAffectedSVs(), 0);
}

TEST_F(StructStateVariableTest, ShareWithSharesFieldsAndMergesActionLists) {
  TestStruct x("x", {kShortElement, kCharElement});
  TestStruct y("y", {kShortElement, kCharElement});
  x.scalar<short>(0)->setValue(3);
  y.scalar<short>(0)->setValue(9);
  ScriptedActivity onX("onX");
  ScriptedActivity onY("onY");
  x.appendAffectingAction(&onX);
  y.appendAffectingAction(&onY);
  x.ShareWith(&y);
  // Fields shared pairwise: x's field took y's value (both were stored).
  EXPECT_EQ(x.scalar<short>(0)->getValue(), 9);
  y.scalar<char>(1)->setValue('z');
  EXPECT_EQ(x.scalar<char>(1)->getValue(), 'z');
  EXPECT_TRUE(y.getShared());
  EXPECT_FALSE(y.getStored());
  EXPECT_TRUE(x.getStored());
  EXPECT_EQ(y.getAffectingActions(), x.getAffectingActions());
  EXPECT_EQ(x.getNumAffectingActions(), 2);
}

TEST_F(StructStateVariableTest, ShareWithLeavesOneEntryInActionsThatListedBoth) {
  // Structures without fields are leaves, so actions may list them.
  BaseStructStateVariable x("x", "");
  BaseStructStateVariable y("y", "");
  ScriptedActivity act("act");
  act.addEnablingSV(&x);
  act.addEnablingSV(&y);
  x.appendEnabledAction(&act);
  y.appendEnabledAction(&act);
  ScriptedActivity onlyY("onlyY");
  onlyY.addAffectedSV(&y);
  y.appendAffectingAction(&onlyY);
  x.ShareWith(&y);
  ASSERT_EQ(act.getNumEnablingSVs(), 1);
  EXPECT_EQ(act.getEnablingSVs()->getItem(0), &x);
  ASSERT_EQ(onlyY.getNumAffectedSVs(), 1);
  EXPECT_EQ(onlyY.getAffectedSVs()->getItem(0), &x);
}

// A class shared into another (a rep's copies, then the rep's place joined
// with a third): every member follows the new representative's lists, none
// keeps the freed ones.
TEST_F(StructStateVariableTest, SharingARepresentativeMovesItsWholeClass) {
  TestStruct x("x", {kShortElement});
  TestStruct y("y", {kShortElement});
  TestStruct z("z", {kShortElement});
  y.ShareWith(&z);
  x.ShareWith(&y);
  ScriptedActivity onX("onX");
  x.appendAffectingAction(&onX);
  EXPECT_EQ(z.getAffectingActions(), x.getAffectingActions());
  EXPECT_EQ(z.getNumAffectingActions(), 1);
  EXPECT_EQ(y.getNumAffectingActions(), 1);
  // Sharing through a member that is not the owner (a rep's first copy
  // taking in the others) registers the newcomer with the owner.
  TestStruct a("a", {kShortElement});
  TestStruct b("b", {kShortElement});
  TestStruct c("c", {kShortElement});
  TestStruct d("d", {kShortElement});
  a.ShareWith(&b);
  b.ShareWith(&c);
  d.ShareWith(&a);
  EXPECT_EQ(c.getAffectingActions(), d.getAffectingActions());
}

TEST_F(StructStateVariableTest, SharingWithFewerFieldsOrAnotherKindIsAProgrammingError) {
  EXPECT_DEATH(
      {
        TestStruct big("big", {kShortElement, kShortElement});
        TestStruct small("small", {kShortElement});
        big.ShareWith(&small);
      },
      "Assertion failed: otheri!=otherStruct->fields.end\\(\\), file "
      "StructStateVariable");
  EXPECT_DEATH(
      {
        TestStruct s("s", {kShortElement});
        Place p("p", 0);
        s.share(&p);
      },
      "Assertion failed: otherStruct, file StructStateVariable");
}

}  // namespace

// Tests of Join: state size and layout, SetState over two levels, the
// action-name table and its probing, and local states.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "ComposerTestModels.h"

namespace {

using composertest::CellJoin;
using composertest::CellRep;
using composertest::CellSAN;
using composertest::EmptySAN;

// A join of the given SAN children without shared variables.
class PlainJoin : public Join {
 public:
  explicit PlainJoin(std::vector<SANModel*> children)
      : Join("plain", static_cast<int>(children.size()), 0, nullptr) {
    for (size_t i = 0; i < children.size(); i++) SetChild(static_cast<int>(i), children[i]);
    SetupActions();
    Setup();
  }
};

short ReadShort(const unsigned char* at) {
  short value;
  std::memcpy(&value, at, 2);
  return value;
}

TEST(JoinLayoutTest, ChildStatesSideBySideThenSharedState) {
  CellJoin join(2);
  // single keeps x, y (4 bytes); the replicate keeps 2 * (x, y) (8 bytes)
  // and no shared state (its z joined the join's); then the join's z.
  EXPECT_EQ(join.getChildStateSize(0), 4);
  EXPECT_EQ(join.getChildStateSize(1), 8);
  EXPECT_EQ(join.rep->SharedStateSize(), 0);
  EXPECT_EQ(join.StateSize(), 14);
  EXPECT_EQ(join.GetModelType(), 2);
  // 3 (single) + 5 (replicate: 6 - 2 + 1) - 2 registered + 1 shared.
  EXPECT_EQ(join.getNumStateVariables(), 7);

  join.single->x.setMark(1);
  join.single->y.setMark(2);
  join.rep->cells[0]->x.setMark(3);
  join.rep->cells[1]->x.setMark(4);
  join.zPlace->setMark(5);
  std::vector<unsigned char> buffer(14);
  join.CurrentState(buffer.data());
  const short expected[] = {1, 2, 3, 0, 4, 0, 5};
  for (int i = 0; i < 7; i++) EXPECT_EQ(ReadShort(buffer.data() + 2 * i), expected[i]) << i;
}

TEST(JoinLayoutTest, SetStateRestoresEveryChildAndSharedVariable) {
  CellJoin join(2);
  join.single->x.setMark(-3);
  join.single->y.setMark(300);
  join.rep->cells[0]->x.setMark(2);
  join.rep->cells[0]->y.setMark(7);
  join.rep->cells[1]->x.setMark(6);
  join.rep->cells[1]->y.setMark(-1);
  join.zPlace->setMark(42);
  std::vector<unsigned char> saved(static_cast<size_t>(join.StateSize()));
  join.CurrentState(saved.data());

  CellSAN* everyCell[] = {join.single, join.rep->cells[0], join.rep->cells[1]};
  for (CellSAN* cell : everyCell) {
    cell->x.setMark(0);
    cell->y.setMark(0);
  }
  join.single->z.setMark(0);
  join.SetState(saved.data());

  EXPECT_EQ(join.single->x.getMark(), -3);
  EXPECT_EQ(join.single->y.getMark(), 300);
  EXPECT_EQ(join.rep->cells[0]->x.getMark(), 2);
  EXPECT_EQ(join.rep->cells[0]->y.getMark(), 7);
  EXPECT_EQ(join.rep->cells[1]->x.getMark(), 6);
  EXPECT_EQ(join.rep->cells[1]->y.getMark(), -1);
  for (CellSAN* cell : everyCell) EXPECT_EQ(cell->z.getMark(), 42);
  std::vector<unsigned char> again(saved.size());
  join.CurrentState(again.data());
  EXPECT_EQ(again, saved);
}

TEST(JoinActionTableTest, RepeatedNamesAreCounted) {
  CellSAN first(0, 0, 0, "a", "b");
  EmptySAN second;
  second.idle.defineName("a");
  PlainJoin join({&first, &second});
  // Actions a, b, a: D = 2, 8 slots. Hash("a", 8) = 97 mod 8 = 1 and
  // Hash("b", 8) = 98 mod 8 = 2, both free on first probe.
  ASSERT_EQ(join.getActionNameTableSize(), 8);
  EXPECT_STREQ(join.getActionNameEntry(1), "a");
  EXPECT_EQ(join.getActionNameCount(1), 2);
  EXPECT_STREQ(join.getActionNameEntry(2), "b");
  EXPECT_EQ(join.getActionNameCount(2), 1);
  int used = 0;
  for (int i = 0; i < 8; i++) used += join.getActionNameEntry(i) != nullptr;
  EXPECT_EQ(used, 2);
  EXPECT_EQ(join.NumActionsNamed("a"), 2);
  EXPECT_EQ(join.NumActionsNamed("c"), 0);
}

TEST(JoinActionTableTest, CollisionsProbePlusThenMinusSquares) {
  // 'a' = 97, 'm' = 109, 'y' = 121 are all 1 mod 12 (D = 3, 12 slots).
  CellSAN first(0, 0, 0, "a", "m");
  EmptySAN second;
  second.idle.defineName("y");
  PlainJoin join({&first, &second});
  ASSERT_EQ(join.getActionNameTableSize(), 12);
  // a takes slot 1; m probes 1 (taken), then 1 + 1 = 2; y probes 1, 2,
  // then 1 - 1 = 0.
  EXPECT_STREQ(join.getActionNameEntry(1), "a");
  EXPECT_STREQ(join.getActionNameEntry(2), "m");
  EXPECT_STREQ(join.getActionNameEntry(0), "y");
  EXPECT_EQ(join.NumActionsNamed("y"), 1);
}

TEST(JoinActionTableTest, JoinOverReplicateCountsReplicas) {
  CellJoin join(3);
  // single + three replicas each hold "inc" and "dec".
  EXPECT_EQ(join.getActionNameTableSize(), 8);
  EXPECT_EQ(join.NumActionsNamed("inc"), 4);
  EXPECT_EQ(join.NumActionsNamed("dec"), 4);
}

TEST(JoinActionTableTest, NoActionsGiveAnEmptyTable) {
  CellRep emptyRep(0);
  Join join("none", 1, 0, nullptr);
  join.SetChild(0, &emptyRep);
  join.SetupActions();
  join.Setup();
  EXPECT_EQ(join.getActionNameTableSize(), 0);
  EXPECT_EQ(join.NumActionsNamed("inc"), 0);
}

TEST(JoinLocalStateTest, LocalStateSavesTheJoinsSharedPlace) {
  CellJoin join(1);
  EXPECT_TRUE(join.HasLocalState());
  EXPECT_FALSE(join.rep->HasLocalState());
  join.zPlace->setMark(3);
  State* state = nullptr;
  join.ConstructLocalState(state);
  join.GetLocalState(state);
  short saved;
  std::memcpy(&saved, state->GetStatePtr(), 2);
  EXPECT_EQ(saved, 3);
  join.rep->cells[0]->z.setMark(8);
  join.SetLocalState(state);
  EXPECT_EQ(join.single->z.getMark(), 3);
  join.DestructLocalState(state);
}

TEST(JoinDeathTest, ComposersRefuseLocalActionQueries) {
  CellJoin join(1);
  slist list;
  EXPECT_DEATH(join.GetLocalActions(list), "Assertion failed: false, file Join");
  EXPECT_DEATH(join.GetGlobalActions(list), "Assertion failed: false, file Join");
  EXPECT_DEATH(join.GetChild(2), "Assertion failed: i < GetNumberOfChildren\\(\\), file Join");
}

}  // namespace

namespace {

TEST(JoinLayoutTest, ChildCompareUsesItsSizeAfterTheParentTookItsSharedPlace) {
  composertest::CellJoin join(2);
  // The replicate's z moved into the join's place after the replicate's
  // own setup: its state is now 2 * (x, y) = 8 bytes, not 10. Buffers of
  // exactly 8 bytes must be enough (ASan reports any read beyond them).
  ASSERT_EQ(join.rep->StateSize(), 8);
  std::vector<unsigned char> a(8, 1), b(8, 1);
  EXPECT_TRUE(join.rep->CompareState(a.data(), b.data()));
  b[7] = 2;
  EXPECT_FALSE(join.rep->CompareState(a.data(), b.data()));
}

}  // namespace

namespace {

char kX[] = "x";
char kZ[] = "z";
char* kXZ[] = {kX, kZ};

// Join "pair" of two cells sharing both x and z.
class PairJoin : public Join {
 public:
  PairJoin() : Join("pair", 2, 2, kXZ), xPlace("x"), zPlace("z"), left(), right() {
    SetChild(0, &left);
    SetChild(1, &right);
    SetupActions();
    addSharedPtr(&xPlace, "x");
    addSharedPtr(&zPlace, "z");
    for (CellSAN* cell : {&left, &right}) {
      xPlace.ShareWith(&cell->x);
      addSharingInfo(&cell->x, &xPlace, cell);
      zPlace.ShareWith(&cell->z);
      addSharingInfo(&cell->z, &zPlace, cell);
    }
    Setup();
  }
  Place xPlace, zPlace;  // declared first: the cells sharing them go first
  CellSAN left, right;
};

// Two shared places of distinct marks keep their own bytes in the snapshot
// (saved at one offset, z would overwrite x and both would restore as 9).
TEST(JoinLayoutTest, TwoSharedPlacesRoundTripWithTheirOwnValues) {
  PairJoin join;
  ASSERT_EQ(join.StateSize(), 2 + 2 + 2 + 2);  // y of each cell, then x and z
  join.xPlace.setMark(7);
  join.zPlace.setMark(9);
  join.left.y.setMark(1);
  join.right.y.setMark(2);
  std::vector<unsigned char> saved(static_cast<size_t>(join.StateSize()));
  join.CurrentState(saved.data());
  join.xPlace.setMark(0);
  join.zPlace.setMark(0);
  join.left.y.setMark(0);
  join.SetState(saved.data());
  for (CellSAN* cell : {&join.left, &join.right}) {
    EXPECT_EQ(cell->x.getMark(), 7);
    EXPECT_EQ(cell->z.getMark(), 9);
  }
  EXPECT_EQ(join.left.y.getMark(), 1);
  EXPECT_EQ(join.right.y.getMark(), 2);
}

}  // namespace

// Tests of Rep: state size and layout, the canonical replica order,
// SetState, the sorting utilities, local states and the negative count.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ComposerTestModels.h"

namespace {

using composertest::CellRep;

// The bytes of one replica state (x then y, native shorts) for marks x, y.
std::string ReplicaBytes(short x, short y) {
  char bytes[4];
  std::memcpy(bytes, &x, 2);
  std::memcpy(bytes + 2, &y, 2);
  return std::string(bytes, 4);
}

// Sets replica i's x to xs[i] (y stays 0) and returns the written state's
// replica part as one string per replica.
std::vector<std::string> WriteWithX(CellRep* rep, const std::vector<short>& xs) {
  for (size_t i = 0; i < xs.size(); i++) rep->cells[i]->x.setMark(xs[i]);
  std::vector<unsigned char> buffer(static_cast<size_t>(rep->StateSize()));
  rep->CurrentState(buffer.data());
  std::vector<std::string> replicas;
  for (size_t i = 0; i < xs.size(); i++) {
    replicas.emplace_back(reinterpret_cast<char*>(buffer.data()) + 4 * i, 4);
  }
  return replicas;
}

std::vector<std::string> Expected(const std::vector<short>& xs) {
  std::vector<std::string> out;
  for (short x : xs) out.push_back(ReplicaBytes(x, 0));
  return out;
}

TEST(RepLayoutTest, SizeCountsPrivatePlacesOfEveryReplicaAndStoredSharedOnce) {
  CellRep rep(3);
  // Each replica keeps x and y (z is shared): 3 * 4 bytes, plus z once.
  EXPECT_EQ(rep.getReplicaStateSize(), 4);
  EXPECT_EQ(rep.StateSize(), 14);
  EXPECT_EQ(rep.SharedStateSize(), 2);
  EXPECT_TRUE(rep.HasLocalState());
  // 3 replicas * 3 places - 3 registered z's + 1 shared z.
  EXPECT_EQ(rep.getNumStateVariables(), 7);
  EXPECT_EQ(rep.GetModelType(), 3);
  EXPECT_EQ(rep.GetNumberOfChildren(), 3);
  for (int i = 0; i < 3; i++) EXPECT_STREQ(rep.GetChild(i)->getName(), "cell");
}

TEST(RepLayoutTest, ZeroReplicasHaveNoStateAndWriteNothing) {
  CellRep rep(0);
  EXPECT_EQ(rep.StateSize(), 0);
  EXPECT_EQ(rep.getNumSharedStateVariables(), 0);  // the declared "z" is dropped
  EXPECT_TRUE(rep.AllChildrenEmpty());
  EXPECT_FALSE(rep.HasLocalState());
  EXPECT_EQ(rep.getNumActions(), 0);
  unsigned char canary[4] = {0xAA, 0xAA, 0xAA, 0xAA};
  rep.CurrentState(canary);
  rep.SetState(canary);
  for (unsigned char byte : canary) EXPECT_EQ(byte, 0xAA);
}

// Marks stay below 128, so the first byte of each replica state decides
// the order on either byte order, and numeric order is byte order.
TEST(RepCanonicalOrderTest, OneDisplacedReplicaMovesToItsPlace) {
  CellRep rep(3);
  // k = 0 (5 > 1): the displaced slot is the first; 1, 3 stay, 5 goes last.
  EXPECT_EQ(WriteWithX(&rep, {5, 1, 3}), Expected({1, 3, 5}));
}

TEST(RepCanonicalOrderTest, TwoReplicasAreWrittenInOneOrder) {
  CellRep rep(2);
  EXPECT_EQ(WriteWithX(&rep, {3, 1}), Expected({1, 3}));
  EXPECT_EQ(WriteWithX(&rep, {1, 3}), Expected({1, 3}));
}

TEST(RepCanonicalOrderTest, DisplacedSlotChoiceInTheMiddleAndAtTheEnd) {
  CellRep rep(5);
  // k = 2 (9 > 3), k + 1 is not last, 9 > p[4] = 4: 9 is displaced, goes last.
  EXPECT_EQ(WriteWithX(&rep, {1, 2, 9, 3, 4}), Expected({1, 2, 3, 4, 9}));
  // k = 1 (2 > 0), 2 < p[3] = 3: p[2] = 0 is displaced and goes first.
  EXPECT_EQ(WriteWithX(&rep, {1, 2, 0, 3, 4}), Expected({0, 1, 2, 3, 4}));
  // k = 3 is the second-to-last index: the last slot (0) is displaced.
  EXPECT_EQ(WriteWithX(&rep, {1, 2, 3, 4, 0}), Expected({0, 1, 2, 3, 4}));
  // Already ascending: kept.
  EXPECT_EQ(WriteWithX(&rep, {0, 0, 1, 1, 2}), Expected({0, 0, 1, 1, 2}));
}

TEST(RepCanonicalOrderTest, OnlyOneSlotIsMovedPerState) {
  CellRep rep(3);
  // 3, 2, 1 has two slots out of place. k = 0: 3 is displaced and goes
  // after 2 and 1, which keep their relative order: 2, 1, 3.
  EXPECT_EQ(WriteWithX(&rep, {3, 2, 1}), Expected({2, 1, 3}));
}

TEST(RepCanonicalOrderTest, WritingDoesNotChangeTheReplicas) {
  CellRep rep(3);
  WriteWithX(&rep, {5, 1, 3});
  EXPECT_EQ(rep.cells[0]->x.getMark(), 5);
  EXPECT_EQ(rep.cells[1]->x.getMark(), 1);
  EXPECT_EQ(rep.cells[2]->x.getMark(), 3);
}

TEST(RepSetStateTest, ReplicaIHoldsTheIthCanonicalStateAndSharedIsRestored) {
  CellRep rep(3);
  rep.cells[0]->x.setMark(5);
  rep.cells[0]->y.setMark(-2);
  rep.cells[1]->x.setMark(1);
  rep.cells[2]->x.setMark(3);
  rep.cells[2]->y.setMark(7);
  rep.zPlace->setMark(11);
  std::vector<unsigned char> saved(static_cast<size_t>(rep.StateSize()));
  rep.CurrentState(saved.data());

  for (int i = 0; i < 3; i++) {
    rep.cells[i]->x.setMark(100);
    rep.cells[i]->y.setMark(100);
  }
  rep.zPlace->setMark(0);
  rep.SetState(saved.data());
  // Canonical order by x: (1, 0), (3, 7), (5, -2).
  EXPECT_EQ(rep.cells[0]->x.getMark(), 1);
  EXPECT_EQ(rep.cells[0]->y.getMark(), 0);
  EXPECT_EQ(rep.cells[1]->x.getMark(), 3);
  EXPECT_EQ(rep.cells[1]->y.getMark(), 7);
  EXPECT_EQ(rep.cells[2]->x.getMark(), 5);
  EXPECT_EQ(rep.cells[2]->y.getMark(), -2);
  EXPECT_EQ(rep.cells[1]->z.getMark(), 11);

  std::vector<unsigned char> again(saved.size());
  rep.CurrentState(again.data());
  EXPECT_EQ(again, saved);
  EXPECT_TRUE(rep.CompareState(again.data(), saved.data()));
  again[0] ^= 1;
  EXPECT_FALSE(rep.CompareState(again.data(), saved.data()));
}

TEST(RepLocalStateTest, LocalStateHoldsOnlyTheSharedState) {
  CellRep rep(2);
  rep.zPlace->setMark(6);
  State* state = nullptr;
  rep.ConstructLocalState(state);
  ASSERT_NE(state, nullptr);
  EXPECT_EQ(static_cast<Rep::LocalState*>(state)->getSize(), 2);
  rep.GetLocalState(state);
  rep.zPlace->setMark(1);
  rep.cells[0]->x.setMark(8);
  rep.SetLocalState(state);
  EXPECT_EQ(rep.cells[0]->z.getMark(), 6);
  EXPECT_EQ(rep.cells[0]->x.getMark(), 8);  // private places are not in it

  State* other = nullptr;
  rep.ConstructLocalState(other);
  *other = *state;
  EXPECT_EQ(other->compare(*state), 0);
  *state = *state;  // onto itself: unchanged
  EXPECT_EQ(other->compare(*state), 0);
  rep.DestructLocalState(other);
  rep.DestructLocalState(state);
  rep.DestructLocalState(nullptr);
}

TEST(RepDeathTest, NegativeReplicaCountEndsWithStatusOne) {
  EXPECT_EXIT(CellRep(-1), testing::ExitedWithCode(1),
              "^Number of reps for cells must be >= 0.\n$");
}

TEST(RepDeathTest, ComposersRefuseLocalActionQueries) {
  CellRep rep(1);
  slist list;
  EXPECT_DEATH(rep.GetLocalActions(list), "Assertion failed: false, file Rep");
  EXPECT_DEATH(rep.GetGlobalActions(list), "Assertion failed: false, file Rep");
  EXPECT_DEATH(rep.GetChild(1), "Assertion failed: i < GetNumberOfChildren\\(\\), file Rep");
}

TEST(RepDeathTest, LocalStatesOfDifferentSizesDoNotCopyAndCompareByLength) {
  CellRep small(1);
  CellRep unshared(1, false);
  State* a = nullptr;
  State* b = nullptr;
  small.ConstructLocalState(a);     // 2 bytes (z)
  unshared.ConstructLocalState(b);  // 0 bytes
  EXPECT_DEATH(*a = *b, "Assertion failed: size == _localS->size, file Rep");
  // The empty state is an equal prefix of the longer one, so it orders
  // first; neither buffer is read beyond its own length.
  EXPECT_EQ(a->compare(*b), 1);
  EXPECT_EQ(b->compare(*a), -1);
  small.DestructLocalState(a);
  unshared.DestructLocalState(b);
}

// Fills the per-replica buffers with one byte each (bytes = 1) from values.
void FillBuffers(CellRep* rep, const std::vector<unsigned char>& values) {
  for (size_t i = 0; i < values.size(); i++)
    rep->getReplicaBuffer(static_cast<int>(i))[0] = values[i];
}

// Checks that the buffers ascend and that buffer i holds the original value
// of replica getReplicaIndex(i).
void ExpectSortedWithIndex(CellRep* rep, const std::vector<unsigned char>& original) {
  for (size_t i = 0; i < original.size(); i++) {
    int index = rep->getReplicaIndex(static_cast<int>(i));
    EXPECT_EQ(rep->getReplicaBuffer(static_cast<int>(i))[0], original[static_cast<size_t>(index)]);
    if (i > 0) {
      EXPECT_LE(rep->getReplicaBuffer(static_cast<int>(i) - 1)[0],
                rep->getReplicaBuffer(static_cast<int>(i))[0]);
    }
  }
}

TEST(RepSortTest, InsertionSortOrdersBuffersAndIndices) {
  CellRep rep(5);
  const std::vector<unsigned char> values = {0x80, 0x01, 0x7F, 0x01, 0x00};
  FillBuffers(&rep, values);
  rep.InsertionSort(4, 1);
  // Unsigned order: 0x00, 0x01, 0x01, 0x7F, 0x80 (0x80 is not negative).
  EXPECT_EQ(rep.getReplicaBuffer(4)[0], 0x80);
  ExpectSortedWithIndex(&rep, values);
  // Straight insertion is stable: the two 0x01 keep replicas 1 then 3.
  EXPECT_EQ(rep.getReplicaIndex(1), 1);
  EXPECT_EQ(rep.getReplicaIndex(2), 3);
}

TEST(RepSortTest, QuickSortThenInsertionSortSortsManyReplicas) {
  CellRep rep(23);
  std::vector<unsigned char> values;
  for (int i = 0; i < 23; i++) values.push_back(static_cast<unsigned char>((i * 37 + 11) % 29));
  FillBuffers(&rep, values);
  rep.QuickSort(0, 22, 1);
  rep.InsertionSort(22, 1);
  ExpectSortedWithIndex(&rep, values);
}

TEST(RepSortTest, Median3PutsTheMedianBeforeTheRightEnd) {
  CellRep rep(5);
  FillBuffers(&rep, {7, 0, 1, 0, 4});
  rep.Median3(0, 4, 1);
  // Left, middle (2) and right hold 7, 1, 4: ordered 1, 4, 7, then the
  // median 4 moves from the middle to index 3.
  EXPECT_EQ(rep.getReplicaBuffer(0)[0], 1);
  EXPECT_EQ(rep.getReplicaBuffer(3)[0], 4);
  EXPECT_EQ(rep.getReplicaBuffer(4)[0], 7);
}

}  // namespace

namespace {

char kX[] = "x";
char kZ[] = "z";
char* kXZ[] = {kX, kZ};

// Rep "pairs" of n cells sharing two places, x and z, built as generated
// code builds a replicate.
class PairRep : public Rep {
 public:
  explicit PairRep(int n) : Rep("pairs", n, 2, kXZ), xPlace("x"), zPlace("z") {
    for (int i = 0; i < n; i++) {
      cells.push_back(new composertest::CellSAN());
      SetChild(i, cells.back());
    }
    SetupActions();
    addSharedPtr(&xPlace, "x");
    addSharedPtr(&zPlace, "z");
    for (int i = 0; i < n; i++) {
      xPlace.ShareWith(&cells[i]->x);
      addSharingInfo(&cells[i]->x, &xPlace, nullptr);
      zPlace.ShareWith(&cells[i]->z);
      addSharingInfo(&cells[i]->z, &zPlace, nullptr);
    }
    Setup("cell");
  }
  ~PairRep() override {
    for (composertest::CellSAN* cell : cells) delete cell;
  }
  std::vector<composertest::CellSAN*> cells;
  Place xPlace;
  Place zPlace;
};

// Two shared places of distinct marks each keep their own bytes: the saved
// state restores x as 7 and z as 9 in every replica (were both saved at one
// offset, one value would overwrite the other and every replication after
// the first would start from a corrupted marking).
TEST(RepSetStateTest, TwoSharedPlacesRoundTripWithTheirOwnValues) {
  PairRep rep(3);
  // Each replica keeps y only (2 bytes); then x and z once.
  ASSERT_EQ(rep.StateSize(), 3 * 2 + 2 + 2);
  rep.xPlace.setMark(7);
  rep.zPlace.setMark(9);
  for (int i = 0; i < 3; i++) rep.cells[i]->y.setMark(static_cast<short>(i + 1));
  std::vector<unsigned char> saved(static_cast<size_t>(rep.StateSize()));
  rep.CurrentState(saved.data());
  rep.xPlace.setMark(0);
  rep.zPlace.setMark(0);
  rep.SetState(saved.data());
  for (int i = 0; i < 3; i++) {
    EXPECT_EQ(rep.cells[i]->x.getMark(), 7) << i;
    EXPECT_EQ(rep.cells[i]->z.getMark(), 9) << i;
    EXPECT_EQ(rep.cells[i]->y.getMark(), i + 1) << i;
  }
}

// A join above a replicate that shares x of every replica (a place below the
// join's direct children) shrinks each replica's state after the replicate's
// own setup: the replicate re-sizes its layout, so the snapshot has no
// stale gaps and restores every value. Sharing x of one replica only would
// leave the replicas different in size, which the model refuses.
class JoinBelowRep : public Join {
 public:
  explicit JoinBelowRep(int sharedReplicas) : Join("above", 1, 1, kXZ), xPlace("x"), rep(2, false) {
    SetChild(0, &rep);
    SetupActions();
    addSharedPtr(&xPlace, "x");
    for (int i = 0; i < sharedReplicas; i++) {
      xPlace.ShareWith(&rep.cells[i]->x);
      addSharingInfo(&rep.cells[i]->x, &xPlace, &rep);
    }
    Setup();
  }
  Place xPlace;  // declared first: the replicas sharing it go first
  CellRep rep;
};

TEST(RepSetStateTest, SharingBelowTheDirectChildrenKeepsTheReplicaLayoutRight) {
  JoinBelowRep join(2);
  // Each replica keeps y and z (4 bytes, x went to the join); then the
  // join's x.
  EXPECT_EQ(join.rep.getReplicaStateSize(), 4);
  ASSERT_EQ(join.StateSize(), 2 * 4 + 2);
  join.xPlace.setMark(5);
  join.rep.cells[0]->y.setMark(3);
  join.rep.cells[0]->z.setMark(4);
  join.rep.cells[1]->y.setMark(1);
  join.rep.cells[1]->z.setMark(2);
  std::vector<unsigned char> saved(static_cast<size_t>(join.StateSize()));
  join.CurrentState(saved.data());
  for (int i = 0; i < 2; i++) {
    join.rep.cells[i]->y.setMark(0);
    join.rep.cells[i]->z.setMark(0);
  }
  join.xPlace.setMark(0);
  join.SetState(saved.data());
  // Canonical order by (y, z): (1, 2) before (3, 4).
  EXPECT_EQ(join.rep.cells[0]->y.getMark(), 1);
  EXPECT_EQ(join.rep.cells[0]->z.getMark(), 2);
  EXPECT_EQ(join.rep.cells[1]->y.getMark(), 3);
  EXPECT_EQ(join.rep.cells[1]->z.getMark(), 4);
  EXPECT_EQ(join.rep.cells[1]->x.getMark(), 5);
}

TEST(RepDeathTest, SharingBelowOnlySomeReplicasIsRefused) {
  EXPECT_EXIT(JoinBelowRep join(1), testing::ExitedWithCode(1),
              "ERROR: Replicate cells: replica 1 keeps 6 bytes of state and replica 0 keeps 4; a "
              "place shared above a replicate must be shared in every replica");
}

}  // namespace

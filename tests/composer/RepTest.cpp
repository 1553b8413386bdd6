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

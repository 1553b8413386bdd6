// One contract suite run over Heap<int> and Heap<double>: ordering by key,
// owner positions after re-keying, growth, equal keys, the empty Top.
#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <vector>

#include "eventlist/Heap.h"

namespace {

template <class T>
class HeapContract : public ::testing::Test {};

using HeapKeyTypes = ::testing::Types<int, double>;
// Names the instantiations after their key type.
struct HeapKeyNames {
  template <class T>
  static std::string GetName(int) {
    return std::is_same<T, int>::value ? "Int" : "Double";
  }
};
TYPED_TEST_SUITE(HeapContract, HeapKeyTypes, HeapKeyNames);

// Pops by re-keying the top owner to a key above every other, collecting
// the owners in order of their keys.
template <class T>
std::vector<int> OwnersInKeyOrder(Heap<T>* heap, T above) {
  std::vector<int> owners;
  for (int n = heap->Size(); n > 0; --n) {
    int id = -1;
    heap->Top(&id);
    owners.push_back(id);
    heap->ChangeKey(id, above);
  }
  return owners;
}

TYPED_TEST(HeapContract, TopFollowsTheSmallestKeyThroughReKeying) {
  Heap<TypeParam> heap(3);
  heap.Insert(TypeParam(0), 0);
  heap.Insert(TypeParam(-1), 1);
  heap.Insert(TypeParam(0), 2);
  int id = -1;
  EXPECT_EQ(heap.Top(&id), TypeParam(-1));
  EXPECT_EQ(id, 1);
  heap.ChangeKey(1, TypeParam(1));
  EXPECT_EQ(heap.Top(&id), TypeParam(0));
  EXPECT_EQ(id, 0);
  EXPECT_EQ(heap.KeyOf(1), TypeParam(1));
}

TYPED_TEST(HeapContract, GrowsFromZeroCapacityAndSparseIds) {
  Heap<TypeParam> heap(0);
  // Owners 9, 4, 7, 0, 2 with keys 50, 10, 40, 30, 20: key order gives
  // owners 4, 2, 0, 7, 9.
  int ids[] = {9, 4, 7, 0, 2};
  int keys[] = {50, 10, 40, 30, 20};
  for (int k = 0; k < 5; ++k) heap.Insert(TypeParam(keys[k]), ids[k]);
  EXPECT_EQ(heap.Size(), 5);
  for (int k = 0; k < 5; ++k) EXPECT_EQ(heap.KeyOf(ids[k]), TypeParam(keys[k]));
  EXPECT_EQ(OwnersInKeyOrder(&heap, TypeParam(1000)), (std::vector<int>{4, 2, 0, 7, 9}));
}

TYPED_TEST(HeapContract, LoweringAKeyMovesItUpRaisingMovesItDown) {
  Heap<TypeParam> heap(8);
  for (int k = 0; k < 8; ++k) heap.Insert(TypeParam(10 * (k + 1)), k);
  heap.ChangeKey(7, TypeParam(5));  // 80 -> 5: the new smallest
  int id = -1;
  heap.Top(&id);
  EXPECT_EQ(id, 7);
  heap.ChangeKey(7, TypeParam(75));  // between 70 and 80
  EXPECT_EQ(OwnersInKeyOrder(&heap, TypeParam(1000)), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
}

TYPED_TEST(HeapContract, EqualKeysDoNotPassEachOther) {
  Heap<TypeParam> heap(2);
  heap.Insert(TypeParam(1), 0);
  heap.Insert(TypeParam(1), 1);
  int id = -1;
  heap.Top(&id);
  EXPECT_EQ(id, 0);
  heap.ChangeKey(0, TypeParam(1));  // same key: no move
  heap.Top(&id);
  EXPECT_EQ(id, 0);
}

TYPED_TEST(HeapContract, TopOfAnEmptyHeapIsAnAssertion) {
  Heap<TypeParam> heap(1);
  EXPECT_DEATH(heap.Top(), "Assertion failed: size > 0, file Heap, line 172");
}

}  // namespace

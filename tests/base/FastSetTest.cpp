// FastSet: building as a tree, freezing into a sorted array, and the
// assertions that guard each form.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "base/FastSet.h"

namespace {

TEST(FastSetTest, FrozenSetIsSortedWithoutDuplicates) {
  FastSet set;
  for (int v : {5, 1, 3, 1}) set.insert(v);
  EXPECT_TRUE(set.find(3));
  EXPECT_FALSE(set.find(2));
  set.NoMoreModifications();
  ASSERT_EQ(3, set.size());
  EXPECT_EQ(1, set[0]);
  EXPECT_EQ(3, set[1]);
  EXPECT_EQ(5, set[2]);
}

TEST(FastSetTest, ManyValuesFreezeInAscendingOrder) {
  // Expected order worked out independently: the distinct inserted values,
  // sorted with std::sort.
  std::mt19937 source(7);
  std::vector<int> inserted;
  FastSet set;
  for (int i = 0; i < 500; i++) {
    int v = static_cast<int>(source() % 300) - 150;
    inserted.push_back(v);
    set.insert(v);
  }
  std::sort(inserted.begin(), inserted.end());
  inserted.erase(std::unique(inserted.begin(), inserted.end()), inserted.end());
  set.NoMoreModifications();
  ASSERT_EQ(static_cast<int>(inserted.size()), set.size());
  for (int i = 0; i < set.size(); i++) EXPECT_EQ(inserted[i], set[i]) << "index " << i;
}

TEST(FastSetTest, EmptySetFreezesToSizeZero) {
  FastSet set;
  EXPECT_TRUE(set.empty());
  set.NoMoreModifications();
  EXPECT_EQ(0, set.size());
  EXPECT_TRUE(set.isFrozen());
}

TEST(FastSetTest, CountersCountConstructionsAndConversions) {
  int built = FastSet::number1;
  int frozen = FastSet::number2;
  FastSet a;
  FastSet b;
  a.NoMoreModifications();
  EXPECT_EQ(built + 2, FastSet::number1);
  EXPECT_EQ(frozen + 1, FastSet::number2);
  static_cast<void>(b);
}

TEST(FastSetTest, ClearKeepsTheCurrentForm) {
  FastSet building;
  building.insert(4);
  building.clear();
  EXPECT_TRUE(building.empty());
  building.insert(9);  // still in set form
  EXPECT_TRUE(building.find(9));

  FastSet frozen;
  frozen.insert(1);
  frozen.insert(2);
  frozen.NoMoreModifications();
  frozen.clear();
  EXPECT_TRUE(frozen.isFrozen());
  EXPECT_EQ(0, frozen.size());
}

TEST(FastSetDeathTest, SetFormOperationsFailOnceFrozen) {
  FastSet set;
  set.NoMoreModifications();
  EXPECT_DEATH(set.insert(1), "Assertion failed: !is_vec_rep, file FastSet");
  EXPECT_DEATH(set.find(1), "Assertion failed: !is_vec_rep, file FastSet");
  EXPECT_DEATH(set.NoMoreModifications(), "Assertion failed: !is_vec_rep, file FastSet");
}

TEST(FastSetDeathTest, ArrayFormOperationsFailBeforeFreezing) {
  FastSet set;
  set.insert(1);
  EXPECT_DEATH(set.size(), "Assertion failed: is_vec_rep, file FastSet");
  EXPECT_DEATH(set[0], "Assertion failed: is_vec_rep, file FastSet");
}

}  // namespace

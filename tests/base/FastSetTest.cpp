// FastSet: building as a tree, freezing into a sorted array, and the
// assertions that guard each form.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "base/FastSet.h"

namespace {

// 5, 1, 3, 1 freeze to 1, 3, 5; an empty set freezes to size 0. Every
// construction and every freezing is counted.
TEST(FastSetTest, FreezingSortsDistinctValuesAndIsCounted) {
  int built = FastSet::number1;
  int frozen = FastSet::number2;
  FastSet set;
  for (int v : {5, 1, 3, 1}) set.insert(v);
  EXPECT_TRUE(set.find(3));
  EXPECT_FALSE(set.find(2));
  EXPECT_FALSE(set.isFrozen());
  set.NoMoreModifications();
  ASSERT_EQ(3, set.size());
  EXPECT_EQ(1, set[0]);
  EXPECT_EQ(3, set[1]);
  EXPECT_EQ(5, set[2]);

  FastSet none;
  EXPECT_TRUE(none.empty());
  none.NoMoreModifications();
  EXPECT_EQ(0, none.size());
  EXPECT_TRUE(none.isFrozen());
  EXPECT_EQ(built + 2, FastSet::number1);
  EXPECT_EQ(frozen + 2, FastSet::number2);
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

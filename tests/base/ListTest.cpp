// List<T>: set semantics on insertion, the growth schedule, removal by
// moving the last item, the set removal, printing and growth failure.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "base/List.h"

namespace {

struct Item {
  int id;
};

// Ten distinct objects to point at.
class ListTest : public ::testing::Test {
 protected:
  Item* P(int i) { return &pool[i]; }
  std::vector<Item*> Contents(const List<Item>& list) {
    std::vector<Item*> out;
    for (int i = 0; i < list.getNumItems(); i++) out.push_back(list.getItem(i));
    return out;
  }
  void ExpectNullBeyondCount(const List<Item>& list) {
    for (int i = list.getNumItems(); i < list.getCapacity(); i++) {
      EXPECT_EQ(nullptr, list.getList()[i]) << "slot " << i;
    }
  }
  Item pool[64];
};

using ListDeathTest = ListTest;

TEST_F(ListTest, AppendKeepsOneCopyAndInsertionOrder) {
  List<Item> list;
  list.append(P(2));
  list.append(P(0));
  list.append(P(2));
  EXPECT_EQ((std::vector<Item*>{P(2), P(0)}), Contents(list));
  EXPECT_TRUE(list.contains(P(0)));
  EXPECT_FALSE(list.contains(P(1)));
  EXPECT_EQ(P(0), list[1]);
}

TEST_F(ListTest, CapacityDoublesUnderSingleAppendsAndNewSlotsAreNull) {
  List<Item> list;
  std::vector<int> seen;
  for (int i = 0; i < 41; i++) {
    list.append(P(i));
    if (seen.empty() || seen.back() != list.getCapacity()) seen.push_back(list.getCapacity());
    ExpectNullBeyondCount(list);
  }
  EXPECT_EQ((std::vector<int>{10, 20, 40, 80}), seen);
  EXPECT_EQ(41, list.getNumItems());
}

TEST_F(ListTest, AppendingAHeldPointerToAFullListStillDoubles) {
  List<Item> list(2);
  list.append(P(0));
  list.append(P(1));
  list.append(P(1));
  EXPECT_EQ(2, list.getNumItems());
  EXPECT_EQ(4, list.getCapacity());
}

TEST_F(ListTest, ArrayAppendFollowsArrayOrderAndIgnoresNonPositiveCounts) {
  List<Item> list(1);
  Item* array[] = {P(3), P(1), P(3), P(4)};
  list.append(array, 0);
  list.append(array, -2);
  EXPECT_EQ(0, list.getNumItems());
  list.append(array, 4);
  EXPECT_EQ((std::vector<Item*>{P(3), P(1), P(4)}), Contents(list));
  EXPECT_EQ(4, list.getCapacity());  // 1 -> 2 -> 4 while appending one by one
}

TEST_F(ListTest, ListAppendGrowsOnceToTwiceTheCombinedCount) {
  // 8 + 8 items need 16 slots; capacity 10 is short, so it grows to 2 * 16.
  List<Item> target;
  List<Item> source;
  for (int i = 0; i < 8; i++) target.append(P(i));
  for (int i = 4; i < 12; i++) source.append(P(i));
  target.append(&source);
  EXPECT_EQ(32, target.getCapacity());
  EXPECT_EQ(12, target.getNumItems());  // items 4..7 were already held
  EXPECT_EQ(P(8), target[8]);
  EXPECT_EQ(P(11), target[11]);
  ExpectNullBeyondCount(target);
}

TEST_F(ListTest, RemoveMovesTheLastItemIntoTheFreedSlot) {
  List<Item> list;
  list.append(P(0));
  list.append(P(1));
  list.append(P(2));
  list.remove(P(7));
  EXPECT_EQ(3, list.getNumItems());
  list.remove(P(0));
  EXPECT_EQ((std::vector<Item*>{P(2), P(1)}), Contents(list));
  ExpectNullBeyondCount(list);
}

TEST_F(ListTest, ReplaceItemKeepsPositionOrDropsTheOldWhenBothAreHeld) {
  List<Item> list;
  list.append(P(0));
  list.append(P(1));
  list.append(P(2));
  list.replaceItem(P(9), P(8));  // old not held: nothing
  EXPECT_EQ((std::vector<Item*>{P(0), P(1), P(2)}), Contents(list));
  list.replaceItem(P(1), P(5));  // new not held: takes old's slot
  EXPECT_EQ((std::vector<Item*>{P(0), P(5), P(2)}), Contents(list));
  list.replaceItem(P(0), P(5));  // both held: old removed, new stays put
  EXPECT_EQ((std::vector<Item*>{P(2), P(5)}), Contents(list));
}

TEST_F(ListTest, RemoveSetOfItemsPacksSurvivorsInOrderIntoAnExactArray) {
  List<Item> list;
  List<Item> gone;
  for (int i = 0; i < 6; i++) list.append(P(i));
  gone.append(P(4));
  gone.append(P(1));
  gone.append(P(9));  // not held: ignored
  list.removeSetOfItems(gone);
  EXPECT_EQ((std::vector<Item*>{P(0), P(2), P(3), P(5)}), Contents(list));
  EXPECT_EQ(4, list.getCapacity());
  EXPECT_EQ(3, gone.getNumItems());  // the argument was a copy
  list.append(P(7));                 // a full exact array grows again
  EXPECT_EQ(8, list.getCapacity());
  EXPECT_EQ(P(7), list[4]);
}

TEST_F(ListTest, RemovingEveryItemLeavesAListThatCanGrowAgain) {
  List<Item> list;
  list.append(P(0));
  list.append(P(1));
  List<Item> all(list);
  list.removeSetOfItems(all);
  EXPECT_EQ(0, list.getNumItems());
  for (int i = 0; i < 5; i++) list.append(P(i));
  EXPECT_EQ(5, list.getNumItems());
  EXPECT_EQ(P(4), list[4]);
}

// Past a few dozen items membership comes from an index: appends, removal,
// replacement and clearing must keep exactly the set and slot order a plain
// scan would give (checked against a vector kept alongside).
TEST_F(ListTest, LongListsKeepSetSemanticsAndSlotOrder) {
  List<Item> list;
  std::vector<Item*> expected;
  auto append = [&](Item* item) {
    list.append(item);
    if (std::find(expected.begin(), expected.end(), item) == expected.end()) {
      expected.push_back(item);
    }
  };
  for (int round = 0; round < 2; round++) {
    for (int i = 0; i < 64; i++) append(P((i * 7) % 64));  // each of 64 once
  }
  ASSERT_EQ(Contents(list), expected);
  // remove: the last item moves into the freed slot.
  list.remove(P(7));
  auto at = std::find(expected.begin(), expected.end(), P(7));
  *at = expected.back();
  expected.pop_back();
  EXPECT_EQ(Contents(list), expected);
  EXPECT_FALSE(list.contains(P(7)));
  // replace an item by one not held: same slot; by one held: old dropped.
  list.replaceItem(P(14), P(7));
  *std::find(expected.begin(), expected.end(), P(14)) = P(7);
  EXPECT_EQ(Contents(list), expected);
  EXPECT_TRUE(list.contains(P(7)));
  EXPECT_FALSE(list.contains(P(14)));
  list.replaceItem(P(21), P(7));
  at = std::find(expected.begin(), expected.end(), P(21));
  *at = expected.back();
  expected.pop_back();
  EXPECT_EQ(Contents(list), expected);
  append(P(21));  // gone, so it is appended again
  append(P(0));   // held: ignored
  EXPECT_EQ(Contents(list), expected);
  List<Item> other;
  for (Item* item : {P(14), P(0), P(14)}) other.append(item);
  list.append(&other);
  append(P(14));
  EXPECT_EQ(Contents(list), expected);
  list.clearList();
  EXPECT_FALSE(list.contains(P(0)));
  list.append(P(0));
  EXPECT_EQ(Contents(list), std::vector<Item*>{P(0)});
}

TEST_F(ListTest, ClearKeepsCapacityForReuse) {
  List<Item> list;
  for (int i = 0; i < 15; i++) list.append(P(i));
  list.clearList();
  EXPECT_EQ(0, list.getNumItems());
  list.append(P(3));
  EXPECT_EQ(20, list.getCapacity());
  EXPECT_EQ(P(3), list[0]);
}

TEST_F(ListTest, NonPositiveConstructionCapacityIsRaisedToOne) {
  List<Item> list(0);
  EXPECT_EQ(1, list.getCapacity());
  for (int i = 0; i < 3; i++) list.append(P(i));
  EXPECT_EQ(3, list.getNumItems());
  EXPECT_EQ(4, list.getCapacity());
}

TEST_F(ListDeathTest, InsertItemFillsAFreeSlotWithoutGrowing) {
  List<Item> list(2);
  list.insertItem(P(0));
  list.insertItem(P(0));
  list.insertItem(P(1));
  EXPECT_EQ(2, list.getNumItems());
  EXPECT_EQ(2, list.getCapacity());
  EXPECT_DEATH(list.insertItem(P(2)), "Assertion failed: numItems < capacity, file List");
}

TEST_F(ListDeathTest, IncreaseArraySizeSetsExactCapacityAndKeepsItems) {
  List<Item> list;
  list.append(P(0));
  list.append(P(1));
  list.increaseArraySize(3);
  EXPECT_EQ(3, list.getCapacity());
  EXPECT_EQ((std::vector<Item*>{P(0), P(1)}), Contents(list));
  ExpectNullBeyondCount(list);
  EXPECT_DEATH(list.increaseArraySize(1), "Assertion failed: newCapacity >= numItems, file List");
}

TEST_F(ListTest, PrintListWritesIndexAndPointerPerItem) {
  List<Item> list;
  testing::internal::CaptureStdout();
  list.printList();
  EXPECT_EQ("No items in the list\n", testing::internal::GetCapturedStdout());

  list.append(P(0));
  list.append(P(1));
  // Expected text: the standard stream's own formatting of the untyped pointers.
  std::ostringstream expected;
  expected << "[0] " << static_cast<const void*>(P(0)) << "\n"
           << "[1] " << static_cast<const void*>(P(1)) << "\n";
  testing::internal::CaptureStdout();
  list.printList();
  EXPECT_EQ(expected.str(), testing::internal::GetCapturedStdout());
}

TEST(ListInstantiationTest, FrameworkElementListsAreBuiltInTheLibrary) {
  // Pointers are only stored and compared, never dereferenced.
  alignas(8) static char storage[4][8];
  List<BaseActionClass> actions;
  List<BaseGroupClass> groups;
  List<BaseModelClass> models;
  List<BaseStateVariableClass> variables;
  actions.append(reinterpret_cast<BaseActionClass*>(storage[0]));
  groups.append(reinterpret_cast<BaseGroupClass*>(storage[1]));
  models.append(reinterpret_cast<BaseModelClass*>(storage[2]));
  variables.append(reinterpret_cast<BaseStateVariableClass*>(storage[3]));
  variables.remove(reinterpret_cast<BaseStateVariableClass*>(storage[3]));
  EXPECT_EQ(1, actions.getNumItems() + groups.getNumItems() - models.getNumItems() +
                   variables.getNumItems());
}

// The growth-failure line followed by the two lines of MemoryAllocationError.
const char kGrowthFailure[] =
    "!! Crtical error in List<C>::append(List*) do to insufficient memory...exiting\n"
    "Insufficient Memory to allocate dynamic data structures from heap memory\n"
    "Exiting program...\n";

TEST_F(ListDeathTest, GrowthFailureOnEveryPathReportsAndExitsWithOne) {
  // The slot limit makes any array above 10 slots fail as a full heap would.
  auto limited = [](const std::function<void()>& grow) {
    list_internal::slotLimit = 10;
    grow();
  };
  List<Item> full;
  for (int i = 0; i < 10; i++) full.append(P(i));
  EXPECT_EXIT(limited([&] { full.append(P(10)); }), testing::ExitedWithCode(1),
              testing::StrEq(kGrowthFailure));
  EXPECT_EXIT(limited([&] { full.append(&full); }), testing::ExitedWithCode(1),
              testing::StrEq(kGrowthFailure));
  EXPECT_EXIT(limited([&] { full.increaseArraySize(11); }), testing::ExitedWithCode(1),
              testing::StrEq(kGrowthFailure));
}

TEST_F(ListDeathTest, ConstructionFailureReportsOnlyTheMemoryLines) {
  EXPECT_EXIT(
      {
        list_internal::slotLimit = 10;
        List<Item> big(11);
      },
      testing::ExitedWithCode(1),
      testing::StrEq("Insufficient Memory to allocate dynamic data structures from heap memory\n"
                     "Exiting program...\n"));
}

}  // namespace

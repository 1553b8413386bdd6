// Tests of the reactivation list without a driver: the front insertion, a
// group's node and watch flag following it in and out, and the pool of one
// node per group that never runs dry.
#include <gtest/gtest.h>

#include <vector>

#include "eventlist/ReactivationList.h"
#include "framework/BaseActionClass.h"

namespace {

class ReactivationListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < kGroups; ++i) groups[i].setScheduleRecord(&records[i]);
    list.CreateReactivationPool(kGroups);
  }
  // The groups in list order, checking the back links on the way.
  std::vector<BaseActionClass*> Order() const {
    std::vector<BaseActionClass*> order;
    const ReactivationNode* prev = nullptr;
    for (const ReactivationNode* n = list.reactivationList; n != nullptr; n = n->next) {
      EXPECT_EQ(n->prev, prev);
      order.push_back(n->action);
      prev = n;
    }
    return order;
  }
  int PoolSize() const {
    int size = 0;
    for (const ReactivationNode* n = list.reactivationPool; n != nullptr; n = n->next) ++size;
    return size;
  }
  // A group is watched exactly when its record says so and names its node.
  void ExpectWatched(int i, bool watched) {
    EXPECT_EQ(records[i].notInReactivationList, !watched) << "group " << i;
    EXPECT_EQ(groups[i].reactivation, watched) << "group " << i;
    if (watched) {
      ASSERT_NE(records[i].reactivationNode, nullptr);
      EXPECT_EQ(records[i].reactivationNode->action, &groups[i]);
    } else {
      EXPECT_EQ(records[i].reactivationNode, nullptr);
    }
  }

  static constexpr int kGroups = 3;
  BaseActionClass groups[kGroups];
  ScheduleRecord records[kGroups];
  ReactivationList list;
};

TEST_F(ReactivationListTest, NewEntriesGoToTheFrontAndLeaveFromAnywhere) {
  EXPECT_EQ(PoolSize(), kGroups);
  for (int i = 0; i < kGroups; ++i) list.PushReactivation(&groups[i]);
  EXPECT_EQ(Order(), (std::vector<BaseActionClass*>{&groups[2], &groups[1], &groups[0]}));
  EXPECT_EQ(PoolSize(), 0);
  for (int i = 0; i < kGroups; ++i) ExpectWatched(i, true);
  list.UnlinkReactivation(records[1].reactivationNode);  // the middle
  EXPECT_EQ(Order(), (std::vector<BaseActionClass*>{&groups[2], &groups[0]}));
  ExpectWatched(1, false);
  list.UnlinkReactivation(records[2].reactivationNode);  // the head
  EXPECT_EQ(Order(), (std::vector<BaseActionClass*>{&groups[0]}));
  EXPECT_EQ(PoolSize(), 2);
}

TEST_F(ReactivationListTest, PushingAWatchedGroupMovesItToTheFront) {
  list.PushReactivation(&groups[0]);
  list.PushReactivation(&groups[1]);
  // Every group is in at most once, so the pool of three never runs dry.
  for (int round = 0; round < 5; ++round) list.PushReactivation(&groups[0]);
  EXPECT_EQ(Order(), (std::vector<BaseActionClass*>{&groups[0], &groups[1]}));
  EXPECT_EQ(PoolSize(), 1);
  list.ClearReactivationList();
  EXPECT_EQ(list.reactivationList, nullptr);
  EXPECT_EQ(PoolSize(), kGroups);
  for (int i = 0; i < kGroups; ++i) ExpectWatched(i, false);
}

}  // namespace

// Tests of the future-event list: heap order, rank and weighted tie rules,
// re-keying, removal, clearing, and the slot back-references.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <sstream>
#include <vector>

#include "RandomFixture.h"
#include "ScriptedGenerator.h"
#include "eventlist/EventList.h"
#include "framework/BaseActionClass.h"
#include "random/RandomNumberGenerator.h"
#include "random/UserDistributions.h"

namespace {

// An action with a chosen rank and weight and its own schedule record.
class RankedAction : public BaseActionClass {
 public:
  RankedAction(const char* label, int rank, double weight) : rankValue(rank), weightValue(weight) {
    defineName(label);
    setScheduleRecord(&record);
  }
  int Rank() override { return rankValue; }
  double Weight() override { return weightValue; }

  ScheduleRecord record;
  int rankValue;
  double weightValue;
};

class EventListTest : public RandomFixture {
 protected:
  RankedAction* Add(const char* label, int rank = 1, double weight = 1.0) {
    actions.emplace_back(new RankedAction(label, rank, weight));
    return actions.back().get();
  }
  void Schedule(RankedAction* a, double time) {
    Event e(time, 0.0, a);
    list.Insert(&e);
  }
  ScriptedGenerator* Script(std::vector<double> draws) {
    auto* g = new ScriptedGenerator(std::move(draws));
    TheDistribution->SetGenerator(g);
    return g;
  }
  // Takes every event out in firing order and returns their times.
  std::vector<double> Drain() {
    std::vector<double> times;
    while (Event** slot = list.Earliest()) {
      times.push_back((*slot)->time);
      list.Remove(slot);
      EXPECT_EQ(list.IsValid(), 0);
    }
    return times;
  }

  std::vector<std::unique_ptr<RankedAction>> actions;
  EventList list{16};
};

TEST_F(EventListTest, FiresInTimeOrderAndKeepsSlotsExact) {
  ScriptedGenerator* g = Script({});
  double times[] = {5.0, 1.0, 3.0, 4.0, 2.0};
  for (double t : times) Schedule(Add("a"), t);
  EXPECT_EQ(list.IsValid(), 0);
  for (auto& a : actions) {
    ASSERT_NE(a->record.eventSlot, nullptr);
    EXPECT_EQ((*a->record.eventSlot)->action, a.get());
  }
  EXPECT_EQ(Drain(), (std::vector<double>{1.0, 2.0, 3.0, 4.0, 5.0}));
  EXPECT_EQ(g->drawn, 0);  // no ties, no draws
  for (auto& a : actions) EXPECT_EQ(a->record.eventSlot, nullptr);
}

TEST_F(EventListTest, HigherRankWinsATimeTieWithoutADraw) {
  ScriptedGenerator* g = Script({});
  RankedAction* low = Add("low", 1);
  RankedAction* high = Add("high", 2);
  Schedule(low, 7.0);
  Schedule(high, 7.0);
  Event** slot = list.Earliest();
  ASSERT_NE(slot, nullptr);
  EXPECT_EQ((*slot)->action, high);
  EXPECT_EQ(g->drawn, 0);
}

// Weights 1, 1 and 2 give a total of 4; the threshold is 4u and the first
// entry whose running total (1, 2, 4) is strictly above it is chosen.
TEST_F(EventListTest, WeightedTieDrawsOnceAndChoosesByRunningTotal) {
  RankedAction* a = Add("a", 1, 1.0);
  RankedAction* b = Add("b", 1, 1.0);
  RankedAction* c = Add("c", 1, 2.0);
  Schedule(a, 3.0);
  Schedule(b, 3.0);
  Schedule(c, 3.0);
  ScriptedGenerator* g = Script({0.2499, 0.7499, 0.25});
  EXPECT_EQ((*list.Earliest())->action, a);  // 0.9996 < 1
  EXPECT_EQ(g->drawn, 1);
  EXPECT_EQ((*list.Earliest())->action, c);  // 2.9996: a 1, b 2, c 4
  EXPECT_EQ(g->drawn, 2);
  EXPECT_EQ((*list.Earliest())->action, b);  // exactly 1: a's total is not above
  EXPECT_EQ(g->drawn, 3);
}

// Four events tying on time and rank stay at heap positions 0..3 in
// insertion order. The weights are summed in depth-first pre-order, left
// subtree first (positions 0, 1, 3, 2), not in index order: with weights
// 1, 1, 1 and 5 the running totals are 1, 2, 7, 8, so u = 0.3 (threshold
// 2.4) chooses position 3; in index order (totals 1, 2, 3, 8) it would be
// position 2.
TEST_F(EventListTest, TiesAreWeighedInDepthFirstPreOrder) {
  RankedAction* at0 = Add("p0", 1, 1.0);
  RankedAction* at1 = Add("p1", 1, 1.0);
  RankedAction* at2 = Add("p2", 1, 1.0);
  RankedAction* at3 = Add("p3", 1, 5.0);
  for (RankedAction* a : {at0, at1, at2, at3}) Schedule(a, 4.0);
  ASSERT_EQ(at3->record.eventSlot, list.SlotAt(3));
  ScriptedGenerator* g = Script({0.3});
  EXPECT_EQ((*list.Earliest())->action, at3);
  EXPECT_EQ(g->drawn, 1);
}

TEST_F(EventListTest, ZeroTotalWeightStillChoosesATiedEvent) {
  RankedAction* a = Add("a", 1, 0.0);
  RankedAction* b = Add("b", 1, 0.0);
  RankedAction* later = Add("later", 1, 5.0);
  Schedule(a, 1.0);
  Schedule(b, 1.0);
  Schedule(later, 2.0);
  Script({0.5});
  Event** slot = list.Earliest();
  ASSERT_NE(slot, nullptr);
  EXPECT_EQ((*slot)->time, 1.0);
  EXPECT_TRUE((*slot)->action == a || (*slot)->action == b);
}

TEST_F(EventListTest, OnlyEventsTyingOnTimeAndRankTakePartInTheDraw) {
  // a ties with b on time but not rank; only b and c (rank 2) are drawn.
  RankedAction* a = Add("a", 1, 100.0);
  RankedAction* b = Add("b", 2, 1.0);
  RankedAction* c = Add("c", 2, 1.0);
  Schedule(a, 1.0);
  Schedule(b, 1.0);
  Schedule(c, 1.0);
  // The heap is [b, a, c]: a (rank 1) is not a tie, so the weights are
  // b 1 and c 1; u 0.9 gives the threshold 1.8, passed only by c's total 2.
  ScriptedGenerator* g = Script({0.9});
  Event** slot = list.Earliest();
  EXPECT_EQ((*slot)->action, c);
  EXPECT_EQ(g->drawn, 1);
}

// Re-keying the root later moves it down, a leaf earlier moves it up; the
// slots of every moved event follow.
TEST_F(EventListTest, ReKeyingMovesTheEventEitherWay) {
  Script({});
  RankedAction* first = Add("first");
  for (double t : {2.0, 3.0, 4.0}) Schedule(Add("x"), t);
  Schedule(first, 1.0);
  RankedAction* leaf = Add("leaf");
  Schedule(leaf, 6.0);
  ASSERT_EQ((*list.Earliest())->action, first);
  (*first->record.eventSlot)->time = 10.0;
  list.ModifyKey(first->record.eventSlot);
  EXPECT_EQ(list.IsValid(), 0);
  EXPECT_EQ((*first->record.eventSlot)->action, first);
  EXPECT_EQ((*list.Earliest())->time, 2.0);
  (*leaf->record.eventSlot)->time = 0.5;
  list.ModifyKey(leaf->record.eventSlot);
  EXPECT_EQ(list.IsValid(), 0);
  EXPECT_EQ(leaf->record.eventSlot, list.SlotAt(0));
  EXPECT_EQ(Drain(), (std::vector<double>{0.5, 2.0, 3.0, 4.0, 10.0}));
}

TEST_F(EventListTest, RemovingTheLastPositionMovesNothingElse) {
  Script({});
  for (double t : {1.0, 2.0, 3.0}) Schedule(Add("x"), t);
  RankedAction* last = Add("last");
  Schedule(last, 9.0);
  ASSERT_EQ(last->record.eventSlot, list.SlotAt(3));
  std::vector<Event**> before;
  for (int i = 0; i < 3; ++i) before.push_back(actions[i]->record.eventSlot);
  list.Remove(last->record.eventSlot);
  EXPECT_EQ(last->record.eventSlot, nullptr);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(actions[i]->record.eventSlot, before[i]);
  EXPECT_EQ(*list.SlotAt(3), nullptr);
  EXPECT_EQ(list.IsValid(), 0);
}

TEST_F(EventListTest, RandomInsertRemoveAndReKeyKeepTheHeapValid) {
  Script({});
  std::mt19937 rng(12345);
  std::uniform_real_distribution<double> time(0.0, 100.0);
  EventList big(64);
  std::vector<std::unique_ptr<RankedAction>> owned;
  for (int i = 0; i < 64; ++i) {
    owned.emplace_back(new RankedAction("r", 1, 1.0));
    Event e(time(rng), 0.0, owned.back().get());
    big.Insert(&e);
  }
  for (int i = 0; i < 64; i += 3) big.Remove(owned[i]->record.eventSlot);
  for (int i = 1; i < 64; i += 3) {
    (*owned[i]->record.eventSlot)->time = time(rng);
    big.ModifyKey(owned[i]->record.eventSlot);
  }
  ASSERT_EQ(big.IsValid(), 0);
  double previous = -1.0;
  while (Event** slot = big.Earliest()) {
    EXPECT_GE((*slot)->time, previous);
    previous = (*slot)->time;
    big.Remove(slot);
    ASSERT_EQ(big.IsValid(), 0);
  }
  EXPECT_EQ(big.FreeCount(), 64);
}

TEST_F(EventListTest, ClearingFreesEveryEventAndResetsTheRecords) {
  Script({});
  EXPECT_EQ(list.Earliest(), nullptr);  // empty from the start
  for (double t : {1.0, 2.0, 3.0}) Schedule(Add("x"), t);
  for (auto& a : actions) a->record.notInReactivationList = false;
  list.ClearEventList();
  EXPECT_EQ(list.Size(), 0);
  EXPECT_EQ(list.FreeCount(), 16);
  EXPECT_EQ(list.Earliest(), nullptr);
  for (auto& a : actions) {
    EXPECT_EQ(a->record.eventSlot, nullptr);
    EXPECT_TRUE(a->record.notInReactivationList);
  }
  Schedule(actions[0].get(), 4.0);  // usable again
  EXPECT_EQ(list.IsValid(), 0);
}

TEST_F(EventListTest, InsertCopiesTheCallersEvent) {
  Script({});
  RankedAction* a = Add("a");
  Event scratch(2.0, 1.0, a);
  list.Insert(&scratch);
  scratch.time = 99.0;
  EXPECT_EQ((*a->record.eventSlot)->time, 2.0);
  EXPECT_EQ((*a->record.eventSlot)->scheduledAt, 1.0);
}

TEST_F(EventListTest, PrintListShowsEachEventInHeapOrder) {
  Script({});
  Schedule(Add("alpha"), 2.5);
  std::ostringstream out;
  list.PrintList(out);
  EXPECT_EQ(out.str(),
            "------------------Event List-----------------\n"
            "(alpha) 0 --> 2.5\n"
            "---------------------------------------------\n\n");
}

TEST_F(EventListTest, IsValidNamesABrokenBackReference) {
  Script({});
  RankedAction* a = Add("a");
  Schedule(a, 1.0);
  a->record.eventSlot = nullptr;  // corrupt on purpose
  EXPECT_EQ(list.IsValid(), 100000);
  a->record.eventSlot = list.SlotAt(0);
}

}  // namespace

// Tests of PacketQueue (ring order, full and empty, wrap-around, locking)
// and of the DataPacket layout.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <deque>
#include <thread>
#include <vector>

#include "output/DataPacket.h"
#include "output/PacketQueue.h"

namespace {

// Packets are only pointers to the queue; distinct addresses suffice.
std::vector<DataPacket*> Fakes(std::vector<char>* storage, int n) {
  storage->assign(static_cast<size_t>(n), 0);
  std::vector<DataPacket*> out;
  for (int i = 0; i < n; ++i) {
    out.push_back(reinterpret_cast<DataPacket*>(storage->data() + i));
  }
  return out;
}

TEST(PacketQueueTest, FullQueueRefusesAndEmptyQueueYieldsNothing) {
  std::vector<char> storage;
  std::vector<DataPacket*> p = Fakes(&storage, 4);
  PacketQueue queue(3);
  EXPECT_EQ(queue.Capacity(), 3);
  EXPECT_EQ(queue.Take(), nullptr);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(queue.Put(p[i]));
  EXPECT_FALSE(queue.Put(p[3]));
  EXPECT_EQ(queue.Length(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(queue.Take(), p[i]);
  EXPECT_EQ(queue.Take(), nullptr);
  EXPECT_EQ(queue.Length(), 0);
}

TEST(PacketQueueTest, WrapsAroundInFifoOrderAgainstAModel) {
  // A deterministic mix of puts and takes, checked step by step against a
  // std::deque limited to the same capacity.
  std::vector<char> storage;
  std::vector<DataPacket*> p = Fakes(&storage, 7);
  for (int capacity : {1, 2, 5}) {
    PacketQueue queue(capacity);
    std::deque<DataPacket*> model;
    unsigned state = 12345;
    for (int step = 0; step < 2000; ++step) {
      state = state * 1103515245u + 12345u;
      DataPacket* packet = p[(state >> 8) % 7];
      if ((state >> 16) % 3 != 0) {
        const bool room = static_cast<int>(model.size()) < capacity;
        ASSERT_EQ(queue.Put(packet), room) << "step " << step;
        if (room) model.push_back(packet);
      } else {
        DataPacket* expected = model.empty() ? nullptr : model.front();
        if (!model.empty()) model.pop_front();
        ASSERT_EQ(queue.Take(), expected) << "step " << step;
      }
      ASSERT_EQ(queue.Length(), static_cast<int>(model.size()));
    }
  }
}

TEST(PacketQueueTest, OneProducerOneConsumerLoseNothing) {
  alarm(20);  // a lost packet would keep the consumer waiting for ever
  std::vector<char> storage;
  std::vector<DataPacket*> p = Fakes(&storage, 1000);
  PacketQueue queue(8);
  std::thread producer([&] {
    for (DataPacket* packet : p) {
      while (!queue.Put(packet)) std::this_thread::yield();
    }
  });
  std::vector<DataPacket*> received;
  while (received.size() < p.size()) {
    DataPacket* packet = queue.Take();
    if (packet != nullptr) {
      received.push_back(packet);
    } else {
      std::this_thread::yield();
    }
  }
  producer.join();
  EXPECT_EQ(received, p);
  EXPECT_EQ(queue.Length(), 0);
  alarm(0);
}

TEST(DataPacketTest, StartsZeroedWithRowsOfCapacity) {
  DataPacket packet(3, 4, 2, 5);
  EXPECT_EQ(packet.clientId, 3);
  EXPECT_EQ(packet.experiment, 4);
  for (int i = 0; i < 2; ++i) EXPECT_EQ(packet.counts[i], 0);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(packet.values[i], 0.0);
  // Observation 3 of variable 1 sits at 1 * 5 + 3.
  packet.Store(1, 3, 2.5);
  EXPECT_EQ(packet.values[8], 2.5);
  EXPECT_EQ(packet.Value(1, 3), 2.5);
  packet.SetAllCounts(4);
  EXPECT_EQ(packet.counts[0], 4);
  EXPECT_EQ(packet.counts[1], 4);
}

TEST(DataPacketTest, UnindexablePacketEndsWithTheMemoryReport) {
  // 3 rows of INT_MAX values cannot be indexed by int: the process ends
  // with status 1 instead of overflowing or throwing.
  EXPECT_EXIT(DataPacket(0, 0, 3, INT_MAX), ::testing::ExitedWithCode(1),
              "Insufficient Memory to allocate dynamic data structures from heap "
              "memory\nExiting program...");
}

}  // namespace

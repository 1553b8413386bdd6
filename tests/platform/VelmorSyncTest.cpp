// Tests of VelmorThread, VelmorMutex and VelmorCond.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <thread>

#include "platform/VelmorCond.h"
#include "platform/VelmorMutex.h"
#include "platform/VelmorThread.h"

namespace {

int NameNumber(const VelmorMutex& mutex) {
  int n = -1;
  EXPECT_EQ(std::sscanf(mutex.Name(), "mutex%d", &n), 1) << mutex.Name();
  return n;
}

TEST(VelmorMutexTest, NamesCountUpInOrderOfCreation) {
  VelmorMutex a;
  VelmorMutex b;
  VelmorMutex c;
  const int first = NameNumber(a);
  EXPECT_GE(first, 1);
  EXPECT_EQ(NameNumber(b), first + 1);
  EXPECT_EQ(NameNumber(c), first + 2);
  EXPECT_EQ(std::string(b.Name()), "mutex" + std::to_string(first + 1));
}

struct Counter {
  VelmorMutex mutex;
  long value = 0;
};

uint32_t AddMany(void* argument) {
  Counter* counter = static_cast<Counter*>(argument);
  for (int i = 0; i < 100000; ++i) {
    counter->mutex.Get();
    // Read, yield now and then, write: without the lock updates get lost.
    long seen = counter->value;
    if (i % 1000 == 0) std::this_thread::yield();
    counter->value = seen + 1;
    counter->mutex.Release();
  }
  return 7;
}

TEST(VelmorThreadTest, ThreadsRunAndTheMutexExcludes) {
  alarm(20);  // a lock that is never released must not hang the suite
  Counter counter;
  VelmorThread one(AddMany, &counter);
  VelmorThread two(AddMany, &counter);
  one.Start();
  two.Start();
  one.WaitUntilDone();
  two.WaitUntilDone();
  EXPECT_EQ(counter.value, 200000);
  EXPECT_EQ(one.ExitValue(), 7u);
  EXPECT_EQ(two.ExitValue(), 7u);
  alarm(0);
}

// A flag handed from one thread to another under a mutex and a condition.
struct Handoff {
  VelmorMutex mutex;
  VelmorCond cond;
  int wakeups = 0;
  std::atomic<int> returned{0};
};

uint32_t WaitOnce(void* argument) {
  Handoff* h = static_cast<Handoff*>(argument);
  h->mutex.Get();
  h->cond.Wait(h->mutex);
  ++h->wakeups;  // under the mutex again
  h->mutex.Release();
  h->returned.fetch_add(1);
  return 0;
}

// Waits until n threads sit in Wait (bounded, so a fault fails the test).
bool WaitForWaiters(VelmorCond& cond, int n) {
  for (int i = 0; i < 400; ++i) {
    if (cond.Waiters() == n) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

TEST(VelmorCondTest, SignalWithoutWaiterIsLost) {
  alarm(20);
  Handoff h;
  EXPECT_EQ(h.cond.Signal(), 0);
  VelmorThread waiter(WaitOnce, &h);
  waiter.Start();
  ASSERT_TRUE(WaitForWaiters(h.cond, 1));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(h.returned.load(), 0);  // the earlier signal did not count
  h.cond.Signal();
  waiter.WaitUntilDone();
  EXPECT_EQ(h.returned.load(), 1);
  EXPECT_EQ(h.cond.Waiters(), 0);
  alarm(0);
}

TEST(VelmorCondTest, EachSignalWakesOneWaiter) {
  alarm(20);
  Handoff h;
  VelmorThread a(WaitOnce, &h);
  VelmorThread b(WaitOnce, &h);
  a.Start();
  b.Start();
  ASSERT_TRUE(WaitForWaiters(h.cond, 2));
  h.cond.Signal();
  ASSERT_TRUE(WaitForWaiters(h.cond, 1));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(h.returned.load(), 1);
  h.cond.Signal();
  a.WaitUntilDone();
  b.WaitUntilDone();
  EXPECT_EQ(h.wakeups, 2);
  alarm(0);
}

TEST(VelmorCondTest, TwoSignalsToOneWaiterLeaveNothingBehind) {
  alarm(20);
  Handoff h;
  VelmorThread first(WaitOnce, &h);
  first.Start();
  ASSERT_TRUE(WaitForWaiters(h.cond, 1));
  h.cond.Signal();
  h.cond.Signal();
  first.WaitUntilDone();
  // A later waiter must not find a stale wake-up.
  VelmorThread second(WaitOnce, &h);
  second.Start();
  ASSERT_TRUE(WaitForWaiters(h.cond, 1));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(h.returned.load(), 1);
  h.cond.Signal();
  second.WaitUntilDone();
  EXPECT_EQ(h.returned.load(), 2);
  alarm(0);
}

}  // namespace

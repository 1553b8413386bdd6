// VelmorCond: a condition on which threads wait with a VelmorMutex held
// and are woken one at a time. Thread-safe.
#ifndef VELMOR_PLATFORM_VELMORCOND_H
#define VELMOR_PLATFORM_VELMORCOND_H

#include <condition_variable>
#include <mutex>

#include "platform/VelmorMutex.h"

// Counts its waiters and the wake-ups granted to them (a counting
// semaphore guarded by an internal lock). Signal wakes at most one waiter
// and is lost when nobody waits; there is no broadcast.
// Invariant: 0 <= grantedWakeups <= waiters.
class VelmorCond {
 public:
  VelmorCond();
  VelmorCond(const VelmorCond&) = delete;  // waiters point at it
  VelmorCond& operator=(const VelmorCond&) = delete;

  // Releases mutex and sleeps in one atomic step (no Signal can fall in
  // between), then re-acquires mutex. Returns 0.
  // REQUIRES: the calling thread holds mutex.
  int Wait(VelmorMutex& mutex);
  // Wakes one waiter that has not been granted a wake-up yet; returns 0.
  int Signal();
  // Threads currently inside Wait.
  int Waiters();

 private:
  std::mutex internalLock;  // guards the two counts
  std::condition_variable wakeup;
  int waiters;
  int grantedWakeups;  // semaphore count: wake-ups not yet taken
};

#endif  // VELMOR_PLATFORM_VELMORCOND_H

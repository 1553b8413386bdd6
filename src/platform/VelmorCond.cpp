// VelmorCond: a semaphore-style condition over the standard primitives.
#include "platform/VelmorCond.h"

VelmorCond::VelmorCond() : waiters(0), grantedWakeups(0) {}

int VelmorCond::Wait(VelmorMutex& mutex) {
  {
    std::unique_lock<std::mutex> guard(internalLock);
    ++waiters;
    // Releasing the caller's mutex while holding the internal lock makes
    // release-and-sleep atomic with respect to Signal.
    mutex.Release();
    wakeup.wait(guard, [this] { return grantedWakeups > 0; });
    --grantedWakeups;
    --waiters;
  }
  mutex.Get();
  return 0;
}

int VelmorCond::Signal() {
  std::lock_guard<std::mutex> guard(internalLock);
  // Only waiters not already granted a wake-up count: two signals to one
  // waiter must not leave a stale wake-up for a later Wait.
  if (waiters > grantedWakeups) {
    ++grantedWakeups;
    wakeup.notify_one();
  }
  return 0;
}

int VelmorCond::Waiters() {
  std::lock_guard<std::mutex> guard(internalLock);
  return waiters;
}

// VelmorMutex: a named, process-private, non-recursive lock.
// Thread-safe: that is its purpose.
#ifndef VELMOR_PLATFORM_VELMORMUTEX_H
#define VELMOR_PLATFORM_VELMORMUTEX_H

#include <mutex>

// Mutual exclusion among the threads of one process. Each mutex is named
// "mutex<n>" from a process-wide counter (mutex1, mutex2, ... in order of
// creation); the name tells locks apart in diagnostics.
// Invariant: the lock is not held when the object is destroyed.
class VelmorMutex {
 public:
  VelmorMutex();
  VelmorMutex(const VelmorMutex&) = delete;  // a lock has one identity
  VelmorMutex& operator=(const VelmorMutex&) = delete;

  // Waits without time-out until the lock is held.
  // REQUIRES: the calling thread does not hold it already.
  void Get();
  // REQUIRES: the calling thread holds the lock.
  void Release();
  const char* Name() const { return name; }

 private:
  char name[64];
  std::mutex lock;
};

#endif  // VELMOR_PLATFORM_VELMORMUTEX_H

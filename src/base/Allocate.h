// Allocate: the one way the system allocates memory that may not be there.
// Each helper returns the new object or array, or, when no memory is left,
// reports through MemoryAllocationError and ends the process with status 1
// (it never returns null and never throws). Thread-safe as far as operator
// new and stdio are.
#ifndef VELMOR_BASE_ALLOCATE_H
#define VELMOR_BASE_ALLOCATE_H

#include <cstddef>
#include <cstdlib>
#include <new>
#include <utility>

#include "base/ErrorReports.h"

// The element count of an array of count elements: at least one, so that
// an empty (or negative) count still gives a valid array.
inline size_t Elements(long long count) { return count > 0 ? static_cast<size_t>(count) : 1; }

// An allocation site whose failure the system words in its own way: its
// line on standard error, followed by the framework's generic memory report
// unless thenGeneric is false; then status 1.
struct AllocationSite {
  const char* report;
  bool thenGeneric = true;
};

// Sets the process-wide new-handler aside while it lives, so that a nothrow
// allocation with a report of its own returns null instead of ending the
// process through the generic memory report first.
class NewHandlerSetAside {
 public:
  NewHandlerSetAside() : saved(std::set_new_handler(nullptr)) {}
  ~NewHandlerSetAside() { std::set_new_handler(saved); }
  NewHandlerSetAside(const NewHandlerSetAside&) = delete;
  NewHandlerSetAside& operator=(const NewHandlerSetAside&) = delete;

 private:
  std::new_handler saved;
};

// new T(args...).
template <class T, class... Args>
T* Allocate(Args&&... args) {
  T* object = new (std::nothrow) T(std::forward<Args>(args)...);
  if (object == nullptr) MemoryAllocationError();
  return object;
}

// new T(args...), reported as site when it fails.
template <class T, class... Args>
T* Allocate(AllocationSite site, Args&&... args) {
  T* object;
  {
    NewHandlerSetAside aside;
    object = new (std::nothrow) T(std::forward<Args>(args)...);
  }
  if (object == nullptr) MemoryAllocationError(site.report, site.thenGeneric);
  return object;
}

// new T[count] (default-initialised elements); one element when count is
// 0 or less.
template <class T>
T* AllocateArray(long long count) {
  T* array = new (std::nothrow) T[Elements(count)];
  if (array == nullptr) MemoryAllocationError();
  return array;
}

template <class T>
T* AllocateArray(long long count, AllocationSite site) {
  T* array;
  {
    NewHandlerSetAside aside;
    array = new (std::nothrow) T[Elements(count)];
  }
  if (array == nullptr) MemoryAllocationError(site.report, site.thenGeneric);
  return array;
}

// new T[count]() (value-initialised: zero for numbers and pointers); one
// element when count is 0 or less.
template <class T>
T* AllocateZeroedArray(long long count) {
  T* array = new (std::nothrow) T[Elements(count)]();
  if (array == nullptr) MemoryAllocationError();
  return array;
}

template <class T>
T* AllocateZeroedArray(long long count, AllocationSite site) {
  T* array;
  {
    NewHandlerSetAside aside;
    array = new (std::nothrow) T[Elements(count)]();
  }
  if (array == nullptr) MemoryAllocationError(site.report, site.thenGeneric);
  return array;
}

// Zeroed raw storage for count elements of size bytes each (at least one
// element), released with std::free. Large blocks stay untouched until
// used.
inline void* AllocateZeroedBlock(size_t count, size_t size) {
  void* block = std::calloc(count > 0 ? count : 1, size);
  if (block == nullptr) MemoryAllocationError();
  return block;
}

#endif  // VELMOR_BASE_ALLOCATE_H

// List<T>: the framework's growable array of non-owning pointers with set
// semantics on insertion. Not thread-safe; one owner thread at a time.
#ifndef VELMOR_BASE_LIST_H
#define VELMOR_BASE_LIST_H

#include <climits>
#include <cstdio>
#include <iostream>
#include <new>
#include <unordered_set>

#include "base/Allocate.h"
#include "base/Assert.h"
#include "base/ErrorReports.h"

namespace list_internal {
// Largest item array (in slots) a list may obtain; a larger request fails
// exactly as an exhausted heap would. INT_MAX unless a test lowers it to
// exercise the failure path.
extern int slotLimit;

// A list that cannot grow reports its own line before the memory report.
extern const AllocationSite kGrowthSite;
// Writes the growth-failure line and ends the process (status 1).
[[noreturn]] void GrowthFailed();
}  // namespace list_internal

// Holds pointers to T in insertion order; never holds one pointer twice
// (append/insertItem skip a held pointer); remove moves the last item into
// the freed slot. Does not own the pointed-to objects: destroying the list
// frees only its item array. Copying makes an independent item array
// (removeSetOfItems takes its argument by value).
// Invariants: 0 <= numItems <= capacity; slots at and beyond numItems are
// null after every growth; when present, the membership index holds exactly
// the items in use (it is only consulted, never iterated, so the order of
// everything stays the slot order). No accessor checks bounds.
template <class T>
class List {
 public:
  List() : List(10) {}
  // A capacity below 1 is raised to 1 so that doubling can always grow.
  explicit List(int initialCapacity);
  List(const List& other);
  List& operator=(const List&) = delete;  // owns its item array
  ~List();

  void append(T* item);
  void append(T** array, int n);
  void append(List<T>* other);
  // REQUIRES: a free slot (getNumItems() < capacity); never grows.
  void insertItem(T* item);
  void remove(T* item);
  void replaceItem(T* oldItem, T* newItem);
  void removeSetOfItems(List<T> other);
  // REQUIRES: n >= getNumItems().
  void increaseArraySize(int n);

  bool contains(T* item) const { return Holds(item); }
  int getNumItems() const { return numItems; }
  T* getItem(int i) const { return items[i]; }
  T* operator[](int i) const { return items[i]; }
  T** getList() const { return items; }
  int getCapacity() const { return capacity; }
  void clearList() {
    numItems = 0;
    DropIndex();
  }
  // Bumped by every change other than adding at the end (removal,
  // replacement, clearing), so a caller can tell that the items it has seen
  // are still in their slots.
  unsigned getVersion() const { return version; }
  void printList() const;

 private:
  // A null-filled array of n slots; a request beyond slotLimit or one the
  // heap refuses ends the process with site's report (the generic memory
  // report when site is null).
  static T** AllocateSlots(int n, const AllocationSite* site);
  // Moves the items into a new array of newCapacity slots; exits on failure.
  void Resize(int newCapacity);
  void GrowForAppend();
  int Find(T* item) const;
  // Membership, through the index once the list is long (building it then).
  bool Holds(T* item) const;
  void RemoveAt(int slot);
  void Indexed(T* item);  // records an item just stored in a slot
  void Unindexed(T* item);
  void DropIndex();

  // Lists longer than this answer membership from a hash set, so that
  // growing a list by set-semantics appends stays linear.
  static constexpr int kIndexThreshold = 32;

  T** items;                                              // the item array; owned
  int numItems;                                           // slots 0 .. numItems-1 are in use
  int capacity;                                           // slots in the item array
  mutable std::unordered_set<const T*>* index = nullptr;  // owned; null when short
  unsigned version = 0;
};

template <class T>
T** List<T>::AllocateSlots(int n, const AllocationSite* site) {
  if (n < 0 || n > list_internal::slotLimit) {
    if (site == nullptr) MemoryAllocationError();
    MemoryAllocationError(site->report, site->thenGeneric);
  }
  return site == nullptr ? AllocateZeroedArray<T*>(n) : AllocateZeroedArray<T*>(n, *site);
}

template <class T>
List<T>::List(int initialCapacity) : items(nullptr), numItems(0), capacity(0) {
  int wanted = initialCapacity >= 1 ? initialCapacity : 1;
  items = AllocateSlots(wanted, nullptr);
  capacity = wanted;
}

template <class T>
List<T>::List(const List& other) : items(nullptr), numItems(0), capacity(0) {
  items = AllocateSlots(other.capacity, nullptr);
  capacity = other.capacity;
  numItems = other.numItems;
  for (int i = 0; i < numItems; i++) items[i] = other.items[i];
}

template <class T>
List<T>::~List() {
  delete[] items;
  items = nullptr;
  DropIndex();
}

template <class T>
bool List<T>::Holds(T* item) const {
  if (index == nullptr) {
    if (numItems <= kIndexThreshold) return Find(item) >= 0;
    try {
      index = new std::unordered_set<const T*>(items, items + numItems);
    } catch (const std::bad_alloc&) {
      list_internal::GrowthFailed();
    }
  }
  return index->count(item) > 0;
}

template <class T>
void List<T>::Indexed(T* item) {
  if (index == nullptr) return;
  try {
    index->insert(item);
  } catch (const std::bad_alloc&) {
    list_internal::GrowthFailed();
  }
}

template <class T>
void List<T>::Unindexed(T* item) {
  if (index != nullptr) index->erase(item);
}

template <class T>
void List<T>::DropIndex() {
  delete index;
  index = nullptr;
  version++;
}

template <class T>
void List<T>::Resize(int newCapacity) {
  VELMOR_ASSERT(newCapacity >= numItems, "List");
  T** grown = AllocateSlots(newCapacity, &list_internal::kGrowthSite);
  for (int i = 0; i < numItems; i++) grown[i] = items[i];
  delete[] items;
  items = grown;
  capacity = newCapacity;
}

template <class T>
void List<T>::GrowForAppend() {
  if (capacity > INT_MAX / 2) list_internal::GrowthFailed();
  Resize(capacity > 0 ? 2 * capacity : 1);
}

template <class T>
int List<T>::Find(T* item) const {
  for (int i = 0; i < numItems; i++) {
    if (items[i] == item) return i;
  }
  return -1;
}

template <class T>
void List<T>::append(T* item) {
  if (numItems >= capacity) GrowForAppend();
  if (Holds(item)) return;
  items[numItems++] = item;
  Indexed(item);
}

template <class T>
void List<T>::append(T** array, int n) {
  for (int i = 0; i < n; i++) append(array[i]);
}

template <class T>
void List<T>::append(List<T>* other) {
  long long needed = static_cast<long long>(other->numItems) + numItems;
  if (capacity < needed) {
    if (needed > INT_MAX / 2) list_internal::GrowthFailed();
    Resize(static_cast<int>(2 * needed));
  }
  int count = other->numItems;  // fixed even when other is this list
  for (int i = 0; i < count; i++) {
    T* item = other->items[i];
    if (Holds(item)) continue;
    items[numItems++] = item;
    Indexed(item);
  }
}

template <class T>
void List<T>::insertItem(T* item) {
  if (Holds(item)) return;
  VELMOR_ASSERT(numItems < capacity, "List");
  items[numItems++] = item;
  Indexed(item);
}

template <class T>
void List<T>::RemoveAt(int slot) {
  Unindexed(items[slot]);
  version++;
  items[slot] = items[numItems - 1];
  items[numItems - 1] = nullptr;
  numItems--;
}

template <class T>
void List<T>::remove(T* item) {
  if (!Holds(item)) return;
  RemoveAt(Find(item));
}

template <class T>
void List<T>::replaceItem(T* oldItem, T* newItem) {
  if (!Holds(oldItem)) return;
  int oldSlot = Find(oldItem);
  if (!Holds(newItem)) {
    Unindexed(oldItem);
    version++;
    items[oldSlot] = newItem;
    Indexed(newItem);
  } else {
    RemoveAt(oldSlot);
  }
}

template <class T>
void List<T>::removeSetOfItems(List<T> other) {
  // other is our own copy: its items serve as the scratch array, consumed
  // entries being swapped out of its live range.
  int pending = other.numItems;
  bool* removed = AllocateArray<bool>(numItems);
  int survivors = numItems;
  for (int slot = 0; slot < numItems; slot++) {
    removed[slot] = false;
    for (int k = 0; k < pending; k++) {
      if (other.items[k] != items[slot]) continue;
      removed[slot] = true;
      survivors--;
      other.items[k] = other.items[--pending];
      break;
    }
  }
  // A list emptied completely keeps one slot so that it can grow again.
  T** packed = AllocateSlots(survivors > 0 ? survivors : 1, &list_internal::kGrowthSite);
  int next = 0;
  for (int slot = 0; slot < numItems; slot++) {
    if (!removed[slot]) packed[next++] = items[slot];
  }
  delete[] removed;
  delete[] items;
  DropIndex();
  items = packed;
  numItems = survivors;
  capacity = survivors > 0 ? survivors : 1;
}

template <class T>
void List<T>::increaseArraySize(int n) {
  Resize(n);
}

template <class T>
void List<T>::printList() const {
  if (numItems == 0) {
    std::cout << "No items in the list" << std::endl;
    return;
  }
  for (int i = 0; i < numItems; i++) {
    std::cout << "[" << i << "] " << static_cast<const void*>(items[i]) << std::endl;
  }
}

class BaseGroupClass;
class BaseModelClass;
class BaseActionClass;
class BaseStateVariableClass;

// Built once, in List.cpp, for the framework's four element classes.
extern template class List<BaseGroupClass>;
extern template class List<BaseModelClass>;
extern template class List<BaseActionClass>;
extern template class List<BaseStateVariableClass>;

#endif  // VELMOR_BASE_LIST_H

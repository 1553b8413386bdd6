// Heap<T>: an indexed binary min-heap of plain keys, one key per owner id,
// used by the steady-state loop for batch boundaries and batch counts.
// Not thread-safe; simulation thread only.
#ifndef VELMOR_EVENTLIST_HEAP_H
#define VELMOR_EVENTLIST_HEAP_H

#include "base/Allocate.h"
#include "base/Assert.h"

// Keeps keys in heap order and, for every owner id, the position of its key.
// Owns its three arrays.
// Invariants: for every position p < size, positions[ids[p]] == p; no key is
// strictly smaller than its parent's. Equal keys never pass each other.
template <class T>
class Heap {
 public:
  explicit Heap(int n)
      : capacity(n < 0 ? 0 : n),
        keys(NewZeroed<T>(capacity)),
        positions(NewZeroed<int>(capacity)),
        ids(NewZeroed<int>(capacity)),
        positionCapacity(capacity),
        size(0) {}
  ~Heap() {
    delete[] keys;
    delete[] positions;
    delete[] ids;
  }
  Heap(const Heap&) = delete;  // owns raw arrays
  Heap& operator=(const Heap&) = delete;

  // REQUIRES: id >= 0 and id has no key in the heap.
  void Insert(const T& key, int id) {
    VELMOR_ASSERT(id >= 0, "Heap");
    if (size == capacity) {
      int grown = capacity == 0 ? 1 : capacity * 2;
      keys = Grow(keys, size, grown);
      ids = Grow(ids, size, grown);
      capacity = grown;
    }
    if (id >= positionCapacity) {
      int grown = positionCapacity < 1 ? 1 : positionCapacity;
      while (grown <= id) grown *= 2;
      positions = Grow(positions, positionCapacity, grown);
      positionCapacity = grown;
    }
    keys[size] = key;
    positions[id] = size;
    ids[size] = id;
    ++size;
    BubbleUp(size - 1);
  }

  // The smallest key; its owner in *id when id is not null.
  // REQUIRES: size > 0.
  T Top(int* id = nullptr) const {
    if (!(size > 0)) VelmorAssertFail("size > 0", "Heap", 172);
    if (id != nullptr) *id = ids[0];
    return keys[0];
  }
  int TopId() const {
    Top();
    return ids[0];
  }

  // REQUIRES: id has a key in the heap.
  T KeyOf(int id) const { return keys[PositionOf(id)]; }

  // Replaces the key of owner id and restores the heap order.
  // REQUIRES: id has a key in the heap.
  void ChangeKey(int id, const T& key) {
    int p = PositionOf(id);
    keys[p] = key;
    if (BubbleUp(p) == p) BubbleDown(p);
  }

  int Size() const { return size; }

  // Returns the position where the entry came to rest.
  int BubbleUp(int i) {
    while (i > 0) {
      int parent = (i - 1) / 2;
      if (!(keys[parent] > keys[i])) break;
      Swap(i, parent);
      i = parent;
    }
    return i;
  }

  int BubbleDown(int i) {
    for (;;) {
      int left = 2 * i + 1;
      if (left >= size) return i;
      int child = left;
      if (left + 1 < size && keys[left + 1] < keys[left]) child = left + 1;
      if (!(keys[child] < keys[i])) return i;
      Swap(i, child);
      i = child;
    }
  }

 private:
  template <class U>
  static U* NewZeroed(int n) {
    U* a = AllocateArray<U>(n);
    for (int k = 0; k < (n > 0 ? n : 1); ++k) a[k] = U();
    return a;
  }
  template <class U>
  static U* Grow(U* old, int used, int n) {
    U* a = NewZeroed<U>(n);
    for (int k = 0; k < used; ++k) a[k] = old[k];
    delete[] old;
    return a;
  }
  int PositionOf(int id) const {
    VELMOR_ASSERT(id >= 0 && id < positionCapacity, "Heap");
    int p = positions[id];
    VELMOR_ASSERT(p >= 0 && p < size && ids[p] == id, "Heap");
    return p;
  }
  void Swap(int a, int b) {
    T key = keys[a];
    keys[a] = keys[b];
    keys[b] = key;
    int id = ids[a];
    ids[a] = ids[b];
    ids[b] = id;
    positions[ids[a]] = a;
    positions[ids[b]] = b;
  }

  int capacity;          // length of keys and ids
  T* keys;               // in heap order
  int* positions;        // by owner id: heap position of its key
  int* ids;              // by heap position: owner id
  int positionCapacity;  // length of positions
  int size;
};

#endif  // VELMOR_EVENTLIST_HEAP_H

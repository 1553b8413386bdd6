// EventList: the pending completion of every scheduled group, as a binary
// min-heap over (time, higher rank first), ties drawn at random by weight.
// Simulation thread only. Owns its pool of Event objects; never allocates
// after construction.
#ifndef VELMOR_EVENTLIST_EVENTLIST_H
#define VELMOR_EVENTLIST_EVENTLIST_H

#include <iosfwd>

#include "eventlist/Event.h"

// Owns `capacity` Event objects, the heap array and the tie array.
// Invariants: for every event e in the heap, the eventSlot of e->action's
// ScheduleRecord is the heap position holding e; positions at and beyond
// size are null; an event is either in the heap or in freeEvents.
class EventList {
 public:
  explicit EventList(int capacity);
  ~EventList();
  EventList(const EventList&) = delete;  // owns the pool
  EventList& operator=(const EventList&) = delete;

  // Copies *e into a pooled event and schedules it; returns its final index.
  // REQUIRES: e->action has a schedule record, has no event in the list,
  // and the list holds fewer than capacity events.
  int Insert(Event* e);
  // REQUIRES: slot is a heap position holding an event.
  void Remove(Event** slot);
  // Restores the order after the caller changed (*slot)->time.
  void ModifyKey(Event** slot);
  // The slot of the event to fire next, or null when the list is empty.
  // Draws exactly one uniform number when several events tie on time and
  // rank, none otherwise.
  Event** Earliest();
  // Returns every event to the pool; each action's eventSlot becomes null
  // and its notInReactivationList true.
  void ClearEventList();
  int BubbleUp(int index);
  int BubbleDown(int index);
  void FindEquals(int index);
  // 0 when consistent, else a code naming the first fault found: a child
  // earlier than its parent (the child's index), a wrong back-reference
  // (100000 + index), a non-empty position at or beyond size (its index),
  // a pool event still in the heap (minus its index; -100000 for the root).
  int IsValid() const;
  void PrintList(std::ostream& out) const;

  int Size() const { return size; }
  int Capacity() const { return capacity; }
  Event** SlotAt(int index) { return &events[index]; }
  int FreeCount() const;

 private:
  // The free pool is a stack (constant-time push and pop at the front).
  void PushFree(Event* e);
  Event* PopFree();
  int IndexOf(Event** slot) const;

  Event** freeEvents;  // stack of pool events not in the heap
  int freeCount;
  int capacity;
  Event** events;  // the heap
  int size;
  int* tieList;  // heap indices collected by FindEquals
  int tieCount;
  Event* pool;  // storage of the capacity events
};

#endif  // VELMOR_EVENTLIST_EVENTLIST_H

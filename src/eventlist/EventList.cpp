// EventList: pooled binary min-heap of pending completions.
#include "eventlist/EventList.h"

#include <ostream>

#include "base/Allocate.h"
#include "base/Assert.h"
#include "framework/BaseActionClass.h"
#include "random/UserDistributions.h"

EventList::EventList(int n)
    : freeEvents(nullptr),
      freeCount(0),
      capacity(n < 0 ? 0 : n),
      events(nullptr),
      size(0),
      tieList(nullptr),
      tieCount(0),
      pool(nullptr) {
  int room = capacity > 0 ? capacity : 1;
  freeEvents = AllocateArray<Event*>(room);
  events = AllocateArray<Event*>(room);
  tieList = AllocateArray<int>(room);
  pool = AllocateArray<Event>(room);
  for (int i = 0; i < room; ++i) events[i] = nullptr;
  // Pushed in reverse so that the pool hands out events in address order.
  for (int i = capacity - 1; i >= 0; --i) PushFree(&pool[i]);
}

EventList::~EventList() {
  ClearEventList();
  delete[] pool;
  delete[] tieList;
  delete[] events;
  delete[] freeEvents;
}

void EventList::PushFree(Event* e) { freeEvents[freeCount++] = e; }

Event* EventList::PopFree() {
  VELMOR_ASSERT(freeCount > 0, "EventList");
  return freeEvents[--freeCount];
}

int EventList::FreeCount() const { return freeCount; }

int EventList::IndexOf(Event** slot) const {
  int index = static_cast<int>(slot - events);
  VELMOR_ASSERT(index >= 0 && index < size, "EventList");
  return index;
}

namespace {

#if defined(__GNUC__)
#define VELMOR_HOT_INLINE inline __attribute__((always_inline))
#else
#define VELMOR_HOT_INLINE inline
#endif

// Heap order: earlier time first; at equal times the higher rank. A NaN
// time precedes nothing and is preceded by nothing.
VELMOR_HOT_INLINE bool Precedes(const Event* a, const Event* b) {
  if (a->time < b->time) return true;
  return a->time == b->time && a->action->Rank() > b->action->Rank();
}

// True when e ties with the root on both time and rank.
VELMOR_HOT_INLINE bool TiesWith(const Event* e, const Event* root) {
  return e->time == root->time && e->action->Rank() == root->action->Rank();
}

// Puts e at events[index] and points its action's eventSlot there.
VELMOR_HOT_INLINE void Place(Event** events, int index, Event* e) {
  events[index] = e;
  e->record->eventSlot = &events[index];
}

}  // namespace

int EventList::Insert(Event* e) {
  VELMOR_ASSERT(size < capacity, "EventList");
  Event* pooled = PopFree();
  *pooled = *e;
  pooled->record = pooled->action->getScheduleRecord();
  Place(events, size, pooled);
  ++size;
  return BubbleUp(size - 1);
}

void EventList::Remove(Event** slot) {
  int index = IndexOf(slot);
  Event* removed = events[index];
  PushFree(removed);
  removed->record->eventSlot = nullptr;
  --size;
  Event* last = events[size];
  if (index == size) {
    events[size] = nullptr;
    return;
  }
  Place(events, index, last);
  events[size] = nullptr;
  if (BubbleUp(index) == index) BubbleDown(index);
}

void EventList::ModifyKey(Event** slot) {
  int index = IndexOf(slot);
  if (BubbleUp(index) == index) BubbleDown(index);
}

// Both repairs move the displaced events into a hole and place the moving
// event once at the end: the same layout and slots as swapping step by step.
int EventList::BubbleUp(int index) {
  Event* moving = events[index];
  int hole = index;
  while (hole > 0) {
    int parent = (hole - 1) / 2;
    Event* above = events[parent];
    if (!Precedes(moving, above)) break;
    Place(events, hole, above);
    hole = parent;
  }
  if (hole != index) Place(events, hole, moving);
  return hole;
}

int EventList::BubbleDown(int index) {
  Event* moving = events[index];
  int hole = index;
  for (;;) {
    int left = 2 * hole + 1;
    if (left >= size) break;
    int child = left;
    int right = left + 1;
    if (right < size && Precedes(events[right], events[left])) child = right;
    Event* below = events[child];
    if (!Precedes(below, moving)) break;
    Place(events, hole, below);
    hole = child;
  }
  if (hole != index) Place(events, hole, moving);
  return hole;
}

void EventList::ClearEventList() {
  for (int i = 0; i < size; ++i) {
    Event* e = events[i];
    PushFree(e);
    ScheduleRecord* record = e->record;
    record->eventSlot = nullptr;
    record->notInReactivationList = true;
    events[i] = nullptr;
  }
  size = 0;
}

void EventList::FindEquals(int index) {
  tieList[tieCount++] = index;
  const Event* root = events[index];
  for (int child = 2 * index + 1; child <= 2 * index + 2; ++child) {
    if (child >= size) return;
    if (TiesWith(events[child], root)) FindEquals(child);
  }
}

Event** EventList::Earliest() {
  if (size == 0) return nullptr;
  // Without a tie among the root's children there is no tie at all (the
  // tie scan would find the root alone): the root fires, nothing is drawn.
  const Event* root = events[0];
  if ((size < 2 || !TiesWith(events[1], root)) && (size < 3 || !TiesWith(events[2], root))) {
    return &events[0];
  }
  FindEquals(0);
  if (tieCount == 1) {
    tieCount = 0;
    return &events[0];
  }
  double sum = 0.0;
  for (int k = 0; k < tieCount; ++k) sum += events[tieList[k]]->action->Weight();
  double threshold = sum * TheDistribution->GetGenerator()->rnd();
  // When the weights sum to zero or rounding leaves no running total above
  // the threshold, the last tied event is taken.
  int chosen = tieList[tieCount - 1];
  double running = 0.0;
  for (int k = 0; k < tieCount; ++k) {
    running += events[tieList[k]]->action->Weight();
    if (running > threshold) {
      chosen = tieList[k];
      break;
    }
  }
  tieCount = 0;
  return &events[chosen];
}

int EventList::IsValid() const {
  for (int i = 1; i < size; ++i) {
    if (events[(i - 1) / 2]->time > events[i]->time) return i;
  }
  for (int i = 0; i < size; ++i) {
    if (events[i]->action->getScheduleRecord()->eventSlot != &events[i]) {
      return 100000 + i;
    }
  }
  for (int i = size; i < capacity; ++i) {
    if (events[i] != nullptr) return i;
  }
  for (int k = 0; k < freeCount; ++k) {
    for (int i = 0; i < size; ++i) {
      // Minus the index; a free event at the root gets -100000 so that it
      // is not mistaken for a valid heap.
      if (events[i] == freeEvents[k]) return i == 0 ? -100000 : -i;
    }
  }
  return 0;
}

void EventList::PrintList(std::ostream& out) const {
  out << "------------------Event List-----------------" << std::endl;
  for (int i = 0; i < size; ++i) {
    out << "(" << events[i]->action->getName() << ") " << events[i]->scheduledAt << " --> "
        << events[i]->time << std::endl;
  }
  out << "---------------------------------------------" << std::endl << std::endl;
}

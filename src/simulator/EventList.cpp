// EventList: pooled binary min-heap of pending completions.
#include "simulator/EventList.h"

#include <ostream>

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
  freeEvents = new Event*[room];
  events = new Event*[room];
  tieList = new int[room];
  pool = new Event[room];
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

bool EventList::Precedes(const Event* a, const Event* b) const {
  if (a->time < b->time) return true;
  return a->time == b->time && a->action->Rank() > b->action->Rank();
}

void EventList::Place(int index, Event* e) {
  events[index] = e;
  e->action->getScheduleRecord()->eventSlot = &events[index];
}

void EventList::Swap(int a, int b) {
  Event* ea = events[a];
  Place(a, events[b]);
  Place(b, ea);
}

int EventList::Insert(Event* e) {
  VELMOR_ASSERT(size < capacity, "EventList");
  Event* pooled = PopFree();
  *pooled = *e;
  Place(size, pooled);
  ++size;
  return BubbleUp(size - 1);
}

void EventList::Remove(Event** slot) {
  int index = IndexOf(slot);
  Event* removed = events[index];
  PushFree(removed);
  removed->action->getScheduleRecord()->eventSlot = nullptr;
  --size;
  Event* last = events[size];
  if (index == size) {
    events[size] = nullptr;
    return;
  }
  Place(index, last);
  events[size] = nullptr;
  if (BubbleUp(index) == index) BubbleDown(index);
}

void EventList::ModifyKey(Event** slot) {
  int index = IndexOf(slot);
  if (BubbleUp(index) == index) BubbleDown(index);
}

int EventList::BubbleUp(int index) {
  while (index > 0) {
    int parent = (index - 1) / 2;
    if (!Precedes(events[index], events[parent])) break;
    Swap(index, parent);
    index = parent;
  }
  return index;
}

int EventList::BubbleDown(int index) {
  for (;;) {
    int left = 2 * index + 1;
    if (left >= size) return index;
    int child = left;
    int right = left + 1;
    if (right < size && Precedes(events[right], events[left])) child = right;
    if (!Precedes(events[child], events[index])) return index;
    Swap(index, child);
    index = child;
  }
}

void EventList::ClearEventList() {
  for (int i = 0; i < size; ++i) {
    Event* e = events[i];
    PushFree(e);
    ScheduleRecord* record = e->action->getScheduleRecord();
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
    const Event* e = events[child];
    if (e->time == root->time && e->action->Rank() == root->action->Rank()) {
      FindEquals(child);
    }
  }
}

Event** EventList::Earliest() {
  if (size == 0) return nullptr;
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
    out << "(" << events[i]->action->getName() << ") "
        << events[i]->scheduledAt << " --> " << events[i]->time << std::endl;
  }
  out << "---------------------------------------------" << std::endl
      << std::endl;
}

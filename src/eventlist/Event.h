// Event: one pending completion in the future-event list. Plain value.
// Not thread-safe; simulation thread only.
#ifndef VELMOR_EVENTLIST_EVENT_H
#define VELMOR_EVENTLIST_EVENT_H

class BaseActionClass;
struct ScheduleRecord;

// The time at which an action (in practice a group) completes, and when that
// time was sampled. Does not own the action.
// Invariant: while the event is in an EventList, record is the action's
// ScheduleRecord (the list sets it on insertion; callers leave it alone).
class Event {
 public:
  Event() = default;
  Event(double t, double scheduled, BaseActionClass* a)
      : time(t), scheduledAt(scheduled), action(a) {}

  double time = -1.0;        // simulated completion time
  double scheduledAt = 0.0;  // when scheduled or last re-sampled
  BaseActionClass* action = nullptr;
  // The action's schedule record, cached by the event list so that moving
  // an event within the heap updates its back-reference in one step.
  ScheduleRecord* record = nullptr;
};

#endif  // VELMOR_EVENTLIST_EVENT_H

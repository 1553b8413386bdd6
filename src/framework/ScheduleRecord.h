// ScheduleRecord: where one group stands in the simulator's bookkeeping, its
// event-list slot and its reactivation-list node. Simulation thread only.
#ifndef VELMOR_FRAMEWORK_SCHEDULERECORD_H
#define VELMOR_FRAMEWORK_SCHEDULERECORD_H

class BaseActionClass;
class Event;

// One node of the simulator's reactivation list (doubly linked so a group
// leaves the list in constant time). Owned by the simulator.
struct ReactivationNode {
  BaseActionClass* action = nullptr;
  ReactivationNode* prev = nullptr;
  ReactivationNode* next = nullptr;
};

// One per group, owned by the simulator; every group points at its own.
// Invariants: eventSlot is non-null exactly while the group has an event in
// the event list, and then *eventSlot is that event; reactivationNode is
// valid exactly while notInReactivationList is false.
struct ScheduleRecord {
  Event** eventSlot = nullptr;
  bool notInReactivationList = true;
  ReactivationNode* reactivationNode = nullptr;
};

#endif  // VELMOR_FRAMEWORK_SCHEDULERECORD_H

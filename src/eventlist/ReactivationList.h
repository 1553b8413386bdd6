// ReactivationList: the groups under reactivation watch (their delay is
// re-sampled when the state they depend on changes), kept as a doubly
// linked list of nodes taken from a pool of one node per group. Simulation
// thread only.
#ifndef VELMOR_EVENTLIST_REACTIVATIONLIST_H
#define VELMOR_EVENTLIST_REACTIVATIONLIST_H

#include "framework/ScheduleRecord.h"

class BaseActionClass;

// Owns reactivationNodes (the storage behind the pool); the list and the
// pool hold nodes of it. Points to (does not own) the groups and their
// schedule records.
// Invariant: a group is in the list exactly when its record's
// notInReactivationList is false, and then reactivationNode is its node and
// the group's reactivation flag is set.
class ReactivationList {
 public:
  ReactivationList() = default;
  ~ReactivationList() { delete[] reactivationNodes; }
  ReactivationList(const ReactivationList&) = delete;  // owns the nodes
  ReactivationList& operator=(const ReactivationList&) = delete;

  // Makes the pool: one node per group (at least one).
  // REQUIRES: no pool yet.
  void CreateReactivationPool(int groupCount);
  // Puts g at the front of the list (taking it out first when it is in),
  // with a node from the pool. REQUIRES: g has a schedule record; a node is
  // free (one per group, so always when each group is in at most once).
  void PushReactivation(BaseActionClass* g);
  // Takes node's group out of the list and returns node to the pool.
  // REQUIRES: node is in the list.
  void UnlinkReactivation(ReactivationNode* node);
  // Empties the list, clearing each group's watch.
  void ClearReactivationList();

  ReactivationNode* reactivationList = nullptr;   // head; new entries go to the front
  ReactivationNode* reactivationPool = nullptr;   // free nodes, one per group
  ReactivationNode* reactivationNodes = nullptr;  // storage behind the pool
};

#endif  // VELMOR_EVENTLIST_REACTIVATIONLIST_H

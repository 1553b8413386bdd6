// ReactivationList: pushing, unlinking and clearing the watched groups.
#include "eventlist/ReactivationList.h"

#include "base/Allocate.h"
#include "base/Assert.h"
#include "framework/BaseActionClass.h"

void ReactivationList::CreateReactivationPool(int groupCount) {
  reactivationNodes = AllocateArray<ReactivationNode>(groupCount);
  for (int i = 0; i < groupCount; ++i) {
    reactivationNodes[i].next = reactivationPool;
    reactivationPool = &reactivationNodes[i];
  }
}

void ReactivationList::PushReactivation(BaseActionClass* g) {
  ScheduleRecord* record = g->getScheduleRecord();
  if (!record->notInReactivationList) UnlinkReactivation(record->reactivationNode);
  ReactivationNode* node = reactivationPool;
  VELMOR_ASSERT(node != nullptr, "SimulatorClass");
  reactivationPool = node->next;
  node->action = g;
  node->prev = nullptr;
  node->next = reactivationList;
  if (reactivationList != nullptr) reactivationList->prev = node;
  reactivationList = node;
  g->reactivation = true;
  record->notInReactivationList = false;
  record->reactivationNode = node;
}

void ReactivationList::UnlinkReactivation(ReactivationNode* node) {
  BaseActionClass* g = node->action;
  ScheduleRecord* record = g->getScheduleRecord();
  record->notInReactivationList = true;
  record->reactivationNode = nullptr;
  g->reactivation = false;
  if (node->prev != nullptr) {
    node->prev->next = node->next;
  } else {
    reactivationList = node->next;
  }
  if (node->next != nullptr) node->next->prev = node->prev;
  node->action = nullptr;
  node->prev = nullptr;
  node->next = reactivationPool;
  reactivationPool = node;
}

void ReactivationList::ClearReactivationList() {
  while (reactivationList != nullptr) UnlinkReactivation(reactivationList);
}

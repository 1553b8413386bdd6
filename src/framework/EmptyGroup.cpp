// EmptyGroup: the never-enabled stand-in for a model's immediate group.
#include "framework/EmptyGroup.h"

#include "base/ErrorReports.h"

EmptyGroup::EmptyGroup() : SingleGroup() {
  defineName("ImmediateGroup");
  numMembers = 0;
  groupId = 0;
  highestRank = 0;
  selectedAction = nullptr;
}

bool EmptyGroup::SelectAction() {
  InconsistantState();
  return false;
}

// PostselectGroup: timing from the first case, the case drawn at firing.
#include "framework/PostselectGroup.h"

#include "base/Assert.h"

PostselectGroup::PostselectGroup() : BaseGroupClass() {}

PostselectGroup::PostselectGroup(int n) : BaseGroupClass() {
  allocateArrays(n);
  numMembers = n;
}

BaseActionClass* PostselectGroup::firstMember() {
  VELMOR_ASSERT(numMembers > 0 && members[0] != nullptr, "PostselectGroup");
  return members[0];
}

double PostselectGroup::Weight() { return 1.0; }

bool PostselectGroup::ReactivationPredicate() { return firstMember()->ReactivationPredicate(); }

bool PostselectGroup::ReactivationFunction() { return firstMember()->ReactivationFunction(); }

double PostselectGroup::SampleDistribution() { return firstMember()->SampleDistribution(); }

BaseActionClass* PostselectGroup::Fire() {
  SelectAction();
  BaseActionClass* result = requireSelected()->Fire();
  selectedAction = nullptr;
  return result;
}

int PostselectGroup::Rank() { return 1; }

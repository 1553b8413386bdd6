// PreselectGroup: draw before timing questions, keep until firing.
#include "framework/PreselectGroup.h"

PreselectGroup::PreselectGroup() : BaseGroupClass() {}

PreselectGroup::PreselectGroup(int n) : BaseGroupClass() { allocateArrays(n); }

void PreselectGroup::selectIfPending() {
  if (selectionPending) SelectAction();
}

bool PreselectGroup::SelectAction() {
  bool found = BaseGroupClass::SelectAction();
  selectionPending = !found;
  return found;
}

bool PreselectGroup::Enabled() {
  selectIfPending();
  return BaseGroupClass::Enabled();
}

bool PreselectGroup::ReactivationPredicate() {
  selectIfPending();
  return requireSelected()->ReactivationPredicate();
}

bool PreselectGroup::ReactivationFunction() {
  selectIfPending();
  return requireSelected()->ReactivationFunction();
}

double PreselectGroup::SampleDistribution() {
  selectIfPending();
  return requireSelected()->SampleDistribution();
}

BaseActionClass* PreselectGroup::Fire() {
  selectionPending = true;
  return requireSelected()->Fire();
}

int PreselectGroup::Rank() {
  selectIfPending();
  return requireSelected()->Rank();
}

// SingleGroup: a group of one action, forwarding everything to it.
#include "framework/SingleGroup.h"

#include "base/Assert.h"
#include "base/ErrorReports.h"

// The one-slot member array exists from the start; the member count is 0
// until an action is set, so that member walks never meet a null member.
SingleGroup::SingleGroup() : BaseGroupClass() { allocateArrays(1); }

SingleGroup::SingleGroup(BaseGroupClass* g) : SingleGroup() {
  defineName(g->getName());
  SetAction(g);
}

void SingleGroup::SetAction(BaseActionClass* a) {
  members[0] = a;
  numMembers = 1;
}

BaseActionClass* SingleGroup::action() {
  VELMOR_ASSERT(numMembers == 1 && members[0] != nullptr, "SingleGroup");
  return members[0];
}

bool SingleGroup::Enabled() {
  enabledBefore = enabledNow;
  enabledNow = action()->Enabled();
  return enabledNow;
}

double SingleGroup::Weight() { return action()->Weight(); }
double SingleGroup::Rate() { return action()->Rate(); }
bool SingleGroup::ReactivationPredicate() { return action()->ReactivationPredicate(); }
bool SingleGroup::ReactivationFunction() { return action()->ReactivationFunction(); }
double SingleGroup::SampleDistribution() { return action()->SampleDistribution(); }
BaseActionClass* SingleGroup::Fire() { return action()->Fire(); }
int SingleGroup::Rank() { return action()->Rank(); }
bool SingleGroup::EnablingChange() { return enabledBefore != enabledNow; }

double SingleGroup::Probability(BaseActionClass* a) {
  return a != nullptr && a == getAction() ? 1.0 : 0.0;
}

bool SingleGroup::SelectAction() {
  InconsistantState();
  BaseActionClass* a = action();
  if (!a->Enabled()) return false;
  selectedAction = a;
  a->disabled = false;
  disabled = false;
  executionPolicy = a->executionPolicy;
  reactivation = a->reactivation;
  return true;
}

// Activity: a group that always selects itself.
#include "framework/Activity.h"

#include "framework/state/BaseStateVariableClass.h"

Activity::Activity() : BaseGroupClass() {
  disabled = true;
  reactivation = false;
  selectedAction = this;
}

Activity::Activity(const char* activityName, int group, Distribution dist,
                   ExecutionPolicyType policy, int numAffected, int numEnabling, bool react)
    : Activity() {
  ActivityInitialize(activityName, group, dist, policy, numAffected, numEnabling, react);
}

void Activity::ActivityInitialize(const char* activityName, int group, Distribution dist,
                                  ExecutionPolicyType policy, int numAffected, int numEnabling,
                                  bool react) {
  BaseActionClassInitialize(activityName, group, dist, policy, numAffected, numEnabling, react);
}

bool Activity::SelectAction() { return Enabled(); }

bool Activity::EnablingChange() {
  Enabled();
  return enabledBefore != enabledNow;
}

double Activity::Probability(BaseActionClass* action) { return action == this ? 1.0 : 0.0; }

void Activity::setGroupId(int id) { groupId = id; }

double Activity::Weight() { return BaseActionClass::Weight(); }
double Activity::Rate() { return BaseActionClass::Rate(); }
double Activity::SampleDistribution() { return BaseActionClass::SampleDistribution(); }
int Activity::Rank() { return BaseActionClass::Rank(); }
bool Activity::ReactivationPredicate() { return BaseActionClass::ReactivationPredicate(); }
bool Activity::ReactivationFunction() { return BaseActionClass::ReactivationFunction(); }

bool Activity::IsAnAffectingStateVariable(BaseStateVariableClass* sv) {
  return getAffectedSVs()->contains(sv);
}

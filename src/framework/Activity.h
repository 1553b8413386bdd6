// Activity: the SAN activity, a group whose only selection is itself.
// Generated models derive one class per activity. Simulation thread only.
#ifndef VELMOR_FRAMEWORK_ACTIVITY_H
#define VELMOR_FRAMEWORK_ACTIVITY_H

#include "framework/BaseGroupClass.h"

class BaseStateVariableClass;

// Keeps the enabling of the last two evaluations for EnablingChange. A
// generated Enabled() must call RecordEnabling (or copy enabledNow into
// enabledBefore and store the new value itself).
// Invariant: selectedAction == this.
class Activity : public BaseGroupClass {
 public:
  Activity();
  Activity(const char* name, int groupId, Distribution dist, ExecutionPolicyType policy,
           int numAffected, int numEnabling, bool reactivation);

  void ActivityInitialize(const char* name, int groupId, Distribution dist,
                          ExecutionPolicyType policy, int numAffected, int numEnabling,
                          bool reactivation);

  bool SelectAction() override;  // evaluates and returns Enabled()
  bool EnablingChange() override;
  double Probability(BaseActionClass* action) override;
  void setGroupId(int id) override;
  BaseActionClass* Fire() override = 0;
  virtual void LinkVariables() = 0;

  // An activity is its own selection: without a generated override these
  // answer with the action defaults instead of forwarding to themselves.
  double Weight() override;
  double Rate() override;
  double SampleDistribution() override;
  int Rank() override;
  bool ReactivationPredicate() override;
  bool ReactivationFunction() override;

  bool IsAnAffectingStateVariable(BaseStateVariableClass* sv);

  // Shifts the enabling history and stores `now`; returns `now`.
  bool RecordEnabling(bool now) {
    enabledBefore = enabledNow;
    enabledNow = now;
    return now;
  }

  bool enabledNow = false;
  bool enabledBefore = false;
};

#endif  // VELMOR_FRAMEWORK_ACTIVITY_H

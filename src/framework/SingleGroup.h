// SingleGroup: a group standing for exactly one action, forwarding to it.
// Simulation thread only.
#ifndef VELMOR_FRAMEWORK_SINGLEGROUP_H
#define VELMOR_FRAMEWORK_SINGLEGROUP_H

#include "framework/BaseGroupClass.h"

// Holds its one action in a one-slot member array (so member-walking
// operations of the base see it). Does not own the action. Keeps the
// enabling of the last two Enabled() calls.
// REQUIRES for the forwarding operations: an action has been set.
class SingleGroup : public BaseGroupClass {
 public:
  SingleGroup();
  explicit SingleGroup(BaseGroupClass* g);

  void SetAction(BaseActionClass* a);
  BaseActionClass* getAction() const { return numMembers > 0 ? members[0] : nullptr; }

  bool Enabled() override;
  double Weight() override;
  double Rate() override;
  bool ReactivationPredicate() override;
  bool ReactivationFunction() override;
  double SampleDistribution() override;
  BaseActionClass* Fire() override;
  int Rank() override;
  bool EnablingChange() override;
  double Probability(BaseActionClass* action) override;
  bool SelectAction() override;

  bool enabledNow = false;
  bool enabledBefore = false;

 private:
  BaseActionClass* action();
};

#endif  // VELMOR_FRAMEWORK_SINGLEGROUP_H

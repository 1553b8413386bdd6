// EmptyGroup: the group a SAN model without instantaneous activities holds
// in place of a PreselectGroup; never enabled. Simulation thread only.
#ifndef VELMOR_FRAMEWORK_EMPTYGROUP_H
#define VELMOR_FRAMEWORK_EMPTYGROUP_H

#include "framework/SingleGroup.h"

// Named "ImmediateGroup", no member; answers not enabled, weight 0, rank 0.
class EmptyGroup : public SingleGroup {
 public:
  EmptyGroup();

  void SetAction(BaseActionClass*) {}
  void SetImpulseList(int, double) {}
  void CreateImpulseList(int) {}

  bool Enabled() override { return false; }
  double Weight() override { return 0.0; }
  double Rate() override { return 0.0; }
  bool ReactivationPredicate() override { return false; }
  bool ReactivationFunction() override { return false; }
  double SampleDistribution() override { return 0.0; }
  BaseActionClass* Fire() override { return nullptr; }
  int Rank() override { return 0; }
  bool EnablingChange() override { return false; }
  double Probability(BaseActionClass*) override { return 0.0; }
  bool SelectAction() override;  // reports an inconsistent state
};

#endif  // VELMOR_FRAMEWORK_EMPTYGROUP_H

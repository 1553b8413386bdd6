// PreselectGroup: a group that draws its member before timing questions
// are answered and keeps the choice until it fires. Simulation thread only.
#ifndef VELMOR_FRAMEWORK_PRESELECTGROUP_H
#define VELMOR_FRAMEWORK_PRESELECTGROUP_H

#include "framework/BaseGroupClass.h"

// States: selection pending (initially, after Fire, after a draw that
// found nothing) and selection made. Enabled, ReactivationPredicate,
// ReactivationFunction, SampleDistribution and Rank draw while pending.
class PreselectGroup : public BaseGroupClass {
 public:
  PreselectGroup();
  explicit PreselectGroup(int n);

  bool Enabled() override;
  bool ReactivationPredicate() override;
  bool ReactivationFunction() override;
  double SampleDistribution() override;
  BaseActionClass* Fire() override;
  int Rank() override;
  bool SelectAction() override;

  bool isSelectionPending() const { return selectionPending; }

 private:
  void selectIfPending();
  bool selectionPending = true;
};

#endif  // VELMOR_FRAMEWORK_PRESELECTGROUP_H

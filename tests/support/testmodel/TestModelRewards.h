// TestModelRewards: the test model's reward variables and reward model.
// Every variable reads the mark of one place of the machine: at a time point
// (instant of time) or, for the steady-state variables, integrated over each
// batch (accumulating). Simulation thread only.
#ifndef VELMOR_TESTS_TESTMODEL_TESTMODELREWARDS_H
#define VELMOR_TESTS_TESTMODEL_TESTMODELREWARDS_H

#include "TestMachineSAN.h"
#include "reward/InstantOfTime.h"
#include "reward/IntervalOfTime.h"
#include "reward/PVModel.h"
#include "reward/PerformanceVariableNode.h"

// The mark of one place of its machine instance (its only model slot).
class MachineMarkWorker : public InstantOfTime {
 public:
  explicit MachineMarkWorker(Place* TestMachineSAN::*placeMember);
  // REQUIRES: the model slot is set.
  double Reward_Function() override;

  TestMachineSAN* machine = nullptr;
  Place* TestMachineSAN::*place;
};

// The mark of one place integrated over the variable's window.
class MachineMarkIntervalWorker : public IntervalOfTime {
 public:
  explicit MachineMarkIntervalWorker(Place* TestMachineSAN::*placeMember);
  // REQUIRES: the model slot is set.
  double Reward_Function() override;

  TestMachineSAN* machine = nullptr;
  Place* TestMachineSAN::*place;
};

// One reward variable over one window: the mark of a named place.
// Owns its workers through the base.
class MachineMarkNode : public PerformanceVariableNode {
 public:
  struct Spec {
    const char* name;
    const char* placeName;
    Place* TestMachineSAN::*place;
    int numTimePoints;
    const double* startTimes;
    const double* stopTimes;
    int steadyState;  // 1: accumulating, measured by batch means
  };
  MachineMarkNode(const Spec& spec, int windowIndex);
  void CreateWorkerList() override;

 private:
  Place* TestMachineSAN::*place;
  bool accumulating;
};

// Reward variables, in order (node ids with the expand flag set):
//  0 "down"      down at 10                 node 0
//  1 "failures"  failures at 5 and 20       nodes 1, 2
//  2 "ss_up"     time integral of up, steady state, [0, 5]      node 3
//  3 "ss_ticks"  time integral of ticks, steady state, [5, 15]  node 4
// The tick fires at 1, 2, 3, ... whatever else happens, so ticks is floor(t)
// and the batches of ss_ticks are exactly 5 + ... + 14 = 95, then 195, 295.
// Owns the machine (its top model) and the nodes through the base.
class TestModelRewardPVModel : public PVModel {
 public:
  static constexpr int kNumPVs = 4;
  explicit TestModelRewardPVModel(bool expand);
  PerformanceVariableNode* createPVNode(int pv, int window) override;
  TestMachineSAN* machine() const;
};

#endif  // VELMOR_TESTS_TESTMODEL_TESTMODELREWARDS_H

// TestModelRewards: nodes, workers and the reward model of the test model.
#include "TestModelRewards.h"

#include "modelkit/RewardWorkers.h"

namespace {

const double kDownTimes[] = {10.0};
const double kFailureTimes[] = {5.0, 20.0};
const double kUpStart[] = {0.0};
const double kUpStop[] = {5.0};
const double kTicksStart[] = {5.0};
const double kTicksStop[] = {15.0};

const MachineMarkNode::Spec kSpecs[TestModelRewardPVModel::kNumPVs] = {
    {"down", "down", &TestMachineSAN::down, 1, kDownTimes, kDownTimes, 0},
    {"failures", "failures", &TestMachineSAN::failures, 2, kFailureTimes, kFailureTimes, 0},
    {"ss_up", "up", &TestMachineSAN::up, 1, kUpStart, kUpStop, 1},
    {"ss_ticks", "ticks", &TestMachineSAN::ticks, 1, kTicksStart, kTicksStop, 1},
};

}  // namespace

MachineMarkWorker::MachineMarkWorker(Place* TestMachineSAN::*placeMember)
    : InstantOfTime(1), place(placeMember) {
  BindModelSlot(0, &machine);
}

double MachineMarkWorker::Reward_Function() { return (machine->*place)->getMark(); }

MachineMarkIntervalWorker::MachineMarkIntervalWorker(Place* TestMachineSAN::*placeMember)
    : IntervalOfTime(1), place(placeMember) {
  BindModelSlot(0, &machine);
}

double MachineMarkIntervalWorker::Reward_Function() { return (machine->*place)->getMark(); }

MachineMarkNode::MachineMarkNode(const Spec& spec, int windowIndex)
    : place(spec.place), accumulating(spec.steadyState == 1) {
  Initialize(spec.name, accumulating ? AccumulatedReward : InstantOfTimeReward, spec.numTimePoints,
             spec.startTimes, spec.stopTimes, windowIndex, 0, 1, 1);
  AddVariableDependency(spec.placeName, "machine");
  SteadyState = spec.steadyState;
}

void MachineMarkNode::CreateWorkerList() {
  if (accumulating) {
    CreateWorkers<MachineMarkIntervalWorker>(this, place);
  } else {
    CreateWorkers<MachineMarkWorker>(this, place);
  }
}

TestModelRewardPVModel::TestModelRewardPVModel(bool expand) {
  SetTopModel(new TestMachineSAN());
  DefineName("TestModelRewardPVModel");
  CreatePVList(kNumPVs, expand);
  Initialize();
}

PerformanceVariableNode* TestModelRewardPVModel::createPVNode(int pv, int window) {
  if (pv < 0 || pv >= kNumPVs) return nullptr;
  return new MachineMarkNode(kSpecs[pv], window);
}

TestMachineSAN* TestModelRewardPVModel::machine() const {
  return static_cast<TestMachineSAN*>(getTopModel());
}

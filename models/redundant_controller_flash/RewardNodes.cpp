// The built-in model's reward nodes and workers: construction, worker
// creation and the reward functions.
#include "redundant_controller_flash/RewardNodes.h"

#include "modelkit/RewardWorkers.h"

namespace {

// The time points of "reliability"; start and stop times are equal.
double kReliabilityTimes[3] = {30.0, 180.0, 365.0};
double kEventTimes[1] = {365.0};

}  // namespace

redundant_controller_flash_rewardPV0Worker::redundant_controller_flash_rewardPV0Worker()
    : InstantOfTime(1), ram_system(nullptr) {
  BindModelSlot(0, &ram_system);
}

double redundant_controller_flash_rewardPV0Worker::Reward_Function() {
  return ram_system->system_failed->getMark();
}

redundant_controller_flash_rewardPV1Worker::redundant_controller_flash_rewardPV1Worker()
    : InstantOfTime(1), redundant_controller_flash_system(nullptr) {
  BindModelSlot(0, &redundant_controller_flash_system);
}

double redundant_controller_flash_rewardPV1Worker::Reward_Function() {
  return redundant_controller_flash_system->seu_events->getMark();
}

redundant_controller_flash_rewardPV2Worker::redundant_controller_flash_rewardPV2Worker()
    : InstantOfTime(1), redundant_controller_flash_system(nullptr) {
  BindModelSlot(0, &redundant_controller_flash_system);
}

double redundant_controller_flash_rewardPV2Worker::Reward_Function() {
  return redundant_controller_flash_system->sefi_events->getMark();
}

redundant_controller_flash_rewardPV0::redundant_controller_flash_rewardPV0(int windowIndex) {
  Initialize("reliability", InstantOfTimeReward, 3, kReliabilityTimes, kReliabilityTimes,
             windowIndex, 0, 1, 1);
  AddVariableDependency("system_failed", "ram_system");
}

redundant_controller_flash_rewardPV0::~redundant_controller_flash_rewardPV0() {
  DeleteWorkers(this);
}

void redundant_controller_flash_rewardPV0::CreateWorkerList() {
  CreateWorkers<redundant_controller_flash_rewardPV0Worker>(this);
}

redundant_controller_flash_rewardPV1::redundant_controller_flash_rewardPV1(int windowIndex) {
  Initialize("seu_events", InstantOfTimeReward, 1, kEventTimes, kEventTimes, windowIndex, 0, 1, 1);
  AddVariableDependency("seu_events", "redundant_controller_flash_system");
}

redundant_controller_flash_rewardPV1::~redundant_controller_flash_rewardPV1() {
  DeleteWorkers(this);
}

void redundant_controller_flash_rewardPV1::CreateWorkerList() {
  CreateWorkers<redundant_controller_flash_rewardPV1Worker>(this);
}

redundant_controller_flash_rewardPV2::redundant_controller_flash_rewardPV2(int windowIndex) {
  Initialize("sefi_events", InstantOfTimeReward, 1, kEventTimes, kEventTimes, windowIndex, 0, 1, 1);
  AddVariableDependency("sefi_events", "redundant_controller_flash_system");
}

redundant_controller_flash_rewardPV2::~redundant_controller_flash_rewardPV2() {
  DeleteWorkers(this);
}

void redundant_controller_flash_rewardPV2::CreateWorkerList() {
  CreateWorkers<redundant_controller_flash_rewardPV2Worker>(this);
}

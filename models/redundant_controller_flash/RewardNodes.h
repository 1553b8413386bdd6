// The built-in model's three reward variables: node and worker classes for
// "reliability" (the system_failed mark of ram_system at 30, 180 and 365),
// "seu_events" and "sefi_events" (the marks of every replica at 365).
// Simulation thread only.
#ifndef VELMOR_MODELS_RCF_REWARDNODES_H
#define VELMOR_MODELS_RCF_REWARDNODES_H

#include "redundant_controller_flash/ram_systemSAN.h"
#include "redundant_controller_flash/redundant_controller_flash_systemSAN.h"
#include "reward/InstantOfTime.h"
#include "reward/PerformanceVariableNode.h"

// Reads one ram_system instance (its only model slot, set by the node).
class redundant_controller_flash_rewardPV0Worker : public InstantOfTime {
 public:
  redundant_controller_flash_rewardPV0Worker();
  // REQUIRES: the model slot is set. The mark of system_failed.
  double Reward_Function() override;

  ram_systemSAN* ram_system;
};

// Reads one replica (its only model slot, set by the node).
class redundant_controller_flash_rewardPV1Worker : public InstantOfTime {
 public:
  redundant_controller_flash_rewardPV1Worker();
  // REQUIRES: the model slot is set. The replica's seu_events mark.
  double Reward_Function() override;

  redundant_controller_flash_systemSAN* redundant_controller_flash_system;
};

class redundant_controller_flash_rewardPV2Worker : public InstantOfTime {
 public:
  redundant_controller_flash_rewardPV2Worker();
  // REQUIRES: the model slot is set. The replica's sefi_events mark.
  double Reward_Function() override;

  redundant_controller_flash_systemSAN* redundant_controller_flash_system;
};

// Each node is one reward variable over one observation window (the time
// point at windowIndex); instant of time, no impulses, one model and one
// variable dependency. Owns its workers (created by CreateWorkerList,
// deleted by the destructor).
class redundant_controller_flash_rewardPV0 : public PerformanceVariableNode {
 public:
  // REQUIRES: 0 <= windowIndex < 3.
  explicit redundant_controller_flash_rewardPV0(int windowIndex);
  ~redundant_controller_flash_rewardPV0() override;
  void CreateWorkerList() override;
};

class redundant_controller_flash_rewardPV1 : public PerformanceVariableNode {
 public:
  // REQUIRES: windowIndex == 0.
  explicit redundant_controller_flash_rewardPV1(int windowIndex);
  ~redundant_controller_flash_rewardPV1() override;
  void CreateWorkerList() override;
};

class redundant_controller_flash_rewardPV2 : public PerformanceVariableNode {
 public:
  // REQUIRES: windowIndex == 0.
  explicit redundant_controller_flash_rewardPV2(int windowIndex);
  ~redundant_controller_flash_rewardPV2() override;
  void CreateWorkerList() override;
};

#endif  // VELMOR_MODELS_RCF_REWARDNODES_H

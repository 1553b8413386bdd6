// redundant_controller_flash_rewardPVModel: the built-in model's reward
// model: the composed model under the three reward variables.
// Simulation thread only.
#ifndef VELMOR_MODELS_RCF_REWARDPVMODEL_H
#define VELMOR_MODELS_RCF_REWARDPVMODEL_H

#include "reward/PVModel.h"

// Owns (through PVModel) the composed model redundant_controller_flash_modelRJ
// and the reward-variable nodes. With expand true the nodes are, in order:
// reliability at 30, 180 and 365, seu_events at 365, sefi_events at 365;
// with expand false reliability is observed at 30 only.
class redundant_controller_flash_rewardPVModel : public PVModel {
 public:
  // Builds the composed model from the globals as they are now.
  explicit redundant_controller_flash_rewardPVModel(bool expandPVs);

  // Variables 0, 1 and 2 with the given window; null for any other.
  PerformanceVariableNode* createPVNode(int pv, int window) override;
};

#endif  // VELMOR_MODELS_RCF_REWARDPVMODEL_H

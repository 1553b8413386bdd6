// redundant_controller_flash_rewardPVModel: building the composed model and
// the reward-variable nodes.
#include "redundant_controller_flash/redundant_controller_flash_rewardPVModel.h"

#include "base/Allocate.h"
#include "redundant_controller_flash/RewardNodes.h"
#include "redundant_controller_flash/redundant_controller_flash_modelRJ.h"

redundant_controller_flash_rewardPVModel::redundant_controller_flash_rewardPVModel(bool expandPVs) {
  SetTopModel(Allocate<redundant_controller_flash_modelRJ>());
  DefineName("redundant_controller_flash_rewardPVModel");
  CreatePVList(3, expandPVs);
  Initialize();
}

PerformanceVariableNode* redundant_controller_flash_rewardPVModel::createPVNode(int pv,
                                                                                int window) {
  switch (pv) {
    case 0:
      return Allocate<redundant_controller_flash_rewardPV0>(window);
    case 1:
      return Allocate<redundant_controller_flash_rewardPV1>(window);
    case 2:
      return Allocate<redundant_controller_flash_rewardPV2>(window);
    default:
      return nullptr;
  }
}

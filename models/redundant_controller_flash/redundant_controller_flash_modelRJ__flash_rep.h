// redundant_controller_flash_modelRJ__flash_rep: the replicate of the
// built-in model ("flash_rep"): num_devices copies of the flash device
// submodel sharing devices_available and flash_corrupted.
// Simulation thread only.
#ifndef VELMOR_MODELS_RCF_MODELRJ__FLASH_REP_H
#define VELMOR_MODELS_RCF_MODELRJ__FLASH_REP_H

#include "composer/Rep.h"
#include "framework/state/Place.h"
#include "redundant_controller_flash/redundant_controller_flash_systemSAN.h"

// Owns its replicas and its two shared places (the representatives of the
// replicas' devices_available and flash_corrupted until a composer above
// shares them further). The number of replicas is num_devices as it is when
// the replicate is built.
// Invariant: after construction every replica's devices_available and
// flash_corrupted read and write one storage cell each.
class redundant_controller_flash_modelRJ__flash_rep : public Rep {
 public:
  redundant_controller_flash_modelRJ__flash_rep();
  redundant_controller_flash_modelRJ__flash_rep(
      const redundant_controller_flash_modelRJ__flash_rep&) = delete;  // owns its replicas
  redundant_controller_flash_modelRJ__flash_rep& operator=(
      const redundant_controller_flash_modelRJ__flash_rep&) = delete;
  ~redundant_controller_flash_modelRJ__flash_rep() override;

  int NumReplicas() const { return NumChildren; }
  // REQUIRES: 0 <= i < NumReplicas().
  redundant_controller_flash_systemSAN* Replica(int i) const { return InstanceArray[i]; }

  Place* devices_available;  // null without replicas
  Place* flash_corrupted;    // null without replicas

 private:
  void CreateReplicas();
  void ShareReplicaPlaces();

  redundant_controller_flash_systemSAN** InstanceArray;  // NumChildren replicas, owned
};

#endif  // VELMOR_MODELS_RCF_MODELRJ__FLASH_REP_H

// redundant_controller_flash_modelRJ: the composed model of the built-in
// model ("Join"): one RAM submodel beside the replicate of flash devices,
// all sharing one flash_corrupted place. Simulation thread only.
#ifndef VELMOR_MODELS_RCF_MODELRJ_H
#define VELMOR_MODELS_RCF_MODELRJ_H

#include "composer/Join.h"
#include "framework/state/Place.h"
#include "redundant_controller_flash/ram_systemSAN.h"
#include "redundant_controller_flash/redundant_controller_flash_modelRJ__flash_rep.h"

// Owns both children and its shared place (the representative of every
// flash_corrupted in the tree).
// Invariant: after construction one storage cell holds flash_corrupted for
// ram_system and every replica.
class redundant_controller_flash_modelRJ : public Join {
 public:
  redundant_controller_flash_modelRJ();
  redundant_controller_flash_modelRJ(const redundant_controller_flash_modelRJ&) =
      delete;  // owns children
  redundant_controller_flash_modelRJ& operator=(const redundant_controller_flash_modelRJ&) = delete;
  ~redundant_controller_flash_modelRJ() override;

  ram_systemSAN* ram_system;
  redundant_controller_flash_modelRJ__flash_rep* flash_rep;
  Place* flash_corrupted;  // null when no child has state

 private:
  void ShareFlashCorrupted();
};

#endif  // VELMOR_MODELS_RCF_MODELRJ_H

// redundant_controller_flash_modelRJ: building the join and sharing
// flash_corrupted between the RAM submodel and the replicate.
#include "redundant_controller_flash/redundant_controller_flash_modelRJ.h"

#include "base/Allocate.h"
#include "redundant_controller_flash/SharedNames.h"

redundant_controller_flash_modelRJ::redundant_controller_flash_modelRJ()
    : Join("Join", 2, 1, redundant_controller_flash_modelRJ__SharedNames),
      ram_system(nullptr),
      flash_rep(nullptr),
      flash_corrupted(nullptr) {
  ram_system = Allocate<ram_systemSAN>();
  ram_system->DefineName("ram_system");
  SetChild(0, ram_system);
  flash_rep = Allocate<redundant_controller_flash_modelRJ__flash_rep>();
  flash_rep->DefineName("flash_rep");
  SetChild(1, flash_rep);
  SetupActions();
  if (AllChildrenEmpty()) {
    numSharedStateVariables = 0;
  } else {
    ShareFlashCorrupted();
  }
  Setup();
}

redundant_controller_flash_modelRJ::~redundant_controller_flash_modelRJ() {
  delete flash_corrupted;
  delete ram_system;
  delete flash_rep;
}

// A replicate without replicas has no flash_corrupted place to share.
void redundant_controller_flash_modelRJ::ShareFlashCorrupted() {
  flash_corrupted = Allocate<Place>("flash_corrupted");
  addSharedPtr(flash_corrupted, "flash_corrupted");
  if (ram_system->getNumStateVariables() > 0) {
    flash_corrupted->ShareWith(ram_system->flash_corrupted);
    addSharingInfo(ram_system->flash_corrupted, flash_corrupted, ram_system);
  }
  if (flash_rep->getNumStateVariables() > 0 && flash_rep->flash_corrupted != nullptr) {
    flash_corrupted->ShareWith(flash_rep->flash_corrupted);
    addSharingInfo(flash_rep->flash_corrupted, flash_corrupted, flash_rep);
  }
}

// redundant_controller_flash_modelRJ__flash_rep: building the replicas and
// sharing their devices_available and flash_corrupted places.
#include "redundant_controller_flash/redundant_controller_flash_modelRJ__flash_rep.h"

#include "base/Allocate.h"
#include "redundant_controller_flash/GlobalVariables.h"
#include "redundant_controller_flash/SharedNames.h"

using FlashRep = redundant_controller_flash_modelRJ__flash_rep;

FlashRep::redundant_controller_flash_modelRJ__flash_rep()
    : Rep("flash_rep", num_devices, 2, redundant_controller_flash_modelRJ__flash_rep__SharedNames),
      devices_available(nullptr),
      flash_corrupted(nullptr),
      InstanceArray(nullptr) {
  CreateReplicas();
  SetupActions();
  if (NumChildren >= 1) {
    if (AllChildrenEmpty()) {
      numSharedStateVariables = 0;
    } else {
      ShareReplicaPlaces();
    }
  }
  Setup("redundant_controller_flash_system");
}

FlashRep::~redundant_controller_flash_modelRJ__flash_rep() {
  delete devices_available;
  delete flash_corrupted;
  for (int i = 0; i < NumChildren; i++) delete InstanceArray[i];
  delete[] InstanceArray;
}

void FlashRep::CreateReplicas() {
  InstanceArray = AllocateArray<redundant_controller_flash_systemSAN*>(NumChildren);
  for (int i = 0; i < NumChildren; i++) {
    InstanceArray[i] = Allocate<redundant_controller_flash_systemSAN>();
    SetChild(i, InstanceArray[i]);
  }
}

// The replicate's places join replica 0's first; the other replicas then
// join them one by one, so the action lists of the shared places list
// replica 0's actions first.
void FlashRep::ShareReplicaPlaces() {
  redundant_controller_flash_systemSAN* first = InstanceArray[0];
  devices_available = Allocate<Place>("devices_available");
  addSharedPtr(devices_available, "devices_available");
  devices_available->ShareWith(first->devices_available);

  flash_corrupted = Allocate<Place>("flash_corrupted");
  addSharedPtr(flash_corrupted, "flash_corrupted");
  flash_corrupted->ShareWith(first->flash_corrupted);

  for (int i = 0; i < NumChildren; i++) {
    addSharingInfo(InstanceArray[i]->devices_available, devices_available, nullptr);
  }
  for (int i = 0; i < NumChildren; i++) {
    addSharingInfo(InstanceArray[i]->flash_corrupted, flash_corrupted, nullptr);
  }
  for (int i = 1; i < NumChildren; i++) {
    InstanceArray[i]->devices_available->ShareWith(first->devices_available);
    InstanceArray[i]->flash_corrupted->ShareWith(first->flash_corrupted);
  }
}

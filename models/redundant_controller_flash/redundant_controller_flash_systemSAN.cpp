// redundant_controller_flash_systemSAN: construction of the flash device
// submodel and its activities' enabling, delays, weights and firing effects.
#include "redundant_controller_flash/redundant_controller_flash_systemSAN.h"

#include "base/Allocate.h"
#include "random/UserDistributions.h"
#include "redundant_controller_flash/GlobalVariables.h"

using FlashSAN = redundant_controller_flash_systemSAN;

namespace {

// The device has run out of replicas: one device fewer; the last one gone
// corrupts the flash.
void LoseDevice(const CachedMark& devices, const CachedMark& flash) {
  short before = *devices;
  *devices -= 1;
  if (before == 1) *flash = 1;
}

}  // namespace

// ---- activities ----

bool FlashSAN::SeuCase::Enabled() { return RecordEnabling(*replicas_available > 0); }

double FlashSAN::SeuCase::SampleDistribution() { return TheDistribution->Exponential(Rate()); }

double* FlashSAN::SeuCase::ReturnDistributionParameters() { return StoreParameter(Rate()); }

void FlashSAN::SeuCase::LinkVariables() { replicas_available.Link(); }

// 0.001953125 is 1/512; the current marking of this replica is read.
double FlashSAN::SeuCase::Case2Weight() const {
  return *replicas_available * flash_size * 0.001953125;
}

BaseActionClass* FlashSAN::seuActivity_case1::Fire() {
  *replicas_available -= 1;
  *replicas_available += 1;
  return this;
}

BaseActionClass* FlashSAN::seuActivity_case2::Fire() {
  *replicas_available -= 1;
  if (*replicas_available == 0) LoseDevice(devices_available, flash_corrupted);
  *seu_events += 1;
  return this;
}

void FlashSAN::seuActivity_case2::LinkVariables() {
  SeuCase::LinkVariables();
  devices_available.Link();
  flash_corrupted.Link();
  seu_events.Link();
}

bool FlashSAN::sefiActivity::Enabled() { return RecordEnabling(*replicas_available > 0); }

double FlashSAN::sefiActivity::SampleDistribution() { return TheDistribution->Exponential(Rate()); }

double* FlashSAN::sefiActivity::ReturnDistributionParameters() { return StoreParameter(Rate()); }

BaseActionClass* FlashSAN::sefiActivity::Fire() {
  *replicas_available = 0;
  LoseDevice(devices_available, flash_corrupted);
  *sefi_events += 1;
  return this;
}

void FlashSAN::sefiActivity::LinkVariables() {
  replicas_available.Link();
  devices_available.Link();
  flash_corrupted.Link();
  sefi_events.Link();
}

bool FlashSAN::power_cycleActivity::Enabled() {
  return RecordEnabling(*replicas_available < num_replicas);
}

double FlashSAN::power_cycleActivity::DeterministicParamValue() {
  return static_cast<double>(power_cycle_rate);
}

double* FlashSAN::power_cycleActivity::ReturnDistributionParameters() {
  return StoreParameter(DeterministicParamValue());
}

BaseActionClass* FlashSAN::power_cycleActivity::Fire() {
  *replicas_available = num_replicas;
  *devices_available += 1;
  *flash_corrupted = 0;
  return this;
}

void FlashSAN::power_cycleActivity::LinkVariables() {
  replicas_available.Link();
  devices_available.Link();
  flash_corrupted.Link();
}

// ---- the submodel ----

FlashSAN::redundant_controller_flash_systemSAN()
    : devices_available(nullptr),
      replicas_available(nullptr),
      flash_corrupted(nullptr),
      seu_events(nullptr),
      sefi_events(nullptr) {
  InitializeActivities();
  InitializeGroups();
  CreatePlaces();
  RegisterWithBase();
  assignPlacesToActivitiesInst();
  assignPlacesToActivitiesTimed();
  DeclareArcs();
  seu_case1.LinkVariables();
  seu_case2.LinkVariables();
  sefi.LinkVariables();
  power_cycle.LinkVariables();
}

FlashSAN::~redundant_controller_flash_systemSAN() {
  delete devices_available;
  delete replicas_available;
  delete flash_corrupted;
  delete seu_events;
  delete sefi_events;
}

void FlashSAN::InitializeActivities() {
  seu_case1.ActivityInitialize("seu_case1", 0, kExponential, kRaceEnabled, 1, 1, false);
  seu_case2.ActivityInitialize("seu_case2", 0, kExponential, kRaceEnabled, 4, 1, false);
  sefi.ActivityInitialize("sefi", 1, kExponential, kRaceEnabled, 4, 1, false);
  power_cycle.ActivityInitialize("power_cycle", 2, kDeterministic, kRaceEnabled, 3, 1, false);
}

void FlashSAN::InitializeGroups() {
  seuGroup.initialize(2, "seuGroup");
  seuGroup.appendGroup(&seu_case1);
  seuGroup.appendGroup(&seu_case2);
}

// The initial markings read num_devices and num_replicas now.
void FlashSAN::CreatePlaces() {
  devices_available = Allocate<Place>("devices_available", num_devices);
  replicas_available = Allocate<Place>("replicas_available", num_replicas);
  flash_corrupted = Allocate<Place>("flash_corrupted", 0);
  seu_events = Allocate<Place>("seu_events", 0);
  sefi_events = Allocate<Place>("sefi_events", 0);
}

void FlashSAN::RegisterWithBase() {
  BaseStateVariableClass* placeArray[kNumPlaces] = {devices_available, replicas_available,
                                                    flash_corrupted, seu_events, sefi_events};
  Activity* activityArray[kNumActivities] = {&seu_case1, &seu_case2, &sefi, &power_cycle};
  BaseGroupClass* unitArray[kNumGroups] = {&seuGroup, &sefi, &power_cycle};
  initializeSANModelNow("redundant_controller_flash_system", kNumPlaces, placeArray, 0, nullptr,
                        kNumActivities, activityArray, kNumGroups, unitArray);
}

void FlashSAN::assignPlacesToActivitiesTimed() {
  seu_case1.replicas_available.Bind(replicas_available);
  seu_case2.replicas_available.Bind(replicas_available);
  seu_case2.devices_available.Bind(devices_available);
  seu_case2.flash_corrupted.Bind(flash_corrupted);
  seu_case2.seu_events.Bind(seu_events);
  sefi.replicas_available.Bind(replicas_available);
  sefi.devices_available.Bind(devices_available);
  sefi.flash_corrupted.Bind(flash_corrupted);
  sefi.sefi_events.Bind(sefi_events);
  power_cycle.replicas_available.Bind(replicas_available);
  power_cycle.devices_available.Bind(devices_available);
  power_cycle.flash_corrupted.Bind(flash_corrupted);
}

void FlashSAN::DeclareArcs() {
  AddAffectArc(replicas_available, &seu_case1);
  AddAffectArc(replicas_available, &seu_case2);
  AddAffectArc(devices_available, &seu_case2);
  AddAffectArc(flash_corrupted, &seu_case2);
  AddAffectArc(seu_events, &seu_case2);
  AddAffectArc(replicas_available, &sefi);
  AddAffectArc(devices_available, &sefi);
  AddAffectArc(flash_corrupted, &sefi);
  AddAffectArc(sefi_events, &sefi);
  AddAffectArc(replicas_available, &power_cycle);
  AddAffectArc(devices_available, &power_cycle);
  AddAffectArc(flash_corrupted, &power_cycle);

  AddEnableArc(replicas_available, &seu_case1);
  AddEnableArc(replicas_available, &seu_case2);
  AddEnableArc(replicas_available, &sefi);
  AddEnableArc(replicas_available, &power_cycle);
}

// ram_systemSAN: construction of the RAM submodel and its activities'
// enabling, delays, weights and firing effects.
#include "redundant_controller_flash/ram_systemSAN.h"

#include "base/Allocate.h"
#include "random/UserDistributions.h"
#include "redundant_controller_flash/GlobalVariables.h"

// ---- activities ----

bool ram_systemSAN::failureActivity::Enabled() {
  return RecordEnabling(*flash_corrupted > 0 && *ram_corrupted > 0 && *system_failed == 0);
}

BaseActionClass* ram_systemSAN::failureActivity::Fire() {
  *system_failed += 1;
  return this;
}

void ram_systemSAN::failureActivity::LinkVariables() {
  flash_corrupted.Link();
  ram_corrupted.Link();
  system_failed.Link();
}

bool ram_systemSAN::watchdog_rebootActivity::Enabled() {
  return RecordEnabling(*ram_corrupted > 0);
}

double* ram_systemSAN::watchdog_rebootActivity::ReturnDistributionParameters() {
  return StoreParameter(DeterministicParamValue());
}

BaseActionClass* ram_systemSAN::watchdog_rebootActivity::Fire() {
  *ram_working = 1;
  *ram_corrupted = 0;
  return this;
}

void ram_systemSAN::watchdog_rebootActivity::LinkVariables() {
  ram_working.Link();
  ram_corrupted.Link();
}

bool ram_systemSAN::random_failureActivity::Enabled() {
  return RecordEnabling(*ram_corrupted == 0);
}

double ram_systemSAN::random_failureActivity::Rate() {
  return static_cast<double>(random_failure_rate);
}

double ram_systemSAN::random_failureActivity::SampleDistribution() {
  return TheDistribution->Exponential(Rate());
}

double* ram_systemSAN::random_failureActivity::ReturnDistributionParameters() {
  return StoreParameter(Rate());
}

BaseActionClass* ram_systemSAN::random_failureActivity::Fire() {
  *ram_corrupted += 1;
  return this;
}

void ram_systemSAN::random_failureActivity::LinkVariables() { ram_corrupted.Link(); }

bool ram_systemSAN::RamErrorCase::Enabled() { return RecordEnabling(*ram_working > 0); }

double ram_systemSAN::RamErrorCase::SampleDistribution() {
  return TheDistribution->Exponential(Rate());
}

double* ram_systemSAN::RamErrorCase::ReturnDistributionParameters() {
  return StoreParameter(Rate());
}

void ram_systemSAN::RamErrorCase::LinkVariables() { ram_working.Link(); }

BaseActionClass* ram_systemSAN::CorruptingRamErrorCase::Fire() {
  *ram_working -= 1;
  *ram_corrupted += 1;
  return this;
}

void ram_systemSAN::CorruptingRamErrorCase::LinkVariables() {
  ram_working.Link();
  ram_corrupted.Link();
}

// 0.001953125 is 1/512: with ram_size 128 the cases weigh 0.75 and 0.25.
double ram_systemSAN::bit_errorActivity_case1::Weight() { return 1.0 - 0.001953125 * ram_size; }

double ram_systemSAN::bit_errorActivity_case2::Weight() { return 0.001953125 * ram_size; }

// ---- the submodel ----

ram_systemSAN::ram_systemSAN()
    : flash_corrupted(nullptr),
      ram_working(nullptr),
      ram_corrupted(nullptr),
      system_failed(nullptr) {
  InitializeActivities();
  InitializeGroups();
  CreatePlaces();
  RegisterWithBase();
  assignPlacesToActivitiesInst();
  assignPlacesToActivitiesTimed();
  DeclareArcs();
  failure.LinkVariables();
  watchdog_reboot.LinkVariables();
  random_failure.LinkVariables();
  bit_error_case1.LinkVariables();
  bit_error_case2.LinkVariables();
  page_error_case1.LinkVariables();
  page_error_case2.LinkVariables();
}

ram_systemSAN::~ram_systemSAN() {
  delete flash_corrupted;
  delete ram_working;
  delete ram_corrupted;
  delete system_failed;
}

// Name, group id, distribution, policy 1, (affected, enabling) counts and
// no reactivation, in activity order.
void ram_systemSAN::InitializeActivities() {
  failure.ActivityInitialize("failure", 4, kInstantaneous, kRaceEnabled, 1, 3, false);
  watchdog_reboot.ActivityInitialize("watchdog_reboot", 0, kDeterministic, kRaceEnabled, 2, 1,
                                     false);
  random_failure.ActivityInitialize("random_failure", 1, kExponential, kRaceEnabled, 1, 1, false);
  bit_error_case1.ActivityInitialize("bit_error_case1", 2, kExponential, kRaceEnabled, 1, 1, false);
  bit_error_case2.ActivityInitialize("bit_error_case2", 2, kExponential, kRaceEnabled, 2, 1, false);
  page_error_case1.ActivityInitialize("page_error_case1", 3, kExponential, kRaceEnabled, 1, 1,
                                      false);
  page_error_case2.ActivityInitialize("page_error_case2", 3, kExponential, kRaceEnabled, 2, 1,
                                      false);
}

void ram_systemSAN::InitializeGroups() {
  bit_errorGroup.initialize(2, "bit_errorGroup");
  bit_errorGroup.appendGroup(&bit_error_case1);
  bit_errorGroup.appendGroup(&bit_error_case2);
  page_errorGroup.initialize(2, "page_errorGroup");
  page_errorGroup.appendGroup(&page_error_case1);
  page_errorGroup.appendGroup(&page_error_case2);
}

void ram_systemSAN::CreatePlaces() {
  flash_corrupted = Allocate<Place>("flash_corrupted", 0);
  ram_working = Allocate<Place>("ram_working", 1);
  ram_corrupted = Allocate<Place>("ram_corrupted", 0);
  system_failed = Allocate<Place>("system_failed", 0);
}

void ram_systemSAN::RegisterWithBase() {
  BaseStateVariableClass* placeArray[kNumPlaces] = {flash_corrupted, ram_working, ram_corrupted,
                                                    system_failed};
  Activity* activityArray[kNumActivities] = {&failure,         &watchdog_reboot, &random_failure,
                                             &bit_error_case1, &bit_error_case2, &page_error_case1,
                                             &page_error_case2};
  BaseGroupClass* unitArray[kNumGroups] = {&watchdog_reboot, &random_failure, &bit_errorGroup,
                                           &page_errorGroup, &failure};
  initializeSANModelNow("ram_system", kNumPlaces, placeArray, 0, nullptr, kNumActivities,
                        activityArray, kNumGroups, unitArray);
}

void ram_systemSAN::assignPlacesToActivitiesInst() {
  failure.flash_corrupted.Bind(flash_corrupted);
  failure.ram_corrupted.Bind(ram_corrupted);
  failure.system_failed.Bind(system_failed);
}

void ram_systemSAN::assignPlacesToActivitiesTimed() {
  watchdog_reboot.ram_working.Bind(ram_working);
  watchdog_reboot.ram_corrupted.Bind(ram_corrupted);
  random_failure.ram_corrupted.Bind(ram_corrupted);
  bit_error_case1.ram_working.Bind(ram_working);
  bit_error_case2.ram_working.Bind(ram_working);
  bit_error_case2.ram_corrupted.Bind(ram_corrupted);
  page_error_case1.ram_working.Bind(ram_working);
  page_error_case2.ram_working.Bind(ram_working);
  page_error_case2.ram_corrupted.Bind(ram_corrupted);
}

// Affect arcs first, then enable arcs; the orders fix the action lists of
// the places and so the order in which the simulator revisits groups.
void ram_systemSAN::DeclareArcs() {
  AddAffectArc(system_failed, &failure);
  AddAffectArc(ram_working, &watchdog_reboot);
  AddAffectArc(ram_corrupted, &watchdog_reboot);
  AddAffectArc(ram_corrupted, &random_failure);
  AddAffectArc(ram_working, &bit_error_case1);
  AddAffectArc(ram_working, &bit_error_case2);
  AddAffectArc(ram_corrupted, &bit_error_case2);
  AddAffectArc(ram_working, &page_error_case1);
  AddAffectArc(ram_working, &page_error_case2);
  AddAffectArc(ram_corrupted, &page_error_case2);

  AddEnableArc(flash_corrupted, &failure);
  AddEnableArc(ram_corrupted, &failure);
  AddEnableArc(system_failed, &failure);
  AddEnableArc(ram_corrupted, &watchdog_reboot);
  AddEnableArc(ram_corrupted, &random_failure);
  AddEnableArc(ram_working, &bit_error_case1);
  AddEnableArc(ram_working, &bit_error_case2);
  AddEnableArc(ram_working, &page_error_case1);
  AddEnableArc(ram_working, &page_error_case2);
}

// redundant_controller_flash_studyRangeStudy: the experiment table, name
// lookups, printing, and GenerateStudy/DestructStudy of the built-in model.
#include "redundant_controller_flash/redundant_controller_flash_studyRangeStudy.h"

#include <cstring>
#include <iostream>

#include "base/Allocate.h"
#include "redundant_controller_flash/GlobalVariables.h"
#include "redundant_controller_flash/redundant_controller_flash_rewardPVModel.h"

namespace {

const char* const kGVNames[redundant_controller_flash_studyRangeStudy::kNumGVs] = {
    "flash_size",       "num_devices", "num_replicas",
    "power_cycle_rate", "ram_size",    "random_failure_rate"};
const char* const kGVTypes[redundant_controller_flash_studyRangeStudy::kNumGVs] = {
    "float", "short", "short", "float", "float", "float"};

bool IsShortGV(int index) { return index == 1 || index == 2; }

// The two short globals, by index (1 or 2).
short* ShortGV(int index) { return index == 1 ? &num_devices : &num_replicas; }

// The four float globals, by index (0, 3, 4 or 5).
float* FloatGV(int index) {
  switch (index) {
    case 0:
      return &flash_size;
    case 3:
      return &power_cycle_rate;
    case 4:
      return &ram_size;
    default:
      return &random_failure_rate;
  }
}

// Addresses of the globals, in declaration order.
void* GlobalAddress(int index) {
  if (IsShortGV(index)) return ShortGV(index);
  return FloatGV(index);
}

}  // namespace

redundant_controller_flash_studyRangeStudy::redundant_controller_flash_studyRangeStudy()
    : BaseStudyClass(kNumGVs, kNumExps) {
  for (int i = 0; i < kNumGVs; i++) SetGVInfo(i, kGVNames[i], kGVTypes[i]);
  SetValues_flash_size();
  SetValues_num_devices();
  SetValues_num_replicas();
  SetValues_power_cycle_rate();
  SetValues_ram_size();
  SetValues_random_failure_rate();
}

void redundant_controller_flash_studyRangeStudy::SetValues_flash_size() {
  for (int e = 0; e < kNumExps; e++) flash_sizeValues[e] = 17.0f;
}

// num_devices cycles 1, 2, 3 within each num_replicas block.
void redundant_controller_flash_studyRangeStudy::SetValues_num_devices() {
  for (int e = 0; e < kNumExps; e++) num_devicesValues[e] = static_cast<short>(e % 3 + 1);
}

// num_replicas is 1 for experiments 1-3, 2 for 4-6 and 3 for 7-9.
void redundant_controller_flash_studyRangeStudy::SetValues_num_replicas() {
  for (int e = 0; e < kNumExps; e++) num_replicasValues[e] = static_cast<short>(e / 3 + 1);
}

void redundant_controller_flash_studyRangeStudy::SetValues_power_cycle_rate() {
  for (int e = 0; e < kNumExps; e++) power_cycle_rateValues[e] = 1000.0f;
}

void redundant_controller_flash_studyRangeStudy::SetValues_ram_size() {
  for (int e = 0; e < kNumExps; e++) ram_sizeValues[e] = 128.0f;
}

// 0.005 is kept as the nearest float.
void redundant_controller_flash_studyRangeStudy::SetValues_random_failure_rate() {
  for (int e = 0; e < kNumExps; e++) random_failure_rateValues[e] = 0.005f;
}

PVModel* redundant_controller_flash_studyRangeStudy::GetPVModel(bool expandPVs) {
  DeletePVModel();
  ThePVModel = Allocate<redundant_controller_flash_rewardPVModel>(expandPVs);
  return ThePVModel;
}

void redundant_controller_flash_studyRangeStudy::SetGVs(int exp) {
  flash_size = flash_sizeValues[exp];
  num_devices = num_devicesValues[exp];
  num_replicas = num_replicasValues[exp];
  power_cycle_rate = power_cycle_rateValues[exp];
  ram_size = ram_sizeValues[exp];
  random_failure_rate = random_failure_rateValues[exp];
}

void redundant_controller_flash_studyRangeStudy::PrintGlobalValues(int exp) {
  if (NumGVs == 0) {
    std::cout << "There are no global variables." << std::endl;
    return;
  }
  SetGVs(exp);
  std::cout << "The Global Variable values for experiment " << GetExpName(exp)
            << " are:" << std::endl;
  for (int i = 0; i < NumGVs; i++) {
    std::cout << GVNames[i] << "\t" << GVTypes[i] << "\t";
    if (IsShortGV(i)) {
      std::cout << *ShortGV(i);
    } else {
      std::cout << static_cast<double>(*FloatGV(i));
    }
    std::cout << std::endl;
  }
}

int redundant_controller_flash_studyRangeStudy::FindGV(const char* name) const {
  if (name == nullptr) return -1;
  for (int i = 0; i < NumGVs; i++) {
    if (std::strcmp(name, GVNames[i]) == 0) return i;
  }
  return -1;
}

void* redundant_controller_flash_studyRangeStudy::GetGVValue(char* name) {
  int index = FindGV(name);
  if (index < 0) {
    std::cerr << "!! redundant_controller_flash_studyRangeStudy::GetGVValue: Global Variable "
              << (name ? name : "") << " does not exist." << std::endl;
    return nullptr;
  }
  return GlobalAddress(index);
}

void redundant_controller_flash_studyRangeStudy::OverrideGVValue(char* name, void* value) {
  int index = FindGV(name);
  if (index < 0) {
    std::cerr << "!! redundant_controller_flash_studyRangeStudy::OverrideGVValue: Global Variable "
              << (name ? name : "") << " does not exist." << std::endl;
    return;
  }
  if (IsShortGV(index)) {
    std::memcpy(ShortGV(index), value, sizeof(short));
  } else {
    std::memcpy(FloatGV(index), value, sizeof(float));
  }
}

BaseStudyClass* GenerateStudy() {
  if (GlobalStudyPtr == nullptr)
    GlobalStudyPtr = Allocate<redundant_controller_flash_studyRangeStudy>();
  return GlobalStudyPtr;
}

void DestructStudy() {
  delete GlobalStudyPtr;
  GlobalStudyPtr = nullptr;
}

// TestModelStudy: experiment table, lookups and GenerateStudy/DestructStudy
// of the test model.
#include "TestModelStudy.h"

#include <cstring>
#include <iostream>

#include "TestModelGlobals.h"
#include "TestModelRewards.h"

TestModelStudy::TestModelStudy()
    : BaseStudyClass(kNumGVs, kNumExps), failRates{1.0f, 2.0f}, repairTimes{0.5f, 0.25f} {
  SetGVInfo(0, "fail_rate", "float");
  SetGVInfo(1, "repair_time", "float");
}

PVModel* TestModelStudy::GetPVModel(bool expandPVs) {
  DeletePVModel();
  ThePVModel = new TestModelRewardPVModel(expandPVs);
  return ThePVModel;
}

void TestModelStudy::SetGVs(int exp) {
  fail_rate = failRates[exp];
  repair_time = repairTimes[exp];
}

void* TestModelStudy::GetGVValue(char* name) {
  if (std::strcmp(name, "fail_rate") == 0) return &fail_rate;
  if (std::strcmp(name, "repair_time") == 0) return &repair_time;
  std::cerr << "!! TestModelStudy::GetGVValue: Global Variable " << name << " does not exist."
            << std::endl;
  return nullptr;
}

void TestModelStudy::OverrideGVValue(char* name, void* value) {
  if (std::strcmp(name, "fail_rate") == 0) {
    std::memcpy(&fail_rate, value, sizeof fail_rate);
  } else if (std::strcmp(name, "repair_time") == 0) {
    std::memcpy(&repair_time, value, sizeof repair_time);
  } else {
    std::cerr << "!! TestModelStudy::OverrideGVValue: Global Variable " << name
              << " does not exist." << std::endl;
  }
}

BaseStudyClass* GenerateStudy() {
  if (GlobalStudyPtr == nullptr) GlobalStudyPtr = new TestModelStudy();
  return GlobalStudyPtr;
}

void DestructStudy() {
  delete GlobalStudyPtr;
  GlobalStudyPtr = nullptr;
}

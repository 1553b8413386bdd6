// TestStudy: the test study and the process-level study factory of the
// study test binary.
#include "TestStudy.h"

#include <cstring>
#include <iostream>

#include "CellsRewardModel.h"

namespace teststudy {

bool flagGV;
char letterGV;
double doubleGV;
float floatGV;
int intGV;
long longGV;
short shortGV;

void ResetGlobals() {
  flagGV = false;
  letterGV = '?';
  doubleGV = -1.0;
  floatGV = -1.0f;
  intGV = -1;
  longGV = -1;
  shortGV = -1;
}

namespace {
struct GVEntry {
  const char* name;
  const char* type;
  void* address;
  size_t size;
};

const GVEntry kGVs[] = {
    {"flagGV", "bool", &flagGV, sizeof(bool)},
    {"letterGV", "char", &letterGV, sizeof(char)},
    {"doubleGV", "double", &doubleGV, sizeof(double)},
    {"floatGV", "float", &floatGV, sizeof(float)},
    {"intGV", "int", &intGV, sizeof(int)},
    {"longGV", "long", &longGV, sizeof(long)},
    {"shortGV", "short", &shortGV, sizeof(short)},
};
constexpr int kNumGVs = sizeof(kGVs) / sizeof(kGVs[0]);

const GVEntry* Find(const char* name) {
  for (const GVEntry& gv : kGVs) {
    if (std::strcmp(gv.name, name) == 0) return &gv;
  }
  return nullptr;
}
}  // namespace

TestStudy::TestStudy() : BaseStudyClass(kNumGVs, 2) {
  for (int i = 0; i < kNumGVs; i++) SetGVInfo(i, kGVs[i].name, kGVs[i].type);
}

PVModel* TestStudy::GetPVModel(bool expandPVs) {
  DeletePVModel();
  ThePVModel = new CellsRewardModel(expandPVs);
  return ThePVModel;
}

void TestStudy::SetGVs(int exp) { shortGV = shortValues[exp]; }

void* TestStudy::GetGVValue(char* name) {
  const GVEntry* gv = Find(name);
  return gv ? gv->address : nullptr;
}

void TestStudy::OverrideGVValue(char* name, void* value) {
  overrideCalls++;
  const GVEntry* gv = Find(name);
  if (gv == nullptr) {
    std::cerr << "!! TestStudy::OverrideGVValue: Global Variable " << name << " does not exist."
              << std::endl;
    return;
  }
  std::memcpy(gv->address, value, gv->size);
}

}  // namespace teststudy

BaseStudyClass* GenerateStudy() {
  if (GlobalStudyPtr == nullptr) GlobalStudyPtr = new teststudy::TestStudy();
  return GlobalStudyPtr;
}

void DestructStudy() {
  delete GlobalStudyPtr;
  GlobalStudyPtr = nullptr;
}

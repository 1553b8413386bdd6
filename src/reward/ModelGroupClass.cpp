#include "reward/ModelGroupClass.h"

#include "base/Allocate.h"
#include "base/Assert.h"

ModelGroupClass::~ModelGroupClass() { delete[] Models; }

void ModelGroupClass::CreateModelList(int n) {
  VELMOR_ASSERT(n >= 0, "ModelGroupClass");
  delete[] Models;
  Models = AllocateZeroedArray<BaseModelClass*>(n);
  NumModels = n;
}

void ModelGroupClass::SetModel(int i, BaseModelClass* model) {
  VELMOR_ASSERT(i >= 0 && i < NumModels, "ModelGroupClass");
  Models[i] = model;
}

bool ModelGroupClass::IsDependentOnModel(const BaseModelClass* model) const {
  for (int i = 0; i < NumModels; i++) {
    if (Models[i] == model) return true;
  }
  return false;
}

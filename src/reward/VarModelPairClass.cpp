#include "reward/VarModelPairClass.h"

#include <cstdlib>

#include "base/OwnedString.h"
#include "reward/RewardStrings.h"

VarModelPairClass::~VarModelPairClass() {
  ReleaseOwnedString(VariableName);
  ReleaseOwnedString(ModelName);
}

void VarModelPairClass::SetPair(const char* variable, const char* model) {
  char* newVariable = CopyOwnedString(variable);
  char* newModel = CopyOwnedString(model);
  ReleaseOwnedString(VariableName);
  ReleaseOwnedString(ModelName);
  VariableName = newVariable;
  ModelName = newModel;
}

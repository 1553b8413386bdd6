#include "reward/VarModelPairClass.h"

#include <cstdlib>

#include "reward/RewardStrings.h"

VarModelPairClass::~VarModelPairClass() {
  free(VariableName);
  free(ModelName);
}

void VarModelPairClass::SetPair(const char* variable, const char* model) {
  char* newVariable = DuplicateRewardString(variable);
  char* newModel = DuplicateRewardString(model);
  free(VariableName);
  free(ModelName);
  VariableName = newVariable;
  ModelName = newModel;
}

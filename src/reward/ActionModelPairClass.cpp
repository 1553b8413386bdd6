#include "reward/ActionModelPairClass.h"

#include <cstdlib>

#include "reward/RewardStrings.h"

ActionModelPairClass::~ActionModelPairClass() {
  free(ModelName);
  free(ActionName);
}

void ActionModelPairClass::SetPair(const char* action, const char* model) {
  char* newAction = DuplicateRewardString(action);
  char* newModel = DuplicateRewardString(model);
  free(ActionName);
  free(ModelName);
  ActionName = newAction;
  ModelName = newModel;
}

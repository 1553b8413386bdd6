#include "reward/ActionModelPairClass.h"

#include <cstdlib>

#include "base/OwnedString.h"
#include "reward/RewardStrings.h"

ActionModelPairClass::~ActionModelPairClass() {
  ReleaseOwnedString(ModelName);
  ReleaseOwnedString(ActionName);
}

void ActionModelPairClass::SetPair(const char* action, const char* model) {
  char* newAction = CopyOwnedString(action);
  char* newModel = CopyOwnedString(model);
  ReleaseOwnedString(ActionName);
  ReleaseOwnedString(ModelName);
  ActionName = newAction;
  ModelName = newModel;
}

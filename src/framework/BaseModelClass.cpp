// BaseModelClass: identity, the default listing answers and the traps.
#include "framework/BaseModelClass.h"

#include <cstring>
#include <iostream>
#include <new>

#include "base/Allocate.h"
#include "base/Assert.h"
#include "base/ErrorReports.h"
#include "base/OwnedString.h"
#include "framework/BaseActionClass.h"
#include "framework/state/BaseStateVariableClass.h"

double BaseModelClass::LastActionTime = 0.0;
int BaseModelClass::globalModelId = 0;

namespace {

[[noreturn]] void Trap() { VelmorAssertFail("false", "BaseModelClass", __LINE__); }

}  // namespace

BaseModelClass::BaseModelClass()
    : numStateVariables(0),
      numSharedStateVariables(0),
      numActions(0),
      numGroups(0),
      groups(nullptr),
      name(nullptr),
      modelId(++globalModelId),
      parentId(modelId),
      actions(nullptr) {}

BaseModelClass::~BaseModelClass() { ReleaseOwnedString(name); }

void BaseModelClass::DefineName(const char* newName) {
  char* copy = CopyOwnedString(newName != nullptr ? newName : "");
  ReleaseOwnedString(name);
  name = copy;
}

void BaseModelClass::printState(std::ostream*) {}

void BaseModelClass::printState() { printState(&std::cout); }

BaseStateVariableClass** BaseModelClass::GetLocalStateVariables(std::ostream*) { return nullptr; }

BaseStateVariableClass** BaseModelClass::GetSharedStateVariables() { return nullptr; }

BaseStateVariableClass* BaseModelClass::getMainSharedVariable(BaseStateVariableClass*) {
  return nullptr;
}

SharedStateVarLink* BaseModelClass::getListOfSharedVariables(BaseStateVariableClass*) {
  return nullptr;
}

void BaseModelClass::AddAffectArc(BaseStateVariableClass* sv, BaseActionClass* a) {
  sv->appendAffectingAction(a);
  a->addAffectedSV(sv);
}

void BaseModelClass::AddEnableArc(BaseStateVariableClass* sv, BaseActionClass* a) {
  sv->appendEnabledAction(a);
  a->addEnablingSV(sv);
}

int BaseModelClass::GetModelType() { Trap(); }
int BaseModelClass::GetNumberOfChildren() { Trap(); }
BaseModelClass* BaseModelClass::GetChild(int) { Trap(); }
void BaseModelClass::GetLocalActions(slist&) { Trap(); }
void BaseModelClass::GetGlobalActions(slist&) { Trap(); }
bool BaseModelClass::HasLocalState() { Trap(); }
void BaseModelClass::GetLocalState(State*) { Trap(); }
void BaseModelClass::SetLocalState(const State*) { Trap(); }
void BaseModelClass::ConstructLocalState(State*&) { Trap(); }
void BaseModelClass::DestructLocalState(State*) { Trap(); }

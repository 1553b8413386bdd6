// BaseComposerClass: children, gathered tables, shared-variable bookkeeping,
// listing and printing of a composer node.
#include "composer/BaseComposerClass.h"

#include <cstdint>
#include <cstring>
#include <iostream>
#include <new>

#include "base/Allocate.h"
#include "base/Assert.h"
#include "base/ErrorReports.h"
#include "base/OwnedString.h"
#include "framework/BaseActionClass.h"
#include "framework/BaseGroupClass.h"
#include "framework/state/BaseStateVariableClass.h"

namespace {}  // namespace

BaseComposerClass::BaseComposerClass(const char* modelName, int numChildren, int numShared,
                                     char** sharedNames)
    : Children(nullptr),
      NumChildren(numChildren > 0 ? numChildren : 0),
      SharedPtrs(nullptr),
      EquivalenceLists(nullptr),
      SharingLists(nullptr),
      SharedStateNames(nullptr),
      DeclaredShared(0),
      AddedSharedPtrs(0),
      ComposerStateSize(0),
      EquivalenceTails(nullptr),
      ComposerChildren(nullptr),
      NumComposerChildren(-1) {
  DefineName(modelName);
  numSharedStateVariables = (numChildren < 1 || numShared < 0) ? 0 : numShared;
  numActions = 0;
  numGroups = 0;
  DeclaredShared = numSharedStateVariables;
  Children = AllocateZeroedArray<BaseModelClass*>(NumChildren);
  SharedPtrs = AllocateZeroedArray<BaseStateVariableClass*>(DeclaredShared);
  EquivalenceLists = AllocateZeroedArray<SharedStateVarLink*>(DeclaredShared);
  EquivalenceTails = AllocateZeroedArray<SharedStateVarLink*>(DeclaredShared);
  SharingLists = AllocateZeroedArray<List<BaseStateVariableClass>*>(DeclaredShared);
  SharedStateNames = AllocateZeroedArray<char*>(DeclaredShared);
  for (int i = 0; i < DeclaredShared; i++) {
    SharingLists[i] = Allocate<List<BaseStateVariableClass>>();
    SharedStateNames[i] =
        CopyOwnedString(sharedNames != nullptr && sharedNames[i] != nullptr ? sharedNames[i] : "");
  }
}

BaseComposerClass::~BaseComposerClass() {
  delete[] Children;
  for (int i = 0; i < DeclaredShared; i++) {
    ReleaseOwnedString(SharedStateNames[i]);
    delete SharingLists[i];
    SharedStateVarLink::clearStateVarList(EquivalenceLists[i]);
  }
  delete[] SharedStateNames;
  delete[] SharingLists;
  delete[] EquivalenceLists;
  delete[] EquivalenceTails;
  delete[] ComposerChildren;
  delete[] SharedPtrs;
  delete[] actions;
  actions = nullptr;
  delete[] groups;
  groups = nullptr;
}

void BaseComposerClass::SetChild(int i, BaseModelClass* child) {
  VELMOR_ASSERT(i >= 0 && i < NumChildren, "BaseComposerClass");
  Children[i] = child;
  NumComposerChildren = -1;  // found again when next needed
}

void BaseComposerClass::SetupActions() {
  numActions = 0;
  numGroups = 0;
  for (int c = 0; c < NumChildren; c++) {
    numActions += Children[c]->getNumActions();
    numGroups += Children[c]->getNumGroups();
  }
  delete[] actions;
  delete[] groups;
  actions = AllocateZeroedArray<BaseActionClass*>(numActions);
  groups = AllocateZeroedArray<BaseGroupClass*>(numGroups);
  int nextAction = 0;
  for (int c = 0; c < NumChildren; c++) {
    BaseActionClass** childActions = Children[c]->getActions();
    for (int a = 0; a < Children[c]->getNumActions(); a++) actions[nextAction++] = childActions[a];
  }
  int nextGroup = 0;
  for (int c = 0; c < NumChildren; c++) {
    BaseGroupClass** childGroups = Children[c]->getGroups();
    for (int g = 0; g < Children[c]->getNumGroups(); g++) {
      groups[nextGroup] = childGroups[g];
      groups[nextGroup]->setGroupId(nextGroup);
      nextGroup++;
    }
  }
}

bool BaseComposerClass::AllChildrenEmpty() {
  for (int c = 0; c < NumChildren; c++) {
    if (Children[c]->getNumStateVariables() >= 1) return false;
  }
  return true;
}

void BaseComposerClass::addSharedPtr(BaseStateVariableClass* var, const char* VarName) {
  VELMOR_ASSERT_MSG(AddedSharedPtrs < numSharedStateVariables,
                    "AddedSharedPtrs < NumSharedStateVariables", "BaseComposerClass");
  VELMOR_ASSERT_MSG(0 == std::strcmp(VarName, SharedStateNames[AddedSharedPtrs]),
                    "0 == strcmp(VarName, SharedStateNames[AddedSharedPtrs])", "BaseComposerClass");
  SharedPtrs[AddedSharedPtrs] = var;
  AddedSharedPtrs++;
}

int BaseComposerClass::FindSharedPtr(BaseStateVariableClass* var, bool last) const {
  int found = -1;
  for (int i = 0; i < numSharedStateVariables; i++) {
    if (SharedPtrs[i] == var) {
      found = i;
      if (!last) break;
    }
  }
  return found;
}

void BaseComposerClass::addSharingInfo(BaseStateVariableClass* childVar,
                                       BaseStateVariableClass* sharedVar,
                                       BaseModelClass* childModel) {
  int VarIndex = FindSharedPtr(sharedVar, true);
  VELMOR_ASSERT(VarIndex != -1, "BaseComposerClass");
  SharingLists[VarIndex]->append(childVar);
  AppendEquivalents(VarIndex, Allocate<SharedStateVarLink>(childVar, childModel));
  // Reach the leaves: a child variable that is itself a shared variable of
  // a composer below brings that composer's chain (as a copy of our own).
  // Other children answer null, so only the composers among them are asked.
  if (NumComposerChildren < 0) FindComposerChildren();
  for (int k = 0; k < NumComposerChildren; k++) {
    const SharedStateVarLink* below =
        Children[ComposerChildren[k]]->getListOfSharedVariables(childVar);
    if (below != nullptr) AppendEquivalents(VarIndex, SharedStateVarLink::copyStateVarList(below));
  }
}

void BaseComposerClass::AppendEquivalents(int i, SharedStateVarLink* chain) {
  if (chain == nullptr) return;
  if (EquivalenceLists[i] == nullptr) {
    EquivalenceLists[i] = chain;
  } else {
    // The cached tail ends the list: nothing else appends to it.
    EquivalenceTails[i]->addStateVarLink(chain);
  }
  SharedStateVarLink* tail = chain;
  while (tail->getNext() != nullptr) tail = tail->getNext();
  EquivalenceTails[i] = tail;
}

void BaseComposerClass::FindComposerChildren() {
  delete[] ComposerChildren;
  ComposerChildren = AllocateArray<int>(NumChildren);
  NumComposerChildren = 0;
  for (int c = 0; c < NumChildren; c++) {
    if (dynamic_cast<BaseComposerClass*>(Children[c]) != nullptr) {
      ComposerChildren[NumComposerChildren++] = c;
    }
  }
}

void BaseComposerClass::RefreshChildLayouts() {
  for (int c = 0; c < NumChildren; c++) Children[c]->RefreshStateLayout();
}

void BaseComposerClass::GeneralSetup() {
  RefreshChildLayouts();
  int count = 0;
  for (int c = 0; c < NumChildren; c++) count += Children[c]->getNumStateVariables();
  for (int i = 0; i < numSharedStateVariables; i++) count -= SharingLists[i]->getNumItems();
  numStateVariables = count + numSharedStateVariables;
  ComposerStateSize = StateSize();
}

int BaseComposerClass::SharedStateSize() {
  int size = 0;
  for (int i = 0; i < numSharedStateVariables; i++) {
    if (SharedPtrs[i] != nullptr && SharedPtrs[i]->getStored()) size += SharedPtrs[i]->StateSize();
  }
  return size;
}

void BaseComposerClass::CurrentSharedState(void* location) {
  char* position = static_cast<char*>(location);
  for (int i = 0; i < numSharedStateVariables; i++) {
    BaseStateVariableClass* var = SharedPtrs[i];
    if (var == nullptr || !var->getStored()) continue;
    var->CurrentState(position);
    position += var->StateSize();
  }
}

void BaseComposerClass::SetSharedState(void* location) {
  char* position = static_cast<char*>(location);
  for (int i = 0; i < numSharedStateVariables; i++) {
    BaseStateVariableClass* var = SharedPtrs[i];
    if (var == nullptr || !var->getStored()) continue;
    var->SetState(position);
    position += var->StateSize();
  }
}

int BaseComposerClass::Hash(const char* text, int size) {
  if (size < 1 || text == nullptr) return 0;
  uint32_t h = 0;
  for (const char* c = text; *c != '\0'; c++) {
    h = h * 32u + static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(*c)));
  }
  return static_cast<int>(h % static_cast<uint32_t>(size));
}

void BaseComposerClass::listModels(const char* modelName, List<BaseModelClass>* models) {
  for (int c = 0; c < NumChildren; c++) Children[c]->listModels(modelName, models);
}

void BaseComposerClass::listActions(List<BaseActionClass>* list) {
  list->append(actions, numActions);
}

void BaseComposerClass::listGroups(List<BaseGroupClass>* list) { list->append(groups, numGroups); }

bool BaseComposerClass::CompareState(void* a, void* b) {
  // The live size: a composer below another one loses the shared state that
  // its parent took over after its own GeneralSetup.
  int size = StateSize();
  return size <= 0 || std::memcmp(a, b, static_cast<size_t>(size)) == 0;
}

void BaseComposerClass::listActions(const char* actionName, List<BaseActionClass>* list) {
  for (int c = 0; c < NumChildren; c++) Children[c]->listActions(actionName, list);
}

void BaseComposerClass::listSVs(const char* first, const char* second,
                                List<BaseStateVariableClass>* vars, List<BaseModelClass>* models) {
  for (int c = 0; c < NumChildren; c++) Children[c]->listSVs(first, second, vars, models);
}

void BaseComposerClass::printState(std::ostream* stream) {
  *stream << "Model: (" << modelId << ")" << name << std::endl;
  for (int c = 0; c < NumChildren; c++) Children[c]->printState(stream);
  *stream << "Shared Variables:" << std::endl;
  for (int i = 0; i < numSharedStateVariables; i++) {
    if (SharedPtrs[i] == nullptr || !SharedPtrs[i]->getStored()) continue;
    *stream << "  ";
    SharedPtrs[i]->printState(stream);
  }
}

BaseStateVariableClass** BaseComposerClass::GetSharedStateVariables() { return SharedPtrs; }

BaseStateVariableClass* BaseComposerClass::getMainSharedVariable(BaseStateVariableClass* var) {
  for (int i = 0; i < numSharedStateVariables; i++) {
    if (EquivalenceLists[i] != nullptr && EquivalenceLists[i]->hasStateVar(var)) {
      return SharedPtrs[i];
    }
  }
  for (int c = 0; c < NumChildren; c++) {
    BaseStateVariableClass* found = Children[c]->getMainSharedVariable(var);
    if (found != nullptr) return found;
  }
  return nullptr;
}

SharedStateVarLink* BaseComposerClass::getListOfSharedVariables(BaseStateVariableClass* var) {
  int index = FindSharedPtr(var, false);
  if (index != -1) return EquivalenceLists[index];
  for (int c = 0; c < NumChildren; c++) {
    SharedStateVarLink* found = Children[c]->getListOfSharedVariables(var);
    if (found != nullptr) return found;
  }
  return nullptr;
}

void BaseComposerClass::printAllSharedVariables() {
  std::cout << "Shared Variables for composer node " << name << std::endl;
  for (int i = 0; i < numSharedStateVariables; i++) {
    BaseStateVariableClass* var = SharedPtrs[i];
    std::cout << "  Shared Variable " << i << " has name " << (var ? var->getName() : "")
              << " and address " << static_cast<const void*>(var) << std::endl;
    std::cout << "    And here is its list of equivalent variables:" << std::endl;
    if (EquivalenceLists[i] != nullptr) EquivalenceLists[i]->printAllStateVariables();
  }
  std::cout << std::endl;
}

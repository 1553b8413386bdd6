// BaseStateVariableClass: names, flags and the two action lists.
#include "framework/state/BaseStateVariableClass.h"

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <new>

#include "framework/BaseActionClass.h"

char* CopyStateVariableName(const char* text) {
  if (text == nullptr) text = "";
  size_t length = std::strlen(text);
  char* copy = new (std::nothrow) char[length + 1];
  if (copy == nullptr) {
    std::cerr << "Not Enough Memory" << std::endl;
    MemoryAllocationError();  // nothing sensible can follow without the name
  }
  std::memcpy(copy, text, length + 1);
  return copy;
}

namespace {

List<BaseActionClass>* NewActionList() {
  List<BaseActionClass>* list = new (std::nothrow) List<BaseActionClass>();
  if (list == nullptr) MemoryAllocationError();
  return list;
}

}  // namespace

BaseStateVariableClass::BaseStateVariableClass() : BaseStateVariableClass("default", "") {}

BaseStateVariableClass::BaseStateVariableClass(const char* svName, const char* svPrefix)
    : name(CopyStateVariableName(svName)),
      prefix(CopyStateVariableName(svPrefix)),
      shared(false),
      stored(true),
      functionallyShared(false),
      sharingCount(0),
      SVAffectingActions(NewActionList()),
      SVEnabledActions(NewActionList()) {}

BaseStateVariableClass::~BaseStateVariableClass() {
  delete[] name;
  delete[] prefix;
  if (stored) {
    delete SVAffectingActions;
    delete SVEnabledActions;
  }
}

void BaseStateVariableClass::printState(std::ostream*) {}

void BaseStateVariableClass::printState() { printState(&std::cout); }

void BaseStateVariableClass::printStateVal(std::ostream*) {}

void BaseStateVariableClass::appendAffectingAction(BaseActionClass* action) {
  SVAffectingActions->append(action);
}

void BaseStateVariableClass::removeAffectingAction(BaseActionClass* action) {
  SVAffectingActions->remove(action);
}

void BaseStateVariableClass::replaceAffectingAction(BaseActionClass* oldAction,
                                                    BaseActionClass* newAction) {
  SVAffectingActions->replaceItem(oldAction, newAction);
}

void BaseStateVariableClass::addSelfAsEnablingSVToAction(BaseActionClass* action) {
  action->addEnablingSV(this);
}

void BaseStateVariableClass::addSelfAsAffectedSVToAction(BaseActionClass* action) {
  action->addAffectedSV(this);
}

void BaseStateVariableClass::removeSelfFromEnablingSVOfAction(BaseActionClass* action) {
  action->removeEnablingSV(this);
}

void BaseStateVariableClass::removeSelfFromAffectedSVOfAction(BaseActionClass* action) {
  action->removeAffectedSV(this);
}

List<BaseStateVariableClass>* BaseStateVariableClass::getLeafNodes() {
  List<BaseStateVariableClass>* leaves = new (std::nothrow) List<BaseStateVariableClass>();
  if (leaves == nullptr) MemoryAllocationError();
  leaves->append(this);
  return leaves;
}

int BaseStateVariableClass::getNumLeafNodes() { return 1; }

bool BaseStateVariableClass::isLeafNode() { return true; }

void BaseStateVariableClass::appendEnabledAction(BaseActionClass* action) {
  SVEnabledActions->append(action);
}

void BaseStateVariableClass::removeEnabledAction(BaseActionClass* action) {
  SVEnabledActions->remove(action);
}

void BaseStateVariableClass::replaceEnabledAction(BaseActionClass* oldAction,
                                                  BaseActionClass* newAction) {
  SVEnabledActions->replaceItem(oldAction, newAction);
}

void BaseStateVariableClass::SetName(const char* newName) {
  char* copy = CopyStateVariableName(newName);
  delete[] name;
  name = copy;
}

void BaseStateVariableClass::SetPrefix(const char* newPrefix) {
  char* copy = CopyStateVariableName(newPrefix);
  delete[] prefix;
  prefix = copy;
}

void BaseStateVariableClass::copyAffectingActions(List<BaseActionClass>* list) {
  SVAffectingActions->append(list);
}

void BaseStateVariableClass::copyEnabledActions(List<BaseActionClass>* list) {
  SVEnabledActions->append(list);
}

BaseActionClass* BaseStateVariableClass::getAffectingAction(int index) const {
  if (index >= SVAffectingActions->getNumItems()) {
    std::cerr << "!! BaseStateVariableClass::getAffectingAction(int): "
              << " AffectingAction index out of bounds" << std::endl;
    return nullptr;
  }
  return SVAffectingActions->getItem(index);
}

BaseActionClass* BaseStateVariableClass::getEnabledAction(int index) const {
  if (index >= SVEnabledActions->getNumItems()) {
    std::cerr << "!! BaseStateVariableClass::getEnabledAction(int): "
              << " EnabledAction index out of bounds" << std::endl;
    return nullptr;
  }
  return SVEnabledActions->getItem(index);
}

void BaseStateVariableClass::printAffectingActions() {
  std::cout << "Affecting actions for " << name << ":" << std::endl;
  SVAffectingActions->printList();
}

void BaseStateVariableClass::printEnabledActions() {
  std::cout << "Enabled actions for " << name << ":" << std::endl;
  SVEnabledActions->printList();
}

// BaseStateVariableClass: names, flags and the two action lists.
#include "framework/state/BaseStateVariableClass.h"

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <new>

#include "base/Allocate.h"
#include "base/OwnedString.h"
#include "framework/BaseActionClass.h"

char* CopyStateVariableName(const char* text) {
  // Nothing sensible can follow without the name.
  return CopyOwnedString(text != nullptr ? text : "", AllocationSite{"Not Enough Memory"});
}

namespace {

List<BaseActionClass>* NewActionList() { return Allocate<List<BaseActionClass>>(); }

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
  ReleaseOwnedString(name);
  ReleaseOwnedString(prefix);
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
  List<BaseStateVariableClass>* leaves = Allocate<List<BaseStateVariableClass>>();
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
  ReleaseOwnedString(name);
  name = copy;
}

void BaseStateVariableClass::SetPrefix(const char* newPrefix) {
  char* copy = CopyStateVariableName(newPrefix);
  ReleaseOwnedString(prefix);
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

// BaseStructStateVariable: delegation to the fields, and struct sharing.
#include "framework/state/BaseStructStateVariable.h"

#include <algorithm>
#include <iostream>
#include <new>

#include "base/Allocate.h"
#include "base/Assert.h"
#include "base/ErrorReports.h"
#include "framework/BaseActionClass.h"

int ArrayTypeSize(ArrayType type, BaseStateVariableClass* sv) {
  switch (type) {
    case kShortElement:
      return 2;
    case kIntElement:
    case kFloatElement:
      return 4;
    case kCharElement:
      return 1;
    case kDoubleElement:
      return 8;
    default:
      return sv != nullptr ? sv->StateSize() : 0;
  }
}

BaseStructStateVariable::BaseStructStateVariable()
    : BaseStateVariableClass(), cachedStateSize(-1) {}

BaseStructStateVariable::BaseStructStateVariable(const char* svName, const char* svPrefix)
    : BaseStateVariableClass(svName, svPrefix), cachedStateSize(-1) {}

// The virtual `field` resolves to this class's version while the base is
// being constructed; a generated structure that creates element variables
// calls makeArrays from its own constructor instead.
BaseStructStateVariable::BaseStructStateVariable(const char* svName, const char* svPrefix,
                                                 const ArrayType* types, int n)
    : BaseStateVariableClass(svName, svPrefix), cachedStateSize(-1) {
  makeArrays(types, n);
}

BaseStructStateVariable::~BaseStructStateVariable() = default;

void BaseStructStateVariable::makeArrays(const ArrayType* types, int n) {
  for (int i = 0; i < n; i++) fields.push_back(field(types[i], nullptr));
  cachedStateSize = -1;
}

BaseStructStateVariable::fieldType BaseStructStateVariable::field(
    ArrayType type, BaseStateVariableClass* sv) const {
  return fieldType{sv, type};
}

int BaseStructStateVariable::calculateStateSize() {
  int total = 0;
  for (const fieldType& f : fields) total += ArrayTypeSize(f.type, f.variable);
  return total;
}

int BaseStructStateVariable::StateSize() {
  if (cachedStateSize < 0) cachedStateSize = calculateStateSize();
  return cachedStateSize;
}

void BaseStructStateVariable::SetState(void* src) {
  char* at = static_cast<char*>(src);
  for (const fieldType& f : fields) {
    f.variable->SetState(at);
    at += ArrayTypeSize(f.type, f.variable);
  }
}

void BaseStructStateVariable::CurrentState(void* dst) {
  char* at = static_cast<char*>(dst);
  for (const fieldType& f : fields) {
    f.variable->CurrentState(at);
    at += ArrayTypeSize(f.type, f.variable);
  }
}

void BaseStructStateVariable::printState(std::ostream* out) {
  *out << name << " = {" << std::endl;
  for (const fieldType& f : fields) {
    *out << ".";
    f.variable->printState(out);
  }
  *out << "}" << std::endl;
}

void BaseStructStateVariable::share(BaseStateVariableClass* other) {
  BaseStructStateVariable* otherStruct = dynamic_cast<BaseStructStateVariable*>(other);
  VELMOR_ASSERT(otherStruct, "StructStateVariable");
  ShareWith(otherStruct);
}

void BaseStructStateVariable::ShareWith(BaseStructStateVariable* otherStruct) {
  if (otherStruct == this) return;
  // 1. Share the fields pairwise.
  auto otheri = otherStruct->fields.begin();
  for (const fieldType& f : fields) {
    VELMOR_ASSERT_MSG(otheri != otherStruct->fields.end(), "otheri!=otherStruct->fields.end()",
                      "StructStateVariable");
    f.variable->share(otheri->variable);
    ++otheri;
  }
  // 2. One pair of action lists: this variable's. Lists the other does not
  // own (it was shared before) belong to its own representative. When the
  // other owns them, the variables shared into it before point at them
  // too: they all follow this variable's lists before the other's are freed.
  if (otherStruct->SVAffectingActions != SVAffectingActions) {
    SVAffectingActions->append(otherStruct->SVAffectingActions);
    SVEnabledActions->append(otherStruct->SVEnabledActions);
    List<BaseActionClass>* oldAffecting = otherStruct->SVAffectingActions;
    List<BaseActionClass>* oldEnabled = otherStruct->SVEnabledActions;
    std::vector<BaseStructStateVariable*> moving = {otherStruct};
    if (otherStruct->stored) {
      moving.insert(moving.end(), otherStruct->followers.begin(), otherStruct->followers.end());
      otherStruct->followers.clear();
    } else if (otherStruct->owner != nullptr) {
      std::vector<BaseStructStateVariable*>& old = otherStruct->owner->followers;
      old.erase(std::remove(old.begin(), old.end(), otherStruct), old.end());
    }
    // The owner of this variable's lists: this one, or the one it follows.
    BaseStructStateVariable* listOwner = owner != nullptr ? owner : this;
    for (BaseStructStateVariable* m : moving) {
      m->SVAffectingActions = SVAffectingActions;
      m->SVEnabledActions = SVEnabledActions;
      m->owner = listOwner;
      listOwner->followers.push_back(m);
    }
    if (otherStruct->stored) {
      delete oldAffecting;
      delete oldEnabled;
    }
  }
  // 3. Flags of the other.
  otherStruct->shared = true;
  otherStruct->stored = false;
  // 4. Actions name this variable instead of the other.
  for (int i = 0; i < SVAffectingActions->getNumItems(); i++) {
    SVAffectingActions->getItem(i)->getAffectedSVs()->replaceItem(otherStruct, this);
  }
  for (int i = 0; i < SVEnabledActions->getNumItems(); i++) {
    SVEnabledActions->getItem(i)->getEnablingSVs()->replaceItem(otherStruct, this);
  }
}

void BaseStructStateVariable::appendAffectingAction(BaseActionClass* action) {
  for (const fieldType& f : fields) f.variable->appendAffectingAction(action);
  SVAffectingActions->append(action);
}

void BaseStructStateVariable::appendEnabledAction(BaseActionClass* action) {
  SVEnabledActions->append(action);
  for (const fieldType& f : fields) f.variable->appendEnabledAction(action);
}

void BaseStructStateVariable::addSelfAsEnablingSVToAction(BaseActionClass* action) {
  for (const fieldType& f : fields) f.variable->addSelfAsEnablingSVToAction(action);
}

void BaseStructStateVariable::addSelfAsAffectedSVToAction(BaseActionClass* action) {
  for (const fieldType& f : fields) f.variable->addSelfAsAffectedSVToAction(action);
}

void BaseStructStateVariable::removeSelfFromEnablingSVOfAction(BaseActionClass* action) {
  for (const fieldType& f : fields) {
    f.variable->removeSelfFromEnablingSVOfAction(action);
  }
}

void BaseStructStateVariable::removeSelfFromAffectedSVOfAction(BaseActionClass* action) {
  for (const fieldType& f : fields) {
    f.variable->removeSelfFromAffectedSVOfAction(action);
  }
}

List<BaseStateVariableClass>* BaseStructStateVariable::getLeafNodes() {
  List<BaseStateVariableClass>* leaves = Allocate<List<BaseStateVariableClass>>();
  for (const fieldType& f : fields) {
    List<BaseStateVariableClass>* childTemp = f.variable->getLeafNodes();
    VELMOR_ASSERT(childTemp, "StructStateVariable");
    leaves->append(childTemp);
    delete childTemp;
  }
  return leaves;
}

int BaseStructStateVariable::getNumLeafNodes() {
  int total = 0;
  for (const fieldType& f : fields) total += f.variable->getNumLeafNodes();
  return total == 0 ? 1 : total;
}

bool BaseStructStateVariable::isLeafNode() { return fields.empty(); }

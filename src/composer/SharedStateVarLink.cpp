// SharedStateVarLink: the chain operations of an equivalence list.
#include "composer/SharedStateVarLink.h"

#include <iostream>

#include "base/Allocate.h"
#include "framework/state/BaseStateVariableClass.h"

SharedStateVarLink::SharedStateVarLink() : stateVar(nullptr), model(nullptr), next(nullptr) {}

SharedStateVarLink::SharedStateVarLink(BaseStateVariableClass* var)
    : stateVar(var), model(nullptr), next(nullptr) {}

SharedStateVarLink::SharedStateVarLink(BaseStateVariableClass* var, BaseModelClass* owner)
    : stateVar(var), model(owner), next(nullptr) {}

bool SharedStateVarLink::hasStateVar(BaseStateVariableClass* var) const {
  for (const SharedStateVarLink* link = this; link != nullptr; link = link->next) {
    if (link->stateVar == var) return true;
  }
  return false;
}

void SharedStateVarLink::addStateVarLink(SharedStateVarLink* link) {
  SharedStateVarLink* last = this;
  while (last->next != nullptr) last = last->next;
  last->next = link;
}

void SharedStateVarLink::clearStateVarList(SharedStateVarLink* link) {
  while (link != nullptr) {
    SharedStateVarLink* following = link->next;
    delete link;
    link = following;
  }
}

SharedStateVarLink* SharedStateVarLink::copyStateVarList(const SharedStateVarLink* link) {
  SharedStateVarLink* head = nullptr;
  SharedStateVarLink* tail = nullptr;
  for (; link != nullptr; link = link->next) {
    SharedStateVarLink* copy = Allocate<SharedStateVarLink>(link->stateVar, link->model);
    if (tail == nullptr) {
      head = copy;
    } else {
      tail->next = copy;
    }
    tail = copy;
  }
  return head;
}

void SharedStateVarLink::printAllStateVariables() const {
  for (const SharedStateVarLink* link = this; link != nullptr; link = link->next) {
    std::cout << "      This link holds state var " << link->stateVar->getName() << " at address "
              << static_cast<const void*>(link->stateVar) << std::endl;
  }
}

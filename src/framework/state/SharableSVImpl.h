// SharableSVImpl: the template bodies of SharableSV<T>, included by
// SharableSV.h only. Simulation thread only.
//
// Sharing joins whole classes. Joining class B (representative b) into
// class A (representative a): b's cell is freed and every pointer
// registered with b is redirected to a's cell; b becomes a non-stored,
// shared member; b's action lists are merged into a's and every owner in
// b's pointer list points at a's lists; b's pointer list moves in front of
// a's. Which class joins which depends on the stored flags of the two
// variables ShareWith is called with (see ShareWith).
#ifndef VELMOR_FRAMEWORK_STATE_SHARABLESVIMPL_H
#define VELMOR_FRAMEWORK_STATE_SHARABLESVIMPL_H

#include "base/Allocate.h"
#include "framework/state/SharableSV.h"

template <class T>
SharableSV<T>::SharableSV() : BaseStateVariableClass() {
  initStorage();
}

template <class T>
SharableSV<T>::SharableSV(const char* svName, const char* svPrefix)
    : BaseStateVariableClass(svName, svPrefix) {
  initStorage();
}

template <class T>
void SharableSV<T>::initStorage() {
  head = nullptr;
  representative = this;
  value = Allocate<T>();
  T* cell = value;
  registerPointer(&value, this);
  VELMOR_ASSERT_MSG(head->getOwner() != nullptr, "NextElement->getOwner()", "SharableSV");
  VELMOR_ASSERT(value == cell, "SharableSV");
}

template <class T>
SharableSV<T>::~SharableSV() {
  if (stored) delete value;
  SVPointerNode<T>* node = head;
  while (node != nullptr) {
    SVPointerNode<T>* next = node->getNext();
    delete node;
    node = next;
  }
  head = nullptr;
}

template <class T>
void SharableSV<T>::printState(std::ostream* out) {
  *out << name << " = " << +*value << std::endl;
}

template <class T>
SharableSV<T>* SharableSV<T>::findRepresentative() {
  SharableSV<T>* rep = this;
  while (rep->representative != rep) rep = rep->representative;
  return rep;
}

template <class T>
void SharableSV<T>::registerPointer(T** target, BaseStateVariableClass* owner) {
  SharableSV<T>* rep = findRepresentative();
  SVPointerNode<T>* node = Allocate<SVPointerNode<T>>(target, owner);
  *target = rep->value;
  node->setNext(rep->head);
  rep->head = node;
  rep->sharingCount++;
}

template <class T>
void SharableSV<T>::share(BaseStateVariableClass* other) {
  SharableSV<T>* otherSV = dynamic_cast<SharableSV<T>*>(other);
  VELMOR_ASSERT(otherSV, "SharableSV");
  ShareWith(otherSV);
}

template <class T>
void SharableSV<T>::mergeActionLists(SharableSV<T>* a, SharableSV<T>* b) {
  VELMOR_ASSERT_MSG(a->SVAffectingActions != nullptr, "SVAffectingActions", "SharableSV");
  VELMOR_ASSERT_MSG(a->SVEnabledActions != nullptr, "SVEnabledActions", "SharableSV");
  a->SVAffectingActions->append(b->SVAffectingActions);
  a->SVEnabledActions->append(b->SVEnabledActions);
  delete b->SVAffectingActions;
  delete b->SVEnabledActions;
  b->SVAffectingActions = a->SVAffectingActions;
  b->SVEnabledActions = a->SVEnabledActions;
  for (SVPointerNode<T>* n = b->head; n != nullptr; n = n->getNext()) {
    if (n->getOwner() == nullptr) continue;
    n->getOwner()->setAffectingActions(a->SVAffectingActions);
    n->getOwner()->setEnabledActions(a->SVEnabledActions);
  }
}

template <class T>
void SharableSV<T>::joinClass(SharableSV<T>* a, SharableSV<T>* b) {
  VELMOR_ASSERT_MSG(b->head != nullptr, "TheOtherPointer->getHead()", "SharableSV");
  // 1. One storage cell: a's.
  delete b->value;
  b->representative = a;
  b->value = a->value;
  for (SVPointerNode<T>* n = b->head; n != nullptr; n = n->getNext()) {
    *n->getTarget() = a->value;
  }
  // 2. b is a member now.
  b->shared = true;
  b->stored = false;
  // 3. One pair of action lists: a's.
  mergeActionLists(a, b);
  // 4. b's registrations move in front of a's.
  SVPointerNode<T>* tail = b->head;
  while (tail->getNext() != nullptr) tail = tail->getNext();
  tail->setNext(a->head);
  a->head = b->head;
  a->sharingCount += b->sharingCount;
  b->head = nullptr;
}

// Which class joins which, by the stored flags of self and other:
//   yes/yes: self takes other's value, then other's class joins self;
//   no/yes:  other's class joins self's representative;
//   yes/no:  self's class joins other's representative;
//   no/no:   the class with the smaller count joins the other one.
// Variables already in one class are left as they are.
template <class T>
void SharableSV<T>::ShareWith(SharableSV<T>* other) {
  SharableSV<T>* selfRep = findRepresentative();
  SharableSV<T>* otherRep = other->findRepresentative();
  if (selfRep == otherRep) return;  // already one variable
  if (stored && other->stored) {
    shared = true;
    *value = *other->value;
    joinClass(this, other);
  } else if (!stored && other->stored) {
    joinClass(selfRep, other);
  } else if (stored && !other->stored) {
    joinClass(otherRep, this);
  } else if (otherRep->sharingCount < sharingCount) {
    joinClass(selfRep, otherRep);
  } else {
    joinClass(otherRep, selfRep);
  }
  replaceInActions(other, findRepresentative());
}

// The actions of `list` from the first one `mark` has not seen yet. Actions
// already seen no longer list `other` (nothing has listed it again since, or
// the mark would have been forgotten), so replacing in them again would
// change nothing: skipping them keeps sharing a class of n members linear.
template <class T>
template <class Replace>
void SharableSV<T>::replaceFromMark(ReplacementMark* mark, List<BaseActionClass>* list,
                                    Replace replace) {
  const bool unchanged = mark->list == list && mark->version == list->getVersion() &&
                         mark->done <= list->getNumItems();
  for (int i = unchanged ? mark->done : 0; i < list->getNumItems(); i++) replace(list->getItem(i));
  mark->list = list;
  mark->version = list->getVersion();
  mark->done = list->getNumItems();
}

template <class T>
void SharableSV<T>::replaceInActions(SharableSV<T>* other, SharableSV<T>* newSV) {
  if (other == newSV) return;
  newSV->ForgetReplacements();  // actions are about to list it
  replaceFromMark(
      &other->affectingReplaced, other->SVAffectingActions,
      [other, newSV](BaseActionClass* a) { a->getAffectedSVs()->replaceItem(other, newSV); });
  replaceFromMark(
      &other->enabledReplaced, other->SVEnabledActions,
      [other, newSV](BaseActionClass* a) { a->getEnablingSVs()->replaceItem(other, newSV); });
}

template <class T>
void SharableSV<T>::appendAffectingAction(BaseActionClass* action) {
  if (representative != this || head == nullptr) return;
  for (SVPointerNode<T>* n = head; n != nullptr; n = n->getNext()) {
    if (n->getOwner() != nullptr) {
      n->getOwner()->getAffectingActions()->append(action);
    }
  }
}

#endif  // VELMOR_FRAMEWORK_STATE_SHARABLESVIMPL_H

// SharableSV<T>: a scalar state variable whose storage cell can be shared
// with other variables when models are composed. Simulation thread only.
// The system instantiates SharableSV<short> (the base of Place); other
// instances are available to generated structures.
#ifndef VELMOR_FRAMEWORK_STATE_SHARABLESV_H
#define VELMOR_FRAMEWORK_STATE_SHARABLESV_H

#include <cstring>
#include <iostream>
#include <new>

#include "base/Assert.h"
#include "base/ErrorReports.h"
#include "framework/BaseActionClass.h"
#include "framework/state/BaseStateVariableClass.h"

// One registered pointer: the address of a pointer variable that must
// always point at the current storage cell of a sharing class.
template <class T>
class SVPointerNode {
 public:
  SVPointerNode(T** target, BaseStateVariableClass* owner)
      : target_(target), owner_(owner), next_(nullptr) {}
  T** getTarget() const { return target_; }
  // The variable whose own value pointer this is; null for other pointers
  // (a place's mark pointer, an activity's cached pointer).
  BaseStateVariableClass* getOwner() const { return owner_; }
  SVPointerNode* getNext() const { return next_; }
  void setNext(SVPointerNode* next) { next_ = next; }

 private:
  T** target_;
  BaseStateVariableClass* owner_;
  SVPointerNode* next_;
};

// A scalar variable of type T held in one heap cell.
// Owns the cell, the two action lists and the pointer-list nodes while it
// is the representative (stored) of its sharing class.
// Invariants:
//  - every pointer registered in the class (value pointers, mark pointers,
//    activity caches) points at the representative's cell;
//  - following `representative` from any member reaches, in finitely many
//    steps, the one stored member (the representative proper);
//  - the pointer lists of non-representatives are empty; a member keeps
//    the sharing count it had when its class was joined (the both-members
//    case of ShareWith compares against it).
template <class T>
class SharableSV : public BaseStateVariableClass {
 public:
  SharableSV();
  SharableSV(const char* name, const char* prefix);
  ~SharableSV() override;

  int StateSize() override { return static_cast<int>(sizeof(T)); }
  void SetState(void* src) override { std::memcpy(value, src, sizeof(T)); }
  void CurrentState(void* dst) override { std::memcpy(dst, value, sizeof(T)); }
  void printState(std::ostream* out) override;
  using BaseStateVariableClass::printState;
  void printStateVal(std::ostream* out) override { *out << +*value; }
  // REQUIRES: other is a SharableSV<T> (assertion "otherSV").
  void share(BaseStateVariableClass* other) override;
  void appendAffectingAction(BaseActionClass* action) override;

  // Makes this variable and `other` (and their sharing classes) one
  // variable; see the table in SharableSV.cpp's notes.
  void ShareWith(SharableSV<T>* other);

  // Registers a pointer that must follow the storage cell of the class;
  // sets *target to the current cell. Registration on a member goes to the
  // representative of its class. Adds 1 to the sharing count.
  void registerPointer(T** target, BaseStateVariableClass* owner = nullptr);

  SVPointerNode<T>* getHead() const { return head; }
  T* getValuePointer() const { return value; }
  T getValue() const { return *value; }
  void setValue(T v) { *value = v; }
  SharableSV<T>* getRepresentative() const { return representative; }
  // The stored member of this variable's sharing class.
  SharableSV<T>* findRepresentative();

 protected:
  T* value;                       // the storage cell of the class
  SVPointerNode<T>* head;         // registered pointers (representative only)
  SharableSV<T>* representative;  // member through which this one joined

 private:
  void initStorage();
  // Joins class b (whose representative is `b`) into class a (`a`).
  static void joinClass(SharableSV<T>* a, SharableSV<T>* b);
  static void mergeActionLists(SharableSV<T>* a, SharableSV<T>* b);
  void replaceInActions(SharableSV<T>* other, SharableSV<T>* newSV);
  template <class Replace>
  static void replaceFromMark(ReplacementMark* mark, List<BaseActionClass>* list, Replace replace);
};

#include "framework/state/SharableSVImpl.h"

extern template class SharableSV<short>;

#endif  // VELMOR_FRAMEWORK_STATE_SHARABLESV_H

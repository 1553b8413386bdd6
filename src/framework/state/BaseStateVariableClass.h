// BaseStateVariableClass: the root of every piece of model state (name,
// sharing flags, the actions that change it and that read it).
// Not thread-safe: built and used on the simulation thread.
#ifndef VELMOR_FRAMEWORK_STATE_BASESTATEVARIABLECLASS_H
#define VELMOR_FRAMEWORK_STATE_BASESTATEVARIABLECLASS_H

#include <ostream>

#include "base/List.h"

class BaseActionClass;

// One named state variable and its two action lists: the affecting actions
// (whose firing changes it) and the enabled actions (whose enabling reads
// it). Owns its name and prefix; owns the two lists only while it is
// stored (the representative of its sharing class). Does not own the
// actions in the lists.
// Invariants:
//  - stored is true exactly for the representative of a sharing class;
//  - every member of a sharing class points at the representative's lists.
class BaseStateVariableClass {
 public:
  BaseStateVariableClass();
  BaseStateVariableClass(const char* name, const char* prefix);
  BaseStateVariableClass(const BaseStateVariableClass&) = delete;  // owns lists
  BaseStateVariableClass& operator=(const BaseStateVariableClass&) = delete;
  virtual ~BaseStateVariableClass();

  // Snapshot of the value in native, packed layout.
  virtual int StateSize() = 0;
  virtual void SetState(void* src) = 0;
  virtual void CurrentState(void* dst) = 0;

  virtual void printState(std::ostream* out);     // base: writes nothing
  virtual void printState();                      // printState on std::cout
  virtual void printStateVal(std::ostream* out);  // base: writes nothing

  // Makes this variable and `other` one variable (see SharableSV).
  virtual void share(BaseStateVariableClass* other) = 0;

  virtual void appendAffectingAction(BaseActionClass* action);
  virtual void removeAffectingAction(BaseActionClass* action);
  virtual void replaceAffectingAction(BaseActionClass* oldAction, BaseActionClass* newAction);
  virtual void addSelfAsEnablingSVToAction(BaseActionClass* action);
  virtual void addSelfAsAffectedSVToAction(BaseActionClass* action);
  virtual void removeSelfFromEnablingSVOfAction(BaseActionClass* action);
  virtual void removeSelfFromAffectedSVOfAction(BaseActionClass* action);
  // A new list of the scalar leaves (this variable for a scalar); the
  // caller owns the list (not its items).
  virtual List<BaseStateVariableClass>* getLeafNodes();
  virtual int getNumLeafNodes();
  virtual bool isLeafNode();
  virtual void appendEnabledAction(BaseActionClass* action);
  virtual void removeEnabledAction(BaseActionClass* action);
  virtual void replaceEnabledAction(BaseActionClass* oldAction, BaseActionClass* newAction);

  void SetName(const char* name);
  void SetPrefix(const char* prefix);
  const char* getName() const { return name; }
  const char* getPrefix() const { return prefix; }

  bool getShared() const { return shared; }
  void setShared(bool value) { shared = value; }
  bool getStored() const { return stored; }
  void setStored(bool value) { stored = value; }
  bool getFunctionallyShared() const { return functionallyShared; }
  void setFunctionallyShared(bool value) { functionallyShared = value; }
  int getSharingCount() const { return sharingCount; }

  List<BaseActionClass>* getAffectingActions() const { return SVAffectingActions; }
  List<BaseActionClass>* getEnabledActions() const { return SVEnabledActions; }
  // Replace the list pointers without freeing the previous lists.
  void setAffectingActions(List<BaseActionClass>* list) { SVAffectingActions = list; }
  void setEnabledActions(List<BaseActionClass>* list) { SVEnabledActions = list; }
  void copyAffectingActions(List<BaseActionClass>* list);
  void copyEnabledActions(List<BaseActionClass>* list);

  int getNumAffectingActions() const { return SVAffectingActions->getNumItems(); }
  int getNumEnabledActions() const { return SVEnabledActions->getNumItems(); }
  // REQUIRES: index >= 0. An index at or beyond the count prints an error
  // line and yields null.
  BaseActionClass* getAffectingAction(int index) const;
  BaseActionClass* getEnabledAction(int index) const;

  void printAffectingActions();
  void printEnabledActions();

  // How far the actions of one action list have been rid of this variable
  // (sharing replaces it by its representative in them): the first `done`
  // actions of `list`, as it was at `version`, no longer list it.
  struct ReplacementMark {
    const List<BaseActionClass>* list = nullptr;
    unsigned version = 0;
    int done = 0;
  };
  // Called whenever an action may list this variable again.
  void ForgetReplacements() {
    affectingReplaced = ReplacementMark();
    enabledReplaced = ReplacementMark();
  }

 protected:
  char* name;    // owned
  char* prefix;  // owned
  bool shared;   // takes part in some sharing
  bool stored;   // representative: owns storage and action lists
  bool functionallyShared;
  int sharingCount;  // pointers registered in this variable's pointer list
  List<BaseActionClass>* SVAffectingActions;
  List<BaseActionClass>* SVEnabledActions;
  ReplacementMark affectingReplaced;  // over the affecting list
  ReplacementMark enabledReplaced;    // over the enabled list
};

// Copies `text` into a new heap string (delete[]). On exhaustion writes
// "Not Enough Memory" and ends the process (status 1).
char* CopyStateVariableName(const char* text);

#endif  // VELMOR_FRAMEWORK_STATE_BASESTATEVARIABLECLASS_H

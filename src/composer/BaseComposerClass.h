// BaseComposerClass: the inner node of a composed model: its children, their
// gathered action and group tables and the bookkeeping of shared variables.
// Not thread-safe; built before simulation, read during it.
#ifndef VELMOR_COMPOSER_BASECOMPOSERCLASS_H
#define VELMOR_COMPOSER_BASECOMPOSERCLASS_H

#include <ostream>

#include "base/List.h"
#include "composer/SharedStateVarLink.h"
#include "framework/BaseModelClass.h"
#include "framework/PreselectGroup.h"

class BaseStateVariableClass;

// Base of Join and Rep. Gathers the children's actions and groups into one
// table (group ids renumbered to table positions), declares the composer's
// shared variables by name and records, per shared variable, the child
// variables it stands for (sharing list) and the chain of equivalent
// variables down to the leaves (equivalence list).
// Owns: the children array (not the children: the derived class creates and
// destroys them), the shared-pointer array (not the places), the shared
// names, the sharing lists, the equivalence lists (each link), the action
// and group tables (not the actions and groups) and the embedded group.
// Invariants: AddedSharedPtrs <= numSharedStateVariables; shared pointer i
// was registered under SharedStateNames[i]; an equivalence list holds its
// own links only (chains found below are copied, never spliced).
class BaseComposerClass : public BaseModelClass {
 public:
  // Copies name and each of the numShared names. numShared is taken as 0
  // when numChildren < 1.
  BaseComposerClass(const char* modelName, int numChildren, int numShared, char** sharedNames);
  BaseComposerClass(const BaseComposerClass&) = delete;  // owns raw arrays
  BaseComposerClass& operator=(const BaseComposerClass&) = delete;
  ~BaseComposerClass() override;

  // Gathers the children's actions and groups; a group's id becomes its
  // position in the composed group table.
  // REQUIRES: every child is set (SetChild) and complete.
  void SetupActions();
  // True when no child has a state variable (also without children).
  bool AllChildrenEmpty();
  // Registers var as the composer's variable for the next declared name.
  // REQUIRES: fewer than numSharedStateVariables registered so far, and
  // name equals the next declared name.
  void addSharedPtr(BaseStateVariableClass* var, const char* varName);
  // Records childVar (owned by childModel, which may be null) as equivalent
  // to the composer's shared variable sharedVar.
  // REQUIRES: sharedVar was registered with addSharedPtr.
  void addSharingInfo(BaseStateVariableClass* childVar, BaseStateVariableClass* sharedVar,
                      BaseModelClass* childModel);
  // Computes the number of state variables and records StateSize().
  void GeneralSetup();
  // RefreshStateLayout on every child, in order (GeneralSetup starts with it).
  void RefreshChildLayouts();
  // Bytes of the shared state: StateSize() of each shared variable that
  // still owns its storage.
  int SharedStateSize();
  // Writes / reads the shared state (declaration order, stored variables
  // only) at the given address.
  void CurrentSharedState(void* location);
  void SetSharedState(void* location);
  // h = h * 32 + c over the text (unsigned 32-bit, c a signed char), mod size.
  // Returns 0 for an empty text or a size below 1.
  static int Hash(const char* text, int size);

  // REQUIRES: 0 <= i < GetNumberOfChildren().
  void SetChild(int i, BaseModelClass* child);

  void listModels(const char* modelName, List<BaseModelClass>* models) override;
  void listActions(List<BaseActionClass>* list) override;
  void listGroups(List<BaseGroupClass>* list) override;
  bool CompareState(void* a, void* b) override;
  void listActions(const char* actionName, List<BaseActionClass>* list) override;
  void listSVs(const char* first, const char* second, List<BaseStateVariableClass>* vars,
               List<BaseModelClass>* models) override;
  void printState(std::ostream* stream) override;
  using BaseModelClass::printState;
  BaseStateVariableClass** GetSharedStateVariables() override;
  BaseStateVariableClass* getMainSharedVariable(BaseStateVariableClass* var) override;
  // The head of the equivalence list of var when it is one of this
  // composer's shared variables, else the first answer of the children,
  // else null.
  SharedStateVarLink* getListOfSharedVariables(BaseStateVariableClass* var) override;
  void printAllSharedVariables();

  int getAddedSharedPtrs() const { return AddedSharedPtrs; }
  // The child variables registered for shared variable i, in order.
  // REQUIRES: 0 <= i < getNumSharedStateVariables().
  List<BaseStateVariableClass>* getSharingList(int i) { return SharingLists[i]; }
  // REQUIRES: 0 <= i < getNumSharedStateVariables().
  const char* getSharedStateName(int i) const { return SharedStateNames[i]; }

 protected:
  BaseModelClass** Children;  // NumChildren slots, children not owned
  int NumChildren;
  BaseStateVariableClass** SharedPtrs;          // one per shared name, not owned
  SharedStateVarLink** EquivalenceLists;        // heads, null until the first addSharingInfo
  List<BaseStateVariableClass>** SharingLists;  // one per shared name
  char** SharedStateNames;                      // owned copies
  int DeclaredShared;                           // shared names held, for destruction
  int AddedSharedPtrs;
  int ComposerStateSize;         // StateSize() at GeneralSetup
  PreselectGroup ComposerGroup;  // constructed with the composer; unused

 private:
  int FindSharedPtr(BaseStateVariableClass* var, bool last) const;
  // Appends chain to equivalence list i through its cached tail.
  void AppendEquivalents(int i, SharedStateVarLink* chain);
  // The indices of the children that are composers (only they can answer
  // getListOfSharedVariables), found once after the children are set.
  void FindComposerChildren();

  SharedStateVarLink** EquivalenceTails;  // last link of each list, null when empty
  int* ComposerChildren;                  // owned; NumComposerChildren entries
  int NumComposerChildren;                // -1 until found
};

#endif  // VELMOR_COMPOSER_BASECOMPOSERCLASS_H

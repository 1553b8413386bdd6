// BaseModelClass: the root of every model node (SAN models, composers, the
// reward model): identity, action and group tables, the listing and state
// interface. Not thread-safe; the model-id counter and LastActionTime are
// process-wide.
#ifndef VELMOR_FRAMEWORK_BASEMODELCLASS_H
#define VELMOR_FRAMEWORK_BASEMODELCLASS_H

#include <forward_list>
#include <ostream>

#include "base/List.h"

class BaseActionClass;
class BaseGroupClass;
class BaseStateVariableClass;
class SharedStateVarLink;  // defined by the composers
class State;

// The list that GetLocalActions/GetGlobalActions fill (push at front).
using slist = std::forward_list<BaseActionClass*>;

// Owns its name and the two table arrays (groups, actions), not the
// objects in them. Operations marked "trap" are fatal assertions here and
// must be overridden by every model that can be asked.
// Invariant: modelId is unique in the process (1, 2, ... in order).
class BaseModelClass {
 public:
  static double LastActionTime;  // time of the last firing (reward model)
  static int globalModelId;      // ids handed out so far

  BaseModelClass();
  BaseModelClass(const BaseModelClass&) = delete;  // owns arrays
  BaseModelClass& operator=(const BaseModelClass&) = delete;
  virtual ~BaseModelClass();

  virtual int getNumStateVariables() { return numStateVariables; }
  virtual void listModels(const char* name, List<BaseModelClass>* list) = 0;
  virtual void CurrentState(void* buffer) = 0;
  virtual void listActions(List<BaseActionClass>* list) = 0;
  virtual void listGroups(List<BaseGroupClass>* list) = 0;
  virtual void SetState(void* buffer) = 0;
  virtual int StateSize() = 0;
  virtual bool CompareState(void* a, void* b) = 0;
  virtual void listActions(const char* name, List<BaseActionClass>* list) = 0;
  virtual void listSVs(const char* model, const char* sv, List<BaseStateVariableClass>* svs,
                       List<BaseModelClass>* models) = 0;
  virtual void printState(std::ostream* out);  // base: writes nothing
  virtual void printState();                   // printState on std::cout
  virtual BaseStateVariableClass** GetLocalStateVariables(std::ostream* out);
  virtual BaseStateVariableClass** GetSharedStateVariables();
  virtual BaseStateVariableClass* getMainSharedVariable(BaseStateVariableClass* sv);
  // The head of a composer's equivalence list, or null.
  virtual SharedStateVarLink* getListOfSharedVariables(BaseStateVariableClass* sv);
  virtual void AddAffectArc(BaseStateVariableClass* sv, BaseActionClass* a);
  virtual void AddEnableArc(BaseStateVariableClass* sv, BaseActionClass* a);
  virtual int GetModelType();                       // trap
  virtual int GetNumberOfChildren();                // trap
  virtual BaseModelClass* GetChild(int i);          // trap
  virtual void GetLocalActions(slist& list);        // trap
  virtual void GetGlobalActions(slist& list);       // trap
  virtual bool HasLocalState();                     // trap
  virtual void GetLocalState(State* state);         // trap
  virtual void SetLocalState(const State* state);   // trap
  virtual void ConstructLocalState(State*& state);  // trap
  virtual void DestructLocalState(State* state);    // trap
  // A composer above may share a place that lies below this model's direct
  // children after this model's own setup, shrinking a descendant's state:
  // composers then bring the state sizes they recorded up to date (or end
  // the process when the sharing leaves their layout impossible). Models
  // that record no sizes do nothing.
  virtual void RefreshStateLayout() {}

  void DefineName(const char* newName);
  void SetParentId(int id) { parentId = id; }
  const char* getName() const { return name; }
  int getModelId() const { return modelId; }
  int getParentId() const { return parentId; }
  int getNumActions() const { return numActions; }
  int getNumGroups() const { return numGroups; }
  BaseActionClass** getActions() const { return actions; }
  BaseGroupClass** getGroups() const { return groups; }
  int getNumSharedStateVariables() const { return numSharedStateVariables; }

  // Fields filled by derived models (SAN, composers, reward model).
  int numStateVariables;
  int numSharedStateVariables;
  int numActions;
  int numGroups;
  BaseGroupClass** groups;  // owned array (new[]), objects not owned
  char* name;               // owned (new[])
  int modelId;
  int parentId;
  BaseActionClass** actions;  // owned array (new[]), objects not owned
};

#endif  // VELMOR_FRAMEWORK_BASEMODELCLASS_H

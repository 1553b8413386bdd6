// Join: the composer that holds different submodels side by side.
// Not thread-safe; built before simulation.
#ifndef VELMOR_COMPOSER_JOIN_H
#define VELMOR_COMPOSER_JOIN_H

#include "composer/BaseComposerClass.h"
#include "composer/ComposerLocalState.h"

// A composer over different children. Its state is each child's state in
// child order, then its shared state. It also counts, per distinct action
// name of the composed table, the actions bearing that name (an open
// addressing table with quadratic probing).
// Owns the action-name table (pointing at the actions' own names), the
// count table and the child state sizes; children as BaseComposerClass.
// Invariants after Setup: the name table has 4 * D slots for D distinct
// action names; the child sizes are the children's StateSize() at Setup.
class Join : public BaseComposerClass {
 public:
  // The snapshot of the join's shared state.
  class LocalState : public ComposerLocalState {
   public:
    explicit LocalState(Join* join) : ComposerLocalState(join, "Join") {}
    using ComposerLocalState::operator=;
  };

  Join(const char* modelName, int numChildren, int numShared, char** sharedNames);
  ~Join() override;

  // Completes the join; the generated constructor calls it last.
  // REQUIRES: children set, SetupActions done, sharing declared.
  void Setup();
  void HashActions();

  int GetModelType() override { return 2; }
  int GetNumberOfChildren() override { return NumChildren; }
  BaseModelClass* GetChild(int i) override;
  void GetLocalActions(slist& list) override;   // must not be called
  void GetGlobalActions(slist& list) override;  // must not be called
  int StateSize() override;
  void CurrentState(void* location) override;
  void SetState(void* location) override;
  bool HasLocalState() override { return SharedStateSize() > 0; }
  void ConstructLocalState(State*& state) override;
  void DestructLocalState(State* state) override;
  void GetLocalState(State* state) override;
  void SetLocalState(const State* state) override;

  int getActionNameTableSize() const { return ActionNameTableSize; }
  // Slot i of the name table (null when empty) and its count.
  const char* getActionNameEntry(int i) const { return ActionNames[i]; }
  int getActionNameCount(int i) const { return ActionNameCounts[i]; }
  // How many actions of the composed table bear name (0 if none).
  int NumActionsNamed(const char* actionName) const;
  int getChildStateSize(int i) const { return ChildStateSizes[i]; }
  // Records the children's live sizes again (after their own refresh).
  void RefreshStateLayout() override;

 private:
  // Probe number k (0, 1, 2, ...) from home slot h: h, h+1, h-1, h+4, h-4...
  int ProbeSlot(int h, int k) const;
  void RecordChildStateSizes();

  const char** ActionNames;  // 4 * D entries, null when empty
  int* ActionNameCounts;     // parallel to ActionNames
  int* ChildStateSizes;      // one per child
  int ActionNameTableSize;   // 4 * D
};

#endif  // VELMOR_COMPOSER_JOIN_H

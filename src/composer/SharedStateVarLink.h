// SharedStateVarLink: one node of a composer's equivalence list, the chain of
// child state variables that one shared variable stands for.
// Not thread-safe; built while models are composed.
#ifndef VELMOR_COMPOSER_SHAREDSTATEVARLINK_H
#define VELMOR_COMPOSER_SHAREDSTATEVARLINK_H

class BaseStateVariableClass;
class BaseModelClass;

// A singly linked chain of (variable, owning model). A link points at its
// variable and model without owning them; the chain's owner (a composer)
// frees it with clearStateVarList.
// Invariant: the chain ends in a null next pointer (no cycles).
class SharedStateVarLink {
 public:
  SharedStateVarLink();
  explicit SharedStateVarLink(BaseStateVariableClass* var);
  SharedStateVarLink(BaseStateVariableClass* var, BaseModelClass* model);
  SharedStateVarLink(const SharedStateVarLink&) = delete;  // links are chained by address
  SharedStateVarLink& operator=(const SharedStateVarLink&) = delete;

  // True when var is held by this link or any link after it.
  bool hasStateVar(BaseStateVariableClass* var) const;
  // Appends link (and whatever follows it) at the end of this chain.
  // REQUIRES: link is not already part of this chain.
  void addStateVarLink(SharedStateVarLink* link);
  // Deletes link and every link after it; null is accepted.
  static void clearStateVarList(SharedStateVarLink* link);
  // A new chain holding the same (variable, model) pairs in the same order.
  static SharedStateVarLink* copyStateVarList(const SharedStateVarLink* link);
  // Writes one line per link of the chain to standard output.
  void printAllStateVariables() const;

  BaseStateVariableClass* getStateVar() const { return stateVar; }
  BaseModelClass* getModel() const { return model; }
  SharedStateVarLink* getNext() const { return next; }

 private:
  BaseStateVariableClass* stateVar;
  BaseModelClass* model;  // the model owning stateVar; may be null
  SharedStateVarLink* next;
};

#endif  // VELMOR_COMPOSER_SHAREDSTATEVARLINK_H

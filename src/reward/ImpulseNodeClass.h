// ImpulseNodeClass: an impulse reward, earned when a given action fires,
// for one reward variable and one combination of submodel instances.
// Not thread-safe.
#ifndef VELMOR_REWARD_IMPULSENODECLASS_H
#define VELMOR_REWARD_IMPULSENODECLASS_H

#include "base/Assert.h"
#include "framework/BaseModelClass.h"

// Root of the concrete impulse classes. One object serves as the prototype
// handed to PerformanceVariableNode::AddImpulse; the node asks it
// (CreateImpulseWorkers) for the impulse workers it wires to the model.
// Model slots work as in PerformanceVariableWorker (BindModelSlot).
// Owns its name (CopyOwnedString / ReleaseOwnedString) and its slot bindings, not the models.
// Invariants: WorkerIndex, ImpulseIndex and VariableId are -1 until named.
class ImpulseNodeClass {
 public:
  explicit ImpulseNodeClass(int numModelSlots = 0);
  ImpulseNodeClass(const ImpulseNodeClass&) = delete;  // owns arrays
  ImpulseNodeClass& operator=(const ImpulseNodeClass&) = delete;
  virtual ~ImpulseNodeClass();

  // End-of-run step, given the end time of the run.
  virtual void EndAccumulate(double end) = 0;
  // The impulse reward earned by one firing (the machinery never calls it;
  // concrete classes use it from their own steps).
  virtual double Impulse_Function() = 0;
  // Step when the impulse's action has fired: now, time of the last change.
  virtual void Accumulate(double now, double lastChange) = 0;
  // Evaluation without time.
  virtual void CurrentImpulse() = 0;
  // Per-worker reset between observations (usually calls Reset()).
  virtual void ResetImpulse() = 0;
  // A new array of n new impulse workers of the concrete class; the caller
  // owns the array and the objects.
  virtual ImpulseNodeClass** CreateImpulseWorkers(int n) = 0;

  // Value and SquaredValue back to 0.
  void Reset();
  // Copies name (CopyOwnedString), stores the impulse index and the worker index.
  void DefineName(const char* name, int impulseIndex, int workerIndex);
  static double min(double a, double b) { return a < b ? a : b; }
  static double max(double a, double b) { return a > b ? a : b; }

  // REQUIRES: 0 <= slot < GetNumModelSlots(); typedPointer outlives this.
  template <class ModelT>
  void BindModelSlot(int slot, ModelT** typedPointer);
  // REQUIRES: model is null or of the bound type.
  void SetModelSlot(int slot, BaseModelClass* model);
  int GetNumModelSlots() const { return NumModelSlots; }

  BaseModelClass* ActionModel = nullptr;  // instance holding the action
  char* Name = nullptr;
  int WorkerIndex = -1;
  int ImpulseIndex = -1;
  int NumModelDependencies = 0;  // a prototype's declared model dependencies
  int VariableId = -1;
  double Value = 0.0;
  double SquaredValue = 0.0;
  double StartTime = 0.0;
  double StopTime = 0.0;

 private:
  using SlotSetter = bool (*)(void* typedPointer, BaseModelClass* model);
  template <class ModelT>
  static bool StoreTyped(void* typedPointer, BaseModelClass* model);

  void** SlotTargets = nullptr;
  SlotSetter* SlotSetters = nullptr;
  int NumModelSlots = 0;
};

template <class ModelT>
bool ImpulseNodeClass::StoreTyped(void* typedPointer, BaseModelClass* model) {
  ModelT* typed = dynamic_cast<ModelT*>(model);
  *static_cast<ModelT**>(typedPointer) = typed;
  return typed != nullptr || model == nullptr;
}

template <class ModelT>
void ImpulseNodeClass::BindModelSlot(int slot, ModelT** typedPointer) {
  VELMOR_ASSERT(slot >= 0 && slot < NumModelSlots, "ImpulseNodeClass");
  SlotTargets[slot] = typedPointer;
  SlotSetters[slot] = &StoreTyped<ModelT>;
}

#endif  // VELMOR_REWARD_IMPULSENODECLASS_H

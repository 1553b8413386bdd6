// PerformanceVariableWorker: evaluates one reward variable's reward function
// over one combination of submodel instances. Not thread-safe.
#ifndef VELMOR_REWARD_PERFORMANCEVARIABLEWORKER_H
#define VELMOR_REWARD_PERFORMANCEVARIABLEWORKER_H

#include "base/Assert.h"
#include "framework/BaseModelClass.h"

// Root of the worker classes. A generated worker holds typed pointers to its
// submodel instances and binds each one to a model slot in its constructor
// (BindModelSlot), so that the reward model can fill them in by slot number
// without knowing their types.
// Owns its name and its slot bindings, not the models.
// Invariants: WorkerIndex and VariableId are -1 until the node names the
// worker; Value/SquaredValue hold the last evaluation.
class PerformanceVariableWorker {
 public:
  // numModelSlots: how many typed model pointers the derived worker binds.
  explicit PerformanceVariableWorker(int numModelSlots = 0);
  PerformanceVariableWorker(const PerformanceVariableWorker&) = delete;  // owns arrays
  PerformanceVariableWorker& operator=(const PerformanceVariableWorker&) = delete;
  virtual ~PerformanceVariableWorker();

  // The reward function over the worker's submodel instances.
  virtual double Reward_Function() = 0;
  // One accumulation step: now, time of the last change of state.
  virtual void Accumulate(double now, double lastChange) = 0;
  // Evaluation without time; the base only complains on standard error.
  virtual void CurrentReward();
  // Value and SquaredValue back to 0.
  virtual void Reset();

  // Stores a copy of name and the worker index.
  void DefineName(const char* name, int index);

  // REQUIRES: 0 <= slot < GetNumModelSlots(); typedPointer outlives the worker.
  template <class ModelT>
  void BindModelSlot(int slot, ModelT** typedPointer);
  // Stores model (of the bound type) through slot's binding; an unbound slot
  // ignores it. REQUIRES: model is null or of the bound type.
  void SetModelSlot(int slot, BaseModelClass* model);
  int GetNumModelSlots() const { return NumModelSlots; }

  char* Name = nullptr;  // owned copy of the variable's name
  int WorkerIndex = -1;
  int VariableId = -1;
  double Value = 0.0;
  double SquaredValue = 0.0;
  double Weight = 0.0;
  double StartTime = 0.0;  // the node's current window
  double StopTime = 0.0;

 private:
  using SlotSetter = bool (*)(void* typedPointer, BaseModelClass* model);
  template <class ModelT>
  static bool StoreTyped(void* typedPointer, BaseModelClass* model);

  void** SlotTargets = nullptr;       // the derived worker's typed pointers
  SlotSetter* SlotSetters = nullptr;  // how to store a model into each
  int NumModelSlots = 0;
};

template <class ModelT>
bool PerformanceVariableWorker::StoreTyped(void* typedPointer, BaseModelClass* model) {
  ModelT* typed = dynamic_cast<ModelT*>(model);
  *static_cast<ModelT**>(typedPointer) = typed;
  return typed != nullptr || model == nullptr;
}

template <class ModelT>
void PerformanceVariableWorker::BindModelSlot(int slot, ModelT** typedPointer) {
  VELMOR_ASSERT(slot >= 0 && slot < NumModelSlots, "PerformanceVariableWorker");
  SlotTargets[slot] = typedPointer;
  SlotSetters[slot] = &StoreTyped<ModelT>;
}

#endif  // VELMOR_REWARD_PERFORMANCEVARIABLEWORKER_H

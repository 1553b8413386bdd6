// State: the abstract snapshot of one model node's local state.
// Not thread-safe.
#ifndef VELMOR_FRAMEWORK_STATE_H
#define VELMOR_FRAMEWORK_STATE_H

#include <cstdint>
#include <cstdio>

class BaseModelClass;

// Interface of the per-model snapshot classes (SANModel::LocalState,
// Join::LocalState, Rep::LocalState). Holds no data of its own.
class State {
 public:
  State() = default;
  virtual std::uint32_t hash() const { return 1; }
  virtual int compare(const State& other) const;
  virtual void print() const = 0;
  // Each returns true on a failed (short or mismatched) transfer.
  virtual bool fwriteState(FILE* file) const = 0;
  virtual bool freadState(FILE* file) = 0;
  virtual State& operator=(const State& other) = 0;
  virtual ~State() = default;
  // Restores the snapshot into the model.
  virtual void SetState(BaseModelClass* model) const = 0;
  // Takes the model's current state into the snapshot.
  virtual void GetState(BaseModelClass* model) = 0;
  virtual void* GetStatePtr() const = 0;

 protected:
  State(const State&) = default;
};

#endif  // VELMOR_FRAMEWORK_STATE_H

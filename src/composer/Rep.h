// Rep: the composer that holds n interchangeable copies of one submodel and
// writes their states in a canonical order. Not thread-safe.
#ifndef VELMOR_COMPOSER_REP_H
#define VELMOR_COMPOSER_REP_H

#include "composer/BaseComposerClass.h"
#include "composer/ComposerLocalState.h"

// A composer over n replicas of one submodel. Its state is the n replica
// states sorted ascending as unsigned byte strings (so states that differ by
// a permutation of replicas are one state), then its shared state.
// Owns: the per-replica buffers, the replica index array, the swap buffer,
// the scratch and second state buffers and the slot pointers used by
// CurrentState (all allocated by Setup, so CurrentState allocates nothing).
// Invariants after Setup: every replica's StateSize() equals
// ReplicaStateSize; the scratch buffer holds StateSize() bytes.
class Rep : public BaseComposerClass {
 public:
  // The snapshot of the replicate's shared state.
  class LocalState : public ComposerLocalState {
   public:
    explicit LocalState(Rep* rep) : ComposerLocalState(rep, "Rep") {}
    using ComposerLocalState::operator=;
  };

  // A negative numReps writes "Number of reps for <name> must be >= 0." to
  // standard error and ends the process with status 1.
  Rep(const char* modelName, int numReps, int numShared, char** sharedNames);
  ~Rep() override;

  // Completes the replicate and names every replica submodelName; the
  // generated constructor calls it last.
  // REQUIRES: children set, SetupActions done, sharing declared.
  void Setup(const char* submodelName);

  int GetModelType() override { return 3; }
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

  // Sorting of the per-replica buffers (ascending, unsigned bytes over
  // `bytes`), moving the replica index array in parallel.
  // REQUIRES: Setup done; indices within 0 .. replicas - 1;
  // bytes <= the replica state size.
  void InsertionSort(unsigned last, int bytes);
  // Leaves ranges with left + 9 >= right for a final InsertionSort.
  void QuickSort(int left, int right, int bytes);
  // Orders left, middle and right and moves the median to right - 1.
  void Median3(unsigned left, unsigned right, int bytes);

  int getReplicaStateSize() const { return ReplicaStateSize; }
  // Re-sizes the replica layout when a sharing above changed the replicas'
  // size; ends the process (status 1) when the replicas no longer agree.
  void RefreshStateLayout() override;
  // REQUIRES: Setup done, 0 <= i < replicas.
  unsigned char* getReplicaBuffer(int i) { return ReplicaBuffers[i]; }
  int getReplicaIndex(int i) const { return ReplicaIndex[i]; }

 protected:
  // Kept for derived replicates; nothing in the composers reads them.
  bool Flag;                    // false at construction
  unsigned char* SecondBuffer;  // StateSize() bytes: 0xEF, then 0xFF...

 private:
  bool Less(int a, int b, int bytes) const;
  void SwapBuffers(int a, int b, int bytes);
  void SortSlots();
  void AllocateLayout();

  unsigned char* SwapBuffer;       // ReplicaStateSize bytes
  unsigned char** ReplicaBuffers;  // one per replica, its StateSize() bytes
  int* ReplicaIndex;               // one per replica, 0 .. n-1 at construction
  unsigned char* ScratchBuffer;    // StateSize() bytes, CurrentState's workspace
  unsigned char** Slots;           // one per replica, CurrentState's slot order
  int ScratchSize;                 // StateSize() at Setup
  int ReplicaStateSize;
};

#endif  // VELMOR_COMPOSER_REP_H

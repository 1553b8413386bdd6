// Rep: replica buffers, the canonical replica order of the state, and the
// sorting utilities over the per-replica buffers.
#include "composer/Rep.h"

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <new>

#include "base/Allocate.h"
#include "base/Assert.h"
#include "base/ErrorReports.h"

namespace {

// Ends the process (status 1) for a negative count, before the base
// allocates anything.
int CheckedReplicas(const char* modelName, int numReps) {
  if (numReps < 0) {
    std::cerr << "Number of reps for " << (modelName ? modelName : "") << " must be >= 0."
              << std::endl;
    std::exit(1);
  }
  return numReps;
}

unsigned char* AllocateBytes(int n, unsigned char fill) {
  unsigned char* bytes = AllocateArray<unsigned char>(n);
  std::memset(bytes, fill, n > 0 ? n : 1);
  return bytes;
}

}  // namespace

Rep::Rep(const char* modelName, int numReps, int numShared, char** sharedNames)
    : BaseComposerClass(modelName, CheckedReplicas(modelName, numReps), numShared, sharedNames),
      Flag(false),
      SecondBuffer(nullptr),
      SwapBuffer(nullptr),
      ReplicaBuffers(nullptr),
      ReplicaIndex(nullptr),
      ScratchBuffer(nullptr),
      Slots(nullptr),
      ScratchSize(0),
      ReplicaStateSize(0) {
  ReplicaIndex = AllocateArray<int>(NumChildren);
  for (int i = 0; i < NumChildren; i++) ReplicaIndex[i] = i;
}

Rep::~Rep() {
  if (ReplicaBuffers != nullptr) {
    for (int i = 0; i < NumChildren; i++) delete[] ReplicaBuffers[i];
  }
  delete[] ReplicaBuffers;
  delete[] ReplicaIndex;
  delete[] SwapBuffer;
  delete[] SecondBuffer;
  delete[] ScratchBuffer;
  delete[] Slots;
}

void Rep::Setup(const char* submodelName) {
  GeneralSetup();
  for (int i = 0; i < NumChildren; i++) Children[i]->DefineName(const_cast<char*>(submodelName));
  AllocateLayout();
}

void Rep::RefreshStateLayout() {
  if (ReplicaBuffers == nullptr) return;  // before Setup: nothing recorded
  RefreshChildLayouts();
  if (NumChildren > 0 && Children[0]->StateSize() != ReplicaStateSize) AllocateLayout();
}

// The replica layout: every replica keeps the same number of state bytes
// (a sharing above this replicate that reaches only some replicas breaks
// that, and the model cannot be built); the buffers are sized from it.
void Rep::AllocateLayout() {
  ReplicaStateSize = NumChildren > 0 ? Children[0]->StateSize() : 0;
  for (int i = 1; i < NumChildren; i++) {
    const int size = Children[i]->StateSize();
    if (size == ReplicaStateSize) continue;
    std::cerr << "ERROR: Replicate " << (getName() ? getName() : "") << ": replica " << i
              << " keeps " << size << " bytes of state and replica 0 keeps " << ReplicaStateSize
              << "; a place shared above a replicate must be shared in every replica" << std::endl;
    std::exit(1);
  }
  delete[] SwapBuffer;
  SwapBuffer = AllocateBytes(ReplicaStateSize, 0);
  if (ReplicaBuffers == nullptr) {
    ReplicaBuffers = AllocateZeroedArray<unsigned char*>(NumChildren);
    Slots = AllocateZeroedArray<unsigned char*>(NumChildren);
  }
  for (int i = 0; i < NumChildren; i++) {
    delete[] ReplicaBuffers[i];
    ReplicaBuffers[i] = AllocateBytes(Children[i]->StateSize(), 0);
  }
  ScratchSize = StateSize();
  delete[] SecondBuffer;
  delete[] ScratchBuffer;
  SecondBuffer = AllocateBytes(ScratchSize, 0xFF);
  ScratchBuffer = AllocateBytes(ScratchSize, 0xFF);
  if (ScratchSize > 0) SecondBuffer[0] = 0xEF;
}

BaseModelClass* Rep::GetChild(int i) {
  VELMOR_ASSERT_MSG(i < GetNumberOfChildren(), "i < GetNumberOfChildren()", "Rep");
  VELMOR_ASSERT(i >= 0, "Rep");
  return Children[i];
}

void Rep::GetLocalActions(slist&) { VELMOR_ASSERT_MSG(false, "false", "Rep"); }

void Rep::GetGlobalActions(slist&) { VELMOR_ASSERT_MSG(false, "false", "Rep"); }

int Rep::StateSize() {
  if (NumChildren == 0) return 0;
  return NumChildren * Children[0]->StateSize() + SharedStateSize();
}

void Rep::CurrentState(void* location) {
  if (NumChildren == 0) return;
  VELMOR_ASSERT_MSG(location != nullptr, "new_location", "Rep");
  std::memset(ScratchBuffer, 0, ScratchSize);
  for (int i = 0; i < NumChildren; i++) {
    Slots[i] = ScratchBuffer + static_cast<size_t>(i) * ReplicaStateSize;
    Children[i]->CurrentState(Slots[i]);
  }
  if (NumChildren > 1) SortSlots();
  unsigned char* out = static_cast<unsigned char*>(location);
  for (int i = 0; i < NumChildren; i++) {
    std::memcpy(out, Slots[i], ReplicaStateSize);
    out += ReplicaStateSize;
  }
  CurrentSharedState(out);
}

// Brings the slots into ascending order on the assumption that at most one
// slot is out of place: finds the first descent, picks the displaced slot
// and moves it to its place among the others.
void Rep::SortSlots() {
  const int n = NumChildren;
  const size_t bytes = static_cast<size_t>(ReplicaStateSize);
  auto greater = [bytes](const unsigned char* a, const unsigned char* b) {
    return std::memcmp(a, b, bytes) > 0;
  };
  int k = 0;
  while (k < n - 1 && !greater(Slots[k], Slots[k + 1])) k++;
  if (k == n - 1) return;
  int displaced;
  if (k == 0) {
    displaced = 0;
  } else if (k + 1 == n - 1) {
    displaced = k + 1;
  } else {
    displaced = greater(Slots[k], Slots[k + 2]) ? k : k + 1;
  }
  unsigned char* moved = Slots[displaced];
  for (int i = displaced; i < n - 1; i++) Slots[i] = Slots[i + 1];
  int target = 0;
  while (target < n - 1 && !greater(Slots[target], moved)) target++;
  for (int i = n - 1; i > target; i--) Slots[i] = Slots[i - 1];
  Slots[target] = moved;
}

void Rep::SetState(void* location) {
  unsigned char* in = static_cast<unsigned char*>(location);
  for (int i = 0; i < NumChildren; i++) {
    Children[i]->SetState(in + static_cast<size_t>(i) * ReplicaStateSize);
  }
  SetSharedState(in + static_cast<size_t>(NumChildren) * ReplicaStateSize);
}

void Rep::ConstructLocalState(State*& state) { state = Allocate<LocalState>(this); }

void Rep::DestructLocalState(State* state) { delete state; }

void Rep::GetLocalState(State* state) { state->GetState(this); }

void Rep::SetLocalState(const State* state) { const_cast<State*>(state)->SetState(this); }

bool Rep::Less(int a, int b, int bytes) const {
  return std::memcmp(ReplicaBuffers[a], ReplicaBuffers[b], static_cast<size_t>(bytes)) < 0;
}

void Rep::SwapBuffers(int a, int b, int bytes) {
  if (a == b) return;
  size_t n = static_cast<size_t>(bytes);
  std::memcpy(SwapBuffer, ReplicaBuffers[a], n);
  std::memcpy(ReplicaBuffers[a], ReplicaBuffers[b], n);
  std::memcpy(ReplicaBuffers[b], SwapBuffer, n);
  int index = ReplicaIndex[a];
  ReplicaIndex[a] = ReplicaIndex[b];
  ReplicaIndex[b] = index;
}

void Rep::InsertionSort(unsigned last, int bytes) {
  size_t n = static_cast<size_t>(bytes);
  for (unsigned i = 1; i <= last && i < static_cast<unsigned>(NumChildren); i++) {
    std::memcpy(SwapBuffer, ReplicaBuffers[i], n);
    int index = ReplicaIndex[i];
    int j = static_cast<int>(i);
    while (j > 0 && std::memcmp(ReplicaBuffers[j - 1], SwapBuffer, n) > 0) {
      std::memcpy(ReplicaBuffers[j], ReplicaBuffers[j - 1], n);
      ReplicaIndex[j] = ReplicaIndex[j - 1];
      j--;
    }
    std::memcpy(ReplicaBuffers[j], SwapBuffer, n);
    ReplicaIndex[j] = index;
  }
}

void Rep::Median3(unsigned left, unsigned right, int bytes) {
  int l = static_cast<int>(left);
  int r = static_cast<int>(right);
  int center = l + (r - l) / 2;
  if (Less(center, l, bytes)) SwapBuffers(l, center, bytes);
  if (Less(r, l, bytes)) SwapBuffers(l, r, bytes);
  if (Less(r, center, bytes)) SwapBuffers(center, r, bytes);
  SwapBuffers(center, r - 1, bytes);
}

void Rep::QuickSort(int left, int right, int bytes) {
  while (left + 9 < right) {
    Median3(static_cast<unsigned>(left), static_cast<unsigned>(right), bytes);
    const int pivot = right - 1;  // stays in place until the final swap
    int i = left;
    int j = right - 1;
    for (;;) {
      while (Less(++i, pivot, bytes)) {
      }
      while (Less(pivot, --j, bytes)) {
      }
      if (i >= j) break;
      SwapBuffers(i, j, bytes);
    }
    SwapBuffers(i, pivot, bytes);
    QuickSort(left, i - 1, bytes);
    left = i + 1;
  }
}

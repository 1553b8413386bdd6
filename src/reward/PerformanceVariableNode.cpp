// PerformanceVariableNode: construction, dependency registration, queries
// and destruction. Wiring and accumulation live in the two files
// PerformanceVariableNodeWiring.cpp and PerformanceVariableNodeAccumulation.cpp.
#include "reward/PerformanceVariableNode.h"

#include <cstdlib>
#include <cstring>
#include <iostream>

#include "base/Allocate.h"
#include "base/Assert.h"
#include "base/OwnedString.h"
#include "reward/RewardStrings.h"

int PerformanceVariableNode::the_id = 0;

namespace {

template <class T>
T* NewFilled(int n, T value) {
  T* array = AllocateArray<T>(n);
  for (int i = 0; i < n; i++) array[i] = value;
  return array;
}

bool HoldsName(char* const* names, int count, const char* name) {
  for (int i = 0; i < count; i++) {
    if (SameRewardName(names[i], name)) return true;
  }
  return false;
}

}  // namespace

PerformanceVariableNode::PerformanceVariableNode() = default;

PerformanceVariableNode::~PerformanceVariableNode() {
  DestroyWorkers();
  DestroyImpulses();
  for (int i = 0; i < NumModelDependencies; i++) ReleaseOwnedString(ModelDependencies[i]);
  delete[] ModelDependencies;
  delete[] VariableDependencies;
  delete[] AffectingActions;
  delete[] StartTimes;
  delete[] StopTimes;
  ReleaseOwnedString(Name);
}

void PerformanceVariableNode::DestroyWorkers() {
  for (int i = 0; Workers != nullptr && i < NumberOfWorkers; i++) delete Workers[i];
  delete[] Workers;
  Workers = nullptr;
  delete[] ModelGroups;
  ModelGroups = nullptr;
}

void PerformanceVariableNode::DestroyImpulses() {
  for (int i = 0; i < NumImpulses; i++) {
    for (int k = 0; ImpulseWorkers[i] != nullptr && k < NumImpulseWorkers[i]; k++) {
      delete ImpulseWorkers[i][k];
    }
    delete[] ImpulseWorkers[i];
    delete[] ImpulseModelGroups[i];
    for (int k = 0; k < NumImpulseModelDependencies[i]; k++)
      ReleaseOwnedString(ImpulseModelDependencies[i][k]);
    delete[] ImpulseModelDependencies[i];
    delete Impulses[i];
  }
  delete[] ImpulseWorkers;
  delete[] ImpulseModelGroups;
  delete[] ImpulseModelDependencies;
  delete[] ImpulseModelDependencyCapacity;
  delete[] Impulses;
  delete[] ImpulseActions;
  delete[] NumImpulseModelDependencies;
  delete[] NumImpulseWorkers;
  delete[] NumActionModelInstances;
}

void PerformanceVariableNode::Initialize(const char* name, RewardType type, int numTimePoints,
                                         const double* startTimes, const double* stopTimes,
                                         int windowIndex, int numImpulses, int numModelDependencies,
                                         int numVariableDependencies) {
  VELMOR_ASSERT(StartTimes == nullptr, "PerformanceVariableNode");
  VELMOR_ASSERT(windowIndex >= 0 && windowIndex < numTimePoints, "PerformanceVariableNode");
  Id = the_id++;
  Type = type;
  NumTimePoints = numTimePoints;
  StartTimes = AllocateArray<double>(numTimePoints);
  StopTimes = AllocateArray<double>(numTimePoints);
  for (int k = 0; k < numTimePoints; k++) {
    StartTimes[k] = startTimes[k];
    StopTimes[k] = stopTimes[k];
  }
  StartTime = StartTimes[windowIndex];
  StopTime = StopTimes[windowIndex];
  WindowLength = StopTime - StartTime;
  Name = CopyOwnedString(name);
  VariableDependencyCapacity = numVariableDependencies;
  VariableDependencies = AllocateArray<VarModelPairClass>(numVariableDependencies);
  ModelDependencyCapacity = numModelDependencies;
  ModelDependencies = NewFilled<char*>(numModelDependencies, nullptr);
  if (numImpulses == 0) return;
  ImpulseCapacity = numImpulses;
  NumImpulseModelDependencies = NewFilled(numImpulses, 0);
  ImpulseModelDependencyCapacity = NewFilled(numImpulses, 0);
  NumImpulseWorkers = NewFilled(numImpulses, 0);
  NumActionModelInstances = NewFilled(numImpulses, 0);
  Impulses = NewFilled<ImpulseNodeClass*>(numImpulses, nullptr);
  ImpulseWorkers = NewFilled<ImpulseNodeClass**>(numImpulses, nullptr);
  ImpulseActions = AllocateArray<ActionModelPairClass>(numImpulses);
  ImpulseModelDependencies = NewFilled<char**>(numImpulses, nullptr);
  ImpulseModelGroups = NewFilled<ModelGroupClass*>(numImpulses, nullptr);
}

void PerformanceVariableNode::AddVariableDependency(const char* variable, const char* model) {
  VELMOR_ASSERT(NumVariableDependencies < VariableDependencyCapacity, "PerformanceVariableNode");
  VariableDependencies[NumVariableDependencies++].SetPair(variable, model);
  AddModelDependency(model);
}

void PerformanceVariableNode::AddModelDependency(const char* model) {
  if (HoldsName(ModelDependencies, NumModelDependencies, model)) return;
  VELMOR_ASSERT(NumModelDependencies < ModelDependencyCapacity, "PerformanceVariableNode");
  ModelDependencies[NumModelDependencies++] = CopyOwnedString(model);
}

void PerformanceVariableNode::AddImpulse(const char* action, const char* model,
                                         ImpulseNodeClass* proto) {
  int impulse = GetImpulseNumber(proto);
  if (impulse < 0) {
    VELMOR_ASSERT(NumImpulses < ImpulseCapacity, "PerformanceVariableNode");
    impulse = NumImpulses++;
    Impulses[impulse] = proto;
    if (proto->NumModelDependencies > 0) {
      ImpulseModelDependencies[impulse] = NewFilled<char*>(proto->NumModelDependencies, nullptr);
      ImpulseModelDependencyCapacity[impulse] = proto->NumModelDependencies;
    }
  }
  ImpulseActions[impulse].SetPair(action, model);
  if (!IsDependentOnImpulseModel(model, impulse)) AddImpulseModelName(impulse, model);
}

void PerformanceVariableNode::AddImpulseActionDependency(const char* action, const char* model,
                                                         int impulse) {
  VELMOR_ASSERT(impulse >= 0 && impulse < NumImpulses, "PerformanceVariableNode");
  ImpulseActions[impulse].SetPair(action, model);
}

void PerformanceVariableNode::AddImpulseModelDependency(const char* model,
                                                        ImpulseNodeClass* proto) {
  int impulse = GetImpulseNumber(proto);
  if (impulse < 0) {
    std::cerr << "Model Dependency requested on undefined impulse."
              << "  Check code generator.  Error code GP0001.\n";
    std::cerr.flush();
    std::exit(1);
  }
  if (!IsDependentOnImpulseModel(model, impulse)) AddImpulseModelName(impulse, model);
}

void PerformanceVariableNode::AddImpulseModelDependency(const char* model, int impulse) {
  VELMOR_ASSERT(impulse >= 0 && impulse < NumImpulses, "PerformanceVariableNode");
  AddImpulseModelName(impulse, model);
}

// The name array grows when full: the action's own model is added on top of
// what a prototype declares.
void PerformanceVariableNode::AddImpulseModelName(int impulse, const char* model) {
  int count = NumImpulseModelDependencies[impulse];
  if (count == ImpulseModelDependencyCapacity[impulse]) {
    int capacity = count > 0 ? 2 * count : 1;
    char** grown = NewFilled<char*>(capacity, nullptr);
    for (int k = 0; k < count; k++) grown[k] = ImpulseModelDependencies[impulse][k];
    delete[] ImpulseModelDependencies[impulse];
    ImpulseModelDependencies[impulse] = grown;
    ImpulseModelDependencyCapacity[impulse] = capacity;
  }
  ImpulseModelDependencies[impulse][count] = CopyOwnedString(model);
  NumImpulseModelDependencies[impulse] = count + 1;
}

bool PerformanceVariableNode::IsDependentOnModel(const char* model) const {
  return HoldsName(ModelDependencies, NumModelDependencies, model);
}

bool PerformanceVariableNode::IsDependentOnImpulseModel(const char* model, int impulse) const {
  if (impulse < 0 || impulse >= NumImpulses) return false;
  return HoldsName(ImpulseModelDependencies[impulse], NumImpulseModelDependencies[impulse], model);
}

int PerformanceVariableNode::GetImpulseNumber(const ImpulseNodeClass* proto) const {
  for (int i = 0; i < NumImpulses; i++) {
    if (Impulses[i] == proto) return i;
  }
  return -1;
}

void PerformanceVariableNode::DefineName(const char* name) {
  char* copy = CopyOwnedString(name);
  ReleaseOwnedString(Name);
  Name = copy;
  for (int i = 0; Workers != nullptr && i < NumberOfWorkers; i++) {
    if (Workers[i] != nullptr) Workers[i]->DefineName(Name, Workers[i]->WorkerIndex);
  }
  for (int i = 0; i < NumImpulses; i++) {
    for (int k = 0; ImpulseWorkers[i] != nullptr && k < NumImpulseWorkers[i]; k++) {
      ImpulseNodeClass* worker = ImpulseWorkers[i][k];
      worker->DefineName(Name, worker->ImpulseIndex, worker->WorkerIndex);
    }
  }
}

// PerformanceVariableNode: wiring against the top model (worker counts,
// model groups, workers and impulse workers).
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <new>

#include "base/Allocate.h"
#include "base/Assert.h"
#include "base/ErrorReports.h"
#include "base/List.h"
#include "framework/BaseActionClass.h"
#include "framework/BaseModelClass.h"
#include "reward/PerformanceVariableNode.h"
#include "reward/RewardStrings.h"

namespace {

// A model dependency without any instance: the composed model cannot be
// measured. A user reaches this through an override that leaves a
// replicate without replicas, so it is an error exit (status 1).
[[noreturn]] void MissingInstances(const char* model, int count, BaseModelClass* top) {
  std::cerr << "Number of " << model << "'s was " << count << ".  Model cannot be created.\n";
  const char* topName = top != nullptr ? top->getName() : nullptr;
  if (topName != nullptr) {
    std::cerr << "Model Name was: " << topName << "\n.";
  } else {
    std::cerr << "Model Name was: NULL\n";
  }
  std::cerr.flush();
  std::exit(1);
}

void ListInstances(BaseModelClass* top, const char* model, List<BaseModelClass>* instances) {
  if (top != nullptr) top->listModels(model, instances);
}

}  // namespace

int PerformanceVariableNode::CountInstances(const char* model) const {
  List<BaseModelClass> instances;
  ListInstances(TopModel, model, &instances);
  return instances.getNumItems();
}

void PerformanceVariableNode::FixReferences(BaseModelClass* top) {
  TopModel = top;
  DestroyWorkers();
  NumberOfWorkers = NumModelDependencies > 0 ? 1 : 0;
  for (int d = 0; d < NumModelDependencies; d++) {
    NumberOfWorkers *= CountInstances(ModelDependencies[d]);
  }
  GetNumberOfImpulseWorkers();
  Workers = AllocateZeroedArray<PerformanceVariableWorker*>(NumberOfWorkers);
}

void PerformanceVariableNode::GetNumberOfImpulseWorkers() {
  for (int i = 0; i < NumImpulses; i++) {
    int count = 1;
    for (int d = 0; d < NumImpulseModelDependencies[i]; d++) {
      count *= CountInstances(ImpulseModelDependencies[i][d]);
    }
    const char* actionModel = ImpulseActions[i].GetModelName();
    NumActionModelInstances[i] = CountInstances(actionModel);
    if (!IsDependentOnImpulseModel(actionModel, i)) count *= NumActionModelInstances[i];
    NumImpulseWorkers[i] = count;
  }
}

// Worker w reads, for dependency d, the instance that enumerates all
// combinations with the first dependency varying slowest.
void PerformanceVariableNode::CreateModelGroupList() {
  WorkersByModel.clear();
  delete[] ModelGroups;
  ModelGroups = AllocateArray<ModelGroupClass>(NumberOfWorkers);
  for (int w = 0; w < NumberOfWorkers; w++) ModelGroups[w].CreateModelList(NumModelDependencies);
  int block = NumberOfWorkers;
  for (int d = 0; d < NumModelDependencies; d++) {
    List<BaseModelClass> instances;
    ListInstances(TopModel, ModelDependencies[d], &instances);
    int count = instances.getNumItems();
    if (count == 0) MissingInstances(ModelDependencies[d], count, TopModel);
    block /= count;
    int instance = -1;
    for (int w = 0; w < NumberOfWorkers; w++) {
      if (w % block == 0 && ++instance == count) instance = 0;
      ModelGroups[w].SetModel(d, instances[instance]);
    }
  }
}

void PerformanceVariableNode::FixWorkerList() {
  for (int i = 0; i < NumberOfWorkers; i++) {
    PerformanceVariableWorker* worker = Workers[i];
    VELMOR_ASSERT_MSG(worker != nullptr, "Workers[i] != nullptr", "PerformanceVariableNode");
    worker->StartTime = StartTime;
    worker->StopTime = StopTime;
    worker->DefineName(Name, i);
    worker->VariableId = Id;
    int slots = worker->GetNumModelSlots();
    for (int j = 0; j < NumModelDependencies && j < slots; j++) {
      worker->SetModelSlot(j, ModelGroups[i].GetModel(j));
    }
  }
}

namespace {

// Any fixed order of the models serves (it is only searched); within one
// model the workers ascend.
bool ByModelThenWorker(const std::pair<const BaseModelClass*, int>& a,
                       const std::pair<const BaseModelClass*, int>& b) {
  if (a.first != b.first) return std::less<const BaseModelClass*>()(a.first, b.first);
  return a.second < b.second;
}

}  // namespace

void PerformanceVariableNode::AddPVWorkersToAction(BaseActionClass* action, BaseModelClass* model) {
  VELMOR_ASSERT(action->IsPVRateDSAllocated() && Id < action->numRateTables,
                "PerformanceVariableNode");
  if (NumberOfWorkers <= 0) return;
  if (WorkersByModel.empty()) {
    try {
      for (int w = 0; w < NumberOfWorkers; w++) {
        for (int d = 0; d < ModelGroups[w].GetNumModels(); d++) {
          WorkersByModel.emplace_back(ModelGroups[w].GetModel(d), w);
        }
      }
    } catch (const std::bad_alloc&) {
      MemoryAllocationError();
    }
    std::sort(WorkersByModel.begin(), WorkersByModel.end(), ByModelThenWorker);
  }
  // Workers in ascending order, each once, as a pass over all of them would
  // find them.
  auto first = std::lower_bound(WorkersByModel.begin(), WorkersByModel.end(),
                                std::make_pair(static_cast<const BaseModelClass*>(model), -1),
                                ByModelThenWorker);
  int last = -1;
  for (auto it = first; it != WorkersByModel.end() && it->first == model; ++it) {
    if (it->second != last) action->rateSets[Id].insert(it->second);
    last = it->second;
  }
}

void PerformanceVariableNode::CreateImpulseWorkerLists() {
  for (int i = 0; i < NumImpulses; i++) {
    if (NumImpulseWorkers[i] == 0 || ImpulseWorkers[i] != nullptr) continue;
    ImpulseWorkers[i] = Impulses[i]->CreateImpulseWorkers(NumImpulseWorkers[i]);
    VELMOR_ASSERT_MSG(ImpulseWorkers[i] != nullptr, "CreateImpulseWorkers(n) != nullptr",
                      "PerformanceVariableNode");
  }
}

// Impulse workers come in equal consecutive blocks, one per instance of the
// action's model; within a block the action's model (when it is a
// dependency) is that instance, and the other dependencies enumerate their
// combinations with the first varying slowest.
void PerformanceVariableNode::CreateImpulseModelGroupList() {
  for (int i = 0; i < NumImpulses; i++) {
    delete[] ImpulseModelGroups[i];
    int workers = NumImpulseWorkers[i];
    ImpulseModelGroups[i] = AllocateArray<ModelGroupClass>(workers);
    for (int w = 0; w < workers; w++) {
      ImpulseModelGroups[i][w].CreateModelList(NumImpulseModelDependencies[i]);
    }
    if (workers == 0) continue;
    int actionDependency = -1;
    for (int d = 0; d < NumImpulseModelDependencies[i]; d++) {
      if (SameRewardName(ImpulseModelDependencies[i][d], ImpulseActions[i].GetModelName())) {
        actionDependency = d;
      }
    }
    FillImpulseGroups(i, workers, actionDependency);
  }
}

void PerformanceVariableNode::FillImpulseGroups(int impulse, int workers, int actionDependency) {
  List<BaseModelClass> actionInstances;
  ListInstances(TopModel, ImpulseActions[impulse].GetModelName(), &actionInstances);
  int blocks = actionInstances.getNumItems();
  int blockSize = workers / blocks;
  ModelGroupClass* groups = ImpulseModelGroups[impulse];
  for (int b = 0; b < blocks; b++) {
    int stride = blockSize;
    for (int d = 0; d < NumImpulseModelDependencies[impulse]; d++) {
      if (d == actionDependency) {
        for (int w = 0; w < blockSize; w++)
          groups[b * blockSize + w].SetModel(d, actionInstances[b]);
        continue;
      }
      List<BaseModelClass> instances;
      ListInstances(TopModel, ImpulseModelDependencies[impulse][d], &instances);
      int count = instances.getNumItems();
      stride /= count;
      int instance = -1;
      for (int w = 0; w < blockSize; w++) {
        if (w % stride == 0 && ++instance == count) instance = 0;
        groups[b * blockSize + w].SetModel(d, instances[instance]);
      }
    }
  }
}

void PerformanceVariableNode::FixImpulseWorkerLists() {
  for (int i = 0; i < NumImpulses; i++) {
    int workers = NumImpulseWorkers[i];
    if (workers == 0) continue;
    List<BaseModelClass> actionInstances;
    ListInstances(TopModel, ImpulseActions[i].GetModelName(), &actionInstances);
    int blocks = actionInstances.getNumItems();
    for (int k = 0; k < workers; k++) {
      ImpulseNodeClass* worker = ImpulseWorkers[i][k];
      int block = k / (workers / blocks);
      worker->StartTime = StartTime;
      worker->StopTime = StopTime;
      worker->VariableId = Id;
      worker->DefineName(Name, i, k);
      worker->ActionModel = actionInstances[block];
      int slots = worker->GetNumModelSlots();
      for (int j = 0; j < NumImpulseModelDependencies[i] && j < slots; j++) {
        worker->SetModelSlot(j, ImpulseModelGroups[i][k].GetModel(j));
      }
    }
  }
}

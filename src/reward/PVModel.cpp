// PVModel: construction, the node list, forwarding to the top model, the
// per-event operations and destruction. Wiring is in PVModelWiring.cpp,
// the state index and the type file in PVModelState.cpp.
#include "reward/PVModel.h"

#include "base/Allocate.h"
#include "base/Assert.h"
#include "framework/BaseGroupClass.h"

namespace {
constexpr int kInitialNodeCapacity = 100;
}  // namespace

PVModel::PVModel()
    : NoActionFiredYet("No Action Fired Yet", 0, kExponential, kRaceEnabled, 0, 0, false) {
  Nodes = AllocateZeroedArray<PerformanceVariableNode*>(kInitialNodeCapacity);
  NodeCapacity = kInitialNodeCapacity;
  LastAction = &NoActionFiredYet;
  LastActionTime = 0.0;
}

PVModel::~PVModel() { Destruct(); }

// Node i carries id i: the per-variable tables on actions are indexed by
// it. The counter restarts for every reward model, so a study that builds
// a second reward model in the same process numbers its nodes from 0 too.
void PVModel::CreatePVList(int numPVs, bool expand) {
  PerformanceVariableNode::the_id = NumNodes;
  for (int pv = 0; pv < numPVs; pv++) {
    PerformanceVariableNode* first = createPVNode(pv, 0);
    if (first == nullptr) continue;
    AppendNode(first);
    if (!expand) continue;
    for (int k = 1; k < first->GetNumTimePoints(); k++) AppendNode(createPVNode(pv, k));
  }
}

void PVModel::AppendNode(PerformanceVariableNode* node) {
  VELMOR_ASSERT(node != nullptr, "PVModel");
  if (NumNodes == NodeCapacity) {
    int capacity = 2 * NodeCapacity;
    PerformanceVariableNode** grown = AllocateZeroedArray<PerformanceVariableNode*>(capacity);
    for (int i = 0; i < NumNodes; i++) grown[i] = Nodes[i];
    delete[] Nodes;
    Nodes = grown;
    NodeCapacity = capacity;
  }
  node->Id = NumNodes;
  Nodes[NumNodes++] = node;
}

void PVModel::listModels(const char* modelName, List<BaseModelClass>* list) {
  if (TopModel != nullptr) TopModel->listModels(modelName, list);
}

void PVModel::listActions(List<BaseActionClass>* list) { list->append(actions, numActions); }

void PVModel::listGroups(List<BaseGroupClass>* list) { list->append(groups, numGroups); }

void PVModel::SetState(void* buffer) {
  if (TopModel != nullptr) TopModel->SetState(buffer);
}

void PVModel::listActions(const char* actionName, List<BaseActionClass>* list) {
  if (TopModel != nullptr) TopModel->listActions(actionName, list);
}

void PVModel::listSVs(const char* model, const char* sv, List<BaseStateVariableClass>* svs,
                      List<BaseModelClass>* models) {
  if (TopModel != nullptr) TopModel->listSVs(model, sv, svs, models);
}

void PVModel::printState(std::ostream* out) {
  if (TopModel != nullptr) TopModel->printState(out);
}

void PVModel::ConsiderOnly(const int* indices, int count) {
  QuietUntil = -HUGE_VAL;
  if (indices == nullptr) {
    for (int i = 0; i < NumNodes; i++) AppendConsidered(Nodes[i]);
    return;
  }
  for (int k = 0; k < count; k++) {
    VELMOR_ASSERT(indices[k] >= 0 && indices[k] < NumNodes, "PVModel");
    AppendConsidered(Nodes[indices[k]]);
  }
}

void PVModel::AppendConsidered(PerformanceVariableNode* node) {
  if (NumConsidered == ConsideredCapacity) {
    int capacity = ConsideredCapacity > 0 ? 2 * ConsideredCapacity : 8;
    PerformanceVariableNode** grown = AllocateZeroedArray<PerformanceVariableNode*>(capacity);
    for (int i = 0; i < NumConsidered; i++) grown[i] = Considered[i];
    delete[] Considered;
    Considered = grown;
    ConsideredCapacity = capacity;
  }
  Considered[NumConsidered++] = node;
}

// A node does nothing at a time before its start time or once complete, so
// while now is before every unfinished node's start the pass is skipped.
// A NaN start time never lets the pass be skipped.
void PVModel::Accumulate(double now) {
  if (now < QuietUntil) return;
  double quiet = HUGE_VAL;
  for (int k = 0; k < NumConsidered; k++) {
    PerformanceVariableNode* node = Considered[k];
    node->Accumulate(now, LastActionTime, LastAction);
    if (node->State == 2) continue;
    double start = node->StartTime;
    if (!(start >= quiet)) quiet = start == start ? start : -HUGE_VAL;
  }
  QuietUntil = quiet;
}

BaseActionClass* PVModel::FireAction(BaseActionClass* action, double time) {
  LastActionTime = time;
  LastAction = action->Fire();
  return LastAction;
}

void PVModel::EndAccumulate(double end) {
  QuietUntil = -HUGE_VAL;
  for (int k = 0; k < NumConsidered; k++) {
    PerformanceVariableNode* node = Considered[k];
    if (node->State != 2) node->EndAccumulate(end, LastActionTime, LastAction);
  }
}

void PVModel::PVReset() {
  for (int i = 0; i < NumNodes; i++) {
    if (Nodes[i]->State == 1 || Nodes[i]->State == 2) Nodes[i]->Reset();
  }
  LastAction = &NoActionFiredYet;
  LastActionTime = 0.0;
  QuietUntil = -HUGE_VAL;
}

void PVModel::SteadyState() {
  PVReset();
  for (int i = 0; i < NumNodes; i++) {
    if (Nodes[i]->SteadyState == 1) Nodes[i]->State = 1;
  }
}

void PVModel::FreeActionTables(BaseActionClass* action) {
  if (action->IsPVImpulseDSAllocated()) {
    for (int v = 0; v < action->numImpulseTables; v++) {
      int impulses = v < NumNodes ? Nodes[v]->NumImpulses : 0;
      for (int j = 0; action->impulseWorkers[v] != nullptr && j < impulses; j++) {
        delete[] action->impulseWorkers[v][j];
      }
      delete[] action->impulseWorkers[v];
      delete[] action->impulseWorkerCounts[v];
    }
    action->DeallocatePVImpulseDS();
  }
  action->DeallocatePVRateDS();
}

// Order: the placeholder's tables; every action's tables (members of
// synchronising composites included); the nodes' and the model's
// affecting-action arrays; the nodes; the node array; the top model.
void PVModel::Destruct() {
  if (Destructed) return;
  Destructed = true;
  FreeActionTables(&NoActionFiredYet);
  for (int a = 0; a < numActions; a++) {
    FreeActionTables(actions[a]);
    BaseGroupClass* group =
        actions[a]->isSync() ? dynamic_cast<BaseGroupClass*>(actions[a]) : nullptr;
    for (int m = 0; group != nullptr && m < group->getNumMembers(); m++) {
      FreeActionTables(group->getMember(m));
    }
  }
  for (int i = 0; i < NumNodes; i++) {
    delete[] Nodes[i]->AffectingActions;
    Nodes[i]->AffectingActions = nullptr;
  }
  delete[] AffectingActions;
  delete[] AffectedSets;
  for (int i = 0; i < NumNodes; i++) delete Nodes[i];
  delete[] Nodes;
  delete[] Considered;
  delete[] actions;
  delete[] groups;
  delete TopModel;
  Nodes = nullptr;
  NumNodes = 0;
  Considered = nullptr;
  NumConsidered = 0;
  QuietUntil = -HUGE_VAL;
  AffectingActions = nullptr;
  AffectedSets = nullptr;
  actions = ActionTable = IndexTable = nullptr;
  groups = nullptr;
  numActions = numGroups = 0;
  TopModel = nullptr;
  LastAction = &NoActionFiredYet;
}

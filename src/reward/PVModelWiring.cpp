// PVModel: wiring the reward variables to the actions of the top model
// (rate and impulse tables, affected-node sets, affecting-action arrays).
// Runs once, before simulation.
#include "base/Allocate.h"
#include "base/Assert.h"
#include "base/List.h"
#include "framework/BaseGroupClass.h"
#include "framework/state/BaseStateVariableClass.h"
#include "reward/PVModel.h"

namespace {

void FreezeIfOpen(FastSet* set) {
  if (!set->isFrozen()) set->NoMoreModifications();
}

}  // namespace

void PVModel::Initialize() {
  PrepareNoActionFiredYet();
  CopyTopModelTables();
  for (int i = 0; i < NumNodes; i++) Nodes[i]->FixReferences(TopModel);
  RunEnd = 0.0;
  for (int i = 0; i < NumNodes; i++) {
    if (Nodes[i]->StopTime > RunEnd) RunEnd = Nodes[i]->StopTime;
  }
  MakeAffectedLists();
  MakeImpulseAffectedLists();
  CreateAffectedLists();
  ModelStateSize = TopModel != nullptr ? TopModel->StateSize() : 0;
  TotalStateSize = ModelStateSize;
  if (IndexMode == 1) CreatePVStateIndex();
}

// Empty, frozen tables: accumulating with the placeholder touches nothing.
void PVModel::PrepareNoActionFiredYet() {
  FreeActionTables(&NoActionFiredYet);
  NoActionFiredYet.AllocatePVRateDS(NumNodes);
  NoActionFiredYet.AllocatePVImpulseDS(NumNodes);
  for (int i = 0; i < NumNodes; i++) {
    NoActionFiredYet.rateSets[i].NoMoreModifications();
    NoActionFiredYet.impulseSets[i].NoMoreModifications();
  }
  FreezeIfOpen(&NoActionFiredYet.AffectedNodesByRateReward);
  FreezeIfOpen(&NoActionFiredYet.AffectedNodesByImpulseReward);
  FreezeIfOpen(&NoActionFiredYet.AffectedNodes);
}

void PVModel::CopyTopModelTables() {
  delete[] actions;
  delete[] groups;
  numActions = TopModel != nullptr ? TopModel->getNumActions() : 0;
  numGroups = TopModel != nullptr ? TopModel->getNumGroups() : 0;
  numStateVariables = TopModel != nullptr ? TopModel->getNumStateVariables() : 0;
  actions = AllocateZeroedArray<BaseActionClass*>(numActions);
  groups = AllocateZeroedArray<BaseGroupClass*>(numGroups);
  for (int a = 0; a < numActions; a++) actions[a] = TopModel->getActions()[a];
  for (int g = 0; g < numGroups; g++) groups[g] = TopModel->getGroups()[g];
  ActionTable = actions;
}

void PVModel::MakeAffectedLists() {
  for (int i = 0; i < NumNodes; i++) {
    PerformanceVariableNode* node = Nodes[i];
    node->CreateModelGroupList();
    node->CreateWorkerList();
    node->FixWorkerList();
    for (int d = 0; d < node->NumVariableDependencies; d++) {
      WireRateDependency(i, node->VariableDependencies[d]);
    }
  }
  for (int a = 0; a < numActions; a++) {
    if (!actions[a]->IsPVRateDSAllocated()) actions[a]->AllocatePVRateDS(NumNodes);
    FreezeRateTables(actions[a]);
  }
}

// Every state variable of that name in every instance of that submodel,
// paired with its own instance, and every action that changes it.
void PVModel::WireRateDependency(int node, const VarModelPairClass& dependency) {
  List<BaseModelClass> instances;
  TopModel->listModels(dependency.GetModelName(), &instances);
  for (int m = 0; m < instances.getNumItems(); m++) {
    BaseModelClass* instance = instances[m];
    List<BaseStateVariableClass> svs;
    List<BaseModelClass> owners;
    instance->listSVs(dependency.GetModelName(), dependency.GetVariableName(), &svs, &owners);
    for (int s = 0; s < svs.getNumItems(); s++) {
      BaseStateVariableClass* sv = svs[s];
      for (int k = 0; k < sv->getNumAffectingActions(); k++) {
        AddRateAction(node, sv->getAffectingAction(k), instance);
      }
    }
  }
}

void PVModel::AddRateAction(int node, BaseActionClass* action, BaseModelClass* instance) {
  if (!action->IsPVRateDSAllocated()) {
    action->AllocatePVRateDS(NumNodes);
    RateTableCount++;
  }
  if (action->rateSets[node].empty()) {
    VELMOR_ASSERT_MSG(!action->AffectedNodesByRateReward.find(node),
                      "Action->AffectedNodesByRateReward.insert(PVCounter)", "PVModel");
    action->AffectedNodesByRateReward.insert(node);
    Nodes[node]->NumAffectingActions++;
  }
  Nodes[node]->AddPVWorkersToAction(action, instance);
}

void PVModel::FreezeRateTables(BaseActionClass* action) {
  for (int v = 0; v < action->numRateTables; v++) FreezeIfOpen(&action->rateSets[v]);
  FreezeIfOpen(&action->AffectedNodesByRateReward);
}

void PVModel::MakeImpulseAffectedLists() {
  for (int i = 0; i < NumNodes; i++) {
    PerformanceVariableNode* node = Nodes[i];
    node->CreateImpulseModelGroupList();
    node->CreateImpulseWorkerLists();
    node->FixImpulseWorkerLists();
    for (int j = 0; j < node->NumImpulses; j++) WireImpulse(i, j);
  }
  for (int a = 0; a < numActions; a++) {
    FreezeImpulseTables(actions[a]);
    BaseGroupClass* group =
        actions[a]->isSync() ? dynamic_cast<BaseGroupClass*>(actions[a]) : nullptr;
    for (int m = 0; group != nullptr && m < group->getNumMembers(); m++) {
      FreezeImpulseTables(group->getMember(m));
    }
  }
}

// The first action of the impulse's name in every instance of its model.
void PVModel::WireImpulse(int node, int impulse) {
  const ActionModelPairClass& pair = Nodes[node]->ImpulseActions[impulse];
  List<BaseModelClass> instances;
  TopModel->listModels(pair.GetModelName(), &instances);
  for (int m = 0; m < instances.getNumItems(); m++) {
    List<BaseActionClass> found;
    instances[m]->listActions(pair.GetActionName(), &found);
    if (found.getNumItems() > 0) AddImpulseAction(node, impulse, found[0], instances[m]);
  }
}

void PVModel::AddImpulseAction(int node, int impulse, BaseActionClass* action,
                               BaseModelClass* instance) {
  PerformanceVariableNode* pv = Nodes[node];
  if (!action->IsPVImpulseDSAllocated()) {
    action->AllocatePVImpulseDS(NumNodes);
    ImpulseTableCount++;
  }
  if (action->impulseSets[node].empty()) {
    action->AffectedNodesByImpulseReward.insert(node);
    pv->NumAffectingActions++;
    action->impulseWorkers[node] = AllocateZeroedArray<int*>(pv->NumImpulses);
    action->impulseWorkerCounts[node] = AllocateZeroedArray<int>(pv->NumImpulses);
  }
  int*& workers = action->impulseWorkers[node][impulse];
  if (workers == nullptr) {
    action->impulseSets[node].insert(impulse);
    int room = pv->NumImpulseWorkers[impulse];
    workers = AllocateArray<int>(room);
  }
  int& count = action->impulseWorkerCounts[node][impulse];
  for (int k = 0; k < pv->NumImpulseWorkers[impulse]; k++) {
    if (pv->ImpulseWorkers[impulse][k]->ActionModel == instance) workers[count++] = k;
  }
}

void PVModel::FreezeImpulseTables(BaseActionClass* action) {
  if (!action->IsPVImpulseDSAllocated()) action->AllocatePVImpulseDS(NumNodes);
  for (int v = 0; v < action->numImpulseTables; v++) FreezeIfOpen(&action->impulseSets[v]);
  FreezeIfOpen(&action->AffectedNodesByImpulseReward);
}

void PVModel::CreateAffectedLists() {
  for (int i = 0; i < NumNodes; i++) {
    PerformanceVariableNode* node = Nodes[i];
    delete[] node->AffectingActions;
    int room = node->NumAffectingActions;
    node->AffectingActions = AllocateZeroedArray<BaseActionClass*>(room);
    node->NumAffectingActions = 0;
  }
  delete[] AffectingActions;
  delete[] AffectedSets;
  AffectingActions = AllocateZeroedArray<BaseActionClass*>(numActions);
  AffectedSets = AllocateZeroedArray<FastSet*>(numActions);
  NumAffectingActions = 0;
  if (RateTableCount == 0 && ImpulseTableCount == 0) return;
  for (int a = 0; a < numActions; a++) {
    BaseActionClass* action = actions[a];
    if (action->AffectedNodesByRateReward.size() == 0 &&
        action->AffectedNodesByImpulseReward.size() == 0) {
      continue;
    }
    CreateTotalPVAffectsList(action);
    AffectingActions[NumAffectingActions] = action;
    AffectedSets[NumAffectingActions++] = &action->AffectedNodes;
    for (int k = 0; k < action->AffectedNodes.size(); k++) {
      PerformanceVariableNode* node = Nodes[action->AffectedNodes[k]];
      node->AffectingActions[node->NumAffectingActions++] = action;
    }
  }
}

void PVModel::CreateTotalPVAffectsList(BaseActionClass* action) {
  FastSet& all = action->AffectedNodes;
  VELMOR_ASSERT_MSG(!all.isFrozen() && all.empty(), "Action->AffectedNodes.empty()", "PVModel");
  const FastSet& byRate = action->AffectedNodesByRateReward;
  const FastSet& byImpulse = action->AffectedNodesByImpulseReward;
  for (int k = 0; k < byRate.size(); k++) all.insert(byRate[k]);
  for (int k = 0; k < byImpulse.size(); k++) all.insert(byImpulse[k]);
  all.NoMoreModifications();
}

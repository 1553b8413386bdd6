// SANModel: arrays, arcs, listing, the snapshot and the action partition.
#include "framework/SANModel.h"

#include <cstdio>
#include <cstring>
#include <iostream>
#include <new>
#include <set>

#include "base/Allocate.h"
#include "base/Assert.h"
#include "base/ErrorReports.h"
#include "framework/Activity.h"
#include "framework/BaseGroupClass.h"
#include "framework/state/Place.h"

namespace {

template <class T>
T** CopyArray(T* const* source, int n) {
  if (n <= 0) return nullptr;
  T** copy = AllocateArray<T*>(n);
  for (int i = 0; i < n; i++) copy[i] = source != nullptr ? source[i] : nullptr;
  return copy;
}

// Orders actions by id, so that collections are independent of addresses.
struct ByActionId {
  bool operator()(BaseActionClass* a, BaseActionClass* b) const {
    return a->getActionId() < b->getActionId();
  }
};

}  // namespace

SANModel::SANModel()
    : BaseModelClass(),
      places(nullptr),
      readOnlyPlaces(nullptr),
      numReadOnlyPlaces(0),
      numPlaces(0) {}

SANModel::SANModel(const char* modelName, int nPlaces, BaseStateVariableClass** newPlaces,
                   int nReadOnly, BaseStateVariableClass** readOnly, int nActivities,
                   Activity** activities, int nGroups, BaseGroupClass** newGroups)
    : SANModel() {
  initializeSANModelNow(modelName, nPlaces, newPlaces, nReadOnly, readOnly, nActivities, activities,
                        nGroups, newGroups);
}

SANModel::~SANModel() { freeArrays(); }

void SANModel::freeArrays() {
  delete[] places;
  delete[] readOnlyPlaces;
  delete[] actions;
  delete[] groups;
  places = nullptr;
  readOnlyPlaces = nullptr;
  actions = nullptr;
  groups = nullptr;
}

void SANModel::initializeSANModelNow(const char* modelName, int nPlaces,
                                     BaseStateVariableClass** newPlaces, int nReadOnly,
                                     BaseStateVariableClass** readOnly, int nActivities,
                                     Activity** activities, int nGroups,
                                     BaseGroupClass** newGroups) {
  freeArrays();
  DefineName(modelName);
  numPlaces = nPlaces > 0 ? nPlaces : 0;
  numReadOnlyPlaces = nReadOnly > 0 ? nReadOnly : 0;
  numStateVariables = numPlaces + numReadOnlyPlaces;
  numActions = nActivities > 0 ? nActivities : 0;
  numGroups = nGroups > 0 ? nGroups : 0;
  places = CopyArray(newPlaces, numPlaces);
  readOnlyPlaces = CopyArray(readOnly, numReadOnlyPlaces);
  actions = nullptr;
  if (numActions > 0) {
    actions = AllocateArray<BaseActionClass*>(numActions);
  }
  groups = CopyArray(newGroups, numGroups);
  SetActions(activities);
  SetGroups(newGroups);
}

void SANModel::SetPlaces(BaseStateVariableClass** newPlaces) {
  for (int i = 0; i < numPlaces; i++) places[i] = newPlaces[i];
}

void SANModel::SetReadOnlyPlaces(BaseStateVariableClass** newReadOnly) {
  for (int i = 0; i < numReadOnlyPlaces; i++) readOnlyPlaces[i] = newReadOnly[i];
}

void SANModel::SetActions(Activity** activities) {
  for (int i = 0; i < numActions; i++) {
    actions[i] = activities != nullptr ? activities[i] : nullptr;
    if (actions[i] != nullptr) actions[i]->setModel(this);
  }
}

void SANModel::SetGroups(BaseGroupClass** newGroups) {
  for (int i = 0; i < numGroups; i++) {
    groups[i] = newGroups != nullptr ? newGroups[i] : nullptr;
    if (groups[i] != nullptr) groups[i]->setModel(this);
  }
}

void SANModel::listModels(const char* modelName, List<BaseModelClass>* list) {
  if (name != nullptr && std::strcmp(modelName, name) == 0) list->append(this);
}

void SANModel::CurrentState(void* buffer) {
  char* at = static_cast<char*>(buffer);
  for (int i = 0; i < numPlaces; i++) {
    if (places[i]->getShared()) continue;
    places[i]->CurrentState(at);
    at += places[i]->StateSize();
  }
}

void SANModel::SetState(void* buffer) {
  char* at = static_cast<char*>(buffer);
  for (int i = 0; i < numPlaces; i++) {
    if (places[i]->getShared()) continue;
    places[i]->SetState(at);
    at += places[i]->StateSize();
  }
}

int SANModel::StateSize() {
  int size = 0;
  for (int i = 0; i < numPlaces; i++) {
    if (!places[i]->getShared()) size += places[i]->StateSize();
  }
  return size;
}

bool SANModel::CompareState(void* a, void* b) {
  int size = StateSize();
  return size <= 0 || std::memcmp(a, b, static_cast<size_t>(size)) == 0;
}

void SANModel::listActions(List<BaseActionClass>* list) {
  for (int i = 0; i < numActions; i++) list->append(actions[i]);
}

void SANModel::listGroups(List<BaseGroupClass>* list) {
  for (int i = 0; i < numGroups; i++) list->append(groups[i]);
}

void SANModel::listActions(const char* actionName, List<BaseActionClass>* list) {
  for (int i = 0; i < numActions; i++) {
    if (std::strcmp(actions[i]->getName(), actionName) == 0) {
      list->append(actions[i]);
      return;
    }
  }
}

void SANModel::listSVs(const char* modelName, const char* svName, List<BaseStateVariableClass>* svs,
                       List<BaseModelClass>* models) {
  if (name == nullptr || std::strcmp(modelName, name) != 0) return;
  for (int i = 0; i < numPlaces; i++) {
    if (std::strcmp(places[i]->getName(), svName) != 0) continue;
    svs->append(places[i]);
    models->append(this);
  }
  for (int i = 0; i < numReadOnlyPlaces; i++) {
    if (std::strcmp(readOnlyPlaces[i]->getName(), svName) != 0) continue;
    svs->append(readOnlyPlaces[i]);
    models->append(this);
  }
}

void SANModel::printState(std::ostream* out) {
  *out << "Model: (" << modelId << ")" << (name != nullptr ? name : "") << std::endl;
  for (int i = 0; i < numPlaces; i++) {
    *out << "  ";
    places[i]->printState(out);
  }
  for (int i = 0; i < numReadOnlyPlaces; i++) {
    *out << "  ";
    readOnlyPlaces[i]->printState(out);
  }
}

BaseStateVariableClass** SANModel::GetLocalStateVariables(std::ostream*) { return places; }

BaseModelClass* SANModel::GetChild(int) { VelmorAssertFail("false", "SANModel", __LINE__); }

// Activities of this model named in the action lists of places that were
// shared into another model's variable, ordered by action id.
void SANModel::GetGlobalActions(slist& list) {
  std::set<BaseActionClass*, ByActionId> global;
  for (int i = 0; i < numPlaces; i++) {
    if (places[i]->getStored()) continue;
    List<BaseActionClass>* lists[2] = {places[i]->getAffectingActions(),
                                       places[i]->getEnabledActions()};
    for (List<BaseActionClass>* l : lists) {
      for (int j = 0; j < numActions; j++) {
        if (l->contains(actions[j])) global.insert(actions[j]);
      }
    }
  }
  for (BaseActionClass* a : global) list.push_front(a);
}

void SANModel::GetLocalActions(slist& list) {
  slist global;
  GetGlobalActions(global);
  for (int j = 0; j < numActions; j++) {
    bool isGlobal = false;
    for (BaseActionClass* g : global) isGlobal = isGlobal || g == actions[j];
    if (!isGlobal) list.push_front(actions[j]);
  }
}

void SANModel::GetLocalState(State* state) { state->GetState(this); }

void SANModel::SetLocalState(const State* state) { state->SetState(this); }

void SANModel::ConstructLocalState(State*& state) { state = Allocate<LocalState>(this); }

void SANModel::DestructLocalState(State* state) { delete state; }

void SANModel::PrintSANModelInfo() {
  std::fflush(stdout);
  std::printf("SANModelInfo\n");
  std::printf(
      "Number of Actions = %i, Number of Groups = %i, Number of State "
      "Variables = %i\n",
      numActions, numGroups, numStateVariables);
  for (int i = 0; i < numActions; i++) {
    BaseActionClass* a = actions[i];
    std::printf("ActionName = %s\n", a->getName());
    std::printf("Group Id = %i\n", a->groupId);
    std::printf("DistributionType = %i\n", static_cast<int>(a->distributionType));
    std::printf("ExecutionPolicy = %i\n", static_cast<int>(a->executionPolicy));
    std::printf("Number of affected state variables = %i\n", a->getNumAffectedSVs());
    std::printf("Number of enabling state variables = %i\n", a->getNumEnablingSVs());
  }
  std::printf("\n");
  for (int i = 0; i < numGroups; i++) {
    std::printf("Group Name = %s \n", groups[i]->getName());
  }
  for (int i = 0; i < numPlaces; i++) {
    std::printf("Place Name = %s\n", places[i]->getName());
  }
  for (int i = 0; i < numReadOnlyPlaces; i++) {
    std::printf("Read Only Place Name = %s\n", readOnlyPlaces[i]->getName());
  }
  std::fflush(stdout);
}

bool checkLocalSVs(SANModel* model, Place** expected) {
  for (int i = 0; i < model->getNumPlaces(); i++) {
    if (model->getPlaces()[i] != expected[i]) return false;
  }
  return true;
}

bool checkReadOnlyPlaces(SANModel* model, BaseStateVariableClass** expected) {
  for (int i = 0; i < model->getNumReadOnlyPlaces(); i++) {
    if (model->getReadOnlyPlaces()[i] != expected[i]) return false;
  }
  return true;
}

bool checkLocalActions(SANModel* model, Activity** expected) {
  for (int i = 0; i < model->getNumActions(); i++) {
    if (model->getActions()[i] != expected[i]) return false;
  }
  return true;
}

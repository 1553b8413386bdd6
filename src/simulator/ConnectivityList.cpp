// SimulatorClass connectivity list: for every action, the groups that its
// firing can affect (its affects list), built once before the first run.
#include <cstdlib>
#include <new>
#include <ostream>
#include <vector>

#include "base/Allocate.h"
#include "framework/BaseActionClass.h"
#include "framework/BaseGroupClass.h"
#include "framework/BaseModelClass.h"
#include "framework/state/BaseStateVariableClass.h"
#include "reward/PVModel.h"
#include "simulator/SimulatorClass.h"

namespace {

// A node of an affects list that cannot be had ends the run as a failed
// connectivity list does.
const AllocationSite kConnectivityList{"Error Generating Connectivity List", false};

// The group standing for action a in the simulator's group array.
BaseActionClass* GroupOf(BaseGroupClass** groups, BaseActionClass* a) { return groups[a->groupId]; }

void Describe(std::ostream* out, BaseActionClass* a) {
  BaseModelClass* model = a->getModel();
  if (model != nullptr && model->getName() != nullptr) {
    *out << "Action: " << model->getName() << "(" << model->getModelId() << ")->";
  } else {
    *out << "Action: Unknown Model(-)->";
  }
  *out << a->getName() << " (" << a->getActionId() << ")";
}

}  // namespace

// A's affects list: A's own group and the group of every action whose
// enabling reads a variable A changes, each once, in reverse order of
// discovery.
short SimulatorClass::GenerateConnectivityList() {
  int count = pvModel->getNumActions();
  BaseActionClass** actions = pvModel->getActions();
  std::vector<int> mark(static_cast<size_t>(BaseActionClass::MaxID) + 1, -1);
  for (int a = 0; a < count; ++a) {
    BaseActionClass* action = actions[a];
    int s = action->getActionId();
    BaseActionClass* own = GroupOf(groupArray, action);
    if (mark[own->getActionId()] != s) {
      if (AddActionAffects(own, action) != 0) return 1;
      mark[own->getActionId()] = s;
    }
    List<BaseStateVariableClass>* changed = action->getAffectedSVs();
    for (int v = 0; v < changed->getNumItems(); ++v) {
      BaseStateVariableClass* sv = changed->getItem(v);
      for (int k = 0; k < sv->getNumEnabledActions(); ++k) {
        BaseActionClass* group = GroupOf(groupArray, sv->getEnabledAction(k));
        if (mark[group->getActionId()] != s) {
          mark[group->getActionId()] = s;
          if (AddActionAffects(group, action) != 0) return 1;
        }
      }
    }
  }
  return 0;
}

// The same relation, found from the reading side. SIMTEST 1 keeps a byte
// matrix (affecting action id, group id) and puts nodes at the front; any
// other value searches each list and appends.
short SimulatorClass::GenerateConnectivityListOld() {
  const char* text = std::getenv("SIMTEST");
  bool matrixMode = text != nullptr && std::strtol(text, nullptr, 10) == 1;
  int count = pvModel->getNumActions();
  BaseActionClass** actions = pvModel->getActions();
  size_t side = static_cast<size_t>(BaseActionClass::MaxID) + 1;
  std::vector<unsigned char> matrix(matrixMode ? side * side : 0, 0);
  // 1 when a node could not be allocated.
  auto link = [&](BaseActionClass* group, BaseActionClass* affecting) {
    if (!matrixMode) return AddActionAffectsOld(group, affecting);
    size_t cell = static_cast<size_t>(affecting->getActionId()) * side +
                  static_cast<size_t>(group->getActionId());
    if (matrix[cell] != 0) return 0;
    matrix[cell] = 1;
    return AddActionAffects(group, affecting);
  };
  for (int a = 0; a < count; ++a) {
    BaseActionClass* action = actions[a];
    BaseActionClass* group = GroupOf(groupArray, action);
    if (link(group, action) != 0) return 1;
    List<BaseStateVariableClass>* read = action->getEnablingSVs();
    for (int v = 0; v < read->getNumItems(); ++v) {
      BaseStateVariableClass* sv = read->getItem(v);
      for (int k = 0; k < sv->getNumAffectingActions(); ++k) {
        if (link(group, sv->getAffectingAction(k)) != 0) return 1;
      }
    }
  }
  return 0;
}

int SimulatorClass::AddActionAffects(BaseActionClass* group, BaseActionClass* action) {
  AffectsNode* node = Allocate<AffectsNode>(kConnectivityList);
  node->action = group;
  node->next = action->affectsList;
  action->affectsList = node;
  return 0;
}

int SimulatorClass::AddActionAffectsOld(BaseActionClass* group, BaseActionClass* action) {
  AffectsNode** tail = &action->affectsList;
  for (; *tail != nullptr; tail = &(*tail)->next) {
    if ((*tail)->action == group) return 0;
  }
  AffectsNode* node = Allocate<AffectsNode>(kConnectivityList);
  node->action = group;
  *tail = node;
  return 0;
}

void SimulatorClass::ClearActionAffectsList(BaseActionClass* action) {
  AffectsNode* node = action->affectsList;
  while (node != nullptr) {
    AffectsNode* next = node->next;
    delete node;
    node = next;
  }
  action->affectsList = nullptr;
}

void SimulatorClass::DestructConnectivityList() {
  int count = pvModel->getNumActions();
  BaseActionClass** actions = pvModel->getActions();
  for (int a = 0; a < count; ++a) ClearActionAffectsList(actions[a]);
}

void SimulatorClass::PrintConnectivityList(std::ostream* out) {
  int count = pvModel->getNumActions();
  BaseActionClass** actions = pvModel->getActions();
  for (int a = 0; a < count; ++a) {
    Describe(out, actions[a]);
    *out << "\n"
         << "Checking my Affects"
         << "\n";
    for (AffectsNode* n = actions[a]->affectsList; n != nullptr; n = n->next) {
      *out << "    ";
      Describe(out, n->action);
      *out << "\n";
    }
  }
  out->flush();
}

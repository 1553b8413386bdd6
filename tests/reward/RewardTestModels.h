// RewardTestModels: small models of our own for the reward tests: a SAN
// with a counter place, and a composite that puts several SAN instances
// side by side (the listing behaviour of a join, without the composer
// library).
#ifndef VELMOR_TESTS_REWARD_REWARDTESTMODELS_H
#define VELMOR_TESTS_REWARD_REWARDTESTMODELS_H

#include <cstring>
#include <string>
#include <vector>

#include "framework/Activity.h"
#include "framework/SANModel.h"
#include "framework/state/Place.h"

// Always enabled; firing adds `delta` to its target place (if any) and
// returns itself, or `result` when a test sets one.
class StepActivity : public Activity {
 public:
  StepActivity(const char* activityName, Place* place, short step) : target(place), delta(step) {
    ActivityInitialize(activityName, 0, kExponential, kRaceEnabled, 1, 0, false);
  }
  bool Enabled() override { return RecordEnabling(true); }
  BaseActionClass* Fire() override {
    if (target != nullptr) target->setMark(static_cast<short>(target->getMark() + delta));
    ++firings;
    return result != nullptr ? result : this;
  }
  void LinkVariables() override {}

  Place* target;
  short delta;
  int firings = 0;
  BaseActionClass* result = nullptr;
};

// Places tokens (initial mark given) and other (0). Activities: add (+1 on
// tokens), touch (+1 on other), noop (changes nothing).
class CounterSAN : public SANModel {
 public:
  explicit CounterSAN(const char* modelName = "counter", short initialTokens = 0)
      : tokens("tokens", initialTokens),
        other("other", 0),
        add("add", &tokens, 1),
        touch("touch", &other, 1),
        noop("noop", nullptr, 0) {
    BaseStateVariableClass* placeArray[] = {&tokens, &other};
    Activity* activities[] = {&add, &touch, &noop};
    BaseGroupClass* units[] = {&add, &touch, &noop};
    initializeSANModelNow(modelName, 2, placeArray, 0, nullptr, 3, activities, 3, units);
    AddAffectArc(&tokens, &add);
    AddAffectArc(&other, &touch);
  }

  Place tokens, other;
  StepActivity add, touch, noop;
};

// Children side by side; owns them. Action and group tables are the
// children's, in child order; the state is the children's states in order.
class TestComposite : public BaseModelClass {
 public:
  TestComposite(const char* modelName, std::vector<BaseModelClass*> kids)
      : children(std::move(kids)) {
    DefineName(modelName);
    std::vector<BaseActionClass*> allActions;
    std::vector<BaseGroupClass*> allGroups;
    for (BaseModelClass* child : children) {
      for (int a = 0; a < child->getNumActions(); a++) allActions.push_back(child->getActions()[a]);
      for (int g = 0; g < child->getNumGroups(); g++) allGroups.push_back(child->getGroups()[g]);
      numStateVariables += child->getNumStateVariables();
    }
    numActions = static_cast<int>(allActions.size());
    numGroups = static_cast<int>(allGroups.size());
    actions = new BaseActionClass*[allActions.size() + 1];
    groups = new BaseGroupClass*[allGroups.size() + 1];
    for (int a = 0; a < numActions; a++) actions[a] = allActions[static_cast<size_t>(a)];
    for (int g = 0; g < numGroups; g++) groups[g] = allGroups[static_cast<size_t>(g)];
  }
  ~TestComposite() override {
    delete[] actions;
    delete[] groups;
    for (BaseModelClass* child : children) delete child;
    if (destroyed != nullptr) destroyed->push_back(name);
  }

  void listModels(const char* modelName, List<BaseModelClass>* list) override {
    for (BaseModelClass* child : children) child->listModels(modelName, list);
  }
  void CurrentState(void* buffer) override {
    char* at = static_cast<char*>(buffer);
    for (BaseModelClass* child : children) {
      child->CurrentState(at);
      at += child->StateSize();
    }
  }
  void listActions(List<BaseActionClass>* list) override { list->append(actions, numActions); }
  void listGroups(List<BaseGroupClass>* list) override { list->append(groups, numGroups); }
  void SetState(void* buffer) override {
    char* at = static_cast<char*>(buffer);
    for (BaseModelClass* child : children) {
      child->SetState(at);
      at += child->StateSize();
    }
  }
  int StateSize() override {
    int size = 0;
    for (BaseModelClass* child : children) size += child->StateSize();
    return size;
  }
  bool CompareState(void* a, void* b) override {
    return std::memcmp(a, b, static_cast<size_t>(StateSize())) == 0;
  }
  void listActions(const char* actionName, List<BaseActionClass>* list) override {
    for (BaseModelClass* child : children) child->listActions(actionName, list);
  }
  void listSVs(const char* model, const char* sv, List<BaseStateVariableClass>* svs,
               List<BaseModelClass>* models) override {
    for (BaseModelClass* child : children) child->listSVs(model, sv, svs, models);
  }

  std::vector<BaseModelClass*> children;
  std::vector<std::string>* destroyed = nullptr;  // records this destruction
};

#endif  // VELMOR_TESTS_REWARD_REWARDTESTMODELS_H

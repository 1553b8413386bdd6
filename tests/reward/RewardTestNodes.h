// RewardTestNodes: reward variables of our own over the test models
// (workers, nodes, an impulse class, a reward model with a node factory)
// and the fixture that resets the process-wide counters.
#ifndef VELMOR_TESTS_REWARD_REWARDTESTNODES_H
#define VELMOR_TESTS_REWARD_REWARDTESTNODES_H

#include <functional>
#include <string>
#include <vector>

#include "FrameworkFixture.h"
#include "RewardTestModels.h"
#include "reward/ImpulseNodeClass.h"
#include "reward/InstantOfTime.h"
#include "reward/IntervalOfTime.h"
#include "reward/PVModel.h"
#include "reward/PerformanceVariableNode.h"

// Reward: the mark of tokens in the worker's counter instance.
template <class Base>
class TokensWorker : public Base {
 public:
  TokensWorker() : Base(1) { this->BindModelSlot(0, &counter); }
  double Reward_Function() override { return counter->tokens.getMark(); }
  CounterSAN* counter = nullptr;
};

// Reward over two instances (an "a" and a "b" counter): 10 x a.tokens +
// b.tokens, so the value names the pair of instances read.
class PairWorker : public InstantOfTime {
 public:
  PairWorker() : InstantOfTime(2) {
    BindModelSlot(0, &a);
    BindModelSlot(1, &b);
  }
  double Reward_Function() override { return 10.0 * a->tokens.getMark() + b->tokens.getMark(); }
  CounterSAN* a = nullptr;
  CounterSAN* b = nullptr;
};

// Earns `reward` for every firing of its action inside the window.
class FiringImpulse : public ImpulseNodeClass {
 public:
  explicit FiringImpulse(double perFiring = 2.5) : ImpulseNodeClass(1), reward(perFiring) {
    BindModelSlot(0, &counter);
  }
  void EndAccumulate(double) override { ++endCalls; }
  double Impulse_Function() override { return reward; }
  void Accumulate(double, double lastChange) override {
    if (lastChange < StartTime || lastChange > StopTime) return;
    Value += Impulse_Function();
    SquaredValue = Value * Value;
  }
  void CurrentImpulse() override {
    Value = Impulse_Function();
    SquaredValue = Value * Value;
  }
  void ResetImpulse() override { Reset(); }
  ImpulseNodeClass** CreateImpulseWorkers(int n) override {
    ImpulseNodeClass** workers = new ImpulseNodeClass*[static_cast<size_t>(n)];
    for (int i = 0; i < n; i++) workers[i] = new FiringImpulse(reward);
    return workers;
  }

  double reward;
  CounterSAN* counter = nullptr;
  int endCalls = 0;
};

// A node of WorkerT workers with one variable dependency; time points are
// given as (start, stop) pairs.
template <class WorkerT>
class TestNode : public PerformanceVariableNode {
 public:
  struct Spec {
    std::string name = "tokens_pv";
    RewardType type = InstantOfTimeReward;
    std::vector<double> starts{30.0};
    std::vector<double> stops{30.0};
    std::string variable = "tokens";
    std::string model = "counter";
    bool impulse = false;  // an impulse on the model's "add"
    std::vector<std::string>* destroyed = nullptr;
  };

  TestNode(const Spec& spec, int window) : destroyed(spec.destroyed) {
    int points = static_cast<int>(spec.starts.size());
    Initialize(spec.name.c_str(), spec.type, points, spec.starts.data(), spec.stops.data(), window,
               spec.impulse ? 1 : 0, 1, 1);
    AddVariableDependency(spec.variable.c_str(), spec.model.c_str());
    if (spec.impulse) AddImpulse("add", spec.model.c_str(), new FiringImpulse());
  }
  ~TestNode() override {
    if (destroyed != nullptr) destroyed->push_back("node" + std::to_string(Id));
  }
  void CreateWorkerList() override {
    for (int i = 0; i < NumberOfWorkers; i++) Workers[i] = new WorkerT();
  }
  WorkerT* worker(int i) const { return static_cast<WorkerT*>(Workers[i]); }

  std::vector<std::string>* destroyed;
};

using InstantNode = TestNode<TokensWorker<InstantOfTime>>;
using IntervalNode = TestNode<TokensWorker<IntervalOfTime>>;

// Reward variable pv, window k -> a node from the factory (null: unknown).
class TestPVModel : public PVModel {
 public:
  using Factory = std::function<PerformanceVariableNode*(int pv, int window)>;

  TestPVModel(BaseModelClass* top, Factory nodeFactory, int numPVs, bool expand, int indexMode = 0)
      : factory(std::move(nodeFactory)) {
    SetTopModel(top);
    DefineName("test_rewardPVModel");
    CreatePVList(numPVs, expand);
    if (indexMode == 1) CreatePVStateIndex();
    Initialize();
  }
  PerformanceVariableNode* createPVNode(int pv, int window) override { return factory(pv, window); }

  Factory factory;
};

// Reward variable 0 is a NodeT built from spec; every other one is unknown.
template <class NodeT>
TestPVModel::Factory OneVariable(const typename NodeT::Spec& spec) {
  return [spec](int pv, int window) -> PerformanceVariableNode* {
    return pv == 0 ? new NodeT(spec, window) : nullptr;
  };
}

// An accumulating variable over [start, stop], optionally with the impulse.
inline IntervalNode::Spec AccumulatingSpec(double start, double stop, bool impulse) {
  IntervalNode::Spec spec;
  spec.type = AccumulatedReward;
  spec.starts = {start};
  spec.stops = {stop};
  spec.impulse = impulse;
  return spec;
}

class RewardFixture : public FrameworkFixture {};

#endif  // VELMOR_TESTS_REWARD_REWARDTESTNODES_H

// PerformanceVariableNode: one reward variable over one observation window,
// its workers, impulses and accumulation. Not thread-safe; the id counter
// the_id is process-wide.
#ifndef VELMOR_REWARD_PERFORMANCEVARIABLENODE_H
#define VELMOR_REWARD_PERFORMANCEVARIABLENODE_H

#include <utility>
#include <vector>

#include "reward/ActionModelPairClass.h"
#include "reward/ImpulseNodeClass.h"
#include "reward/ModelGroupClass.h"
#include "reward/PerformanceVariableWorker.h"
#include "reward/VarModelPairClass.h"

class BaseActionClass;
class BaseModelClass;

// The node distinguishes only zero (instant of time) and non-zero
// (accumulating: the weighted worker sum is added at every step).
enum RewardType : int { InstantOfTimeReward = 0, AccumulatedReward = 1 };

// One reward variable for one window [StartTime, StopTime]. Its reward
// function is evaluated by NumberOfWorkers workers, one per combination of
// the submodel instances it depends on; impulses add what their actions
// earn. Observation of a completed window: (Value, SquaredValue).
//
// Owns: its name, time arrays, model groups, dependency pairs and names,
// impulse arrays, the impulse prototypes given to AddImpulse, the impulse
// workers, the workers array and every worker in it (a derived destructor
// that deletes a worker itself must null its slot), and the affecting
// actions array (not the actions). Points to: the top model and, through
// the workers, its submodel instances.
//
// Invariants:
//  - State is 0 (not started), 1 (accumulating) or 2 (complete);
//  - Id is the node's position in its reward model (ids are handed out by
//    the_id in creation order);
//  - every worker and impulse worker carries the node's current window.
//
// Construction protocol: derived constructor calls Initialize and the
// Add*Dependency / AddImpulse operations; the reward model then calls
// FixReferences, CreateModelGroupList, CreateWorkerList, FixWorkerList,
// CreateImpulseModelGroupList, CreateImpulseWorkerLists,
// FixImpulseWorkerLists.
class PerformanceVariableNode {
 public:
  static int the_id;  // next reward-variable id; starts at 0

  PerformanceVariableNode();
  PerformanceVariableNode(const PerformanceVariableNode&) = delete;  // owns arrays
  PerformanceVariableNode& operator=(const PerformanceVariableNode&) = delete;
  virtual ~PerformanceVariableNode();

  // Creates NumberOfWorkers workers of the derived worker class into
  // Workers[0 .. NumberOfWorkers-1].
  virtual void CreateWorkerList() = 0;
  // Clears the observation; a steady-state node also slides its window.
  virtual void Reset();

  // REQUIRES: 0 <= windowIndex < numTimePoints; called once.
  void Initialize(const char* name, RewardType type, int numTimePoints, const double* startTimes,
                  const double* stopTimes, int windowIndex, int numImpulses,
                  int numModelDependencies, int numVariableDependencies);
  // REQUIRES: within the capacities given to Initialize.
  void AddVariableDependency(const char* variable, const char* model);
  void AddModelDependency(const char* model);
  // The node takes ownership of proto (allocated with new).
  void AddImpulse(const char* action, const char* model, ImpulseNodeClass* proto);
  void AddImpulseActionDependency(const char* action, const char* model, int impulse);
  void AddImpulseModelDependency(const char* model, ImpulseNodeClass* proto);
  void AddImpulseModelDependency(const char* model, int impulse);

  // Wiring against the top model (called by the reward model).
  void FixReferences(BaseModelClass* top);
  void CreateModelGroupList();
  void FixWorkerList();
  void CreateImpulseModelGroupList();
  void CreateImpulseWorkerLists();
  void FixImpulseWorkerLists();
  // Inserts into action's worker set for this node every worker whose
  // model group holds model. REQUIRES: action has rate tables.
  void AddPVWorkersToAction(BaseActionClass* action, BaseModelClass* model);

  // Queries.
  RewardType GetRewardType() const { return Type; }
  int GetNumTimePoints() const { return NumTimePoints; }
  double GetStartTime(int k) const { return StartTimes[k]; }
  double GetStopTime(int k) const { return StopTimes[k]; }
  bool IsDependentOnModel(const char* model) const;
  bool IsDependentOnImpulseModel(const char* model, int impulse) const;
  int GetImpulseNumber(const ImpulseNodeClass* proto) const;
  // Renames the node, every worker and every impulse worker.
  void DefineName(const char* name);

  // Accumulation (times are simulation times; action is the last fired).
  void Accumulate(double now, double lastChange, BaseActionClass* action);
  void EndAccumulate(double end, double lastChange, BaseActionClass* action);
  void UpdateAccumulate(double now);
  void CommonAccumulate(double now, double lastChange, BaseActionClass* action);
  void TotalAccumulation();
  void CurrentReward(BaseActionClass* action);
  bool ImpulseAffectedBy(BaseActionClass* action) const;

  BaseModelClass* TopModel = nullptr;  // model slot 0: the composed model
  char* Name = nullptr;
  double Value = 0.0;
  double SquaredValue = 0.0;
  double StartTime = 0.0;
  double StopTime = 0.0;
  int NumTimePoints = 0;
  double* StartTimes = nullptr;
  double* StopTimes = nullptr;
  double ImpulseValue = 0.0;
  double ImpulseSquaredValue = 0.0;
  double WindowLength = 0.0;
  int SteadyState = 0;  // 1: batch means, the window slides on Reset
  RewardType Type = InstantOfTimeReward;
  int State = 0;
  int Id = -1;
  BaseActionClass** AffectingActions = nullptr;
  int NumAffectingActions = 0;
  ModelGroupClass* ModelGroups = nullptr;  // one per worker
  // (model, worker) for every model slot of every worker, sorted, so the
  // workers reading one model are found without a pass over all workers;
  // built on first use after CreateModelGroupList.
  std::vector<std::pair<const BaseModelClass*, int>> WorkersByModel;
  int NumberOfWorkers = 0;
  PerformanceVariableWorker** Workers = nullptr;
  VarModelPairClass* VariableDependencies = nullptr;
  int NumVariableDependencies = 0;
  char** ModelDependencies = nullptr;  // owned copies, no duplicates
  int NumModelDependencies = 0;

  // Impulses, parallel arrays indexed by impulse number.
  int NumImpulses = 0;
  int* NumImpulseModelDependencies = nullptr;
  int* NumImpulseWorkers = nullptr;
  int* NumActionModelInstances = nullptr;
  ImpulseNodeClass** Impulses = nullptr;  // prototypes
  ImpulseNodeClass*** ImpulseWorkers = nullptr;
  ActionModelPairClass* ImpulseActions = nullptr;
  char*** ImpulseModelDependencies = nullptr;
  ModelGroupClass** ImpulseModelGroups = nullptr;

 private:
  void CommonImpulseAccumulate(double now, double lastChange, BaseActionClass* action);
  void CurrentImpulse(BaseActionClass* action);
  // Calls visit(worker) for each of this node's impulse workers that the
  // action (and, for a synchronising composite, each member) earns.
  template <typename Visit>
  void ForEachEarnedImpulseWorker(BaseActionClass* action, Visit& visit);
  void SlideWindow();
  void CopyWindowToWorkers();
  int CountInstances(const char* model) const;
  void GetNumberOfImpulseWorkers();
  void AddImpulseModelName(int impulse, const char* model);
  void FillImpulseGroups(int impulse, int workers, int actionDependency);
  void DestroyWorkers();
  void DestroyImpulses();

  int VariableDependencyCapacity = 0;
  int ModelDependencyCapacity = 0;
  int ImpulseCapacity = 0;
  int* ImpulseModelDependencyCapacity = nullptr;
};

#endif  // VELMOR_REWARD_PERFORMANCEVARIABLENODE_H

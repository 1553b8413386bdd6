// BaseActionClass: the root of everything the simulator schedules and
// fires (identity, tags, variable lists, reward-model tables).
// Not thread-safe; the id counter MaxID is process-wide.
#ifndef VELMOR_FRAMEWORK_BASEACTIONCLASS_H
#define VELMOR_FRAMEWORK_BASEACTIONCLASS_H

#include <ostream>

#include "base/FastSet.h"
#include "base/List.h"
#include "framework/ScheduleRecord.h"

class BaseModelClass;
class BaseStateVariableClass;

// Kind of delay distribution: a descriptive tag only (the delay itself
// comes from SampleDistribution). 1, 2 and 18 are used by generated models.
enum Distribution {
  kExponential = 1,
  kDeterministic = 2,
  kUniform = 3,
  kGeometric = 4,
  kWeibull = 5,
  kConditionalWeibull = 6,
  kNormal = 7,
  kLognormal = 8,
  kGamma = 9,
  kBeta = 10,
  kErlang = 11,
  kHyperExponential = 12,
  kHypoExponential = 13,
  kBinomial = 14,
  kNegativeBinomial = 15,
  kTriangular = 16,
  kPareto = 17,
  kInstantaneous = 18
};

// Execution policy tag; every activity uses 1.
enum ExecutionPolicyType { kRaceEnabled = 1 };

// One node of an action's affects list (built and freed by the simulator).
struct AffectsNode {
  BaseActionClass* action = nullptr;  // a group
  AffectsNode* next = nullptr;
};

// An action: identity (actionId from MaxID), descriptive tags, the scalar
// state variables it reads and writes, and the per-reward-variable tables
// the reward model hangs on it. Owns its name, its id sets, its variable
// lists (not the variables) and its rate and impulse tables (not the
// per-impulse worker arrays those point to, which the reward model frees).
// Does not own its schedule record, model or affects-list nodes.
// Invariants: the variable lists hold leaf (scalar) variables only, each
// once; actionId < MaxID.
class BaseActionClass {
 public:
  static int MaxID;  // next action id; starts at 0

  BaseActionClass();
  BaseActionClass(const char* name, int groupId, Distribution dist, ExecutionPolicyType policy,
                  int numAffected, int numEnabling, bool reactivation);
  BaseActionClass(const BaseActionClass&) = delete;  // owns name and tables
  BaseActionClass& operator=(const BaseActionClass&) = delete;
  virtual ~BaseActionClass();

  virtual bool isSync();
  virtual bool Enabled();
  virtual double Weight();
  virtual double Rate();
  virtual bool ReactivationPredicate();
  virtual bool ReactivationFunction();
  virtual double SampleDistribution();
  // An array the action owns and refills on every call; null by default.
  virtual double* ReturnDistributionParameters();
  virtual void SetFired(int fired);
  // Performs the state change; returns the action that completed.
  virtual BaseActionClass* Fire();
  virtual int Rank();
  virtual bool EnablingChange();
  virtual bool IsAMember(BaseActionClass* action);
  virtual double Probability(BaseActionClass* action);
  virtual void printAffectedState(std::ostream* out);
  virtual void printEnablingState(std::ostream* out);
  virtual BaseActionClass* getPrintedAction();
  virtual double ErlangParamM();

  // The counts are accepted and ignored.
  void BaseActionClassInitialize(const char* name, int groupId, Distribution dist,
                                 ExecutionPolicyType policy, int numAffected, int numEnabling,
                                 bool reactivation);
  void defineName(const char* name);
  const char* getName() const { return name; }

  // A leaf is listed directly; a structured variable adds its leaves.
  void addEnablingSV(BaseStateVariableClass* sv);
  void addAffectedSV(BaseStateVariableClass* sv);
  void removeEnablingSV(BaseStateVariableClass* sv);
  void removeAffectedSV(BaseStateVariableClass* sv);
  List<BaseStateVariableClass>* getAffectedSVs() { return &affectedSVs; }
  List<BaseStateVariableClass>* getEnablingSVs() { return &enablingSVs; }
  int getNumAffectedSVs() const { return affectedSVs.getNumItems(); }
  int getNumEnablingSVs() const { return enablingSVs.getNumItems(); }

  // Reward-model tables, one entry per reward variable.
  bool IsPVRateDSAllocated() const { return rateSets != nullptr; }
  bool IsPVImpulseDSAllocated() const { return impulseSets != nullptr; }
  void AllocatePVRateDS(int n);
  void AllocatePVImpulseDS(int n);
  void DeallocatePVRateDS();
  void DeallocatePVImpulseDS();

  // Erlang phases.
  void ResetPhase() { phase = 1; }
  void Age() { ++phase; }
  bool ReadyToFire() { return phase == ErlangParamM(); }

  void PrintInfo();

  int getActionId() const { return actionId; }
  int getGroupId() const { return groupId; }
  bool getFired() const { return fired; }
  BaseModelClass* getModel() const { return model; }
  void setModel(BaseModelClass* m) { model = m; }
  ScheduleRecord* getScheduleRecord() const { return scheduleRecord; }
  void setScheduleRecord(ScheduleRecord* record) { scheduleRecord = record; }

  // Fields read and written by the simulator, groups and the reward model.
  int groupId;  // index of the activity within its scheduling array
  ExecutionPolicyType executionPolicy;
  bool disabled;             // maintained by group selection
  bool reactivation;         // under reactivation watch (simulator)
  AffectsNode* affectsList;  // groups this firing can affect (simulator)
  bool fired;
  Distribution distributionType;
  ScheduleRecord* scheduleRecord;  // not owned; null until the simulator sets it
  BaseModelClass* model;           // not owned; null until a model registers it
  FastSet AffectedNodesByImpulseReward;
  // Impulse tables (null until AllocatePVImpulseDS): per reward variable
  // its impulse indices, and per impulse the worker-index array and its
  // length (arrays created and freed by the reward model; the two outer
  // arrays are owned here and zero-filled).
  FastSet* impulseSets;
  int*** impulseWorkers;
  int** impulseWorkerCounts;
  int numImpulseTables;
  FastSet* rateSets;  // per reward variable, its worker indices (null until allocated)
  int numRateTables;
  FastSet AffectedNodes;
  FastSet AffectedNodesByRateReward;
  short phase;  // Erlang phase, 1 initially
  int actionId;

 private:
  char* name;  // owned
  List<BaseStateVariableClass> affectedSVs;
  List<BaseStateVariableClass> enablingSVs;
};

#endif  // VELMOR_FRAMEWORK_BASEACTIONCLASS_H

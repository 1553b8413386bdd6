// PVModel: the reward model. Wraps the composed (top) model, wires the
// reward variables to its actions, fires actions and drives accumulation.
// Not thread-safe; LastActionTime is process-wide.
#ifndef VELMOR_REWARD_PVMODEL_H
#define VELMOR_REWARD_PVMODEL_H

#include <cmath>
#include <ostream>

#include "base/List.h"
#include "framework/BaseActionClass.h"
#include "framework/BaseModelClass.h"
#include "reward/PerformanceVariableNode.h"

class BaseGroupClass;
class BaseStateVariableClass;

// The generated reward model derives from it: its constructor creates the
// top model (SetTopModel), names itself, and calls CreatePVList and
// Initialize; createPVNode is its node factory.
//
// Owns: the top model, every node and the node array, its copies of the
// top model's action and group tables (not the actions), the rate and
// impulse tables it hangs on every action of the top model (freed by
// Destruct), and the affecting-action arrays. The considered nodes point
// into the node array.
//
// Invariants after Initialize:
//  - node i has Id i (its position);
//  - every action of the top model, and the placeholder, has frozen rate
//    and impulse tables for every node;
//  - lastAction is never null between FireAction calls of concrete actions
//    (the placeholder stands in before the first firing).
class PVModel : public BaseModelClass {
 public:
  PVModel();
  PVModel(const PVModel&) = delete;  // owns the top model and the nodes
  PVModel& operator=(const PVModel&) = delete;
  ~PVModel() override;

  // Forwarded to the top model.
  void listModels(const char* modelName, List<BaseModelClass>* list) override;
  void CurrentState(void* buffer) override;
  // Append the top model's action and group tables (copied at Initialize).
  void listActions(List<BaseActionClass>* list) override;
  void listGroups(List<BaseGroupClass>* list) override;
  void SetState(void* buffer) override;
  int StateSize() override;
  bool CompareState(void* a, void* b) override;
  void listActions(const char* actionName, List<BaseActionClass>* list) override;
  void listSVs(const char* model, const char* sv, List<BaseStateVariableClass>* svs,
               List<BaseModelClass>* models) override;
  void printState(std::ostream* out) override;
  using BaseModelClass::printState;

  // A new node of reward variable pv whose window is time point window, or
  // null for an unknown pv.
  virtual PerformanceVariableNode* createPVNode(int pv, int window) = 0;

  // Construction (called by the generated constructor, in this order).
  void CreatePVList(int numPVs, bool expand);
  void Initialize();
  void MakeAffectedLists();
  void MakeImpulseAffectedLists();
  void CreateAffectedLists();
  void CreateTotalPVAffectsList(BaseActionClass* action);

  // Simulation. Accumulate and FireAction allocate nothing.
  // Appends nodes by position, in the given order; null appends every node.
  void ConsiderOnly(const int* indices, int count);
  // Skips the considered nodes at once while none of them can change (now
  // before the earliest start time among the unfinished ones).
  void Accumulate(double now);
  // To be called after changing a considered node's State or StartTime
  // other than through this class (Accumulate skips on what it last saw).
  void NodesChanged() { QuietUntil = -HUGE_VAL; }
  BaseActionClass* FireAction(BaseActionClass* action, double time);
  void EndAccumulate(double end);
  void PVReset();
  void SteadyState();

  // State with the optional last-action index (index mode 1).
  void CreatePVStateIndex();
  static int BytesFor(int n);
  int StateIndexLookup(const void* state) const;
  void GetPVState(void* state);
  void PutPVState(void* state);
  void FireAction(void* state, BaseActionClass* action);
  void AgeAction(char* state, BaseActionClass* action);

  // Text description of every node; an unopenable file is silently skipped.
  // Returns whether the file was opened and every line reached it.
  bool WritePVTypeFile(const char* fileName);
  // Releases everything; safe to call twice.
  void Destruct();

  int getNumPVNodes() const { return NumNodes; }
  PerformanceVariableNode** getPVNodes() const { return Nodes; }
  PerformanceVariableNode* getPVNode(int i) const { return Nodes[i]; }
  int getNumConsideredNodes() const { return NumConsidered; }
  PerformanceVariableNode* getConsideredNode(int i) const { return Considered[i]; }
  BaseModelClass* getTopModel() const { return TopModel; }
  BaseActionClass* getLastAction() const { return LastAction; }
  BaseActionClass* getNoActionFiredYet() { return &NoActionFiredYet; }
  double getRunEnd() const { return RunEnd; }
  int getNumAffectingActions() const { return NumAffectingActions; }
  BaseActionClass* getAffectingAction(int i) const { return AffectingActions[i]; }
  int getIndexMode() const { return IndexMode; }
  int getIndexBytes() const { return IndexBytes; }

 protected:
  // Takes ownership of top (deleted last by Destruct).
  void SetTopModel(BaseModelClass* top) { TopModel = top; }

 private:
  void AppendNode(PerformanceVariableNode* node);
  void PrepareNoActionFiredYet();
  void CopyTopModelTables();
  void WireRateDependency(int node, const VarModelPairClass& dependency);
  void AddRateAction(int node, BaseActionClass* action, BaseModelClass* instance);
  void WireImpulse(int node, int impulse);
  void AddImpulseAction(int node, int impulse, BaseActionClass* action, BaseModelClass* instance);
  void FreezeRateTables(BaseActionClass* action);
  void FreezeImpulseTables(BaseActionClass* action);
  void FreeActionTables(BaseActionClass* action);
  void AppendConsidered(PerformanceVariableNode* node);
  int LastActionIndex() const;
  BaseActionClass* ActionForIndex(int index);
  void WriteIndex(void* state, int index) const;

  PerformanceVariableNode** Nodes = nullptr;  // creation order; Id == position
  int NumNodes = 0;
  int NodeCapacity = 0;
  BaseModelClass* TopModel = nullptr;
  BaseActionClass* LastAction = nullptr;
  BaseActionClass** ActionTable = nullptr;  // == actions (the copied table)
  double RunEnd = 0.0;
  BaseActionClass** AffectingActions = nullptr;
  FastSet** AffectedSets = nullptr;  // each affecting action's AffectedNodes
  int RateTableCount = 0;
  int ImpulseTableCount = 0;
  int NumAffectingActions = 0;
  int IndexTableLength = 0;
  int ModelStateSize = 0;
  int TotalStateSize = 0;
  int IndexBytes = 0;
  int IndexMode = 0;
  BaseActionClass** IndexTable = nullptr;  // points at ActionTable
  BaseActionClass NoActionFiredYet;        // last action before any firing
  BaseActionClass SpareAction;             // reserved; read by nothing
  PerformanceVariableNode** Considered = nullptr;
  int NumConsidered = 0;
  // No considered node changes at a time before this: the earliest start
  // time among the considered nodes not complete after the last
  // Accumulate; -HUGE_VAL when unknown.
  double QuietUntil = -HUGE_VAL;
  int ConsideredCapacity = 0;
  bool Destructed = false;
};

#endif  // VELMOR_REWARD_PVMODEL_H

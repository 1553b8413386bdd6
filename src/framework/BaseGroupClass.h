// BaseGroupClass: an action made of member actions, one of which is drawn
// by rank and weight when the group must act. Simulation thread only.
#ifndef VELMOR_FRAMEWORK_BASEGROUPCLASS_H
#define VELMOR_FRAMEWORK_BASEGROUPCLASS_H

#include "framework/BaseActionClass.h"

// Member set plus the weighted draw. Does not own its members (they must
// outlive the group); owns the member array and the weight distribution.
// Invariants:
//  - numMembers <= capacity; both arrays have capacity entries;
//  - every member added through appendGroup/setMember/appendMembers is a
//    BaseGroupClass (activities are groups);
//  - selectedAction is null or the action the last draw resolved to.
class BaseGroupClass : public BaseActionClass {
 public:
  // One entry of the weight distribution.
  struct WeightEntry {
    double cumulativeWeight;
    BaseActionClass* action;
  };

  BaseGroupClass();
  BaseGroupClass(const char* name, int groupId, Distribution dist, ExecutionPolicyType policy,
                 int numAffected, int numEnabling, bool reactivation);
  BaseGroupClass(const char* name, int groupId, Distribution dist, ExecutionPolicyType policy,
                 int numAffected, int numEnabling, bool reactivation, int capacity);
  ~BaseGroupClass() override;

  bool Enabled() override;
  double Weight() override;
  double Rate() override;
  bool ReactivationPredicate() override;
  bool ReactivationFunction() override;
  double SampleDistribution() override;
  BaseActionClass* Fire() override;
  int Rank() override;
  bool EnablingChange() override;
  bool IsAMember(BaseActionClass* action) override;
  double Probability(BaseActionClass* action) override;
  void printEnablingState(std::ostream* out) override;
  BaseActionClass* getPrintedAction() override;

  // The weighted draw: one uniform from TheDistribution, always drawn
  // first. Returns whether a member was selected.
  virtual bool SelectAction();
  virtual void setGroupId(int id);

  void initialize(int n, const char* name);
  void appendGroup(BaseGroupClass* g);
  void appendMembers(BaseGroupClass* g);
  void enlargeArrays(int n);
  // REQUIRES nothing: an index at or beyond the count is reported.
  void setMember(BaseGroupClass* g, int i);
  // REQUIRES: newAction is a BaseGroupClass.
  void replaceMember(BaseActionClass* oldAction, BaseActionClass* newAction);
  void Check() {}
  // Rebuilds the weight distribution; the total weight of the enabled
  // members of highest rank, or -1.0 when none is enabled.
  double CalculateWeightDistribution();

  void PrintInfo();
  void printGroup();
  void printGroup(const char* prefix, int indent);

  int getNumMembers() const { return numMembers; }
  BaseActionClass* getMember(int i) const { return members[i]; }
  BaseActionClass** getMembers() const { return members; }
  BaseActionClass* getSelectedAction() const { return selectedAction; }
  int getHighestRank() const { return highestRank; }
  int getNumEntries() const { return numEntries; }
  const WeightEntry* getWeightDistribution() const { return weights; }
  int getCapacity() const { return capacity; }

 protected:
  void allocateArrays(int n);
  // The draw proper: u already drawn.
  bool selectWith(double u);
  BaseActionClass* requireSelected();

  BaseActionClass** members;        // owned array, capacity entries
  BaseActionClass* selectedAction;  // null when nothing is selected
  WeightEntry* weights;             // owned, capacity entries
  int highestRank;
  int numMembers;
  int numEntries;
  int capacity;
};

#endif  // VELMOR_FRAMEWORK_BASEGROUPCLASS_H

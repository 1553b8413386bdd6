// BaseActionClass: identity, defaults of the virtual interface, variable
// lists and the reward-model tables.
#include "framework/BaseActionClass.h"

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <new>

#include "base/Allocate.h"
#include "base/ErrorReports.h"
#include "base/OwnedString.h"
#include "framework/state/BaseStateVariableClass.h"

int BaseActionClass::MaxID = 0;

namespace {

// A copy of the action name; null reads as "".
char* CopyActionName(const char* text) { return CopyOwnedString(text != nullptr ? text : ""); }

// The two reward tables report their failure on a line of their own.
const AllocationSite kRateTables{
    "!! Memory allocation error in BaseActionClass::AllocatePVRateDS()"};
const AllocationSite kImpulseTables{
    "!! Memory allocation error in BaseActionClass::AllocatePVImpulseDS()"};

}  // namespace

BaseActionClass::BaseActionClass()
    : groupId(0),
      executionPolicy(kRaceEnabled),
      disabled(true),
      reactivation(false),
      affectsList(nullptr),
      fired(false),
      distributionType(kExponential),
      scheduleRecord(nullptr),
      model(nullptr),
      impulseSets(nullptr),
      impulseWorkers(nullptr),
      impulseWorkerCounts(nullptr),
      numImpulseTables(0),
      rateSets(nullptr),
      numRateTables(0),
      phase(1),
      actionId(MaxID++),
      name(CopyActionName("default")) {}

BaseActionClass::BaseActionClass(const char* actionName, int group, Distribution dist,
                                 ExecutionPolicyType policy, int numAffected, int numEnabling,
                                 bool react)
    : BaseActionClass() {
  BaseActionClassInitialize(actionName, group, dist, policy, numAffected, numEnabling, react);
}

BaseActionClass::~BaseActionClass() {
  ReleaseOwnedString(name);
  DeallocatePVRateDS();
  DeallocatePVImpulseDS();
}

void BaseActionClass::BaseActionClassInitialize(const char* actionName, int group,
                                                Distribution dist, ExecutionPolicyType policy, int,
                                                int, bool react) {
  defineName(actionName);
  groupId = group;
  distributionType = dist;
  executionPolicy = policy;
  reactivation = react;
}

void BaseActionClass::defineName(const char* actionName) {
  char* copy = CopyActionName(actionName);
  ReleaseOwnedString(name);
  name = copy;
}

bool BaseActionClass::isSync() { return false; }
bool BaseActionClass::Enabled() { return false; }
double BaseActionClass::Weight() { return 0.0; }
double BaseActionClass::Rate() { return 0.0; }
bool BaseActionClass::ReactivationPredicate() { return false; }
bool BaseActionClass::ReactivationFunction() { return false; }
double BaseActionClass::SampleDistribution() { return 0.0; }
double* BaseActionClass::ReturnDistributionParameters() { return nullptr; }
void BaseActionClass::SetFired(int value) { fired = value != 0; }
BaseActionClass* BaseActionClass::Fire() { return nullptr; }
int BaseActionClass::Rank() { return 0; }
bool BaseActionClass::EnablingChange() { return false; }
bool BaseActionClass::IsAMember(BaseActionClass* action) { return action == this; }
double BaseActionClass::Probability(BaseActionClass*) { return 1.0; }
BaseActionClass* BaseActionClass::getPrintedAction() { return this; }
double BaseActionClass::ErlangParamM() { return 1.0; }

void BaseActionClass::printAffectedState(std::ostream* out) {
  for (int i = 0; i < affectedSVs.getNumItems(); i++) {
    affectedSVs.getItem(i)->printState(out);
  }
}

void BaseActionClass::printEnablingState(std::ostream* out) {
  for (int i = 0; i < enablingSVs.getNumItems(); i++) {
    enablingSVs.getItem(i)->printState(out);
  }
}

void BaseActionClass::addEnablingSV(BaseStateVariableClass* sv) {
  if (sv->isLeafNode()) {
    sv->ForgetReplacements();
    enablingSVs.append(sv);
  } else {
    sv->addSelfAsEnablingSVToAction(this);
  }
}

void BaseActionClass::addAffectedSV(BaseStateVariableClass* sv) {
  if (sv->isLeafNode()) {
    sv->ForgetReplacements();
    affectedSVs.append(sv);
  } else {
    sv->addSelfAsAffectedSVToAction(this);
  }
}

void BaseActionClass::removeEnablingSV(BaseStateVariableClass* sv) {
  if (sv->isLeafNode()) {
    enablingSVs.remove(sv);
  } else {
    sv->removeSelfFromEnablingSVOfAction(this);
  }
}

void BaseActionClass::removeAffectedSV(BaseStateVariableClass* sv) {
  if (sv->isLeafNode()) {
    affectedSVs.remove(sv);
  } else {
    sv->removeSelfFromAffectedSVOfAction(this);
  }
}

void BaseActionClass::AllocatePVRateDS(int n) {
  DeallocatePVRateDS();
  rateSets = AllocateArray<FastSet>(n, kRateTables);
  numRateTables = n;
}

void BaseActionClass::AllocatePVImpulseDS(int n) {
  DeallocatePVImpulseDS();
  impulseSets = AllocateArray<FastSet>(n, kImpulseTables);
  impulseWorkers = AllocateZeroedArray<int**>(n, kImpulseTables);
  impulseWorkerCounts = AllocateZeroedArray<int*>(n, kImpulseTables);
  numImpulseTables = n;
}

void BaseActionClass::DeallocatePVRateDS() {
  delete[] rateSets;
  rateSets = nullptr;
  numRateTables = 0;
}

void BaseActionClass::DeallocatePVImpulseDS() {
  delete[] impulseSets;
  delete[] impulseWorkers;
  delete[] impulseWorkerCounts;
  impulseSets = nullptr;
  impulseWorkers = nullptr;
  impulseWorkerCounts = nullptr;
  numImpulseTables = 0;
}

void BaseActionClass::PrintInfo() {
  std::cout << "********* " << name << "**********" << std::endl << std::endl;
  std::cout << "Enabled by:" << std::endl;
  for (int i = 0; i < enablingSVs.getNumItems(); i++) {
    std::cout << "           " << enablingSVs.getItem(i)->getName() << std::endl;
  }
  std::cout << "Affects:" << std::endl;
  for (int i = 0; i < affectedSVs.getNumItems(); i++) {
    std::cout << "           " << affectedSVs.getItem(i)->getName() << std::endl;
  }
  std::cout << "Group ID = " << groupId << std::endl;
  std::cout << "Execution Policy = " << static_cast<int>(executionPolicy) << std::endl;
  std::cout << "Disabled = " << (disabled ? 1 : 0) << std::endl;
  std::cout << "Reactivation = " << (reactivation ? 1 : 0) << std::endl;
  std::cout << "DistributionType = " << static_cast<int>(distributionType) << std::endl;
}

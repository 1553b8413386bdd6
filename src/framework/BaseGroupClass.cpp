// BaseGroupClass: members, the weight distribution and the weighted draw.
#include "framework/BaseGroupClass.h"

#include <cstdlib>
#include <iostream>
#include <new>
#include <string>

#include "base/Allocate.h"
#include "base/Assert.h"
#include "base/ErrorReports.h"
#include "random/UserDistributions.h"

namespace {

const char* NameOf(const BaseActionClass* a) { return a->getName() != nullptr ? a->getName() : ""; }

// The weight of case m in group g. A weight that is negative or not a number
// (for example after an override of a global variable a weight reads) makes
// the weighted draw meaningless: the run stops with an error, as it does for
// such a delay.
double CaseWeight(const BaseActionClass* g, BaseActionClass* m) {
  const double weight = m->Weight();
  if (!(weight >= 0.0)) {
    std::cerr << "ERROR: Activity " << NameOf(g) << " case " << NameOf(m) << " has the weight "
              << weight << "; a case weight must be a number of at least 0\n"
              << std::flush;
    std::exit(1);
  }
  return weight;
}

}  // namespace

BaseGroupClass::BaseGroupClass()
    : BaseActionClass(),
      members(nullptr),
      selectedAction(nullptr),
      weights(nullptr),
      highestRank(0),
      numMembers(0),
      numEntries(0),
      capacity(0) {}

BaseGroupClass::BaseGroupClass(const char* groupName, int group, Distribution dist,
                               ExecutionPolicyType policy, int numAffected, int numEnabling,
                               bool react)
    : BaseGroupClass() {
  BaseActionClassInitialize(groupName, group, dist, policy, numAffected, numEnabling, react);
}

BaseGroupClass::BaseGroupClass(const char* groupName, int group, Distribution dist,
                               ExecutionPolicyType policy, int numAffected, int numEnabling,
                               bool react, int n)
    : BaseGroupClass(groupName, group, dist, policy, numAffected, numEnabling, react) {
  allocateArrays(n);
}

BaseGroupClass::~BaseGroupClass() {
  delete[] members;
  delete[] weights;
}

// Replaces both arrays by arrays of n entries, keeping the members.
void BaseGroupClass::allocateArrays(int n) {
  VELMOR_ASSERT(n >= numMembers, "BaseGroupClass");
  BaseActionClass** newMembers = AllocateZeroedArray<BaseActionClass*>(n);
  WeightEntry* newWeights = AllocateZeroedArray<WeightEntry>(n);
  for (int i = 0; i < numMembers; i++) newMembers[i] = members[i];
  delete[] members;
  delete[] weights;
  members = newMembers;
  weights = newWeights;
  capacity = n;
  numEntries = 0;
}

void BaseGroupClass::initialize(int n, const char* groupName) {
  numMembers = 0;
  allocateArrays(n);
  defineName(groupName);
  selectedAction = nullptr;
  highestRank = 0;
  numEntries = 0;
}

void BaseGroupClass::appendGroup(BaseGroupClass* g) {
  if (numMembers == capacity) allocateArrays(capacity + 1);
  members[numMembers++] = g;
}

void BaseGroupClass::appendMembers(BaseGroupClass* g) {
  int needed = numMembers + g->numMembers;
  if (capacity < needed) allocateArrays(needed);
  int count = g->numMembers;  // fixed even when g is this group
  for (int i = 0; i < count; i++) members[numMembers++] = g->members[i];
}

void BaseGroupClass::enlargeArrays(int n) { allocateArrays(n); }

void BaseGroupClass::setMember(BaseGroupClass* g, int i) {
  if (i < 0 || i >= numMembers) {
    ArrayOutOfBoundsError("Array out of bounds (BaseGroupClass::setMember()");
    return;
  }
  members[i] = g;
}

void BaseGroupClass::replaceMember(BaseActionClass* oldAction, BaseActionClass* newAction) {
  VELMOR_ASSERT(dynamic_cast<BaseGroupClass*>(newAction) != nullptr, "BaseGroupClass");
  for (int i = 0; i < numMembers; i++) {
    if (members[i] == oldAction) members[i] = newAction;
  }
  if (selectedAction == oldAction) selectedAction = newAction;
}

BaseActionClass* BaseGroupClass::requireSelected() {
  VELMOR_ASSERT(selectedAction != nullptr, "BaseGroupClass");
  return selectedAction;
}

bool BaseGroupClass::Enabled() {
  bool any = false;
  for (int i = 0; i < numMembers; i++) {
    if (members[i]->Enabled()) any = true;
  }
  return any;
}

double BaseGroupClass::Weight() { return requireSelected()->Weight(); }
double BaseGroupClass::Rate() { return requireSelected()->Rate(); }
bool BaseGroupClass::ReactivationPredicate() { return false; }
bool BaseGroupClass::ReactivationFunction() { return false; }

double BaseGroupClass::SampleDistribution() { return requireSelected()->SampleDistribution(); }

BaseActionClass* BaseGroupClass::Fire() {
  BaseActionClass* result = requireSelected()->Fire();
  selectedAction = nullptr;
  return result;
}

int BaseGroupClass::Rank() { return requireSelected()->Rank(); }

bool BaseGroupClass::EnablingChange() {
  bool any = false;
  for (int i = 0; i < numMembers; i++) {
    if (members[i]->EnablingChange()) any = true;
  }
  return any;
}

bool BaseGroupClass::IsAMember(BaseActionClass* action) {
  for (int i = 0; i < numMembers; i++) {
    if (members[i] == action) return true;
  }
  return false;
}

// Weight share of the member standing for `action` among the enabled
// members of highest rank (ranks start from 0; negative ranks never count),
// times that member's own probability of resolving to `action`.
double BaseGroupClass::Probability(BaseActionClass* action) {
  int highest = 0;
  double sum = 0.0;
  BaseActionClass* holder = nullptr;
  for (int i = 0; i < numMembers; i++) {
    BaseActionClass* m = members[i];
    if (m->Enabled()) {
      int rank = m->Rank();
      if (rank > highest) {
        highest = rank;
        sum = m->Weight();
      } else if (rank == highest) {
        sum += m->Weight();
      }
    }
    if (m == action || m->IsAMember(action)) holder = m;
  }
  if (holder == nullptr) return 0.0;  // not a member at all
  if (holder->Rank() < highest) return 0.0;
  if (sum == 0.0) std::cout << "BaseGroupClass::Probability() TotalWeight is zero.\n";
  return holder->Weight() / sum * holder->Probability(action);
}

void BaseGroupClass::printEnablingState(std::ostream* out) {
  if (numMembers > 0) {
    members[0]->printEnablingState(out);
  } else {
    BaseActionClass::printEnablingState(out);
  }
}

BaseActionClass* BaseGroupClass::getPrintedAction() { return numMembers > 0 ? members[0] : this; }

double BaseGroupClass::CalculateWeightDistribution() {
  numEntries = 0;
  for (int i = 0; i < numMembers; i++) {
    BaseActionClass* m = members[i];
    if (!m->Enabled()) {
      m->disabled = true;
      continue;
    }
    int rank = m->Rank();
    if (numEntries > 0 && rank < highestRank) {
      m->disabled = true;
    } else if (numEntries == 0 || rank > highestRank) {
      highestRank = rank;
      m->disabled = false;
      weights[0] = WeightEntry{CaseWeight(this, m), m};
      numEntries = 1;
    } else {
      m->disabled = false;
      weights[numEntries] =
          WeightEntry{weights[numEntries - 1].cumulativeWeight + CaseWeight(this, m), m};
      numEntries++;
    }
  }
  return numEntries == 0 ? -1.0 : weights[numEntries - 1].cumulativeWeight;
}

bool BaseGroupClass::SelectAction() { return selectWith(TheDistribution->GetGenerator()->rnd()); }

bool BaseGroupClass::selectWith(double u) {
  double total = CalculateWeightDistribution();
  // Nothing enabled. (Tested on the total, not on u * total, so that a
  // uniform of exactly 0 cannot pass as a selection.)
  if (total < 0.0) return false;
  double x = u * total;
  int lo = 0;
  int hi = numEntries - 1;
  int chosen = numEntries - 1;  // when no entry exceeds x
  while (lo <= hi) {
    int mid = lo + (hi - lo) / 2;
    if (weights[mid].cumulativeWeight > x) {
      chosen = mid;
      hi = mid - 1;
    } else {
      lo = mid + 1;
    }
  }
  BaseGroupClass* member = static_cast<BaseGroupClass*>(weights[chosen].action);
  member->SelectAction();
  selectedAction = member->selectedAction;
  return true;
}

void BaseGroupClass::setGroupId(int id) {
  for (int i = 0; i < numMembers; i++) {
    BaseGroupClass* g = dynamic_cast<BaseGroupClass*>(members[i]);
    if (g != nullptr) {
      g->setGroupId(id);
    } else {
      members[i]->groupId = id;
    }
  }
}

void BaseGroupClass::PrintInfo() {
  std::cout << "************ Group: " << getName() << " ****************" << std::endl;
  std::cout << "Contains the following actions:" << std::endl;
  for (int i = 0; i < numMembers; i++) {
    std::cout << "  " << members[i]->getName() << std::endl;
  }
  std::cout << "Selected Action = "
            << (selectedAction != nullptr ? selectedAction->getName() : "none") << std::endl;
}

void BaseGroupClass::printGroup() {
  std::cout << "** Members of Group " << getName() << std::endl;
  printGroup("", 0);
}

void BaseGroupClass::printGroup(const char* prefix, int indent) {
  for (int i = 0; i < numMembers; i++) {
    std::cout << std::string(static_cast<size_t>(indent > 0 ? indent : 0), ' ') << "[" << prefix
              << i << "] " << members[i]->getName() << std::endl;
    BaseGroupClass* g = dynamic_cast<BaseGroupClass*>(members[i]);
    if (g != nullptr && g->numMembers > 1) {
      std::string nested = std::string(prefix) + std::to_string(i) + ".";
      g->printGroup(nested.c_str(), indent + 2);
    }
  }
}

// SimulatorClass firing step: initial scheduling, one firing, and the three
// walks that re-examine only the groups a firing can affect. The order of
// calls here is the order of random draws, so it fixes a seed's sample path.
#include <cstdlib>
#include <iostream>

#include "base/Allocate.h"
#include "base/Assert.h"
#include "eventlist/EventList.h"
#include "framework/BaseActionClass.h"
#include "framework/BaseGroupClass.h"
#include "reward/PVModel.h"
#include "simulator/SimulatorClass.h"

namespace {

// The completion time of g's next event, drawn now. A delay that is negative
// or not a number (a negative rate or delay, for example from an override of
// a global variable) would send simulated time backwards, and a replication
// would then never reach its end: the run stops with an error instead.
double CompletionTime(BaseActionClass* g, double now) {
  const double delay = g->SampleDistribution();
  if (!(delay >= 0.0)) {
    std::cerr << "ERROR: Activity " << g->getName() << " drew the delay " << delay
              << "; a delay must be a number of at least 0\n"
              << std::flush;
    std::exit(1);
  }
  return delay + now;
}

// Every kTimeCheckMask + 1 completions the simulator compares simulated
// time with its value at the previous check. Time never decreases, so an
// equal value means no completion in between let time pass; after
// kStalledChecks such checks in a row (over ten million completions) the run
// is taken to be caught in a loop of instantaneous (or zero-delay)
// activities that keep enabling one another, which would never end. No
// model's instant holds this many completions otherwise. The firing step
// pays one mask test.
constexpr int64_t kTimeCheckMask = (int64_t{1} << 20) - 1;
constexpr int kStalledChecks = 10;

}  // namespace

short SimulatorClass::GenerateInitialEnabledList() {
  int count = groupContainer->getNumItems();
  numEnabledGroups = 0;
  delete[] enabledGroups;
  enabledGroups = AllocateArray<BaseGroupClass*>(count);
  for (int i = 0; i < count; ++i) {
    nextAction = groupArray[i];
    if (groupArray[i]->Enabled()) enabledGroups[numEnabledGroups++] = groupArray[i];
  }
  if (numEnabledGroups < count / 2) {
    BaseGroupClass** exact = AllocateArray<BaseGroupClass*>(numEnabledGroups);
    for (int i = 0; i < numEnabledGroups; ++i) exact[i] = enabledGroups[i];
    delete[] enabledGroups;
    enabledGroups = exact;
  }
  return 0;
}

short SimulatorClass::GenerateCompleteEventList() {
  for (int i = 0; i < numEnabledGroups; ++i) {
    BaseGroupClass* g = enabledGroups[i];
    nextAction = g;
    g->Enabled();  // the initial list decides; this only refreshes g
    ScheduleGroup(g);
  }
  return 0;
}

short SimulatorClass::GenerateCompleteEventListSS() {
  int count = groupContainer->getNumItems();
  for (int i = 0; i < count; ++i) {
    BaseGroupClass* g = groupArray[i];
    nextAction = g;
    if (g->Enabled()) ScheduleGroup(g);
  }
  return 0;
}

// Samples g's completion, puts g under reactivation watch when it asks for
// it, and inserts its event. REQUIRES: g has no event.
void SimulatorClass::ScheduleGroup(BaseActionClass* g) {
  scratchEvent->time = CompletionTime(g, currentTime);
  scratchEvent->scheduledAt = currentTime;
  scratchEvent->action = g;
  if (g->ReactivationPredicate()) PushReactivation(g);
  eventList->Insert(scratchEvent);
}

bool SimulatorClass::SimStep() {
  eventList->Remove(nextEventSlot);
  pvModel->Accumulate(currentTime);
  // Without a firing trace this costs one predictable test; the traced
  // firing is out of line.
  if (__builtin_expect(traceFirings, false)) {
    FireTraced();
  } else {
    lastFiredAction = pvModel->FireAction(nextAction, currentTime);
  }
  ++actionsFired;
  if (__builtin_expect((actionsFired & kTimeCheckMask) == 0, false)) CheckTimeAdvances();
  CheckReactivationList();
  RemoveAffectedActions();
  InsertAffectedActions();
  nextEventSlot = eventList->Earliest();
  if (nextEventSlot == nullptr) return false;
  currentTime = (*nextEventSlot)->time;
  nextAction = (*nextEventSlot)->action;
  return true;
}

bool SimulatorClass::SimStepSS() { return SimStep(); }

void SimulatorClass::CheckTimeAdvances() {
  if (currentTime != timeAtLastCheck) {
    timeAtLastCheck = currentTime;
    stalledChecks = 0;
    return;
  }
  if (++stalledChecks < kStalledChecks) return;
  std::cerr << "ERROR: over " << kStalledChecks * (kTimeCheckMask + 1)
            << " activity completions in a row at time " << currentTime
            << " without time advancing (the last: Activity " << lastFiredAction->getName()
            << "); instantaneous activities keep enabling one another\n"
            << std::flush;
  std::exit(1);
}

void SimulatorClass::CheckReactivationList() {
  ReactivationNode* node = reactivationList;
  while (node != nullptr) {
    ReactivationNode* next = node->next;
    BaseActionClass* g = node->action;
    ScheduleRecord* record = g->getScheduleRecord();
    if (record->eventSlot == nullptr) {
      UnlinkReactivation(node);
    } else if (!g->Enabled()) {
      eventList->Remove(record->eventSlot);
      UnlinkReactivation(node);
    } else if (g->ReactivationFunction()) {
      Event* e = *record->eventSlot;
      e->time = CompletionTime(g, currentTime);
      e->scheduledAt = currentTime;
      eventList->ModifyKey(record->eventSlot);
      UnlinkReactivation(node);
      if (g->ReactivationPredicate()) PushReactivation(g);
    }
    node = next;
  }
}

void SimulatorClass::RemoveAffectedActions() {
  if (lastFiredAction == nullptr) return;
  for (affectedCursor = lastFiredAction->affectsList; affectedCursor != nullptr;
       affectedCursor = affectedCursor->next) {
    BaseActionClass* g = affectedCursor->action;
    ScheduleRecord* record = g->getScheduleRecord();
    if (record->eventSlot == nullptr) continue;
    bool watched = !record->notInReactivationList;
    if (g->EnablingChange() || (watched && g->ReactivationFunction())) {
      g->reactivation = false;
      eventList->Remove(record->eventSlot);
      if (!record->notInReactivationList) {
        UnlinkReactivation(record->reactivationNode);
      }
    }
  }
}

void SimulatorClass::InsertAffectedActions() {
  if (lastFiredAction == nullptr) return;
  for (affectedCursor = lastFiredAction->affectsList; affectedCursor != nullptr;
       affectedCursor = affectedCursor->next) {
    BaseActionClass* g = affectedCursor->action;
    if (g->Enabled() && g->getScheduleRecord()->eventSlot == nullptr) {
      ScheduleGroup(g);
    }
  }
}

void SimulatorClass::HandleInvalidDistParams(BaseActionClass* action, std::string message) {
  static const std::string kMarker = "INVALID_DIST_PARAMS:";
  std::string::size_type at = message.find(kMarker);
  if (at == std::string::npos) VelmorAssertFail("false", "SimulatorClass", 1253);
  message.erase(at, kMarker.size());
  std::cerr << "FATAL ERROR: In action " << action->getName() << "," << message << std::endl;
  std::exit(1);
}

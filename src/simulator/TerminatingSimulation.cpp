// SimulatorClass terminating simulation: independent replications from the
// saved initial state up to the reward model's run end, reported in groups
// of reportSize.
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "base/Allocate.h"
#include "eventlist/EventList.h"
#include "framework/BaseActionClass.h"
#include "output/DataPacket.h"
#include "reward/PVModel.h"
#include "reward/PerformanceVariableNode.h"
#include "simulator/SimulatorClass.h"
#include "trace/TraceFileContainer.h"

namespace {

void PrintSavedState(const char* state, int size) {
  for (int i = 0; i < size; ++i) {
    std::printf("OriginalState[%d] = %d\n", i,
                static_cast<int>(static_cast<signed char>(state[i])));
  }
  std::fflush(stdout);
}

}  // namespace

void SimulatorClass::TerminatingSimulation() {
  char* savedState = BeginLoop();
  if (GlobalDebugLevel > 3) PrintSavedState(savedState, pvModel->StateSize());
  GenerateInitialEnabledList();
  startClock = VelmorProcessorClockMillis();
  firstPacket = CreateDataPacket(numPVs);
  secondPacket = CreateDataPacket(numPVs);
  traceContainer->newBatch();
  int k = 0;
  while (runState == 0) {
    RunReplication();
    StoreReplication(k++);
    ++batchesDone;
    // A SIGINT or SIGTERM ends the run here too, with a last report of the
    // replications completed since the previous one.
    const bool limitReached = (maxBatches > 0 && batchesDone >= maxBatches) ||
                              (PendingStopSignal() != 0 && runState == 0);
    if (limitReached) FinishRun();
    if (k == reportSize || limitReached) {
      ReportReplications(k);
      k = 0;
    }
    pvModel->SetState(savedState);
    pvModel->PVReset();
  }
  EndLoop(savedState);
}

// Both loops: the scratch event, the placeholder action and the saved
// initial state (returned; EndLoop releases all three).
char* SimulatorClass::BeginLoop() {
  scratchEvent = Allocate<Event>();
  noAction = Allocate<BaseActionClass>();
  char* savedState = AllocateArray<char>(pvModel->StateSize());
  pvModel->CurrentState(savedState);
  return savedState;
}

void SimulatorClass::EndLoop(char* savedState) {
  delete scratchEvent;
  scratchEvent = nullptr;
  delete noAction;
  noAction = nullptr;
  delete[] savedState;
}

// Replication k of the current report: each variable's value and square.
void SimulatorClass::StoreReplication(int k) {
  for (int i = 0; i < numPVs; ++i) {
    firstPacket->Store(i, k, pvNodes[i]->Value);
    secondPacket->Store(i, k, pvNodes[i]->SquaredValue);
  }
}

// Hands the report of the last count replications to the output side.
void SimulatorClass::ReportReplications(int count) {
  firstPacket->SetAllCounts(count);
  secondPacket->SetAllCounts(count);
  elapsedSeconds = (VelmorProcessorClockMillis() - startClock) / 1000.0;
  CheckReportSize(elapsedSeconds);
}

// One replication from the current (initial) state: fires every event up to
// and including the run end, then completes the reward variables.
void SimulatorClass::RunReplication() {
  currentTime = 0.0;
  timeAtLastCheck = -1.0;
  stalledChecks = 0;
  eventList->ClearEventList();
  ClearReactivationList();
  if (GenerateCompleteEventList() != 0) {
    std::cerr << "ERROR: unable to generate event list\n" << std::flush;
    std::exit(1);
  }
  lastFiredAction = noAction;
  TraceInitialState();
  double end = pvModel->getRunEnd();
  nextEventSlot = eventList->Earliest();
  if (nextEventSlot != nullptr) {
    currentTime = (*nextEventSlot)->time;
    nextAction = (*nextEventSlot)->action;
    while (currentTime <= end) {
      if (!SimStep()) break;
    }
  }
  traceContainer->newBatch();
  pvModel->EndAccumulate(end);
}

// SimulatorClass steady-state simulation: one long run cut into batches per
// steady-state performance variable; each batch mean is one observation.
#include <cfloat>
#include <climits>
#include <iostream>
#include <limits>

#include "base/Allocate.h"
#include "eventlist/EventList.h"
#include "framework/BaseActionClass.h"
#include "framework/BaseModelClass.h"
#include "output/DataPacket.h"
#include "reward/PVModel.h"
#include "reward/PerformanceVariableNode.h"
#include "simulator/SimulatorClass.h"
#include "trace/TraceFileContainer.h"

namespace {

constexpr double kNeverEnds = DBL_MAX;
constexpr int kCountDone = INT_MAX;
constexpr double kInfinity = std::numeric_limits<double>::infinity();

}  // namespace

void SimulatorClass::SteadyStateSimulation() {
  char* savedState = BeginLoop();
  currentTime = 0.0;
  timeAtLastCheck = -1.0;
  stalledChecks = 0;
  GenerateInitialEnabledList();
  if (GenerateCompleteEventListSS() != 0) {
    std::cerr << "ERROR: unable to generate event list\n" << std::flush;
  }
  lastFiredAction = noAction;
  const int numSteadyState = CreateBatchHeaps();
  traceContainer->newBatch();
  TraceInitialState();
  int* firstCounts = AllocateZeroedArray<int>(numPVs);
  int* secondCounts = AllocateZeroedArray<int>(numPVs);
  firstPacket = CreateDataPacket(numPVs);
  secondPacket = CreateDataPacket(numPVs);
  startClock = VelmorProcessorClockMillis();
  TakeFirstEvent(numSteadyState);
  while (runState == 0) {
    // An earliest event at +infinity never comes: every batch boundary lies
    // before it, so closing batches up to it would never end. The model is
    // absorbed, as when no event is left.
    const bool neverComes = currentTime == kInfinity;
    if (!neverComes) {
      CheckCompletedBatches(pvNodes, firstCounts, secondCounts);
      if (maxBatches > 0 && batchCountHeap->Top() >= maxBatches) FinishRun();
      if (PendingStopSignal() != 0) FinishRun();  // SIGINT or SIGTERM
    }
    if (neverComes || !SimStepSS()) {
      FinishRun();
      std::cout << "Simulator encountered an absorbing state and is unable to "
                   "proceed.  Terminating run."
                << std::endl;
    }
  }
  SendSSResults(firstCounts, secondCounts);
  delete batchEndHeap;
  batchEndHeap = nullptr;
  delete batchCountHeap;
  batchCountHeap = nullptr;
  delete[] firstCounts;
  delete[] secondCounts;
  EndLoop(savedState);
}

// The steady-state run starts at the earliest event; with nothing to
// measure or no event at all it finishes at once with an empty report.
void SimulatorClass::TakeFirstEvent(int numSteadyState) {
  nextEventSlot = eventList->Earliest();
  if (numSteadyState == 0) {
    std::cerr << "No steady-state performance variable in this model; "
                 "nothing to simulate.\n"
              << std::flush;
    FinishRun();
  } else if (nextEventSlot == nullptr) {
    FinishRun();
  } else {
    currentTime = (*nextEventSlot)->time;
    nextAction = (*nextEventSlot)->action;
  }
}

// One entry per steady-state variable in both heaps: its start time and -1
// while its initial transient lasts (none when it starts at 0), else its
// first batch end and 0. Returns the number of steady-state variables.
int SimulatorClass::CreateBatchHeaps() {
  int count = 0;
  for (int i = 0; i < numPVs; ++i) {
    if (pvNodes[i]->SteadyState == 1) ++count;
  }
  batchEndHeap = Allocate<Heap<double>>(count);
  batchCountHeap = Allocate<Heap<int>>(count);
  for (int i = 0; i < numPVs; ++i) {
    PerformanceVariableNode* n = pvNodes[i];
    if (n->SteadyState != 1) continue;
    if (n->StartTime == 0.0) {
      batchEndHeap->Insert(n->StopTime, i);
      batchCountHeap->Insert(0, i);
    } else {
      batchEndHeap->Insert(n->StartTime, i);
      batchCountHeap->Insert(-1, i);
    }
  }
  return count;
}

void SimulatorClass::CheckCompletedBatches(PerformanceVariableNode** nodes, int* firstCounts,
                                           int* secondCounts) {
  int i = 0;
  while (batchEndHeap->Top(&i) <= currentTime) {
    PerformanceVariableNode* n = nodes[i];
    double boundary = batchEndHeap->KeyOf(i);
    if (batchCountHeap->KeyOf(i) != -1) {
      n->Accumulate(n->StopTime + 1.0, BaseModelClass::LastActionTime, pvModel->getLastAction());
      if (firstCounts[i] == reportSize) SendSSResults(firstCounts, secondCounts);
      // When the run is already stopped nothing was sent; the observation
      // is dropped rather than stored past the end of the row.
      if (firstCounts[i] < reportSize) {
        firstPacket->Store(i, firstCounts[i]++, n->Value);
      }
      if (secondCounts[i] < reportSize) {
        secondPacket->Store(i, secondCounts[i]++, n->SquaredValue);
      }
      n->Reset();
      pvModel->NodesChanged();
    }
    if (n->StopTime > boundary) {
      batchEndHeap->ChangeKey(i, n->StopTime);
      batchCountHeap->ChangeKey(i, batchCountHeap->KeyOf(i) + 1);
    } else {
      // A window that does not move forward (no length) would close batches
      // for ever. Such a variable takes no further part, and counts as done
      // so that it does not hold back the end of a run limited by -N.
      batchEndHeap->ChangeKey(i, kNeverEnds);
      batchCountHeap->ChangeKey(i, kCountDone);
    }
    traceContainer->newBatch();
  }
}

int SimulatorClass::SendSSResults(int* firstCounts, int* secondCounts) {
  if (runState == 2) return 0;
  for (int i = 0; i < numPVs; ++i) {
    firstPacket->counts[i] = firstCounts[i];
    secondPacket->counts[i] = secondCounts[i];
    firstCounts[i] = 0;
    secondCounts[i] = 0;
  }
  elapsedSeconds = (VelmorProcessorClockMillis() - startClock) / 1000.0;
  return CheckReportSize(elapsedSeconds);
}

// Whole-model benchmarks of the built-in model, in process: complete runs
// (construction, replications, report, destruction) as the executable does
// them, and single replications driven through the simulator's public step
// interface. Both report firings per second. Single-threaded; standard
// output is sent to /dev/null while the simulator runs.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "eventlist/Event.h"
#include "eventlist/EventList.h"
#include "framework/BaseActionClass.h"
#include "framework/BaseModelClass.h"
#include "reward/PVModel.h"
#include "reward/PerformanceVariableNode.h"
#include "simulator/SimulatorClass.h"

namespace {

// Sends standard output to /dev/null for its lifetime (the simulator
// prints its start-up and end lines there).
class QuietStdout {
 public:
  QuietStdout() {
    std::cout.flush();
    std::fflush(stdout);
    saved = dup(1);
    int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
      dup2(null, 1);
      close(null);
    }
  }
  ~QuietStdout() {
    std::cout.flush();
    std::fflush(stdout);
    if (saved >= 0) {
      dup2(saved, 1);
      close(saved);
    }
  }
  QuietStdout(const QuietStdout&) = delete;
  QuietStdout& operator=(const QuietStdout&) = delete;

 private:
  int saved;
};

// Builds the simulator for `options` from a fresh process-wide state, as a
// new process would find it (action and reward-variable ids from 0).
SimulatorClass* NewSimulator(std::vector<std::string> options) {
  BaseActionClass::MaxID = 0;
  BaseModelClass::globalModelId = 0;
  BaseModelClass::LastActionTime = 0.0;
  PerformanceVariableNode::the_id = 0;
  options.insert(options.begin(), "redundant_controller_flash_sim");
  std::vector<char*> argv;
  for (std::string& word : options) argv.push_back(&word[0]);
  return new SimulatorClass(static_cast<int>(argv.size()), argv.data());
}

// One complete run of -N replications per iteration, as the executable
// does it: construct, Run, destroy. Arguments: experiment index, -N.
void BM_WholeRun(benchmark::State& state) {
  std::string exp = std::to_string(state.range(0));
  std::string reps = std::to_string(state.range(1));
  double fired = 0.0;
  for (auto _ : state) {
    QuietStdout quiet;
    SimulatorClass* sim = NewSimulator({"-e", exp, "-N", reps});
    sim->Run();
    fired += sim->actionsFired;
    delete sim;
  }
  state.counters["firings/s"] = benchmark::Counter(fired, benchmark::Counter::kIsRate);
  state.counters["replications/s"] = benchmark::Counter(
      static_cast<double>(state.iterations() * state.range(1)), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_WholeRun)->Args({0, 200})->Args({8, 200})->Unit(benchmark::kMillisecond);

// Building (and destroying) the model with n replicas of the flash
// controller: place sharing, the connectivity list and the reward wiring
// should all grow about linearly in n.
void BM_BuildReplicas(benchmark::State& state) {
  std::string replicas = "s:num_devices:" + std::to_string(state.range(0));
  for (auto _ : state) {
    QuietStdout quiet;
    delete NewSimulator({"-N", "1", "-O", replicas});
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_BuildReplicas)
    ->RangeMultiplier(2)
    ->Range(1000, 8000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

// A constructed simulator set up as the terminating loop sets itself up,
// so that one replication at a time can be timed.
class ReplicationDriver {
 public:
  explicit ReplicationDriver(int experiment) {
    QuietStdout quiet;
    sim = NewSimulator({"-e", std::to_string(experiment), "-N", "1"});
    sim->scratchEvent = new Event();
    sim->noAction = new BaseActionClass();
    savedState.resize(static_cast<size_t>(sim->pvModel->StateSize()) + 1);
    sim->pvModel->CurrentState(savedState.data());
    sim->GenerateInitialEnabledList();
  }
  ~ReplicationDriver() { delete sim; }
  ReplicationDriver(const ReplicationDriver&) = delete;
  ReplicationDriver& operator=(const ReplicationDriver&) = delete;

  // The body of one terminating replication, without the report: fire up
  // to the run end, complete the rewards, restore the initial state.
  // Returns false when the reactivation list was left non-empty (the
  // built-in model never uses it, and it is not reachable from here).
  bool Replicate() {
    sim->currentTime = 0.0;
    sim->eventList->ClearEventList();
    sim->GenerateCompleteEventList();
    sim->lastFiredAction = sim->noAction;
    double end = sim->pvModel->getRunEnd();
    sim->nextEventSlot = sim->eventList->Earliest();
    if (sim->nextEventSlot != nullptr) {
      sim->currentTime = (*sim->nextEventSlot)->time;
      sim->nextAction = (*sim->nextEventSlot)->action;
      while (sim->currentTime <= end && sim->SimStep()) {
      }
    }
    sim->pvModel->EndAccumulate(end);
    sim->pvModel->SetState(savedState.data());
    sim->pvModel->PVReset();
    return sim->reactivationList == nullptr;
  }

  SimulatorClass* sim;

 private:
  std::vector<char> savedState;
};

// One replication per iteration. Argument: experiment index.
void BM_Replication(benchmark::State& state) {
  ReplicationDriver driver(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    if (!driver.Replicate()) {
      state.SkipWithError("reactivation list in use; this driver cannot empty it");
      break;
    }
  }
  state.counters["firings/s"] =
      benchmark::Counter(driver.sim->actionsFired, benchmark::Counter::kIsRate);
  state.counters["firings/replication"] =
      benchmark::Counter(driver.sim->actionsFired, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_Replication)->Arg(0)->Arg(8)->Unit(benchmark::kMicrosecond);

}  // namespace

#include "Manager.h"

#include <poll.h>
#include <signal.h>
#include <time.h>

#include <algorithm>
#include <iostream>

namespace velmor_runner {
namespace {

volatile sig_atomic_t interruptSignal = 0;

extern "C" void OnInterrupt(int sig) { interruptSignal = sig; }

double Now() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) + 1e-9 * static_cast<double>(ts.tv_nsec);
}

// Installs the interrupt handlers for its lifetime (no SA_RESTART, so a
// signal ends the poll at once).
class InterruptGuard {
 public:
  InterruptGuard() {
    interruptSignal = 0;
    struct sigaction sa {};
    sa.sa_handler = OnInterrupt;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, &oldInt);
    sigaction(SIGTERM, &sa, &oldTerm);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, &oldPipe);
  }
  ~InterruptGuard() {
    sigaction(SIGINT, &oldInt, nullptr);
    sigaction(SIGTERM, &oldTerm, nullptr);
    sigaction(SIGPIPE, &oldPipe, nullptr);
  }
  InterruptGuard(const InterruptGuard&) = delete;
  InterruptGuard& operator=(const InterruptGuard&) = delete;

 private:
  struct sigaction oldInt {
  }, oldTerm{}, oldPipe{};
};

std::string BlockName(const Cell& cell, const BlockSpec& spec) {
  return "experiment " + std::to_string(cell.Experiment()) + " point " +
         std::to_string(cell.PointIndex()) + " block " + std::to_string(spec.block) + " (seed " +
         std::to_string(spec.seed) + ")";
}

}  // namespace

Manager::Manager(std::vector<Cell>* studyCells, const Launcher* how, BlockSettings blockSettings)
    : cells(studyCells), launcher(how), settings(std::move(blockSettings)) {}

std::vector<std::string> Manager::SimulatorArgs(const Cell& cell, const BlockSpec& spec) const {
  std::vector<std::string> args = {settings.simulator,
                                   "-w",
                                   "-p",
                                   "0",
                                   "-e",
                                   std::to_string(cell.Experiment()),
                                   "-s",
                                   std::to_string(spec.seed),
                                   "-N",
                                   std::to_string(spec.replications),
                                   "-n",
                                   std::to_string(std::min(settings.reportSize, spec.replications)),
                                   "-r",
                                   std::to_string(settings.generator)};
  if (settings.steadyState) args.insert(args.end(), {"-t", "0"});
  const std::string text = OverrideText(cell.Point());
  if (!text.empty()) args.insert(args.end(), {"-O", text});
  return args;
}

int Manager::InFlight(int cell) const {
  int n = 0;
  for (const auto& r : running) n += r->Spec().cell == cell ? 1 : 0;
  return n;
}

// First the blocks every cell needs anyway, in cell order; then one more
// block for the running cell with the fewest blocks started, so that a
// cell rarely has more than one block in flight when it stops.
int Manager::ChooseCell() const {
  for (size_t c = 0; c < cells->size(); ++c) {
    const Cell& cell = (*cells)[c];
    if (cell.Running() && cell.LaunchedBlocks() < cell.MinimumBlocks()) return static_cast<int>(c);
  }
  int best = -1;
  for (size_t c = 0; c < cells->size(); ++c) {
    const Cell& cell = (*cells)[c];
    if (!cell.Running() || cell.LaunchedBlocks() >= cell.PlannedBlocks()) continue;
    if (best < 0 || cell.LaunchedBlocks() < (*cells)[static_cast<size_t>(best)].LaunchedBlocks())
      best = static_cast<int>(c);
  }
  return best;
}

bool Manager::LaunchNext() {
  if (!reruns.empty()) {
    BlockSpec spec = reruns.front();
    reruns.pop_front();
    return Launch(spec);
  }
  const int c = ChooseCell();
  if (c < 0) return false;
  Cell& cell = (*cells)[static_cast<size_t>(c)];
  BlockSpec spec;
  spec.cell = c;
  spec.block = cell.TakeNextBlock();
  spec.seed = cell.BlockSeed(spec.block);
  spec.replications = cell.BlockReplications(spec.block);
  return Launch(spec);
}

bool Manager::Launch(const BlockSpec& spec) {
  const Cell& cell = (*cells)[static_cast<size_t>(spec.cell)];
  auto run = std::make_unique<BlockRun>(spec, settings.numVariables, settings.variables,
                                        settings.timeoutSeconds, settings.steadyState);
  std::string error;
  if (!run->Start(*launcher, SimulatorArgs(cell, spec), &error)) {
    failed = true;
    failureMessage = BlockName(cell, spec) + " could not start: " + error;
    return false;
  }
  running.push_back(std::move(run));
  return true;
}

void Manager::Finish(BlockRun* run) {
  const BlockSpec& spec = run->Spec();
  Cell& cell = (*cells)[static_cast<size_t>(spec.cell)];
  if (!cell.Wants(spec.block)) return;
  if (!run->Succeeded()) {
    if (spec.attempt == 1) {
      std::cerr << "velmor run: " << BlockName(cell, spec) << " failed: " << run->Failure()
                << "\nvelmor run: running it again with the same seed" << std::endl;
      BlockSpec again = spec;
      again.attempt = 2;
      reruns.push_back(again);
    } else {
      failed = true;
      failureMessage = BlockName(cell, spec) + " failed twice: " + run->Failure();
    }
    return;
  }
  BlockData data;
  data.block = spec.block;
  data.seed = spec.seed;
  data.replications = spec.replications;
  data.cpuSeconds = run->CpuSeconds();
  data.attempts = spec.attempt;
  data.node = run->Node();
  // What reproduces the block with the simulator alone: everything but the
  // program and the link's -w -p 0.
  const std::vector<std::string> args = SimulatorArgs(cell, spec);
  data.arguments.assign(args.begin() + 4, args.end());
  // A steady-state run gives a variable with shorter batches more of them:
  // each variable pools the block's first spec.replications batches.
  for (int v : settings.variables) {
    const std::vector<double>& all = run->Stream().Values()[static_cast<size_t>(v)];
    data.values.emplace_back(
        all.begin(),
        all.begin() + std::min<long>(static_cast<long>(all.size()), spec.replications));
  }
  data.observationBytes = run->Stream().ObservationBytes();
  for (const BlockData& pooled : cell.Deliver(std::move(data))) {
    if (pooledSink) pooledSink(cell, pooled);
  }
}

void Manager::StopUnwanted() {
  for (auto& r : running) {
    const Cell& cell = (*cells)[static_cast<size_t>(r->Spec().cell)];
    if (!r->Finished() && !cell.Wants(r->Spec().block)) r->Stop("not needed");
  }
}

void Manager::StopAll(const std::string& why) {
  for (auto& r : running) r->Stop(why);
  running.clear();
}

Outcome Manager::Run() {
  InterruptGuard guard;
  const double start = Now();
  double lastProgress = start;
  for (;;) {
    while (!failed && static_cast<int>(running.size()) < settings.jobs && LaunchNext()) {
    }
    if (failed || running.empty() || interruptSignal != 0) break;
    std::vector<pollfd> fds;
    for (const auto& r : running) r->AddPollFds(&fds);
    poll(fds.data(), fds.size(), 100);
    const double now = Now();
    for (auto& r : running) {
      r->Advance(now);
      if (r->Finished()) Finish(r.get());
      if (failed) break;
    }
    StopUnwanted();
    for (size_t i = 0; i < running.size();) {
      if (running[i]->Finished()) {
        running.erase(running.begin() + static_cast<long>(i));
      } else {
        ++i;
      }
    }
    if (progressSink && now - lastProgress >= 1.0) {
      lastProgress = now;
      progressSink(now - start, false);
    }
  }
  const bool interrupted = interruptSignal != 0;
  StopAll(interrupted ? "interrupted" : "the study failed");
  if (progressSink) progressSink(Now() - start, true);
  if (failed) return Outcome::kFailed;
  return interrupted ? Outcome::kInterrupted : Outcome::kCompleted;
}

}  // namespace velmor_runner

// Manager: runs a study's blocks as simulator processes, at most `jobs` at
// a time, pools each cell's blocks in order as they finish, stops blocks
// that are no longer needed, runs a failed block once more with the same
// seed, and ends on completion, a second failure or an interruption
// (SIGINT/SIGTERM). Not thread-safe; installs its own signal handlers
// while Run is active.
#ifndef VELMOR_RUNNER_MANAGER_H
#define VELMOR_RUNNER_MANAGER_H

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "BlockRun.h"
#include "Cell.h"
#include "Launcher.h"

namespace velmor_runner {

// What every block of the study has in common.
struct BlockSettings {
  std::string simulator;       // path of the simulator executable
  int generator = 0;           // -r
  int numVariables = 0;        // nodes in the observation messages
  std::vector<int> variables;  // indices pooled, in cell variable order
  long reportSize = 250;       // -n
  double timeoutSeconds = 60;  // silence after which a block is stopped
  int jobs = 1;
  bool steadyState = false;  // -t 0: each replication is a batch
};

enum class Outcome { kCompleted, kInterrupted, kFailed };

// Points to the cells and the launcher (they must outlive it).
class Manager {
 public:
  using BlockSink = std::function<void(const Cell&, const BlockData&)>;
  using ProgressSink = std::function<void(double elapsed, bool final)>;

  Manager(std::vector<Cell>* cells, const Launcher* launcher, BlockSettings settings);

  // Called for each block as it is pooled, in block order per cell.
  void OnPooled(BlockSink sink) { pooledSink = std::move(sink); }
  // Called about once a second while running, and once at the end.
  void OnProgress(ProgressSink sink) { progressSink = std::move(sink); }

  Outcome Run();
  // After kFailed: what failed.
  const std::string& FailureMessage() const { return failureMessage; }
  // The simulator arguments of a block (argv[0] is the simulator).
  std::vector<std::string> SimulatorArgs(const Cell& cell, const BlockSpec& spec) const;

 private:
  bool LaunchNext();
  bool Launch(const BlockSpec& spec);
  int ChooseCell() const;
  int InFlight(int cell) const;
  void Finish(BlockRun* run);
  void StopUnwanted();
  void StopAll(const std::string& why);

  std::vector<Cell>* cells;
  const Launcher* launcher;
  BlockSettings settings;
  BlockSink pooledSink;
  ProgressSink progressSink;
  std::vector<std::unique_ptr<BlockRun>> running;
  std::deque<BlockSpec> reruns;
  std::string failureMessage;
  bool failed = false;
};

}  // namespace velmor_runner

#endif  // VELMOR_RUNNER_MANAGER_H

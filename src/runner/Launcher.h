// Launcher: how a block's simulator is started: directly on this machine,
// or as a Slurm job on a cluster node. Builds the command only; the
// process itself is a ChildProcess. Thread-compatible.
#ifndef VELMOR_RUNNER_LAUNCHER_H
#define VELMOR_RUNNER_LAUNCHER_H

#include <memory>
#include <string>
#include <vector>

#include "ChildProcess.h"

namespace velmor_runner {

struct LaunchCommand {
  std::vector<std::string> argv;
  EnvironmentChanges env;
};

class Launcher {
 public:
  virtual ~Launcher() = default;
  // The command that runs the simulator with simulatorArgs (argv[0] is the
  // simulator's path); tag names the block uniquely within this machine.
  virtual LaunchCommand Command(const std::vector<std::string>& simulatorArgs,
                                const std::string& tag) const = 0;
  // True when the command prints "VELMOR_NODE=<host> <job>" before the
  // simulator starts: the host to connect to and the job to cancel.
  virtual bool NamesItsNode() const = 0;
  // Cancels what the block tagged tag left on the cluster (its job, also
  // while it waits in the queue), when anything.
  virtual void Cancel(const std::string& tag) const = 0;
  virtual std::string Name() const = 0;
};

// The simulator runs here and listens on the loopback address only.
class LocalLauncher : public Launcher {
 public:
  LaunchCommand Command(const std::vector<std::string>& simulatorArgs,
                        const std::string& tag) const override;
  bool NamesItsNode() const override { return false; }
  void Cancel(const std::string&) const override {}
  std::string Name() const override { return "local"; }
};

// The simulator runs as a one-task Slurm job (srun), on whichever node the
// cluster picks; the runner connects to that node.
class SlurmLauncher : public Launcher {
 public:
  // partition and timeLimit may be empty (the cluster's defaults);
  // extraArgs are passed to srun as they are.
  SlurmLauncher(std::string partition, std::string timeLimit, std::vector<std::string> extraArgs);
  LaunchCommand Command(const std::vector<std::string>& simulatorArgs,
                        const std::string& tag) const override;
  bool NamesItsNode() const override { return true; }
  // scancel by the job's name, which is the tag.
  void Cancel(const std::string& tag) const override;
  std::string Name() const override { return "slurm"; }

 private:
  std::string partition;
  std::string timeLimit;
  std::vector<std::string> extraArgs;
};

// The path of an executable found on PATH, or name itself when not found.
std::string FindOnPath(const std::string& name);

}  // namespace velmor_runner

#endif  // VELMOR_RUNNER_LAUNCHER_H

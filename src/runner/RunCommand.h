// RunCommand: `velmor run`, the study runner's subcommand: options, checks
// against the simulator's study, the run and its results. Not thread-safe.
#ifndef VELMOR_RUNNER_RUNCOMMAND_H
#define VELMOR_RUNNER_RUNCOMMAND_H

#include <string>
#include <vector>

#include "RunOptions.h"

namespace CLI {
class App;
}

namespace velmor_runner {

// Registers `run` on app; its callback ends the process through
// CLI::RuntimeError with the run's exit status (0, 1, or 130 after an
// interruption).
void AddRunCommand(CLI::App& app);

// Runs a study; returns the exit status. command is the runner's argv, for
// the manifest.
int RunStudy(const RunOptions& options, const std::vector<std::string>& command);

}  // namespace velmor_runner

#endif  // VELMOR_RUNNER_RUNCOMMAND_H

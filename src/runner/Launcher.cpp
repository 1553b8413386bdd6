#include "Launcher.h"

#include <unistd.h>

#include <cstdlib>

namespace velmor_runner {

LaunchCommand LocalLauncher::Command(const std::vector<std::string>& simulatorArgs,
                                     const std::string&) const {
  LaunchCommand c;
  c.argv = simulatorArgs;
  c.env.set.push_back("VELMOR_SIMMGR_LOOPBACK=1");
  return c;
}

SlurmLauncher::SlurmLauncher(std::string partitionName, std::string limit,
                             std::vector<std::string> extra)
    : partition(std::move(partitionName)),
      timeLimit(std::move(limit)),
      extraArgs(std::move(extra)) {}

LaunchCommand SlurmLauncher::Command(const std::vector<std::string>& simulatorArgs,
                                     const std::string& tag) const {
  LaunchCommand c;
  c.argv = {FindOnPath("srun"), "--quiet", "--job-name=" + tag, "--ntasks=1", "--nodes=1"};
  if (!partition.empty()) c.argv.push_back("--partition=" + partition);
  if (!timeLimit.empty()) c.argv.push_back("--time=" + timeLimit);
  for (const std::string& a : extraArgs) c.argv.push_back(a);
  // The task names its node and job first, then becomes the simulator.
  c.argv.insert(c.argv.end(),
                {"/bin/sh", "-c", "echo \"VELMOR_NODE=$(hostname) $SLURM_JOB_ID\"; exec \"$@\"",
                 "velmor-block"});
  c.argv.insert(c.argv.end(), simulatorArgs.begin(), simulatorArgs.end());
  // The simulator must listen where the runner can reach it.
  c.env.unset.push_back("VELMOR_SIMMGR_LOOPBACK");
  return c;
}

void SlurmLauncher::Cancel(const std::string& tag) const {
  std::string out, err;
  RunToCompletion({FindOnPath("scancel"), "--quiet", "--name=" + tag}, &out, &err);
}

std::string FindOnPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t colon = dirs.find(':', start);
    if (colon == std::string::npos) colon = dirs.size();
    const std::string candidate = dirs.substr(start, colon - start) + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    start = colon + 1;
  }
  return name;
}

}  // namespace velmor_runner

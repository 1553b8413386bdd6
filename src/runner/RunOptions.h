// RunOptions: the options of `velmor run`, as the command line gave them,
// and their checks against each other. Plain data; not thread-safe.
#ifndef VELMOR_RUNNER_RUNOPTIONS_H
#define VELMOR_RUNNER_RUNOPTIONS_H

#include <cstdint>
#include <string>
#include <vector>

namespace velmor_runner {

struct RunOptions {
  std::string target;       // SIM (an executable) or MODEL
  std::string experiments;  // "0,2,5-8"; empty: all
  std::vector<std::string> sets;
  double relPrecision = 0.0;
  double absPrecision = 0.0;
  double confidence = 0.95;
  long minReplications = 0;  // 0: one block
  long maxReplications = 200000;
  long replications = 0;  // > 0: fixed count
  long blockSize = 2000;
  uint64_t seed = 31415;
  std::string generator = "lagged-fibonacci";
  int jobs = 0;  // 0: every core
  std::string out = "results";
  bool force = false;
  double timeout = 60.0;
  std::string launcher = "local";
  std::string partition;
  std::string timeLimit;
  std::vector<std::string> slurmArgs;
  bool plots = true;
  bool steadyState = false;  // batch means (-t 0): pools the steady-state variables
};

// The generator's -r number, or -1 for an unknown name.
int GeneratorNumber(const std::string& name);

// Parses "0,2,5-8" into indices within 0 .. count-1, in the order given,
// without repeats; false with `error` set.
bool ParseExperimentList(const std::string& text, int count, std::vector<int>* out,
                         std::string* error);

}  // namespace velmor_runner

#endif  // VELMOR_RUNNER_RUNOPTIONS_H

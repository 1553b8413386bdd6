// StudyInfo: what the runner knows of a simulator's study: its global
// variables (name, type, value in each experiment), the number of
// experiments and the reward-variable nodes. Read from the JSON that the
// simulator's companion query tool (<model>_pvtypes --study) prints.
// Not thread-safe.
#ifndef VELMOR_RUNNER_STUDYINFO_H
#define VELMOR_RUNNER_STUDYINFO_H

#include <string>
#include <vector>

namespace velmor_runner {

struct GlobalVariable {
  std::string name;
  std::string type;                 // "float", "short", ...
  std::vector<std::string> values;  // per experiment, as override text
};

struct RewardVariable {
  int index = 0;  // index in the simulator's observation messages
  std::string name;
  double time = 0.0;
  bool steadyState = false;
};

struct StudyInfo {
  int experiments = 0;
  std::vector<GlobalVariable> globals;
  std::vector<RewardVariable> variables;

  // Parses the query tool's JSON; false with `error` set when malformed.
  bool Parse(const std::string& json, std::string* error);
  // The variables of a terminating run, in index order.
  std::vector<RewardVariable> TerminatingVariables() const;
  // The steady-state (batch means) variables, in index order.
  std::vector<RewardVariable> SteadyStateVariables() const;
  // The global variable named `name`, or null.
  const GlobalVariable* Find(const std::string& name) const;
};

// The companion query tool of a simulator: <dir>/<model>_pvtypes next to
// <dir>/<model>_sim. Empty when the simulator's name does not end in _sim.
std::string QueryToolFor(const std::string& simulatorPath);

// Runs the query tool and parses its output; false with `error` set.
bool LoadStudyInfo(const std::string& simulatorPath, StudyInfo* info, std::string* error);

}  // namespace velmor_runner

#endif  // VELMOR_RUNNER_STUDYINFO_H

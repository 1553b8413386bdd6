// ResultsCommand: `velmor results DIR`: reads the block files of a finished
// or interrupted run, pools them as the run did and prints its table (or
// its CSV or JSON summary, or draws its plots). Not thread-safe.
#ifndef VELMOR_RUNNER_RESULTSCOMMAND_H
#define VELMOR_RUNNER_RESULTSCOMMAND_H

#include <string>

namespace CLI {
class App;
}

namespace velmor_runner {

void AddResultsCommand(CLI::App& app);

// format: "table", "csv", "json" or "plots" (draws them into the folder).
// Returns the exit status.
int ShowResults(const std::string& folder, const std::string& format);

}  // namespace velmor_runner

#endif  // VELMOR_RUNNER_RESULTSCOMMAND_H

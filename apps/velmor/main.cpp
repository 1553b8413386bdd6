// velmor: the project's command with one subcommand per task. Each
// subcommand is registered by its own library; adding one is one line.
#include <CLI/CLI.hpp>

#include "ResultsCommand.h"
#include "RunCommand.h"

int main(int argc, char** argv) {
  CLI::App app{"velmor: studies of stochastic activity network models"};
  app.require_subcommand(1);
  velmor_runner::AddRunCommand(app);
  velmor_runner::AddResultsCommand(app);
  CLI11_PARSE(app, argc, argv);
  return 0;
}

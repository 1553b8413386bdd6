// velmor: the tool's entry point; each subcommand is registered by its own
// library.
#include <CLI/CLI.hpp>

#include "jani/ImportCommand.h"
#include "langcli/Commands.h"

int main(int argc, char** argv) {
  CLI::App app{"velmor: stochastic activity network models"};
  app.require_subcommand(1);
  AddCheckCommand(app);
  AddDescribeCommand(app);
  AddGenerateCommand(app);
  AddBuildCommand(app);
  AddImportCommand(app);
  CLI11_PARSE(app, argc, argv);
  return 0;
}

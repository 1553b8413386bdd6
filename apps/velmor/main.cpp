// velmor: the tool's entry point; each subcommand is registered by its own
// library. Any failure ends with status 1 (help and success with 0).
#include <CLI/CLI.hpp>

#include "langcli/Commands.h"

int main(int argc, char** argv) {
  CLI::App app{"velmor: stochastic activity network models"};
  app.require_subcommand(1);
  AddCheckCommand(app);
  AddDescribeCommand(app);
  AddGenerateCommand(app);
  AddBuildCommand(app);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e) == 0 ? 0 : 1;
  }
  return 0;
}

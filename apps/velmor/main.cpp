// velmor: the project's command with one subcommand per task. Each
// subcommand is registered by its own library; adding one is one line.
#include <CLI/CLI.hpp>

#include "jani/ImportCommand.h"
#include "langcli/Commands.h"
#include "runner/ResultsCommand.h"
#include "runner/RunCommand.h"

int main(int argc, char** argv) {
  CLI::App app{"velmor: stochastic activity network models and their studies"};
  app.require_subcommand(1);
  AddCheckCommand(app);
  AddDescribeCommand(app);
  AddGenerateCommand(app);
  AddBuildCommand(app);
  AddImportCommand(app);
  velmor_runner::AddRunCommand(app);
  velmor_runner::AddResultsCommand(app);
  try {
    app.parse(argc, argv);
  } catch (const CLI::RuntimeError& e) {
    return e.get_exit_code();  // a subcommand's own exit status
  } catch (const CLI::ParseError& e) {
    return app.exit(e) == 0 ? 0 : 1;  // help is 0, a bad command line 1
  }
  return 0;
}

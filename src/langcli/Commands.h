// Commands: the model subcommands of the velmor tool, each registered on
// the tool's CLI11 application: check, describe, generate and build.
// Not thread-safe.
#ifndef VELMOR_LANGCLI_COMMANDS_H
#define VELMOR_LANGCLI_COMMANDS_H

#include <CLI/CLI.hpp>

// `velmor check MODEL`: errors and warnings; status 1 on any error.
void AddCheckCommand(CLI::App& app);
// `velmor describe MODEL`: the listing of the model.
void AddDescribeCommand(CLI::App& app);
// `velmor generate MODEL DIR`: writes DIR/<model>_model.h and .cpp.
void AddGenerateCommand(CLI::App& app);
// `velmor build MODEL [-o DIR]`: generates, compiles and links the
// simulator in DIR (default ./build-<model>) and prints its path.
void AddBuildCommand(CLI::App& app);

#endif  // VELMOR_LANGCLI_COMMANDS_H

// ImportCommand: `velmor import FILE.jani [--constants ...] [--properties
// ...] -o MODEL`, registered on the tool's CLI11 application.
// Not thread-safe.
#ifndef VELMOR_JANI_IMPORTCOMMAND_H
#define VELMOR_JANI_IMPORTCOMMAND_H

#include <CLI/CLI.hpp>

// Errors go to standard error as "FILE: path/in/json: message" with exit
// status 1, and no model file is written.
void AddImportCommand(CLI::App& app);

#endif  // VELMOR_JANI_IMPORTCOMMAND_H

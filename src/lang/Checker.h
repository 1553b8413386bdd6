// Checker: resolves the names of a parsed model, checks its types and
// structure, and derives what the generator needs: each action's affected
// and enabling places, group ids, the top node and the study's value table.
// Errors and warnings go to the diagnostics. Not thread-safe.
#ifndef VELMOR_LANG_CHECKER_H
#define VELMOR_LANG_CHECKER_H

#include "lang/Ast.h"
#include "lang/Diagnostics.h"

namespace lang {

// Checks model in place; true when no error was found (warnings allowed).
bool Check(Model& model, Diagnostics& diag);

// Parses and checks the file at path; false (with messages) on any error,
// including a file that cannot be read.
bool LoadModel(const std::string& path, Model& model, Diagnostics& diag);

}  // namespace lang

#endif  // VELMOR_LANG_CHECKER_H

// Describe: a readable listing of a checked model: globals, each submodel's
// places and actions with the arcs derived for them, the composition tree,
// the reward variables and every experiment's global values. Not
// thread-safe.
#ifndef VELMOR_LANG_DESCRIBE_H
#define VELMOR_LANG_DESCRIBE_H

#include <ostream>

#include "lang/Ast.h"

namespace lang {

// REQUIRES: model passed Check without errors.
void Describe(const Model& model, std::ostream& out);

}  // namespace lang

#endif  // VELMOR_LANG_DESCRIBE_H

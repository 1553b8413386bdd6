// Parser: reads the text of a model file into a Model. Stops at the first
// syntax error, which goes to the diagnostics. Not thread-safe.
#ifndef VELMOR_LANG_PARSER_H
#define VELMOR_LANG_PARSER_H

#include <string>

#include "lang/Ast.h"
#include "lang/Diagnostics.h"

namespace lang {

// Parses text into model; false (with one error in diag) on a syntax error.
bool Parse(const std::string& text, Model& model, Diagnostics& diag);

}  // namespace lang

#endif  // VELMOR_LANG_PARSER_H

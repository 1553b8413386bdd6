// ExprWriter: writes an expression in the model language, with the fewest
// parentheses its precedence needs. Pure functions; thread-compatible.
#ifndef VELMOR_JANI_EXPRWRITER_H
#define VELMOR_JANI_EXPRWRITER_H

#include <string>

#include "jani/Expr.h"
#include "jani/Symbols.h"

namespace velmor::jani {

// A number as the model language reads it back exactly: integers without a
// point, reals with the shortest text that round-trips (always with "." or
// an exponent, so the language reads them as reals).
std::string NumberText(double value, Type type);

// The expression text. Variables stored with an offset read as
// "(name - k)"; JANI's real division of integers is written "1.0 * a / b".
std::string WriteExpr(const Expr& e, const SymbolTable& symbols);

}  // namespace velmor::jani

#endif  // VELMOR_JANI_EXPRWRITER_H

// ExprFold: evaluates an expression whose symbols are all constants.
// Pure functions; thread-safe for a table no one writes.
#ifndef VELMOR_JANI_EXPRFOLD_H
#define VELMOR_JANI_EXPRFOLD_H

#include <optional>

#include "jani/Expr.h"
#include "jani/Symbols.h"

namespace velmor::jani {

// The value of `e`, or nothing when it reads a state variable, a location
// or an open constant. Integer results are integral; booleans are 0 or 1.
std::optional<double> Fold(const Expr& e, const SymbolTable& symbols);

// Applies a JANI operator to constant operands (also those the model
// language lacks: floor, ceil, pow, log, exp, sgn, trc). Nothing when the
// operator is unknown or the operands are invalid for it (x % 0).
std::optional<double> Apply(const std::string& op, const std::vector<double>& v, Type type);

}  // namespace velmor::jani

#endif  // VELMOR_JANI_EXPRFOLD_H

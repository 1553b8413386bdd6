// CheckExtended: the checks and derived facts of extended places (arrays,
// records, arrays of records): sizes, initial values, leaves, element
// accesses and shapes. Not thread-safe.
#ifndef VELMOR_LANG_CHECKEXTENDED_H
#define VELMOR_LANG_CHECKEXTENDED_H

#include <string>

#include "lang/Ast.h"
#include "lang/Diagnostics.h"

namespace lang {

// Largest number of elements of an array place.
constexpr int kMaxElements = 10000;

// Sizes s.extended[xi] (its size expression already resolved), checks its
// fields and the number of its initial values, and appends its leaves to
// s.places. Reports errors to d.
void ExpandExtended(Submodel& s, int xi, Diagnostics& d);

// The shape shared places must agree on: "short[4]",
// "{up : short, temp : double}", "{up : short}[3]".
std::string ExtendedShape(const ExtendedPlace& x);

// The name of one leaf: "queue[2]", "unit.up", "units[1].up".
std::string LeafName(const ExtendedPlace& x, int element, int field);

// Resolves the element access e (kElement, its index already resolved)
// against s: fills extended, index, leaves and type. False after an error.
bool ResolveElement(Expr& e, const Submodel& s, Diagnostics& d);

}  // namespace lang

#endif  // VELMOR_LANG_CHECKEXTENDED_H

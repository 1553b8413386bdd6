// ExprCpp: the C++ text of a checked expression or statement list, and the
// value of constant expressions. The C++ evaluates exactly what was
// written, parenthesised, so C++'s own arithmetic rules apply. Not
// thread-safe.
#ifndef VELMOR_LANG_EXPRCPP_H
#define VELMOR_LANG_EXPRCPP_H

#include <functional>
#include <string>
#include <vector>

#include "lang/Ast.h"

namespace lang {

// How a place is read and written in the generated code, by place index.
using PlaceText = std::function<std::string(int)>;

// A function expressions may call: its name, number of arguments and the
// type of its result (that of its arguments: integer unless one is real).
struct Function {
  enum Result { kLikeArguments, kInteger, kReal };
  const char* name;
  int arity;
  Result result;
};
// The function called name; null when there is none.
const Function* FindFunction(const std::string& name);

// How an element access with a computed index (kElement, index -1) is
// read and written, given the C++ text of its index.
using ElementText = std::function<std::string(const Expr& e, const std::string& index)>;

// An element access with a constant index, or a field of a record, is a
// place (place(leaf)); one with a computed index goes to element.
std::string ExprToCpp(const Expr& e, const Model& m, const PlaceText& place,
                      const ElementText& element = nullptr);
// How a place is read, by submodel and place index (reward variables over
// several submodels), and the C++ text of such an expression.
using ScopedPlaceText = std::function<std::string(int submodel, int place)>;
std::string ScopedExprToCpp(const Expr& e, const Model& m, const ScopedPlaceText& place,
                            const ElementText& element = nullptr);
// Statements, one a line, each line starting with indent.
std::string StmtsToCpp(const std::vector<Stmt>& body, const Model& m, const PlaceText& place,
                       const std::string& indent, const ElementText& element = nullptr);

// The value of e when it reads no place and no global (and divides by no
// zero); false otherwise.
bool ConstantValue(const Expr& e, double& value);

// A constant's text for a message: digits when it is a whole number that
// fits a long, otherwise the shortest %g form ("1e+44").
std::string ValueText(double v);

// Every place index e reads, appended in first-appearance order (no
// duplicates); an element access reads every leaf it may touch.
void PlacesRead(const Expr& e, std::vector<int>& out);

}  // namespace lang

#endif  // VELMOR_LANG_EXPRCPP_H

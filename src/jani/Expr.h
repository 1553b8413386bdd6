// Expr: the importer's expression tree, already resolved against the JANI
// scopes (constants, variables, functions inlined). Immutable once built;
// shared freely between threads.
#ifndef VELMOR_JANI_EXPR_H
#define VELMOR_JANI_EXPR_H

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace velmor::jani {

enum class Type { Bool, Int, Real };

struct Expr;
using ExprP = std::shared_ptr<const Expr>;

// One node. Kinds: a literal, a symbol (index into the importer's symbol
// table), or an operator over args. Operators use the model language's
// spelling ("+", "==", "and", "not", "neg", "ite", "min", "max", "abs", "floor",
// "ceil", "pow", "exp", "log": log has one operand, the natural logarithm).
// Invariant: `type` is the type of the value the node yields.
struct Expr {
  enum class Kind { Literal, Symbol, Op };
  Kind kind = Kind::Literal;
  Type type = Type::Int;
  double value = 0;  // Literal (bools are 0 or 1)
  int symbol = -1;   // Symbol
  std::string op;    // Op
  std::vector<ExprP> args;
  int depth = 1;    // of the tree written out
  double size = 1;  // nodes of the tree written out (shared parts counted each time)
};

// Limits that keep every walk over a tree (and the text written) bounded.
constexpr int kMaxExprDepth = 1000;
constexpr double kMaxExprSize = 1e6;

ExprP Literal(double value, Type type);
ExprP Bool(bool value);
ExprP SymbolRef(int symbol, Type type);
// Builds an operator node and works out its type from the operands.
ExprP Op(const std::string& op, std::vector<ExprP> args);
// Conjunction / product that drop neutral literals (true, 1).
ExprP And(const ExprP& a, const ExprP& b);
ExprP Times(const ExprP& a, const ExprP& b);

bool IsLiteral(const Expr& e, double value);
// The symbols an expression reads, in ascending order.
void CollectSymbols(const Expr& e, std::set<int>& out);

}  // namespace velmor::jani

#endif  // VELMOR_JANI_EXPR_H

#include "jani/Expr.h"

#include <algorithm>

namespace velmor::jani {

namespace {

bool IsComparison(const std::string& op) {
  return op == "==" || op == "!=" || op == "<" || op == "<=" || op == ">" || op == ">=";
}

Type ResultType(const std::string& op, const std::vector<ExprP>& args) {
  if (IsComparison(op) || op == "and" || op == "or" || op == "not") return Type::Bool;
  if (op == "/" || op == "pow" || op == "exp" || op == "log") return Type::Real;
  if (op == "floor" || op == "ceil") return Type::Int;
  if (op == "ite") {
    if (args[1]->type == Type::Real || args[2]->type == Type::Real) return Type::Real;
    if (args[1]->type == Type::Bool && args[2]->type == Type::Bool) return Type::Bool;
    return Type::Int;
  }
  for (const ExprP& a : args)
    if (a->type == Type::Real) return Type::Real;
  return Type::Int;
}

}  // namespace

ExprP Literal(double value, Type type) {
  auto e = std::make_shared<Expr>();
  e->kind = Expr::Kind::Literal;
  e->type = type;
  e->value = value;
  return e;
}

ExprP Bool(bool value) { return Literal(value ? 1 : 0, Type::Bool); }

ExprP SymbolRef(int symbol, Type type) {
  auto e = std::make_shared<Expr>();
  e->kind = Expr::Kind::Symbol;
  e->type = type;
  e->symbol = symbol;
  return e;
}

ExprP Op(const std::string& op, std::vector<ExprP> args) {
  auto e = std::make_shared<Expr>();
  e->kind = Expr::Kind::Op;
  e->type = ResultType(op, args);
  e->op = op;
  e->args = std::move(args);
  for (const ExprP& a : e->args) {
    e->depth = std::max(e->depth, a->depth + 1);
    e->size += a->size;
  }
  return e;
}

bool IsLiteral(const Expr& e, double value) {
  return e.kind == Expr::Kind::Literal && e.value == value;
}

ExprP And(const ExprP& a, const ExprP& b) {
  if (!a || IsLiteral(*a, 1)) return b;
  if (!b || IsLiteral(*b, 1)) return a;
  return Op("and", {a, b});
}

ExprP Times(const ExprP& a, const ExprP& b) {
  if (!a || IsLiteral(*a, 1)) return b;
  if (!b || IsLiteral(*b, 1)) return a;
  return Op("*", {a, b});
}

void CollectSymbols(const Expr& e, std::set<int>& out) {
  if (e.kind == Expr::Kind::Symbol) out.insert(e.symbol);
  for (const ExprP& a : e.args) CollectSymbols(*a, out);
}

}  // namespace velmor::jani

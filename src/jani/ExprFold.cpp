#include "jani/ExprFold.h"

#include <cmath>

namespace velmor::jani {

std::optional<double> Apply(const std::string& op, const std::vector<double>& v, Type type) {
  auto n = v.size();
  if (n == 1) {
    double a = v[0];
    if (op == "not") return a == 0 ? 1 : 0;
    if (op == "neg") return -a;
    if (op == "abs") return std::fabs(a);
    if (op == "floor") return std::floor(a);
    if (op == "ceil") return std::ceil(a);
    if (op == "exp") return std::exp(a);
    if (op == "log") return std::log(a);
    if (op == "trc") return std::trunc(a);
    if (op == "sgn") return a > 0 ? 1.0 : (a < 0 ? -1.0 : 0.0);
    return std::nullopt;
  }
  if (n == 3 && op == "ite") return v[0] != 0 ? v[1] : v[2];
  if (n != 2) return std::nullopt;
  double a = v[0], b = v[1];
  if (op == "+") return a + b;
  if (op == "-") return a - b;
  if (op == "*") return a * b;
  if (op == "/") return b == 0 ? std::nullopt : std::optional<double>(a / b);
  if (op == "%") {
    if (b == 0) return std::nullopt;
    return std::fmod(a, b);
  }
  if (op == "min") return a < b ? a : b;
  if (op == "max") return a > b ? a : b;
  if (op == "pow") return std::pow(a, b);
  if (op == "log") return std::log(a) / std::log(b);
  if (op == "==") return a == b ? 1 : 0;
  if (op == "!=") return a != b ? 1 : 0;
  if (op == "<") return a < b ? 1 : 0;
  if (op == "<=") return a <= b ? 1 : 0;
  if (op == ">") return a > b ? 1 : 0;
  if (op == ">=") return a >= b ? 1 : 0;
  if (op == "and") return (a != 0 && b != 0) ? 1 : 0;
  if (op == "or") return (a != 0 || b != 0) ? 1 : 0;
  (void)type;
  return std::nullopt;
}

std::optional<double> Fold(const Expr& e, const SymbolTable& symbols) {
  switch (e.kind) {
    case Expr::Kind::Literal:
      return e.value;
    case Expr::Kind::Symbol: {
      const Symbol& s = symbols[e.symbol];
      if (s.kind != Symbol::Kind::Constant) return std::nullopt;
      return s.value;
    }
    case Expr::Kind::Op:
      break;
  }
  if (e.op == "ite") {
    auto c = Fold(*e.args[0], symbols);
    if (!c) return std::nullopt;
    return Fold(*e.args[*c != 0 ? 1 : 2], symbols);
  }
  std::vector<double> v;
  for (const ExprP& a : e.args) {
    auto x = Fold(*a, symbols);
    if (!x) return std::nullopt;
    v.push_back(*x);
  }
  return Apply(e.op, v, e.type);
}

}  // namespace velmor::jani

// ExprCpp: expression and statement translation to C++ and constant folding.
#include "lang/ExprCpp.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace lang {

namespace {

void AddOnce(std::vector<int>& out, int v) {
  if (std::find(out.begin(), out.end(), v) == out.end()) out.push_back(v);
}

const Function kFunctions[] = {
    {"min", 2, Function::kLikeArguments}, {"max", 2, Function::kLikeArguments},
    {"abs", 1, Function::kLikeArguments}, {"floor", 1, Function::kInteger},
    {"ceil", 1, Function::kInteger},      {"pow", 2, Function::kReal},
    {"exp", 1, Function::kReal},          {"log", 1, Function::kReal}};

}  // namespace

const Function* FindFunction(const std::string& name) {
  for (const Function& f : kFunctions) {
    if (name == f.name) return &f;
  }
  return nullptr;
}

std::string ExprToCpp(const Expr& e, const Model& m, const PlaceText& place,
                      const ElementText& element) {
  return ScopedExprToCpp(
      e, m, [&](int, int p) { return place(p); }, element);
}

std::string ScopedExprToCpp(const Expr& e, const Model& m, const ScopedPlaceText& place,
                            const ElementText& element) {
  auto arg = [&](size_t i) { return ScopedExprToCpp(*e.args[i], m, place, element); };
  switch (e.kind) {
    case Expr::kNumber:
    case Expr::kBool:
      return e.text;
    case Expr::kName:
      if (e.ref == Expr::kPlace) return place(e.submodel, e.index);
      return e.text;
    case Expr::kElement:
      if (e.index >= 0) return place(e.submodel, e.index);
      return element ? element(e, arg(0)) : std::string();
    case Expr::kUnary:
      return "(" + e.text + arg(0) + ")";
    case Expr::kBinary: {
      double divisor = 0;
      bool checked = (e.text == "/" || e.text == "%") && e.type == ValueType::kInt &&
                     !(ConstantValue(*e.args[1], divisor) && divisor != 0 && divisor != -1);
      if (checked) {
        // An integer divisor known only at run time: zero stops the run.
        std::string file = m.file.substr(m.file.find_last_of('/') + 1);
        return std::string(e.text == "/" ? "VelmorDivide(" : "VelmorRemainder(") + arg(0) + ", " +
               arg(1) + ", \"" + file + ":" + std::to_string(e.pos.line) + ":" +
               std::to_string(e.pos.col) + "\")";
      }
      return "(" + arg(0) + " " + e.text + " " + arg(1) + ")";
    }
    case Expr::kCond:
      return "(" + arg(0) + " ? " + arg(1) + " : " + arg(2) + ")";
    case Expr::kCall: {
      if (e.text == "abs") return "(" + arg(0) + " < 0 ? -" + arg(0) + " : " + arg(0) + ")";
      // floor and ceil are integers (C++ int); the others C++ doubles.
      if (e.text == "floor" || e.text == "ceil") {
        std::string file = m.file.substr(m.file.find_last_of('/') + 1);
        return "VelmorIntegerOf(std::" + e.text + "(" + arg(0) + "), \"" + e.text + " at " + file +
               ":" + std::to_string(e.pos.line) + ":" + std::to_string(e.pos.col) + "\")";
      }
      if (e.text == "pow") return "std::pow(static_cast<double>(" + arg(0) + "), " + arg(1) + ")";
      if (e.text == "exp" || e.text == "log")
        return "std::" + e.text + "(static_cast<double>(" + arg(0) + "))";
      std::string cmp = e.text == "min" ? " < " : " > ";
      return "(" + arg(0) + cmp + arg(1) + " ? " + arg(0) + " : " + arg(1) + ")";
    }
  }
  return "";
}

std::string StmtsToCpp(const std::vector<Stmt>& body, const Model& m, const PlaceText& place,
                       const std::string& indent, const ElementText& element) {
  std::string out;
  for (const Stmt& s : body) {
    if (s.kind == Stmt::kAssign) {
      std::string target = s.target ? ExprToCpp(*s.target, m, place, element) : place(s.placeIndex);
      out += indent + target + " " + s.op + " " + ExprToCpp(*s.expr, m, place, element) + ";\n";
    } else {
      // Without the expression's own outer parentheses: clang warns about
      // "if ((a == b))".
      std::string cond = ExprToCpp(*s.expr, m, place, element);
      bool wrapped = s.expr->kind != Expr::kNumber && s.expr->kind != Expr::kBool &&
                     s.expr->kind != Expr::kName && s.expr->kind != Expr::kElement;
      if (wrapped) cond = cond.substr(1, cond.size() - 2);
      out += indent + "if (" + cond + ") {\n";
      out += StmtsToCpp(s.thenBody, m, place, indent + "  ", element);
      if (!s.elseBody.empty()) {
        out += indent + "} else {\n";
        out += StmtsToCpp(s.elseBody, m, place, indent + "  ", element);
      }
      out += indent + "}\n";
    }
  }
  return out;
}

std::string ValueText(double v) {
  if (std::floor(v) == v && std::fabs(v) < 9.0e18) {
    return std::to_string(static_cast<long long>(v));
  }
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", v);
  return buf;
}

bool ConstantValue(const Expr& e, double& value) {
  std::vector<double> a(e.args.size());
  for (size_t i = 0; i < e.args.size(); ++i) {
    if (!ConstantValue(*e.args[i], a[i])) return false;
  }
  bool ints = e.type != ValueType::kReal;
  switch (e.kind) {
    case Expr::kNumber:
      value = std::strtod(e.text.c_str(), nullptr);
      return std::isfinite(value);
    case Expr::kBool:
      value = e.text == "true" ? 1.0 : 0.0;
      return true;
    case Expr::kName:
    case Expr::kElement:
      return false;
    case Expr::kUnary:
      value = e.text == "-" ? -a[0] : (a[0] == 0.0 ? 1.0 : 0.0);
      return true;
    case Expr::kCond:
      value = a[0] != 0.0 ? a[1] : a[2];
      return true;
    case Expr::kCall:
      if (e.text == "abs") {
        value = std::fabs(a[0]);
      } else if (e.text == "floor" || e.text == "ceil") {
        value = e.text == "floor" ? std::floor(a[0]) : std::ceil(a[0]);
        return std::fabs(value) < 2147483648.0;
      } else if (e.text == "pow" || e.text == "exp" || e.text == "log") {
        value = e.text == "pow" ? std::pow(a[0], a[1])
                                : (e.text == "exp" ? std::exp(a[0]) : std::log(a[0]));
        return std::isfinite(value);
      } else {
        value = e.text == "min" ? std::min(a[0], a[1]) : std::max(a[0], a[1]);
      }
      return true;
    case Expr::kBinary:
      break;
  }
  const std::string& op = e.text;
  double x = a[0], y = a[1];
  if (op == "+")
    value = x + y;
  else if (op == "-")
    value = x - y;
  else if (op == "*")
    value = x * y;
  else if (op == "/" || op == "%") {
    if (y == 0.0) return false;
    if (op == "%")
      value = std::fmod(x, y);
    else
      value = ints ? std::trunc(x / y) : x / y;
  } else if (op == "==")
    value = x == y;
  else if (op == "!=")
    value = x != y;
  else if (op == "<")
    value = x < y;
  else if (op == "<=")
    value = x <= y;
  else if (op == ">")
    value = x > y;
  else if (op == ">=")
    value = x >= y;
  else if (op == "&&")
    value = (x != 0.0) && (y != 0.0);
  else if (op == "||")
    value = (x != 0.0) || (y != 0.0);
  else
    return false;
  return std::isfinite(value);
}

void PlacesRead(const Expr& e, std::vector<int>& out) {
  if (e.kind == Expr::kName && e.ref == Expr::kPlace) AddOnce(out, e.index);
  if (e.kind == Expr::kElement) {
    for (int leaf : e.leaves) AddOnce(out, leaf);
  }
  for (const ExprPtr& a : e.args) PlacesRead(*a, out);
}

}  // namespace lang

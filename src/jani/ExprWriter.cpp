#include "jani/ExprWriter.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace velmor::jani {

namespace {

// Precedence levels, loosest first.
enum Level { kIf = 0, kOr, kAnd, kNot, kCmp, kAdd, kMul, kNeg, kAtom };

int LevelOf(const Expr& e) {
  if (e.kind == Expr::Kind::Literal) return e.value < 0 ? kNeg : kAtom;
  if (e.kind == Expr::Kind::Symbol) return kAtom;
  const std::string& op = e.op;
  if (op == "ite") return kIf;
  if (op == "or") return kOr;
  if (op == "and") return kAnd;
  if (op == "not") return kNot;
  if (op == "==" || op == "!=" || op == "<" || op == "<=" || op == ">" || op == ">=") return kCmp;
  if (op == "+" || op == "-") return kAdd;
  if (op == "*" || op == "/" || op == "%") return kMul;
  if (op == "neg") return kNeg;
  return kAtom;  // functions: min, max, abs, floor, ceil, pow, exp, log
}

class Writer {
 public:
  explicit Writer(const SymbolTable& symbols) : symbols_(symbols) {}

  std::string Write(const Expr& e) {
    switch (e.kind) {
      case Expr::Kind::Literal:
        return e.type == Type::Bool ? (e.value != 0 ? "true" : "false")
                                    : NumberText(e.value, e.type);
      case Expr::Kind::Symbol:
        return WriteSymbol(symbols_[e.symbol]);
      case Expr::Kind::Op:
        return WriteOp(e);
    }
    return "";
  }

 private:
  std::string WriteSymbol(const Symbol& s) {
    if (s.offset == 0) return s.name;
    return "(" + s.name + " - " + NumberText(-s.offset, Type::Int) + ")";
  }

  // The operand, parenthesised when it binds looser than `level` (or as
  // loose, when `strict`).
  std::string Operand(const Expr& e, int level, bool strict) {
    int own = LevelOf(e);
    std::string text = Write(e);
    if (own < level || (strict && own == level)) return "(" + text + ")";
    return text;
  }

  std::string WriteOp(const Expr& e) {
    const std::string& op = e.op;
    int level = LevelOf(e);
    if (op == "ite")
      return "if " + Write(*e.args[0]) + " then " + Write(*e.args[1]) + " else " +
             Write(*e.args[2]);
    if (op == "not") return "not " + Operand(*e.args[0], kNot, false);
    if (op == "neg") return "-" + Operand(*e.args[0], kNeg, false);
    if (op == "min" || op == "max" || op == "pow")
      return op + "(" + Write(*e.args[0]) + ", " + Write(*e.args[1]) + ")";
    if (op == "abs" || op == "floor" || op == "ceil" || op == "exp" || op == "log")
      return op + "(" + Write(*e.args[0]) + ")";
    std::string left = Operand(*e.args[0], level, level == kCmp);
    std::string right = Operand(*e.args[1], level, true);
    if (op == "/" && e.args[0]->type != Type::Real && e.args[1]->type != Type::Real)
      left = "1.0 * " + left;
    return left + " " + op + " " + right;
  }

  const SymbolTable& symbols_;
};

}  // namespace

std::string NumberText(double value, Type type) {
  char buf[64];
  if (type != Type::Real && std::fabs(value) < 1e15 && value == std::floor(value)) {
    std::snprintf(buf, sizeof buf, "%.0f", value);
    return buf;
  }
  if (std::fabs(value) < 1e15 && value == std::floor(value)) {
    std::snprintf(buf, sizeof buf, "%.1f", value);
    return buf;
  }
  for (int precision = 1; precision <= 17; ++precision) {
    std::snprintf(buf, sizeof buf, "%.*g", precision, value);
    if (std::strtod(buf, nullptr) == value) break;
  }
  std::string text = buf;
  if (text.find_first_of(".eEn") == std::string::npos) text += ".0";
  return text;
}

std::string WriteExpr(const Expr& e, const SymbolTable& symbols) {
  return Writer(symbols).Write(e);
}

}  // namespace velmor::jani

#include "jani/ExprReader.h"

#include <cmath>

#include "jani/ExprFold.h"
#include "jani/JaniError.h"

namespace velmor::jani {

using nlohmann::json;

namespace {

constexpr int kMaxCallDepth = 64;

// JANI binary operators the model language has, with its spelling.
const std::map<std::string, std::string>& BinaryOps() {
  static const std::map<std::string, std::string> ops = {
      {"∨", "or"}, {"∧", "and"}, {"=", "=="}, {"≠", "!="},    {"<", "<"},
      {"≤", "<="}, {">", ">"},   {"≥", ">="}, {"+", "+"},     {"-", "-"},
      {"*", "*"},  {"/", "/"},   {"%", "%"},  {"min", "min"}, {"max", "max"}};
  return ops;
}

// Operators folded when their operands are constant, else written with the
// model language's functions.
bool Numeric(const std::string& op) {
  return op == "floor" || op == "ceil" || op == "pow" || op == "log" || op == "exp" ||
         op == "sgn" || op == "trc";
}

// op over operands that change during the run, in the model language's
// functions: JANI's log(a, b) is the logarithm of a to base b, sgn and trc
// become conditionals.
ExprP OverState(const std::string& op, const std::vector<ExprP>& args) {
  const ExprP& a = args[0];
  if (op == "log") return Op("/", {Op("log", {a}), Op("log", {args[1]})});
  if (op == "sgn")
    return Op("ite", {Op(">", {a, Literal(0, Type::Int)}), Literal(1, Type::Int),
                      Op("ite", {Op("<", {a, Literal(0, Type::Int)}), Literal(-1, Type::Int),
                                 Literal(0, Type::Int)})});
  if (op == "trc") {
    if (a->type != Type::Real) return a;
    return Op("ite", {Op(">=", {a, Literal(0, Type::Int)}), Op("floor", {a}), Op("ceil", {a})});
  }
  if ((op == "floor" || op == "ceil") && a->type != Type::Real) return a;
  return Op(op, args);
}

bool IsUnary(const std::string& op) {
  return op == "¬" || op == "abs" || op == "floor" || op == "ceil" || op == "exp" || op == "sgn" ||
         op == "trc";
}

}  // namespace

ExprP ExprReader::Arg(const json& j, const char* key, const std::string& path) {
  if (!j.contains(key)) throw JaniError(path, std::string("missing \"") + key + "\"");
  return Read(j[key], path + "/" + key);
}

ExprP ExprReader::Read(const json& j, const std::string& path) {
  struct Nesting {
    int& depth;
    ~Nesting() { --depth; }
  } nesting{++depth_};
  if (depth_ > kMaxExprDepth) throw JaniError(path, "expression nested too deeply");
  ExprP e = ReadAny(j, path);
  if (e->depth > kMaxExprDepth || e->size > kMaxExprSize)
    throw JaniError(path, "expression too large once its functions are expanded");
  return e;
}

ExprP ExprReader::ReadAny(const json& j, const std::string& path) {
  if (j.is_boolean()) return Bool(j.get<bool>());
  if (j.is_number_integer()) return Literal(static_cast<double>(j.get<long long>()), Type::Int);
  if (j.is_number()) return Literal(j.get<double>(), Type::Real);
  if (j.is_string()) return ReadIdentifier(j.get<std::string>(), path);
  if (!j.is_object()) throw JaniError(path, "an expression must be a number, a name or an object");
  if (j.contains("constant")) {
    std::string c = j["constant"].is_string() ? j["constant"].get<std::string>() : "";
    if (c == "e") return Literal(std::exp(1.0), Type::Real);
    if (c == "π") return Literal(std::acos(-1.0), Type::Real);
    throw JaniError(path, "unknown mathematical constant");
  }
  if (!j.contains("op") || !j["op"].is_string())
    throw JaniError(path, "an expression object needs an \"op\"");
  return ReadOperator(j, path);
}

ExprP ExprReader::ReadIdentifier(const std::string& name, const std::string& path) {
  if (!params_.empty()) {
    auto p = params_.back().find(name);
    if (p != params_.back().end()) return p->second;
  }
  auto it = locals.find(name);
  if (it == locals.end()) {
    it = globals.find(name);
    if (it == globals.end()) throw JaniError(path, "unknown name '" + name + "'");
  }
  const Symbol& s = symbols_[it->second];
  if (s.kind == Symbol::Kind::Transient) {
    if (!transientsReady)
      throw JaniError(path, "transient variable '" + name + "' read where it has no value yet");
    transientsRead.insert(it->second);
    if (transientsOnStep) {
      auto v = transientsOnStep->find(it->second);
      return v != transientsOnStep->end() ? v->second.first : Literal(s.initial, s.type);
    }
    return transientsInitial ? Literal(s.initial, s.type) : s.transientValue;
  }
  if (s.kind == Symbol::Kind::Constant && !s.value)
    throw JaniError(path, "constant '" + name + "' has no value");
  return SymbolRef(it->second, s.type);
}

ExprP ExprReader::Constant(const std::string& op, std::vector<ExprP> args,
                           const std::string& path) {
  // pow with a small natural exponent is a product the language can write.
  if (op == "pow") {
    auto n = Fold(*args[1], symbols_);
    if (n && *n >= 1 && *n <= 8 && *n == std::floor(*n) && !Fold(*args[0], symbols_)) {
      ExprP product = args[0];
      for (int k = 1; k < static_cast<int>(*n); ++k) product = Op("*", {product, args[0]});
      return Op("*", {Literal(1.0, Type::Real), product});
    }
  }
  std::vector<double> values;
  Type type = Type::Int;
  for (const ExprP& a : args) {
    auto v = Fold(*a, symbols_);
    if (!v) return OverState(op, args);
    if (a->type == Type::Real) type = Type::Real;
    values.push_back(*v);
  }
  auto r = Apply(op, values, type);
  if (!r || std::isnan(*r)) throw JaniError(path, "operator '" + op + "' has no value here");
  bool integral = op == "floor" || op == "ceil" || op == "sgn" || op == "trc";
  return Literal(*r, integral || (op == "pow" && type == Type::Int && *r == std::floor(*r))
                         ? Type::Int
                         : Type::Real);
}

ExprP ExprReader::ReadOperator(const json& j, const std::string& path) {
  std::string op = j["op"].get<std::string>();
  if (op == "ite")
    return Op("ite", {Arg(j, "if", path), Arg(j, "then", path), Arg(j, "else", path)});
  if (op == "call") return ReadCall(j, path);
  if (op == "⇒") return Op("or", {Op("not", {Arg(j, "left", path)}), Arg(j, "right", path)});
  auto bin = BinaryOps().find(op);
  if (bin != BinaryOps().end()) {
    ExprP l = Arg(j, "left", path), r = Arg(j, "right", path);
    if (op == "%" && (l->type == Type::Real || r->type == Type::Real))
      throw JaniError(path, "'%' needs integer operands");
    return Op(bin->second, {l, r});
  }
  if (op == "pow" || op == "log")
    return Constant(op, {Arg(j, "left", path), Arg(j, "right", path)}, path);
  if (IsUnary(op)) {
    ExprP a = Arg(j, "exp", path);
    if (op == "¬") return Op("not", {a});
    if (op == "abs") return Op("abs", {a});
    if (Numeric(op)) return Constant(op, {a}, path);
  }
  throw JaniError(path, "operator '" + op + "' is not supported");
}

ExprP ExprReader::ReadCall(const json& j, const std::string& path) {
  if (!j.contains("function") || !j["function"].is_string())
    throw JaniError(path, "a call needs a \"function\" name");
  std::string name = j["function"].get<std::string>();
  const FunctionDef* f = nullptr;
  if (localFunctions.count(name))
    f = &localFunctions.at(name);
  else if (globalFunctions.count(name))
    f = &globalFunctions.at(name);
  if (!f) throw JaniError(path + "/function", "unknown function '" + name + "'");
  const json& args = j.contains("args") ? j["args"] : json::array();
  if (!args.is_array() || args.size() != f->params.size())
    throw JaniError(path + "/args", "function '" + name + "' takes " +
                                        std::to_string(f->params.size()) + " arguments");
  if (params_.size() >= kMaxCallDepth)
    throw JaniError(path, "function '" + name + "' calls itself too deeply (recursion)");
  std::map<std::string, ExprP> bound;
  for (size_t k = 0; k < args.size(); ++k)
    bound[f->params[k]] = Read(args[k], path + "/args/" + std::to_string(k));
  params_.push_back(std::move(bound));
  ExprP body;
  try {
    body = Read(f->body, f->path);
  } catch (...) {
    params_.pop_back();
    throw;
  }
  params_.pop_back();
  return body;
}

double ExprReader::ReadConstant(const json& j, const std::string& path, Type* type) {
  ExprP e = Read(j, path);
  auto v = Fold(*e, symbols_);
  if (!v) throw JaniError(path, "must be a constant expression");
  if (type) *type = e->type;
  return *v;
}

}  // namespace velmor::jani

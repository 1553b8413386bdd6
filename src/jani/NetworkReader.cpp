#include "jani/NetworkReader.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <set>

#include "jani/ExprFold.h"
#include "jani/ExprWriter.h"
#include "jani/JaniError.h"
#include "jani/JsonAccess.h"

namespace velmor::jani {

using nlohmann::json;

namespace {

struct TypeInfo {
  Type base = Type::Int;
  bool bounded = false;
  const json* lower = nullptr;
  const json* upper = nullptr;
};

TypeInfo ReadType(const json& t, const std::string& path) {
  TypeInfo info;
  if (t.is_string()) {
    std::string s = t.get<std::string>();
    if (s == "bool")
      info.base = Type::Bool;
    else if (s == "int")
      info.base = Type::Int;
    else if (s == "real")
      info.base = Type::Real;
    else
      throw JaniError(path, "variables of type '" + s + "' are not supported");
    return info;
  }
  OnlyKeys(t, path, {"kind", "base", "lower-bound", "upper-bound"});
  if (!t.contains("kind") || t["kind"] != "bounded")
    throw JaniError(path, "only bounded types are supported among complex types");
  std::string base = Str(t, "base", path);
  if (base != "int" && base != "real") throw JaniError(path + "/base", "must be int or real");
  info.base = base == "int" ? Type::Int : Type::Real;
  info.bounded = true;
  if (t.contains("lower-bound")) info.lower = &t["lower-bound"];
  if (t.contains("upper-bound")) info.upper = &t["upper-bound"];
  return info;
}

std::optional<double> ParseValue(const std::string& text, Type type) {
  if (type == Type::Bool) {
    if (text == "true" || text == "1") return 1;
    if (text == "false" || text == "0") return 0;
    return std::nullopt;
  }
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  double v = std::strtod(text.c_str(), &end);
  if (*end != '\0' || !std::isfinite(v)) return std::nullopt;
  if (type == Type::Int && v != std::floor(v)) return std::nullopt;
  return v;
}

}  // namespace

NetworkReader::NetworkReader(const json& doc, Network& net, NameRegistry& names,
                             const std::map<std::string, std::string>& constants)
    : doc_(doc), net_(net), names_(names), given_(constants), exprs_(net.symbols) {}

void NetworkReader::Read() {
  ReadHeader();
  ReadConstants();
  std::map<std::string, int>& globals = exprs_.globals;
  const json& vars = Array(doc_, "variables", "");
  for (size_t k = 0; k < vars.size(); ++k)
    ReadVariable(vars[k], At("", "variables", k), "", globals);
  if (doc_.contains("restrict-initial")) {
    const json& r = doc_["restrict-initial"];
    if (!r.is_object() || !r.contains("exp") ||
        Fold(*exprs_.Read(r["exp"], "/restrict-initial/exp"), net_.symbols) != 1.0)
      throw JaniError("/restrict-initial", "several initial states are not supported");
  }
  ReadFunctions(doc_, "", exprs_.globalFunctions);
  ReadSystem();
  for (size_t e = 0; e < net_.instances.size(); ++e) ReadLocations(e);
  ComputeTransients();
  for (size_t e = 0; e < net_.instances.size(); ++e) ReadEdges(e);
  exprs_.locals.clear();
  exprs_.localFunctions.clear();
}

void NetworkReader::ReadHeader() {
  OnlyKeys(doc_, "",
           {"jani-version", "name", "metadata", "type", "features", "actions", "constants",
            "variables", "restrict-initial", "properties", "automata", "system", "functions"});
  net_.type = Str(doc_, "type", "");
  if (net_.type != "ctmc" && net_.type != "ma")
    throw JaniError(
        "/type", "model type '" + net_.type + "' is not supported (only ctmc and ma are imported)");
  net_.name =
      doc_.contains("name") && doc_["name"].is_string() ? doc_["name"].get<std::string>() : "model";
  net_.modelName = names_.Claim(net_.name);
  net_.submodel = names_.Claim("network");
  const json& features = Array(doc_, "features", "");
  for (size_t k = 0; k < features.size(); ++k) {
    std::string f = features[k].is_string() ? features[k].get<std::string>() : "";
    // Declaring a feature changes nothing by itself; these two are checked
    // where they are used (an "exit" accumulation, a sine), with errors
    // naming the construct.
    if (f != "derived-operators" && f != "functions" && f != "state-exit-rewards" &&
        f != "trigonometric-functions")
      throw JaniError(At("", "features", k), "feature '" + f + "' is not supported");
  }
}

void NetworkReader::ReadConstants() {
  const json& cs = Array(doc_, "constants", "");
  std::set<std::string> used;
  std::vector<std::string> open;
  for (size_t k = 0; k < cs.size(); ++k) {
    std::string path = At("", "constants", k);
    OnlyKeys(cs[k], path, {"name", "type", "value"});
    Symbol s;
    s.kind = Symbol::Kind::Constant;
    s.janiName = Str(cs[k], "name", path);
    TypeInfo t = ReadType(Member(cs[k], "type", path), path + "/type");
    s.type = t.base;
    auto given = given_.find(s.janiName);
    if (cs[k].contains("value")) {
      if (given != given_.end())
        throw JaniError(path, "constant '" + s.janiName +
                                  "' has a value in the file; only open constants take one");
      s.value = exprs_.ReadConstant(cs[k]["value"], path + "/value");
    } else if (given != given_.end()) {
      s.value = ParseValue(given->second, s.type);
      if (!s.value)
        throw JaniError(path, "'" + given->second + "' is not a value of the type of constant '" +
                                  s.janiName + "'");
      used.insert(s.janiName);
    } else {
      open.push_back(s.janiName);
    }
    if (s.value && s.type == Type::Int && *s.value != std::floor(*s.value))
      throw JaniError(path, "constant '" + s.janiName + "' is an int but its value is not");
    if (s.value && t.bounded) {
      double lo = t.lower ? exprs_.ReadConstant(*t.lower, path + "/type/lower-bound") : *s.value;
      double hi = t.upper ? exprs_.ReadConstant(*t.upper, path + "/type/upper-bound") : *s.value;
      if (*s.value < lo || *s.value > hi)
        throw JaniError(path, "the value of constant '" + s.janiName + "' is out of its bounds");
    }
    s.name = names_.Claim(s.janiName);
    if (exprs_.globals.count(s.janiName))
      throw JaniError(path, "duplicate name '" + s.janiName + "'");
    int id = net_.symbols.Add(s);
    exprs_.globals[s.janiName] = id;
    net_.constants.push_back(id);
  }
  for (const auto& g : given_)
    if (!used.count(g.first) && !exprs_.globals.count(g.first))
      throw JaniError("/constants", "the model has no constant '" + g.first + "'");
  if (!open.empty()) {
    std::string list;
    for (const std::string& n : open) list += (list.empty() ? "" : ", ") + n;
    throw JaniError("/constants", "constants left open: " + list +
                                      " (give them with --constants NAME=VALUE,...)");
  }
}

void NetworkReader::ReadVariable(const json& v, const std::string& path, const std::string& prefix,
                                 std::map<std::string, int>& scope) {
  OnlyKeys(v, path, {"name", "type", "transient", "initial-value"});
  Symbol s;
  s.janiName = Str(v, "name", path);
  TypeInfo t = ReadType(Member(v, "type", path), path + "/type");
  s.type = t.base;
  bool transient =
      v.contains("transient") && v["transient"].is_boolean() && v["transient"].get<bool>();
  if (!v.contains("initial-value"))
    throw JaniError(path, "variable '" + s.janiName +
                              "' has no initial value (several initial states are not supported)");
  s.initial = exprs_.ReadConstant(v["initial-value"], path + "/initial-value");
  if (scope.count(s.janiName) || (prefix.size() && exprs_.globals.count(s.janiName)))
    throw JaniError(path, "duplicate name '" + s.janiName + "'");
  if (transient) {
    s.kind = Symbol::Kind::Transient;
    s.transientValue = Literal(s.initial, s.type);
    s.name = s.janiName;
    scope[s.janiName] = net_.symbols.Add(s);
    return;
  }
  s.kind = Symbol::Kind::Variable;
  if (s.type == Type::Real) {
    // A double place: no offset, a missing bound is infinite (never checked).
    s.lower = t.lower ? exprs_.ReadConstant(*t.lower, path + "/type/lower-bound")
                      : -std::numeric_limits<double>::infinity();
    s.upper = t.upper ? exprs_.ReadConstant(*t.upper, path + "/type/upper-bound")
                      : std::numeric_limits<double>::infinity();
    s.declaredBounds = t.lower && t.upper;
    if (s.lower > s.upper) throw JaniError(path + "/type", "empty bounds");
    if (s.initial < s.lower || s.initial > s.upper)
      throw JaniError(path + "/initial-value", "out of the bounds of '" + s.janiName + "'");
    s.comment = "real";
    if (t.lower || t.upper)
      s.comment += std::string(" ") + (t.lower ? "[" + NumberText(s.lower, Type::Real) : "(-inf") +
                   ", " + (t.upper ? NumberText(s.upper, Type::Real) + "]" : "inf)");
  } else if (s.type == Type::Bool) {
    s.lower = 0, s.upper = 1;
  } else {
    s.declaredBounds = t.lower && t.upper;
    s.lower = t.lower ? exprs_.ReadConstant(*t.lower, path + "/type/lower-bound")
                      : std::min(0.0, s.initial);
    s.offset = s.lower < 0 ? s.lower : 0;
    s.upper = t.upper ? exprs_.ReadConstant(*t.upper, path + "/type/upper-bound")
                      : s.offset + kPlaceMax - 1;
    if (s.lower > s.upper) throw JaniError(path + "/type", "empty bounds");
    if (s.upper - s.offset + 1 > kPlaceMax)
      throw JaniError(path + "/type", "the values of '" + s.janiName +
                                          "' do not fit a place (at most 32766 values above " +
                                          NumberText(s.offset, Type::Int) + ")");
    if (s.initial < s.lower || s.initial > s.upper)
      throw JaniError(path + "/initial-value", "out of the bounds of '" + s.janiName + "'");
    s.comment =
        "int [" + NumberText(s.lower, Type::Int) + ", " + NumberText(s.upper, Type::Int) + "]";
    if (s.offset != 0) s.comment += ", stored as value - (" + NumberText(s.offset, Type::Int) + ")";
  }
  if (s.type == Type::Bool) s.comment = "bool";
  s.name = names_.Claim(prefix + s.janiName);
  int id = net_.symbols.Add(s);
  scope[s.janiName] = id;
  net_.places.push_back(id);
}

void NetworkReader::ReadFunctions(const json& owner, const std::string& path,
                                  std::map<std::string, FunctionDef>& into) {
  const json& fs = Array(owner, "functions", path);
  for (size_t k = 0; k < fs.size(); ++k) {
    std::string p = At(path, "functions", k);
    OnlyKeys(fs[k], p, {"name", "type", "parameters", "body"});
    FunctionDef f;
    std::string name = Str(fs[k], "name", p);
    f.body = Member(fs[k], "body", p);
    f.path = p + "/body";
    const json& ps = Array(fs[k], "parameters", p);
    for (size_t q = 0; q < ps.size(); ++q)
      f.params.push_back(Str(ps[q], "name", At(p, "parameters", q)));
    if (into.count(name)) throw JaniError(p, "duplicate function '" + name + "'");
    into[name] = std::move(f);
  }
}

}  // namespace velmor::jani

// The automata half of NetworkReader: system elements, locations with their
// transient values, and edges.
#include <cmath>
#include <set>

#include "jani/ExprFold.h"
#include "jani/ExprWriter.h"
#include "jani/JaniError.h"
#include "jani/JsonAccess.h"
#include "jani/NetworkReader.h"

namespace velmor::jani {

using nlohmann::json;

namespace {

int LocationIndex(const Instance& inst, const std::string& name, const std::string& path) {
  for (size_t k = 0; k < inst.locations.size(); ++k)
    if (inst.locations[k] == name) return static_cast<int>(k);
  throw JaniError(path, "automaton '" + inst.janiName + "' has no location '" + name + "'");
}

}  // namespace

void NetworkReader::ReadSystem() {
  const json& sys = Member(doc_, "system", "");
  OnlyKeys(sys, "/system", {"elements", "syncs"});
  const json& automata = Array(doc_, "automata", "");
  const json& elements = Array(sys, "elements", "/system");
  if (elements.empty()) throw JaniError("/system/elements", "the system has no elements");
  std::map<std::string, int> uses;
  for (size_t k = 0; k < elements.size(); ++k)
    uses[Str(elements[k], "automaton", At("/system", "elements", k))]++;
  std::map<std::string, int> seen;
  for (size_t k = 0; k < elements.size(); ++k) {
    std::string path = At("/system", "elements", k);
    OnlyKeys(elements[k], path, {"automaton", "input-enable"});
    if (!Array(elements[k], "input-enable", path).empty())
      throw JaniError(path + "/input-enable", "input-enabled actions are not supported");
    std::string name = Str(elements[k], "automaton", path);
    const json* a = nullptr;
    std::string apath;
    for (size_t q = 0; q < automata.size(); ++q)
      if (automata[q].is_object() && automata[q].value("name", "") == name)
        a = &automata[q], apath = At("", "automata", q);
    if (!a) throw JaniError(path + "/automaton", "no automaton '" + name + "'");
    OnlyKeys(*a, apath,
             {"name", "variables", "restrict-initial", "locations", "initial-locations", "edges",
              "functions"});
    Instance inst;
    inst.janiName = name;
    std::string label = uses[name] > 1 ? name + "_" + std::to_string(++seen[name]) : name;
    inst.name = label;
    automata_.push_back(a);
    automatonPaths_.push_back(apath);
    std::map<std::string, int> scope;
    std::string prefix = elements.size() > 1 ? label + "_" : "";
    const json& vars = Array(*a, "variables", apath);
    for (size_t q = 0; q < vars.size(); ++q)
      ReadVariable(vars[q], At(apath, "variables", q), prefix, scope);
    localScopes_.push_back(scope);
    std::map<std::string, FunctionDef> fs;
    ReadFunctions(*a, apath, fs);
    localFunctions_.push_back(std::move(fs));
    const json& locs = Array(*a, "locations", apath);
    if (locs.empty()) throw JaniError(apath + "/locations", "an automaton needs a location");
    for (size_t q = 0; q < locs.size(); ++q) {
      std::string lname = Str(locs[q], "name", At(apath, "locations", q));
      for (const std::string& other : inst.locations)
        if (other == lname)
          throw JaniError(At(apath, "locations", q), "duplicate location '" + lname + "'");
      inst.locations.push_back(lname);
    }
    const json& init = Array(*a, "initial-locations", apath);
    if (init.size() != 1 || !init[0].is_string())
      throw JaniError(apath + "/initial-locations", "exactly one initial location is supported");
    inst.initial = LocationIndex(inst, init[0].get<std::string>(), apath + "/initial-locations/0");
    if (inst.locations.size() > 1) {
      Symbol s;
      s.kind = Symbol::Kind::Location;
      s.janiName = label;
      s.name = names_.Claim(label + "_loc");
      s.locations = inst.locations;
      s.upper = static_cast<double>(inst.locations.size()) - 1;
      s.initial = inst.initial;
      inst.locationSymbol = net_.symbols.Add(s);
      net_.places.push_back(inst.locationSymbol);
    }
    net_.instances.push_back(std::move(inst));
    EnterInstance(net_.instances.size() - 1);
    if (a->contains("restrict-initial")) {
      const json& r = (*a)["restrict-initial"];
      if (!r.is_object() || !r.contains("exp") ||
          Fold(*exprs_.Read(r["exp"], apath + "/restrict-initial/exp"), net_.symbols) != 1.0)
        throw JaniError(apath + "/restrict-initial", "several initial states are not supported");
    }
  }
  const json& syncs = Array(sys, "syncs", "/system");
  for (size_t k = 0; k < syncs.size(); ++k) {
    std::string path = At("/system", "syncs", k);
    OnlyKeys(syncs[k], path, {"synchronise", "result"});
    SyncVector v;
    v.path = path;
    const json& parts = Array(syncs[k], "synchronise", path);
    if (parts.size() != elements.size())
      throw JaniError(path + "/synchronise", "needs one entry per system element");
    for (const json& p : parts) v.actions.push_back(p.is_string() ? p.get<std::string>() : "");
    if (syncs[k].contains("result") && syncs[k]["result"].is_string())
      v.result = syncs[k]["result"];
    net_.syncs.push_back(v);
  }
}

int NetworkReader::Lookup(const std::string& name) const {
  auto it = exprs_.locals.find(name);
  if (it != exprs_.locals.end()) return it->second;
  it = exprs_.globals.find(name);
  return it == exprs_.globals.end() ? -1 : it->second;
}

void NetworkReader::EnterInstance(size_t element) {
  exprs_.locals = localScopes_[element];
  exprs_.localFunctions = localFunctions_[element];
}

void NetworkReader::ReadLocations(size_t element) {
  EnterInstance(element);
  const json& a = *automata_[element];
  const std::string& apath = automatonPaths_[element];
  const json& locs = Array(a, "locations", apath);
  std::map<int, std::vector<ExprP>> values;
  for (size_t q = 0; q < locs.size(); ++q) {
    std::string path = At(apath, "locations", q);
    OnlyKeys(locs[q], path, {"name", "time-progress", "transient-values"});
    if (locs[q].contains("time-progress"))
      throw JaniError(path + "/time-progress", "time-progress conditions are not supported");
    const json& tv = Array(locs[q], "transient-values", path);
    for (size_t t = 0; t < tv.size(); ++t) {
      std::string tpath = At(path, "transient-values", t);
      OnlyKeys(tv[t], tpath, {"ref", "value"});
      std::string ref = Str(tv[t], "ref", tpath);
      int id = Lookup(ref);
      if (id < 0 || net_.symbols[id].kind != Symbol::Kind::Transient)
        throw JaniError(tpath + "/ref", "'" + ref + "' is not a transient variable");
      std::vector<ExprP>& per = values[id];
      per.resize(locs.size());
      if (per[q]) throw JaniError(tpath, "'" + ref + "' is set twice in one location");
      per[q] = exprs_.Read(Member(tv[t], "value", tpath), tpath + "/value");
    }
  }
  for (auto& v : values) transientSets_[v.first].emplace_back(element, std::move(v.second));
}

void NetworkReader::ComputeTransients() {
  for (auto& entry : transientSets_) {
    Symbol& s = net_.symbols[entry.first];
    if (entry.second.size() > 1)
      throw JaniError("/automata", "transient variable '" + s.janiName +
                                       "' is set by the locations of more than one automaton");
    const Instance& inst = net_.instances[entry.second[0].first];
    const std::vector<ExprP>& per = entry.second[0].second;
    ExprP value = s.transientValue;
    for (size_t q = per.size(); q-- > 0;) {
      if (!per[q]) continue;
      if (inst.locationSymbol < 0) {
        value = per[q];
        continue;
      }
      ExprP at = Op("==", {SymbolRef(inst.locationSymbol, Type::Int),
                           Literal(static_cast<double>(q), Type::Int)});
      value = Op("ite", {at, per[q], value});
    }
    s.transientValue = value;
  }
  exprs_.transientsReady = true;
}

void NetworkReader::ReadEdges(size_t element) {
  EnterInstance(element);
  Instance& inst = net_.instances[element];
  const std::string& apath = automatonPaths_[element];
  const json& edges = Array(*automata_[element], "edges", apath);
  for (size_t k = 0; k < edges.size(); ++k) {
    Edge e = ReadEdge(edges[k], At(apath, "edges", k), inst);
    e.number = static_cast<int>(k);
    inst.edges.push_back(std::move(e));
  }
}

Edge NetworkReader::ReadEdge(const json& e, const std::string& path, const Instance& inst) {
  OnlyKeys(e, path, {"location", "action", "rate", "guard", "destinations"});
  Edge edge;
  edge.path = path;
  edge.source = LocationIndex(inst, Str(e, "location", path), path + "/location");
  if (e.contains("action")) edge.action = Str(e, "action", path);
  if (e.contains("rate")) {
    OnlyKeys(e["rate"], path + "/rate", {"exp"});
    edge.rate = exprs_.Read(Member(e["rate"], "exp", path + "/rate"), path + "/rate/exp");
  } else if (net_.type == "ctmc") {
    throw JaniError(path, "an edge of a CTMC needs a rate");
  }
  if (e.contains("guard")) {
    OnlyKeys(e["guard"], path + "/guard", {"exp"});
    edge.guard = exprs_.Read(Member(e["guard"], "exp", path + "/guard"), path + "/guard/exp");
  }
  const json& ds = Array(e, "destinations", path);
  if (ds.empty()) throw JaniError(path + "/destinations", "an edge needs a destination");
  double total = 0;
  bool constant = true;
  for (size_t k = 0; k < ds.size(); ++k) {
    edge.destinations.push_back(ReadDestination(ds[k], At(path, "destinations", k), inst));
    const ExprP& p = edge.destinations.back().probability;
    auto v = p ? Fold(*p, net_.symbols) : std::optional<double>(1);
    if (v && *v < 0)
      throw JaniError(At(path, "destinations", k) + "/probability", "negative probability");
    if (v)
      total += *v;
    else
      constant = false;
  }
  if (constant && std::fabs(total - 1) > 1e-9)
    throw JaniError(path + "/destinations", "the probabilities of the destinations sum to " +
                                                NumberText(total, Type::Real));
  return edge;
}

Destination NetworkReader::ReadDestination(const json& d, const std::string& path,
                                           const Instance& inst) {
  OnlyKeys(d, path, {"location", "probability", "assignments"});
  Destination dest;
  dest.location = LocationIndex(inst, Str(d, "location", path), path + "/location");
  if (d.contains("probability")) {
    OnlyKeys(d["probability"], path + "/probability", {"exp"});
    dest.probability = exprs_.Read(Member(d["probability"], "exp", path + "/probability"),
                                   path + "/probability/exp");
  }
  const json& as = Array(d, "assignments", path);
  for (size_t k = 0; k < as.size(); ++k) {
    std::string apath = At(path, "assignments", k);
    OnlyKeys(as[k], apath, {"ref", "value", "index"});
    Assignment a;
    a.path = apath;
    std::string ref = Str(as[k], "ref", apath);
    int id = Lookup(ref);
    if (id < 0) throw JaniError(apath + "/ref", "unknown variable '" + ref + "'");
    Symbol& s = net_.symbols[id];
    if (s.kind == Symbol::Kind::Transient) {
      if (s.impulsePath.empty()) s.impulsePath = apath;
      a.target = id;
      a.value = exprs_.Read(Member(as[k], "value", apath), apath + "/value");
      dest.transients.push_back(a);
      continue;
    }
    if (s.kind != Symbol::Kind::Variable)
      throw JaniError(apath + "/ref", "'" + ref + "' is not a variable");
    a.target = id;
    a.value = exprs_.Read(Member(as[k], "value", apath), apath + "/value");
    if (s.type != Type::Real && a.value->type == Type::Real)
      throw JaniError(apath + "/value", "a real value assigned to '" + ref + "'");
    if (as[k].contains("index")) {
      if (!as[k]["index"].is_number_integer() || as[k]["index"].get<long long>() < 0 ||
          as[k]["index"].get<long long>() > 1000000)
        throw JaniError(apath + "/index", "must be a natural number");
      a.index = as[k]["index"].get<int>();
    }
    dest.assignments.push_back(a);
  }
  return dest;
}

}  // namespace velmor::jani

#include "jani/Properties.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <set>

#include "jani/ExprFold.h"
#include "jani/ExprWriter.h"
#include "jani/JaniError.h"
#include "jani/JsonAccess.h"

namespace velmor::jani {

using nlohmann::json;

namespace {

std::string OpOf(const json& j) {
  return j.is_object() && j.contains("op") && j["op"].is_string() ? j["op"].get<std::string>() : "";
}

class PropertyReader {
 public:
  PropertyReader(Network& net, const std::vector<Activity>& acts, ExprReader& exprs,
                 NameRegistry& names, const MeasureOptions& o, Measures& m)
      : net_(net), acts_(acts), exprs_(exprs), names_(names), options_(o), m_(m) {}

  void Read(const json& prop, const std::string& path) {
    name_ = prop["name"].get<std::string>();
    path_ = path;
    const json* v = &Member(prop, "expression", path);
    std::string vpath = path + "/expression";
    if (OpOf(*v) == "filter") {
      OnlyKeys(*v, vpath, {"op", "fun", "values", "states"});
      std::string fun =
          v->contains("fun") && (*v)["fun"].is_string() ? (*v)["fun"].get<std::string>() : "";
      if (fun != "max" && fun != "min" && fun != "avg" && fun != "sum" && fun != "values")
        throw JaniError(vpath + "/fun", "filter function '" + fun + "' is not supported");
      if (OpOf(Member(*v, "states", vpath)) != "initial")
        throw JaniError(vpath + "/states", "only filters over the initial state are supported");
      v = &Member(*v, "values", vpath);
      vpath += "/values";
    }
    std::string op = OpOf(*v);
    if (op == "Pmin" || op == "Pmax") {
      OnlyKeys(*v, vpath, {"op", "exp"});
      return Probability(Member(*v, "exp", vpath), vpath + "/exp");
    }
    if (op == "Emin" || op == "Emax") {
      OnlyKeys(
          *v, vpath,
          {"op", "exp", "accumulate", "reach", "step-instant", "time-instant", "reward-instants"});
      return Expectation(*v, vpath);
    }
    if (op == "Smin" || op == "Smax") {
      OnlyKeys(*v, vpath, {"op", "exp", "accumulate"});
      return SteadyState(*v, vpath);
    }
    throw JaniError(vpath, "property '" + name_ +
                               "': only probabilities (P), expectations (E) "
                               "and long-run averages (S) are imported, not '" +
                               op + "'");
  }

 private:
  ExprP State(const json& j, const std::string& path) {
    exprs_.transientsRead.clear();
    ExprP e = exprs_.Read(j, path);
    RejectImpulses();
    return e;
  }

  // Transient variables assigned on edges hold only during a transition,
  // which a simulation of the states cannot observe.
  void RejectImpulses() {
    for (int t : exprs_.transientsRead)
      if (!net_.symbols[t].impulsePath.empty())
        throw JaniError(
            net_.symbols[t].impulsePath,
            "property '" + name_ + "': '" + net_.symbols[t].janiName +
                "' is set on edges: only an expectation accumulating \"steps\" reads such a "
                "variable (edge labels and other uses are not supported)");
  }

  // The upper bound (-1 when none); the lower one goes to *lower.
  double Bound(const json& tb, const std::string& path, double* lower) {
    for (auto it = tb.begin(); it != tb.end(); ++it)
      if (it.key() != "lower" && it.key() != "upper" && it.key() != "lower-exclusive" &&
          it.key() != "upper-exclusive")
        throw JaniError(path + "/" + it.key(), "\"" + it.key() + "\" is not supported");
    *lower = tb.contains("lower") ? exprs_.ReadConstant(tb["lower"], path + "/lower") : 0;
    if (*lower < 0) throw JaniError(path + "/lower", "a time bound must be at least 0");
    if (!tb.contains("upper")) return -1;
    double t = exprs_.ReadConstant(tb["upper"], path + "/upper");
    if (t < *lower) throw JaniError(path + "/upper", "the upper time bound is below the lower one");
    return t;
  }

  void Probability(const json& p, const std::string& path) {
    std::string op = OpOf(p);
    if (op == "U" || op == "W")
      OnlyKeys(p, path, {"op", "left", "right", "step-bounds", "time-bounds", "reward-bounds"});
    else if (p.is_object())
      OnlyKeys(p, path, {"op", "exp", "step-bounds", "time-bounds", "reward-bounds"});
    if (p.contains("reward-bounds"))
      throw JaniError(path + "/reward-bounds", "reward-bounds are not supported");
    int lowSteps = 0;
    int stepBound = p.contains("step-bounds")
                        ? StepBound(p["step-bounds"], path + "/step-bounds", &lowSteps)
                        : -1;
    double lower = 0;
    double t =
        p.contains("time-bounds") ? Bound(p["time-bounds"], path + "/time-bounds", &lower) : -1;
    Latch latch;
    bool complement = false;
    if (op == "F") {
      latch.reach = State(Member(p, "exp", path), path + "/exp");
    } else if (op == "G") {
      latch.reach = Op("not", {State(Member(p, "exp", path), path + "/exp")});
      complement = true;
    } else if (op == "U" || op == "W") {
      ExprP left = State(Member(p, "left", path), path + "/left");
      latch.reach = State(Member(p, "right", path), path + "/right");
      if (!IsLiteral(*left, 1))
        latch.fail = Op("and", {Op("not", {left}), Op("not", {latch.reach})});
      if (latch.fail && lower > 0)
        throw JaniError(path + "/time-bounds/lower",
                        "an until with a lower time bound is not supported");
    } else {
      throw JaniError(path,
                      "property '" + name_ + "': path operator '" + op + "' is not supported");
    }
    if (lower > 0) latch.opensAt = lower;
    if (lowSteps > 0) {
      // F with steps from k: the goal counts only in the states reached by
      // the k-th transition and later (the counter is held at k + 1 at most).
      if (op != "F")
        throw JaniError(path + "/step-bounds/lower", "a lower step bound is supported on F only");
      if (stepBound >= 0 && stepBound < lowSteps)
        throw JaniError(path + "/step-bounds/upper", "the upper step bound is below the lower one");
      latch.reach =
          And(Op(">=", {SymbolRef(StepCounter(lowSteps), Type::Int), Literal(lowSteps, Type::Int)}),
              latch.reach);
    }
    // A weak until holds unless its left side broke first.
    bool weak = op == "W";
    if (stepBound >= 0) {
      // Only the first stepBound transitions count: past them an until or
      // an eventually has failed, a weak until (and so an always) held.
      ExprP within =
          Op("<=", {SymbolRef(StepCounter(stepBound), Type::Int), Literal(stepBound, Type::Int)});
      latch.reach = And(within, latch.reach);
      if (weak) {
        latch.reach = Op("or", {latch.reach, Op("not", {within})});
        if (latch.fail) latch.fail = And(within, latch.fail);
      } else {
        latch.fail = latch.fail ? Op("or", {Op("not", {within}), latch.fail}) : Op("not", {within});
      }
    }
    int place = AddLatch(latch, t < 0);
    RewardVariable r{Claim(name_), "instant", 0, t < 0 ? options_.horizon : t, nullptr, "",
                     t >= 0,       "",        {}};
    if (weak)
      r.rate = Op("!=", {SymbolRef(place, Type::Int), Literal(2, Type::Int)});
    else if (complement && stepBound >= 0)  // ¬ψ not reached: open, or out of steps
      r.rate = Op("!=", {SymbolRef(place, Type::Int), Literal(1, Type::Int)});
    else
      r.rate = Op("==", {SymbolRef(place, Type::Int), Literal(complement ? 0 : 1, Type::Int)});
    r.comment =
        t < 0 ? "probability of eventually reaching the goal (decided by " +
                    NumberText(options_.horizon, Type::Real) + " at the latest)"
              : std::string(complement ? "probability that the condition holds throughout [0, T]"
                                       : "probability that the goal is reached by T");
    if (weak)
      r.comment = "probability that the left side holds until the goal or throughout [0, " +
                  (t < 0 ? NumberText(options_.horizon, Type::Real) : std::string("T")) + "]";
    Add(r);
  }

  // The upper step bound (-1 when none); the lower one (0 when none) goes
  // to *lower. Exclusive bounds are turned into inclusive ones.
  int StepBound(const json& sb, const std::string& path, int* lower) {
    OnlyKeys(sb, path, {"lower", "upper", "lower-exclusive", "upper-exclusive"});
    auto natural = [&](const char* key, int shift) {
      double k = exprs_.ReadConstant(Member(sb, key, path), path + "/" + key) + shift;
      if (k < 0 || k >= kPlaceMax - 1 || k != std::floor(k))
        throw JaniError(path + "/" + key, "a step bound must be a natural number below " +
                                              std::to_string(kPlaceMax - 1));
      return static_cast<int>(k);
    };
    auto exclusive = [&](const char* key) { return sb.contains(key) && sb[key] == true; };
    *lower = sb.contains("lower") ? natural("lower", exclusive("lower-exclusive") ? 1 : 0) : 0;
    if (!sb.contains("upper")) {
      if (!sb.contains("lower")) Member(sb, "upper", path);  // an empty bound: the error
      return -1;
    }
    return natural("upper", exclusive("upper-exclusive") ? -1 : 0);
  }

  // The step counter place, holding up to one past the largest bound.
  int StepCounter(int bound) {
    if (m_.steps < 0) {
      m_.steps = net_.AddHelperPlace(names_.Claim("steps"),
                                     "transitions so far (held once past the largest step bound)");
    }
    m_.stepCap = std::max(m_.stepCap, bound + 1);
    net_.symbols[m_.steps].upper = m_.stepCap;
    return m_.steps;
  }

  void Add(RewardVariable r) {
    r.property = name_;
    m_.rewards.push_back(std::move(r));
  }

  int AddLatch(Latch latch, bool unbounded) {
    latch.place = net_.AddHelperPlace(
        names_.Claim(name_ + "_decided"),
        "property " + name_ + ": 0 open, 1 goal reached" + (latch.fail ? ", 2 failed" : ""), 2);
    if (latch.opensAt > 0) {
      latch.window =
          net_.AddHelperPlace(names_.Claim(name_ + "_window"),
                              "property " + name_ + ": 1 once its time window has opened");
      latch.reach =
          And(Op("==", {SymbolRef(latch.window, Type::Int), Literal(1, Type::Int)}), latch.reach);
    }
    latch.name = name_;
    latch.unbounded = unbounded;
    m_.latches.push_back(latch);
    return latch.place;
  }

  std::string Claim(const std::string& wanted) { return names_.Claim(wanted); }

  static ExprP Numeric(ExprP r) {
    if (r->type == Type::Bool) r = Op("ite", {r, Literal(1, Type::Int), Literal(0, Type::Int)});
    return r;
  }

  // The reward expression in the states, 0 unless `time` accumulates. With
  // `steps`, the reward of each transition goes to *impulses; without, a
  // transient variable set on edges is an error.
  ExprP Reward(const json& v, const std::string& path, bool time, bool steps,
               std::vector<std::pair<std::string, ExprP>>* impulses) {
    exprs_.transientsRead.clear();
    ExprP r = exprs_.Read(Member(v, "exp", path), path + "/exp");
    if (!steps) RejectImpulses();
    if (steps)
      for (const Activity& a : acts_) StepReward(a, v["exp"], path + "/exp", impulses);
    return time ? Numeric(r) : Literal(0, Type::Real);
  }

  // The reward of a transition of activity a: the reward expression with the
  // transients its edges assign (the others at their initial values). The
  // model language earns it over the marking the transition leaves, so it
  // may not read what the transition changes, nor differ between cases.
  void StepReward(const Activity& a, const json& exp, const std::string& path,
                  std::vector<std::pair<std::string, ExprP>>* impulses) {
    auto rate = a.rate ? Fold(*a.rate, net_.symbols) : std::nullopt;
    if (rate && *rate == 0) return;  // written as a comment: never fires
    std::set<int> written;
    for (const Case& c : a.cases)
      for (const Step& s : c.steps) written.insert(s.target);
    ExprP first;
    std::string firstText;
    for (const Case& c : a.cases) {
      exprs_.transientsOnStep = &c.transients;
      ExprP x;
      try {
        x = Numeric(exprs_.Read(exp, path));
      } catch (...) {
        exprs_.transientsOnStep = nullptr;
        throw;
      }
      exprs_.transientsOnStep = nullptr;
      std::string text = WriteExpr(*x, net_.symbols);
      if (!first) {
        first = x, firstText = text;
      } else if (text != firstText) {
        throw JaniError(a.edgePaths[0], "property '" + name_ + "': the reward of a transition of " +
                                            a.name +
                                            " differs between its destinations (not supported)");
      }
      std::set<int> read;
      CollectSymbols(*x, read);
      for (int s : read)
        if (written.count(s))
          throw JaniError(
              c.transients.empty() ? a.edgePaths[0] : c.transients.begin()->second.second,
              "property '" + name_ + "': the reward of a transition of " + a.name + " reads '" +
                  net_.symbols[s].janiName + "', which the transition changes (not supported)");
    }
    auto z = first ? Fold(*first, net_.symbols) : std::optional<double>(0);
    if (z && *z == 0) return;
    impulses->emplace_back(a.name, first);
  }

  // Whether anything accumulates; *time and *steps say what.
  bool Accumulate(const json& v, const std::string& path, bool* steps, bool* timeOut) {
    *steps = false;
    *timeOut = false;
    if (!v.contains("accumulate")) return false;
    bool& time = *timeOut;
    for (const json& a : v["accumulate"]) {
      std::string s = a.is_string() ? a.get<std::string>() : "";
      if (s == "time")
        time = true;
      else if (s == "steps")
        *steps = true;
      else
        throw JaniError(path + "/accumulate", "accumulation '" + s + "' is not supported");
    }
    return time || *steps;
  }

  static std::vector<std::pair<std::string, ExprP>> Scaled(
      const std::vector<std::pair<std::string, ExprP>>& impulses,
      const std::function<ExprP(const ExprP&)>& f) {
    std::vector<std::pair<std::string, ExprP>> out;
    for (const auto& i : impulses) out.emplace_back(i.first, f(i.second));
    return out;
  }

  void Expectation(const json& v, const std::string& path) {
    for (const char* key : {"step-instant", "reward-instants"})
      if (v.contains(key))
        throw JaniError(path + "/" + key, std::string("\"") + key + "\" is not supported");
    if (!v.contains("time-instant") && !v.contains("reach"))
      // Asked of the file's own reading, before what the reward reads.
      throw JaniError(path, "property '" + name_ +
                                "': an expectation with neither a time instant nor a goal is "
                                "the reward over an unbounded horizon, which no run reaches (a "
                                "long-run average is written Smin or Smax)");
    bool steps = false, time = false;
    bool accumulates = Accumulate(v, path, &steps, &time);
    std::vector<std::pair<std::string, ExprP>> impulses;
    ExprP r = accumulates ? Reward(v, path, time, steps, &impulses)
                          : Reward(v, path, true, false, nullptr);
    RewardVariable var{Claim(name_), "", 0, 0, r, "", true, "", {}};
    var.impulses = impulses;
    if (v.contains("time-instant")) {
      if (v.contains("reach"))
        throw JaniError(path + "/reach", "a goal with a time instant is not supported");
      double t = exprs_.ReadConstant(v["time-instant"], path + "/time-instant");
      if (t < 0 || (accumulates && t == 0))
        throw JaniError(path + "/time-instant", "the time instant must be positive");
      var.kind = accumulates ? "interval" : "instant";
      var.to = t;
      var.comment =
          accumulates ? "expected reward accumulated over [0, T]" : "expected reward at T";
      Add(var);
      return;
    }
    if (!accumulates)
      throw JaniError(path, "property '" + name_ +
                                "': an expectation until a goal needs an accumulation (\"time\" "
                                "or \"steps\")");
    Latch latch;
    latch.reach = State(v["reach"], path + "/reach");
    int place = AddLatch(latch, true);
    var.kind = "interval";
    var.to = options_.horizon;
    var.timeBounded = false;
    ExprP open0 = Op("==", {SymbolRef(place, Type::Int), Literal(0, Type::Int)});
    if (time) var.rate = Op("ite", {open0, r, Literal(0, Type::Int)});
    // Earned over the marking the transition leaves, before the goal's
    // latch is set: the transition that reaches the goal counts.
    var.impulses = Scaled(impulses, [&](const ExprP& x) {
      return Op("ite", {open0, x, Literal(0, Type::Int)});
    });
    var.comment = "expected reward until the goal";
    Add(var);
    RewardVariable open{Claim(name_ + "_unreached"),
                        "instant",
                        0,
                        options_.horizon,
                        Op("==", {SymbolRef(place, Type::Int), Literal(0, Type::Int)}),
                        "probability that the goal was not reached by the horizon (the value "
                        "above is then truncated; the exact one is infinite)",
                        false,
                        "",
                        {}};
    Add(open);
  }

  void SteadyState(const json& v, const std::string& path) {
    bool steps = false, time = false;
    if (!Accumulate(v, path, &steps, &time)) time = true;  // a state reward
    std::vector<std::pair<std::string, ExprP>> impulses;
    ExprP r = Reward(v, path, time, steps, &impulses);
    ExprP batch = Literal(options_.batch, Type::Real);
    RewardVariable var{Claim(name_),
                       "steady",
                       options_.warmup,
                       options_.warmup + options_.batch,
                       time ? Op("/", {r, batch}) : r,
                       "long-run average (batch means; each batch integral divided by its length)",
                       false,
                       "",
                       {}};
    var.impulses = Scaled(impulses, [&](const ExprP& x) { return Op("/", {x, batch}); });
    Add(var);
  }

  Network& net_;
  const std::vector<Activity>& acts_;
  ExprReader& exprs_;
  NameRegistry& names_;
  const MeasureOptions& options_;
  Measures& m_;
  std::string name_, path_;
};

// Unbounded properties stop the model once all are decided (and the last
// time bound of the others has passed), so a replication ends there.
void Freeze(Network& net, NameRegistry& names, Measures& m) {
  bool unbounded = false;
  for (const Latch& l : m.latches) unbounded = unbounded || l.unbounded;
  if (!unbounded) return;
  double last = 0;
  for (const RewardVariable& r : m.rewards) {
    if (r.kind == "steady")
      throw JaniError("/properties",
                      "long-run averages and unbounded properties need separate "
                      "models (select them with --properties)");
    if (r.timeBounded) last = std::max(last, r.to);
  }
  for (const Latch& l : m.latches)
    if (l.unbounded)
      m.frozen = And(m.frozen, Op("!=", {SymbolRef(l.place, Type::Int), Literal(0, Type::Int)}));
  if (last > 0) {
    m.clock = net.AddHelperPlace(names.Claim("time_bounds_passed"),
                                 "1 once the last time bound has passed");
    m.clockAt = last;
    m.frozen = And(m.frozen, Op("==", {SymbolRef(m.clock, Type::Int), Literal(1, Type::Int)}));
  }
}

}  // namespace

Measures ReadProperties(const json& doc, Network& net, const std::vector<Activity>& acts,
                        ExprReader& exprs, NameRegistry& names, const MeasureOptions& options) {
  Measures m;
  PropertyReader reader(net, acts, exprs, names, options, m);
  const json& props = doc.contains("properties") ? doc["properties"] : json::array();
  if (!props.is_array()) throw JaniError("/properties", "must be an array");
  std::set<std::string> wanted(options.only.begin(), options.only.end()), found;
  for (size_t k = 0; k < props.size(); ++k) {
    std::string path = "/properties/" + std::to_string(k);
    if (!props[k].is_object() || !props[k].contains("name") || !props[k]["name"].is_string())
      throw JaniError(path, "a property needs a name");
    std::string name = props[k]["name"].get<std::string>();
    if (!wanted.empty() && !wanted.count(name)) continue;
    found.insert(name);
    try {
      reader.Read(props[k], path);
    } catch (const JaniError& e) {
      if (!wanted.empty()) throw;
      throw JaniError(e.path(), std::string(e.what()) + " (property '" + name +
                                    "'; leave it out with --properties)");
    }
  }
  for (const std::string& w : wanted)
    if (!found.count(w)) throw JaniError("/properties", "no property named '" + w + "'");
  Freeze(net, names, m);
  return m;
}

}  // namespace velmor::jani

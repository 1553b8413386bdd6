#include "jani/Activities.h"

#include <map>
#include <set>

#include "jani/ExprFold.h"
#include "jani/ExprWriter.h"
#include "jani/JaniError.h"

namespace velmor::jani {

namespace {

// Bounds on what one document may expand to (synchronisation products).
constexpr size_t kMaxActivities = 100000;
constexpr size_t kMaxCases = 10000;

struct Part {
  size_t element;
  const Edge* edge;
};

// The helper places that keep values while simultaneous assignments run,
// one pool per type (integer places hold encoded values, double places reals).
struct Temps {
  std::vector<int> ints, reals;
};

// Orders one index group of simultaneous assignments so that every value
// reads the old values: an assignment runs after all that read its target;
// a cycle is broken through a helper place.
void OrderGroup(Network& net, NameRegistry& names, std::vector<Assignment> group,
                std::vector<Step>& out, Temps& temps) {
  std::vector<std::set<int>> reads(group.size());
  for (size_t k = 0; k < group.size(); ++k) CollectSymbols(*group[k].value, reads[k]);
  std::vector<bool> done(group.size(), false);
  std::vector<Step> deferred;
  size_t usedInts = 0, usedReals = 0;
  for (size_t left = group.size(); left > 0;) {
    bool progress = false;
    for (size_t k = 0; k < group.size(); ++k) {
      if (done[k]) continue;
      bool readByOther = false;
      for (size_t q = 0; q < group.size(); ++q)
        if (q != k && !done[q] && reads[q].count(group[k].target)) readByOther = true;
      if (readByOther) continue;
      out.push_back({group[k].target, group[k].value, group[k].target, -1});
      done[k] = true, --left, progress = true;
    }
    if (progress || left == 0) continue;
    size_t k = 0;
    while (done[k]) ++k;
    const bool real = net.symbols[group[k].target].type == Type::Real;
    std::vector<int>& pool = real ? temps.reals : temps.ints;
    size_t& used = real ? usedReals : usedInts;
    if (used == pool.size()) {
      const size_t number = temps.ints.size() + temps.reals.size() + 1;
      pool.push_back(net.AddHelperPlace(names.Claim("tmp" + std::to_string(number)),
                                        "keeps a value while simultaneous assignments run",
                                        kPlaceMax));
      if (real) net.symbols[pool.back()].type = Type::Real;
    }
    int temp = pool[used++];
    out.push_back({temp, group[k].value, group[k].target, -1});
    deferred.push_back({group[k].target, nullptr, -1, temp});
    done[k] = true, --left;
  }
  out.insert(out.end(), deferred.begin(), deferred.end());
}

Case BuildCase(Network& net, NameRegistry& names, const std::vector<Part>& parts,
               const std::vector<const Destination*>& dests, Temps& temps) {
  Case c;
  std::map<int, std::vector<Assignment>> byIndex;
  std::map<std::pair<int, int>, std::string> written;  // (index, target) -> path
  for (size_t p = 0; p < parts.size(); ++p) {
    c.weight = dests[p]->probability ? Times(c.weight, dests[p]->probability) : c.weight;
    for (const Assignment& a : dests[p]->assignments) {
      auto key = std::make_pair(a.index, a.target);
      if (written.count(key))
        throw JaniError(a.path, "'" + net.symbols[a.target].janiName + "' is also assigned at " +
                                    written[key] + " in the same step");
      written[key] = a.path;
      byIndex[a.index].push_back(a);
    }
    for (const Assignment& a : dests[p]->transients) {
      auto prior = c.transients.find(a.target);
      if (prior != c.transients.end())
        throw JaniError(a.path, "'" + net.symbols[a.target].janiName + "' is also assigned at " +
                                    prior->second.second + " in the same step");
      c.transients[a.target] = {a.value, a.path};
    }
  }
  for (auto& group : byIndex) OrderGroup(net, names, group.second, c.steps, temps);
  for (size_t p = 0; p < parts.size(); ++p) {
    const Instance& inst = net.instances[parts[p].element];
    if (inst.locationSymbol >= 0 && dests[p]->location != parts[p].edge->source)
      c.steps.push_back({inst.locationSymbol,
                         Literal(static_cast<double>(dests[p]->location), Type::Int), -1, -1});
  }
  return c;
}

Activity Combine(Network& net, NameRegistry& names, const std::vector<Part>& parts,
                 const std::string& label, const std::string& path, Temps& temps) {
  Activity act;
  int rated = 0;
  std::string edges;
  for (const Part& p : parts) {
    const Instance& inst = net.instances[p.element];
    if (inst.locationSymbol >= 0)
      act.guard = And(act.guard, Op("==", {SymbolRef(inst.locationSymbol, Type::Int),
                                           Literal(p.edge->source, Type::Int)}));
    act.sources.emplace_back(p.element, p.edge->source);
    act.edgePaths.push_back(p.edge->path);
    edges += (edges.empty() ? "" : ", ") + inst.janiName + " edge " +
             std::to_string(p.edge->number) + " (from " +
             inst.locations[static_cast<size_t>(p.edge->source)] + ")";
    if (p.edge->rate) ++rated, act.rate = Times(act.rate, p.edge->rate);
  }
  for (const Part& p : parts) act.guard = And(act.guard, p.edge->guard);
  if (rated != 0 && rated != static_cast<int>(parts.size()))
    throw JaniError(path, "a Markovian edge synchronises with an instantaneous one");
  act.instant = rated == 0;
  act.comment = edges;
  act.name = names.Claim(label);
  // Cases: every combination of the parts' destinations.
  std::vector<size_t> pick(parts.size(), 0);
  for (;;) {
    std::vector<const Destination*> dests;
    for (size_t p = 0; p < parts.size(); ++p)
      dests.push_back(&parts[p].edge->destinations[pick[p]]);
    if (act.cases.size() == kMaxCases)
      throw JaniError(path, "the synchronised destinations combine into too many cases");
    act.cases.push_back(BuildCase(net, names, parts, dests, temps));
    size_t p = parts.size();
    while (p > 0 && ++pick[p - 1] == parts[p - 1].edge->destinations.size()) pick[--p] = 0;
    if (p == 0) break;
  }
  return act;
}

}  // namespace

std::vector<Activity> BuildActivities(Network& net, NameRegistry& names) {
  std::vector<Activity> acts;
  Temps temps;
  for (size_t e = 0; e < net.instances.size(); ++e) {
    const Instance& inst = net.instances[e];
    for (const Edge& edge : inst.edges) {
      if (!edge.action.empty()) continue;
      std::string label = inst.name + "_" + inst.locations[static_cast<size_t>(edge.source)] + "_" +
                          std::to_string(edge.number);
      acts.push_back(Combine(net, names, {{e, &edge}}, label, edge.path, temps));
    }
  }
  for (const SyncVector& v : net.syncs) {
    std::vector<std::vector<Part>> options;
    std::string label = v.result;
    for (size_t e = 0; e < v.actions.size(); ++e) {
      if (v.actions[e].empty()) continue;
      if (label.empty()) label = v.actions[e];
      std::vector<Part> candidates;
      for (const Edge& edge : net.instances[e].edges)
        if (edge.action == v.actions[e]) candidates.push_back({e, &edge});
      options.push_back(candidates);
    }
    bool possible = !options.empty();
    for (const auto& o : options) possible = possible && !o.empty();
    if (!possible) continue;
    std::vector<size_t> pick(options.size(), 0);
    for (;;) {
      std::vector<Part> parts;
      std::string name = label;
      for (size_t k = 0; k < options.size(); ++k) {
        parts.push_back(options[k][pick[k]]);
        name += "_" + net.instances[parts.back().element].name + "_" +
                std::to_string(parts.back().edge->number);
      }
      if (acts.size() == kMaxActivities)
        throw JaniError(v.path, "the synchronised edges combine into too many activities");
      acts.push_back(Combine(net, names, parts, name, v.path, temps));
      size_t k = options.size();
      while (k > 0 && ++pick[k - 1] == options[k - 1].size()) pick[--k] = 0;
      if (k == 0) break;
    }
  }
  return acts;
}

std::vector<std::pair<size_t, size_t>> InstantConflicts(const Network& net,
                                                        const std::vector<Activity>& acts) {
  std::vector<std::pair<size_t, size_t>> runtime;
  for (size_t a = 0; a < acts.size(); ++a) {
    if (!acts[a].instant) continue;
    for (size_t b = a + 1; b < acts.size(); ++b) {
      if (!acts[b].instant) continue;
      const std::pair<int, int>* shared = nullptr;
      bool disjoint = false;
      for (const auto& sa : acts[a].sources)
        for (const auto& sb : acts[b].sources)
          if (sa.first == sb.first) {
            if (sa.second == sb.second)
              shared = &sa;
            else
              disjoint = true;
          }
      if (!shared || disjoint) continue;
      auto ga = acts[a].guard ? Fold(*acts[a].guard, net.symbols) : std::optional<double>(1);
      auto gb = acts[b].guard ? Fold(*acts[b].guard, net.symbols) : std::optional<double>(1);
      if ((ga && *ga == 0) || (gb && *gb == 0)) continue;
      const Instance& inst = net.instances[static_cast<size_t>(shared->first)];
      // Guards other than the locations: both constant true means certain.
      auto onlyLocations = [&](const Activity& x) {
        std::set<int> read;
        if (x.guard) CollectSymbols(*x.guard, read);
        for (int s : read)
          if (net.symbols[s].kind != Symbol::Kind::Location) return false;
        return true;
      };
      // Or the same guard (as written) on both: each is enabled exactly when
      // the other is.
      auto sameGuard = [&]() {
        if (!acts[a].guard || !acts[b].guard) return !acts[a].guard && !acts[b].guard;
        return WriteExpr(*acts[a].guard, net.symbols) == WriteExpr(*acts[b].guard, net.symbols);
      };
      bool alwaysTogether = ((onlyLocations(acts[a]) && onlyLocations(acts[b])) || sameGuard()) &&
                            acts[a].sources.size() == 1 && acts[b].sources.size() == 1;
      if (alwaysTogether)
        throw JaniError(
            acts[a].edgePaths[0],
            "nondeterminism: in location '" + inst.locations[static_cast<size_t>(shared->second)] +
                "' of automaton '" + inst.janiName + "' the instantaneous edges " +
                acts[a].edgePaths[0] + " and " + acts[b].edgePaths[0] + " are both enabled");
      runtime.emplace_back(a, b);
    }
  }
  return runtime;
}

}  // namespace velmor::jani

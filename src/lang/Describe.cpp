// Describe: the listing printed by `velmor describe`.
#include "lang/Describe.h"

#include "lang/CheckExtended.h"

namespace lang {

namespace {

// A study literal as the user wrote it (no C++ casts or suffixes).
std::string Plain(std::string v) {
  const std::string cast = "static_cast<short>(";
  if (v.compare(0, cast.size(), cast) == 0) v = v.substr(cast.size(), v.size() - cast.size() - 1);
  if (!v.empty() && (v.back() == 'f' || v.back() == 'L') && v != "false") v.pop_back();
  return v;
}

std::string PlaceList(const Submodel& s, const std::vector<int>& places) {
  if (places.empty()) return "(none)";
  std::string out;
  for (size_t i = 0; i < places.size(); ++i) out += (i ? ", " : "") + s.places[places[i]].name;
  return out;
}

const char* RewardKind(Reward::Kind k) {
  switch (k) {
    case Reward::kInstant:
      return "instant at";
    case Reward::kInterval:
      return "interval";
    case Reward::kAverage:
      return "average";
    case Reward::kSteady:
      return "steady";
  }
  return "";
}

}  // namespace

void Describe(const Model& m, std::ostream& out) {
  out << "model " << m.name << "\n\nglobals:\n";
  if (m.globals.empty()) out << "  (none)\n";
  for (const Global& g : m.globals) out << "  " << g.name << " : " << g.type << "\n";
  for (const Submodel& s : m.submodels) {
    out << "\nsubmodel " << s.name << "\n  places:\n";
    for (size_t i = 0; i < s.places.size(); ++i) {
      if (s.places[i].extended >= 0) continue;
      out << "    " << i << " " << s.places[i].name
          << (s.places[i].type == "short" ? "" : " : " + s.places[i].type) << "\n";
    }
    // An extended place, then its leaves (the places actions see).
    for (const ExtendedPlace& x : s.extended) {
      out << "    " << x.name << " : " << ExtendedShape(x) << "\n";
      for (size_t i = 0; i < s.places.size(); ++i) {
        if (s.places[i].extended < 0 || s.extended[s.places[i].extended].name != x.name) continue;
        out << "      " << i << " " << s.places[i].name
            << (s.places[i].type == "short" ? "" : " : " + s.places[i].type) << "\n";
      }
    }
    out << "  actions (index, name, group id, delay):\n";
    int index = 0;
    for (const Activity& a : s.activities) {
      size_t n = a.cases.empty() ? 1 : a.cases.size();
      for (size_t k = 0; k < n; ++k) {
        std::string name = a.cases.empty() ? a.name : a.name + "_case" + std::to_string(k + 1);
        out << "    " << index++ << " " << name << "  group " << a.groupId << "  "
            << (a.timed ? a.distribution : "instantaneous, rank " + std::to_string(a.rank)) << "\n";
        out << "        affects:    " << PlaceList(s, a.affected[k]) << "\n";
        out << "        enabled by: " << PlaceList(s, a.enabling) << "\n";
      }
    }
  }
  out << "\ncomposition (top " << m.topNode << "):\n";
  if (m.composers.empty()) out << "  the submodel " << m.topNode << " alone\n";
  for (const Composer& c : m.composers) {
    out << "  " << (c.kind == Composer::kRep ? "rep " : "join ") << c.name << ": ";
    if (c.kind == Composer::kRep) {
      out << (c.count->kind == Expr::kName ? c.count->text : c.count->text) << " copies of "
          << c.children[0] << "\n";
    } else {
      for (size_t i = 0; i < c.children.size(); ++i) out << (i ? ", " : "") << c.children[i];
      out << "\n";
    }
    for (const Share& sh : c.shares) {
      out << "    shares " << sh.name;
      if (c.kind == Composer::kJoin) {
        out << " =";
        for (size_t i = 0; i < sh.members.size(); ++i) {
          out << (i ? ", " : " ") << sh.members[i].child << "." << sh.members[i].place;
        }
      }
      out << "\n";
    }
  }
  out << "\nreward variables:\n";
  if (m.rewards.empty()) out << "  (none)\n";
  for (size_t i = 0; i < m.rewards.size(); ++i) {
    const Reward& r = m.rewards[i];
    out << "  " << i << " " << r.name << " of ";
    for (size_t k = 0; k < r.submodels.size(); ++k) out << (k ? ", " : "") << r.submodels[k];
    out << ": " << RewardKind(r.kind);
    for (size_t k = 0; k < r.startText.size(); ++k) {
      out << (k ? ", " : " ");
      if (r.kind == Reward::kInstant) {
        out << r.startText[k];
      } else {
        out << "from " << r.startText[k] << " to " << r.stopText[k];
      }
    }
    out << "\n";
    if (!r.impulses.empty()) {
      out << "      impulses on:";
      for (size_t k = 0; k < r.impulses.size(); ++k) {
        out << (k ? ", " : " ") << m.submodels[r.impulses[k].submodelIndex].name << "."
            << r.impulses[k].activity;
      }
      out << (r.rate ? "" : " (no rate)") << "\n";
    }
  }
  out << "\nexperiments (-e N runs Experiment N+1):\n";
  for (int e = 0; e < m.study.numExps; ++e) {
    out << "  Experiment " << e + 1;
    if (!m.study.names.empty()) out << " \"" << m.study.names[e] << "\"";
    out << ":";
    for (size_t g = 0; g < m.globals.size(); ++g) {
      out << " " << m.globals[g].name << "=" << Plain(m.study.values[g][e]);
    }
    out << "\n";
  }
}

}  // namespace lang

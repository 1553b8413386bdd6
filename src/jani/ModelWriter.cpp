#include "jani/ModelWriter.h"

#include <cmath>
#include <set>
#include <sstream>

#include "jani/ExprFold.h"
#include "jani/ExprWriter.h"
#include "jani/JaniError.h"

namespace velmor::jani {

namespace {

class Writer {
 public:
  Writer(const ModelParts& parts, NameRegistry& names)
      : p_(parts), net_(*parts.net), sym_(parts.net->symbols), names_(names) {}

  std::string Write() {
    submodel_ = net_.submodel;
    const std::string& model = net_.modelName;
    out_ << "# Imported from " << p_.source << " (JANI model \"" << net_.name << "\", " << net_.type
         << ").\n"
         << "# Constants are globals set by the study; variables and automaton locations are\n"
         << "# places; each activity stands for one edge or one synchronised combination.\n";
    if (MixesSteadyAndTransient())
      out_ << "# The long-run averages make every replication of a terminating run last until\n"
           << "# their first batch ends; import them on their own (--properties) for speed.\n";
    out_ << "model " << model << "\n\n";
    Globals();
    out_ << "submodel " << submodel_ << " {\n";
    Places();
    for (const Activity& a : p_.activities) WriteActivity(a);
    BoundChecks();
    Conflicts();
    Latches();
    out_ << "}\n";
    Rewards();
    Study();
    return out_.str();
  }

 private:
  std::string E(const ExprP& e) { return WriteExpr(*e, sym_); }

  bool MixesSteadyAndTransient() const {
    bool steady = false, other = false;
    for (const RewardVariable& r : p_.measures.rewards)
      (r.kind == "steady" ? steady : other) = true;
    return steady && other;
  }
  std::string E(const Expr& e) { return WriteExpr(e, sym_); }

  void Globals() {
    for (int c : net_.constants) {
      const Symbol& s = sym_[c];
      const char* type = s.type == Type::Bool ? "bool" : s.type == Type::Int ? "int" : "double";
      out_ << "global " << s.name << " : " << type << "\n";
    }
    if (!net_.constants.empty()) out_ << "\n";
  }

  void Places() {
    for (int id : net_.places) {
      const Symbol& s = sym_[id];
      if (s.type == Type::Real)
        out_ << "  place " << s.name << " : double = " << NumberText(s.initial, Type::Real);
      else
        out_ << "  place " << s.name << " = " << NumberText(s.initial - s.offset, Type::Int);
      std::string comment = s.comment;
      if (s.kind == Symbol::Kind::Location) {
        comment = "locations of " + s.janiName + ":";
        for (size_t k = 0; k < s.locations.size(); ++k)
          comment += " " + std::to_string(k) + " " + s.locations[k];
      }
      if (s.kind == Symbol::Kind::Variable && s.janiName != s.name)
        comment = s.janiName + ", " + comment;
      if (!comment.empty()) out_ << "  # " << comment;
      out_ << "\n";
    }
  }

  // The text stored for `value` into a place of variable `v`.
  std::string Encoded(const Symbol& v, const ExprP& value) {
    // Reals are stored as they are; BoundChecks reads the place itself.
    if (v.kind != Symbol::Kind::Variable || v.type != Type::Int) return E(value);
    auto c = Fold(*value, sym_);
    double sentinel = v.upper - v.offset + 1;
    if (c) {
      bool in = *c >= v.lower && *c <= v.upper && *c == static_cast<long long>(*c);
      return NumberText(in ? *c - v.offset : sentinel, Type::Int);
    }
    ExprP out = Op("or", {Op("<", {value, Literal(v.lower, Type::Int)}),
                          Op(">", {value, Literal(v.upper, Type::Int)})});
    ExprP stored = v.offset == 0 ? value : Op("+", {value, Literal(-v.offset, Type::Int)});
    return E(Op("ite", {out, Literal(sentinel, Type::Int), stored}));
  }

  void Steps(const std::vector<Step>& steps, const std::string& indent) {
    for (const Step& s : steps) {
      out_ << indent << sym_[s.target].name << " = ";
      if (s.fromTemp >= 0)
        out_ << sym_[s.fromTemp].name << "\n";
      else
        out_ << Encoded(sym_[s.encodeAs >= 0 ? s.encodeAs : s.target], s.value) << "\n";
    }
  }

  // Step bounds: every transition of the model counts, up to the cap.
  void CountStep(const std::string& indent) {
    if (p_.measures.steps < 0) return;
    const std::string& n = sym_[p_.measures.steps].name;
    out_ << indent << n << " = min(" << n << " + 1, " << p_.measures.stepCap << ")\n";
  }

  bool ReadsState(const ExprP& e) {
    std::set<int> read;
    CollectSymbols(*e, read);
    for (int s : read)
      if (sym_[s].kind != Symbol::Kind::Constant) return true;
    return false;
  }

  void WriteActivity(const Activity& a) {
    std::optional<double> rate = a.rate ? Fold(*a.rate, sym_) : std::nullopt;
    if (rate && *rate < 0) throw JaniError(a.edgePaths[0], "negative rate");
    if (rate && *rate == 0) {
      out_ << "  # " << a.name << " (" << a.comment << ") has rate 0 and never fires\n";
      return;
    }
    out_ << "  " << (a.instant ? "instant " : "timed ") << a.name << " {  # " << a.comment << "\n";
    if (!a.instant) out_ << "    delay exponential(" << E(a.rate) << ")\n";
    if (a.guard) out_ << "    when " << E(a.guard) << "\n";
    if (!a.instant && !rate) out_ << "    when " << E(a.rate) << " != 0\n";
    if (p_.measures.frozen) out_ << "    when not (" << E(p_.measures.frozen) << ")\n";
    if (!a.instant && ReadsState(a.rate)) out_ << "    resample when " << E(a.rate) << " changes\n";
    bool count = p_.measures.steps >= 0;
    if (a.cases.size() == 1) {
      if (!a.cases[0].steps.empty() || count) {
        out_ << "    do {\n";
        Steps(a.cases[0].steps, "      ");
        CountStep("      ");
        out_ << "    }\n";
      }
    } else {
      for (const Case& c : a.cases) {
        out_ << "    case weight " << (c.weight ? E(c.weight) : "1.0") << " {\n";
        if (!c.steps.empty() || count) {
          out_ << "      do {\n";
          Steps(c.steps, "        ");
          CountStep("        ");
          out_ << "      }\n";
        }
        out_ << "    }\n";
      }
    }
    out_ << "  }\n";
  }

  void BoundChecks() {
    for (int id : net_.places) {
      const Symbol& s = sym_[id];
      if (s.kind != Symbol::Kind::Variable || s.type == Type::Bool) continue;
      if (s.type == Type::Real) {
        RealBoundCheck(id);
        continue;
      }
      out_ << "  timed " << names_.Claim(s.name + "_out_of_bounds")
           << " {  # stops the run: " << s.janiName << " left [" << NumberText(s.lower, Type::Int)
           << ", " << NumberText(s.upper, Type::Int) << "]\n"
           << "    delay deterministic(-" << s.name << ")\n"
           << "    when " << s.name << " == " << NumberText(s.upper - s.offset + 1, Type::Int)
           << "\n  }\n";
    }
  }

  // A real leaves its bounds: the value stays in the place, and the
  // check, enabled only then, draws a negative delay.
  void RealBoundCheck(int id) {
    const Symbol& s = sym_[id];
    bool low = std::isfinite(s.lower), high = std::isfinite(s.upper);
    if (!low && !high) return;
    ExprP x = SymbolRef(id, Type::Real);
    ExprP out;
    if (low) out = Op("<", {x, Literal(s.lower, Type::Real)});
    if (high) {
      ExprP above = Op(">", {x, Literal(s.upper, Type::Real)});
      out = out ? Op("or", {out, above}) : above;
    }
    out_ << "  timed " << names_.Claim(s.name + "_out_of_bounds")
         << " {  # stops the run: " << s.janiName << " left "
         << (low ? "[" + NumberText(s.lower, Type::Real) : "(-inf") << ", "
         << (high ? NumberText(s.upper, Type::Real) + "]" : "inf)")
         << "\n    delay deterministic(-1 - abs(" << s.name << "))\n    when " << E(out)
         << "\n  }\n";
  }

  void Conflicts() {
    for (const auto& c : p_.conflicts) {
      const Activity& a = p_.activities[c.first];
      const Activity& b = p_.activities[c.second];
      const Instance& inst = net_.instances[static_cast<size_t>(a.sources[0].first)];
      std::string place =
          inst.locationSymbol >= 0 ? sym_[inst.locationSymbol].name : sym_[net_.places[0]].name;
      // The delay must be negative whatever the place holds.
      if (inst.locationSymbol < 0 && sym_[net_.places[0]].type == Type::Real)
        place = "abs(" + place + ")";
      out_ << "  timed " << names_.Claim("nondeterminism_" + a.name + "_" + b.name)
           << " {  # stops the run: " << a.edgePaths[0] << " and " << b.edgePaths[0]
           << " enabled together\n"
           << "    delay deterministic(-1 - " << place << ")\n"
           << "    when " << (a.guard ? E(a.guard) : "true") << "\n"
           << "    when " << (b.guard ? E(b.guard) : "true") << "\n  }\n";
    }
  }

  void Latches() {
    const Measures& m = p_.measures;
    for (const Latch& l : m.latches) {
      const std::string& place = sym_[l.place].name;
      out_ << "  instant " << names_.Claim("reach_" + l.name) << " {  # property " << l.name
           << ": the goal holds\n    rank 2\n    when " << place << " == 0\n    when " << E(l.reach)
           << "\n    do { " << place << " = 1 }\n  }\n";
      if (l.window >= 0) {
        const std::string& w = sym_[l.window].name;
        out_ << "  timed " << names_.Claim("open_" + l.name) << " {  # property " << l.name
             << ": its time window opens\n    delay deterministic("
             << NumberText(l.opensAt, Type::Real) << ")\n    when " << w << " == 0\n    do { " << w
             << " = 1 }\n  }\n";
      }
      if (l.fail)
        out_ << "  instant " << names_.Claim("fail_" + l.name) << " {  # property " << l.name
             << ": left side broken first\n    rank 2\n    when " << place << " == 0\n    when "
             << E(l.fail) << "\n    do { " << place << " = 2 }\n  }\n";
    }
    if (m.clock >= 0) {
      const std::string& place = sym_[m.clock].name;
      out_ << "  timed " << names_.Claim("pass_time_bounds") << " {\n    delay deterministic("
           << NumberText(m.clockAt, Type::Real) << ")\n    when " << place << " == 0\n    do { "
           << place << " = 1 }\n  }\n";
    }
  }

  void Rewards() {
    for (const RewardVariable& r : p_.measures.rewards) {
      out_ << "\nreward " << r.name << " of " << submodel_ << " {  # ";
      if (r.name != r.property && r.name != r.property + "_unreached")
        out_ << "property " << r.property << ": ";
      out_ << r.comment << "\n  ";
      if (r.kind == "instant")
        out_ << "instant at " << NumberText(r.to, Type::Real);
      else
        out_ << r.kind << " from " << NumberText(r.from, Type::Real) << " to "
             << NumberText(r.to, Type::Real);
      // Only impulses: no rate line (the language takes either or both).
      if (r.impulses.empty() || !IsLiteral(*r.rate, 0)) out_ << "\n  rate " << E(r.rate);
      for (const auto& i : r.impulses) out_ << "\n  impulse " << i.first << " = " << E(i.second);
      out_ << "\n}\n";
    }
  }

  void Study() {
    if (net_.constants.empty()) return;
    out_ << "\nstudy range {\n";
    for (int c : net_.constants) {
      const Symbol& s = sym_[c];
      std::string v =
          s.type == Type::Bool ? (*s.value != 0 ? "true" : "false") : NumberText(*s.value, s.type);
      out_ << "  " << s.name << " = " << v << "\n";
    }
    out_ << "}\n";
  }

  const ModelParts& p_;
  const Network& net_;
  const SymbolTable& sym_;
  NameRegistry& names_;
  std::string submodel_;
  std::ostringstream out_;
};

}  // namespace

std::string WriteModel(const ModelParts& parts, NameRegistry& names) {
  return Writer(parts, names).Write();
}

}  // namespace velmor::jani

// GenerateSan: the class of one submodel: places, one nested class per
// action (activity or case), case groups, and construction in the fixed
// order (activities, groups, places, registration, binding, arcs, links).
#include <algorithm>
#include <sstream>

#include "lang/ExprCpp.h"
#include "lang/GeneratorParts.h"

namespace lang {

namespace {

const char* DistributionEnum(const std::string& d) {
  static const std::pair<const char*, const char*> table[] = {
      {"exponential", "kExponential"},
      {"deterministic", "kDeterministic"},
      {"uniform", "kUniform"},
      {"geometric", "kGeometric"},
      {"weibull", "kWeibull"},
      {"normal", "kNormal"},
      {"lognormal", "kLognormal"},
      {"gamma", "kGamma"},
      {"beta", "kBeta"},
      {"erlang", "kErlang"},
      {"hyperexponential", "kHyperExponential"},
      {"hypoexponential", "kHypoExponential"},
      {"binomial", "kBinomial"},
      {"negative_binomial", "kNegativeBinomial"},
      {"triangular", "kTriangular"},
      {"pareto", "kPareto"}};
  for (const auto& e : table) {
    if (d == e.first) return e.second;
  }
  return "kInstantaneous";
}

const char* SampleFunction(const std::string& d) {
  static const std::pair<const char*, const char*> table[] = {
      {"uniform", "Uniform"},
      {"geometric", "Geometric"},
      {"weibull", "Weibull"},
      {"normal", "Normal"},
      {"lognormal", "Lognormal"},
      {"gamma", "Gamma"},
      {"beta", "Beta"},
      {"erlang", "Erlang"},
      {"binomial", "Binomial"},
      {"negative_binomial", "NegativeBinomial"},
      {"triangular", "Triangular"},
      {"pareto", "Pareto"},
      {"hyperexponential", "HyperExponential"},
      {"hypoexponential", "HypoExponential"}};
  for (const auto& e : table) {
    if (d == e.first) return e.second;
  }
  return "";
}

// One generated action: an activity without cases, or one case.
struct Action {
  const Activity* a;
  int caseIndex;  // -1: no cases
  std::string member, className;
  std::vector<int> places;  // cached marks, first appearance
};

void AddOnce(std::vector<int>& v, int p) {
  if (p >= 0 && std::find(v.begin(), v.end(), p) == v.end()) v.push_back(p);
}

void StmtPlaces(const std::vector<Stmt>& body, std::vector<int>& out) {
  for (const Stmt& s : body) {
    if (s.kind == Stmt::kAssign && s.target) PlacesRead(*s.target, out);
    if (s.kind == Stmt::kAssign && !s.target) AddOnce(out, s.placeIndex);
    if (s.expr) PlacesRead(*s.expr, out);
    StmtPlaces(s.thenBody, out);
    StmtPlaces(s.elseBody, out);
  }
}

void EffectPlaces(const std::vector<EffectItem>& items, std::vector<int>& out) {
  for (const EffectItem& it : items) {
    if (it.kind == EffectItem::kDo) {
      StmtPlaces(it.body, out);
    } else if (it.target) {
      PlacesRead(*it.target, out);
    } else {
      AddOnce(out, it.placeIndex);
    }
  }
}

std::vector<Action> Actions(const Submodel& s) {
  std::vector<Action> out;
  for (const Activity& a : s.activities) {
    size_t n = a.cases.empty() ? 1 : a.cases.size();
    for (size_t k = 0; k < n; ++k) {
      Action x;
      x.a = &a;
      x.caseIndex = a.cases.empty() ? -1 : static_cast<int>(k);
      std::string suffix = a.cases.empty() ? "" : "_case" + std::to_string(k + 1);
      x.member = a.name + suffix;
      x.className = a.name + "Activity" + suffix;
      x.places = a.enabling;
      for (int p : a.affected[k]) AddOnce(x.places, p);
      for (const ExprPtr& e : a.delayArgs) PlacesRead(*e, x.places);
      if (a.resample) PlacesRead(*a.resample, x.places);
      if (a.watch) PlacesRead(*a.watch, x.places);
      if (a.reactivate) PlacesRead(*a.reactivate, x.places);
      EffectPlaces(a.effects, x.places);
      if (x.caseIndex >= 0) {
        PlacesRead(*a.cases[k].weight, x.places);
        EffectPlaces(a.cases[k].effects, x.places);
      }
      out.push_back(x);
    }
  }
  return out;
}

std::string EffectCode(const std::vector<EffectItem>& items, const Model& m, const PlaceText& place,
                       const ElementText& element) {
  std::string out;
  for (const EffectItem& it : items) {
    std::string target = it.target ? ExprToCpp(*it.target, m, place, element)
                                   : (it.kind == EffectItem::kDo ? "" : place(it.placeIndex));
    if (it.kind == EffectItem::kInput) {
      out += "  " + target + " -= " + std::to_string(it.count) + ";\n";
    } else if (it.kind == EffectItem::kOutput) {
      out += "  " + target + " += " + std::to_string(it.count) + ";\n";
    } else {
      out += StmtsToCpp(it.body, m, place, "  ", element);
    }
  }
  return out;
}

std::string Double(const std::string& cpp) { return "static_cast<double>(" + cpp + ")"; }

}  // namespace

std::string SanClass(const Submodel& s) { return s.name + "SAN"; }

std::string PlaceClass(const std::string& type) {
  return type == "short" ? "Place" : "TypedPlace<" + type + ">";
}

void GenerateSubmodel(const Model& m, const Submodel& s, GeneratedCode& out) {
  const std::string cls = SanClass(s);
  std::vector<Action> actions = Actions(s);
  bool anyInstant = false;
  for (const Activity& a : s.activities) anyInstant = anyInstant || !a.timed;
  auto mark = [&](int p) { return "*" + CacheOf(s, p); };
  // Own places, then extended places: the submodel's state variables.
  std::vector<std::pair<std::string, std::string>> own;  // (name, class)
  for (const Place& p : s.places) {
    if (p.extended < 0) own.emplace_back(p.name, PlaceClass(p.type));
  }
  for (const ExtendedPlace& x : s.extended) own.emplace_back(x.name, StructClass(x));
  std::ostringstream h, c;

  // ---- declaration ----
  h << "// Submodel \"" << s.name << "\".\n";
  h << "class " << cls << " : public SANModel {\n public:\n";
  StructClasses(m, s, h, c);
  for (const Action& x : actions) {
    const Activity& a = *x.a;
    h << "  class " << x.className << " final : public ModelActivity {\n   public:\n";
    // Token places first, then one line per other type.
    for (const char* type : {"short", "int", "char", "double", "float"}) {
      std::string names;
      for (int p : x.places) {
        if (s.places[p].type == type && s.places[p].extended < 0) {
          names += (names.empty() ? "" : ", ") + s.places[p].name;
        }
      }
      if (names.empty()) continue;
      std::string cache =
          std::string(type) == "short" ? "CachedMark" : "CachedValue<" + std::string(type) + ">";
      h << "    " << cache << " " << names << ";\n";
    }
    h << ColumnCaches(s, x.places);
    h << "    bool Enabled() override;\n";
    if (a.distribution == "exponential") h << "    double Rate() override;\n";
    if (x.caseIndex >= 0) h << "    double Weight() override;\n";
    if (!a.timed && a.rank != 1) h << "    int Rank() override { return " << a.rank << "; }\n";
    if (a.resample) {
      h << "    bool ReactivationPredicate() override { return true; }\n";
      h << "    bool ReactivationFunction() override;\n";
    }
    if (a.watch) {
      h << "    bool ReactivationPredicate() override;\n";
      h << "    bool ReactivationFunction() override;\n";
    }
    h << "    double SampleDistribution() override;\n";
    h << "    double* ReturnDistributionParameters() override;\n";
    if (a.distribution == "deterministic") h << "    double DeterministicParamValue();\n";
    h << "    BaseActionClass* Fire() override;\n";
    h << "    void LinkVariables() override;\n";
    bool many = a.timed && a.distribution != "exponential" && a.distribution != "deterministic";
    if (many || a.resample) h << "\n   private:\n";
    if (many) h << "    double parameters_[" << a.delayArgs.size() << "] = {};\n";
    if (a.resample)
      h << "    double sampledValue_ = 0.0;  // the resample expression at the last draw\n";
    h << "  };\n";
  }
  size_t numGroups = s.activities.size();
  h << "\n  static constexpr int kNumPlaces = " << own.size() << ";\n";
  h << "  static constexpr int kNumActivities = " << actions.size() << ";\n";
  h << "  static constexpr int kNumGroups = " << numGroups << ";\n\n";
  h << "  " << cls << "();\n";
  h << "  " << cls << "(const " << cls << "&) = delete;  // owns its places\n";
  h << "  " << cls << "& operator=(const " << cls << "&) = delete;\n";
  h << "  ~" << cls << "() override;\n\n";
  h << "  void CustomInitialization() {}\n";
  h << "  void assignPlacesToActivitiesInst();\n  void assignPlacesToActivitiesTimed();\n\n";
  for (const auto& p : own) h << "  " << p.second << "* " << p.first << ";\n";
  for (const Action& x : actions) h << "  " << x.className << " " << x.member << ";\n";
  for (const Activity& a : s.activities) {
    if (!a.cases.empty()) h << "  PostselectGroup " << a.name << "Group;\n";
  }
  h << "  " << (anyInstant ? "PreselectGroup" : "EmptyGroup")
    << " ImmediateGroup;  // the model's own group; not scheduled\n";
  h << "\n private:\n  void InitializeActivities();\n  void InitializeGroups();\n"
       "  void CreatePlaces();\n  void RegisterWithBase();\n  void DeclareArcs();\n};\n\n";

  // ---- activities ----
  std::string structs = c.str();
  c.str("");
  c << "// ---- " << s.name << " ----\n\n" << structs;
  for (const Action& x : actions) {
    const Activity& a = *x.a;
    const std::string who = "Activity " + x.member;
    ElementText element = [&](const Expr& e, const std::string& index) {
      return ComputedCache(s, e, index, who);
    };
    std::string q = cls + "::" + x.className + "::";
    std::vector<std::string> conds;
    for (const EffectItem& it : a.effects) {
      if (it.kind == EffectItem::kInput) {
        std::string arc = it.target ? ExprToCpp(*it.target, m, mark, element) : mark(it.placeIndex);
        conds.push_back("(" + arc + " >= " + std::to_string(it.count) + ")");
      }
    }
    for (const ExprPtr& w : a.whens) conds.push_back(ExprToCpp(*w, m, mark, element));
    std::string enabled;
    for (size_t i = 0; i < conds.size(); ++i) enabled += (i ? " && " : "") + conds[i];
    if (conds.empty()) enabled = "true";
    c << "bool " << q << "Enabled() { return RecordEnabling(" << enabled << "); }\n\n";
    std::vector<std::string> args;
    for (const ExprPtr& e : a.delayArgs) args.push_back(Double(ExprToCpp(*e, m, mark, element)));
    std::string record =
        a.resample ? "  sampledValue_ = " + Double(ExprToCpp(*a.resample, m, mark, element)) + ";\n"
                   : "";
    if (a.distribution == "exponential") {
      c << "double " << q << "Rate() { return " << args[0] << "; }\n\n";
      if (record.empty()) {
        c << "double " << q
          << "SampleDistribution() { return TheDistribution->Exponential(Rate()); }\n\n";
      } else {
        c << "double " << q << "SampleDistribution() {\n"
          << record << "  return TheDistribution->Exponential(Rate());\n}\n\n";
      }
      c << "double* " << q
        << "ReturnDistributionParameters() { return StoreParameter(Rate()); }\n\n";
    } else if (a.distribution == "deterministic") {
      c << "double " << q << "DeterministicParamValue() { return " << args[0] << "; }\n\n";
      if (record.empty()) {
        c << "double " << q << "SampleDistribution() { return DeterministicParamValue(); }\n\n";
      } else {
        c << "double " << q << "SampleDistribution() {\n"
          << record << "  return DeterministicParamValue();\n}\n\n";
      }
      c << "double* " << q
        << "ReturnDistributionParameters() { return StoreParameter(DeterministicParamValue()); "
           "}\n\n";
    } else if (!a.timed) {
      c << "double " << q << "SampleDistribution() { return 0.0; }\n\n";
      c << "double* " << q << "ReturnDistributionParameters() { return nullptr; }\n\n";
    } else {
      c << "double* " << q << "ReturnDistributionParameters() {\n";
      for (size_t i = 0; i < args.size(); ++i) {
        c << "  parameters_[" << i << "] = " << args[i] << ";\n";
      }
      c << "  return parameters_;\n}\n\n";
      std::string fn = SampleFunction(a.distribution);
      c << "double " << q << "SampleDistribution() {\n" << record;
      if (a.distribution == "hyperexponential" || a.distribution == "hypoexponential") {
        size_t n = a.distribution == "hyperexponential" ? args.size() / 2 : args.size();
        c << "  return TheDistribution->" << fn << "(" << n
          << ", ReturnDistributionParameters());\n}\n\n";
      } else {
        c << "  return TheDistribution->" << fn << "(";
        for (size_t i = 0; i < args.size(); ++i) c << (i ? ", " : "") << args[i];
        c << ");\n}\n\n";
      }
    }
    if (x.caseIndex >= 0) {
      c << "double " << q << "Weight() { return "
        << Double(ExprToCpp(*a.cases[x.caseIndex].weight, m, mark, element)) << "; }\n\n";
    }
    if (a.resample) {
      c << "bool " << q << "ReactivationFunction() { return "
        << Double(ExprToCpp(*a.resample, m, mark, element)) << " != sampledValue_; }\n\n";
    }
    if (a.watch) {
      c << "bool " << q << "ReactivationPredicate() { return static_cast<bool>("
        << ExprToCpp(*a.watch, m, mark, element) << "); }\n\n";
      c << "bool " << q << "ReactivationFunction() { return static_cast<bool>("
        << ExprToCpp(*a.reactivate, m, mark, element) << "); }\n\n";
    }
    c << "BaseActionClass* " << q << "Fire() {\n" << EffectCode(a.effects, m, mark, element);
    if (x.caseIndex >= 0) c << EffectCode(a.cases[x.caseIndex].effects, m, mark, element);
    c << "  return this;\n}\n\n";
    c << "void " << q << "LinkVariables() {";
    if (x.places.empty())
      c << "}\n\n";
    else {
      c << "\n";
      for (int p : x.places) c << "  " << CacheOf(s, p) << ".Link();\n";
      c << "}\n\n";
    }
  }

  // ---- construction ----
  c << cls << "::" << cls << "()";
  for (size_t i = 0; i < own.size(); ++i) {
    c << (i ? ",\n      " : "\n    : ") << own[i].first << "(nullptr)";
  }
  c << " {\n  InitializeActivities();\n  InitializeGroups();\n  CreatePlaces();\n"
       "  RegisterWithBase();\n  assignPlacesToActivitiesInst();\n"
       "  assignPlacesToActivitiesTimed();\n  DeclareArcs();\n";
  for (const Action& x : actions) c << "  " << x.member << ".LinkVariables();\n";
  c << "}\n\n";
  c << cls << "::~" << cls << "() {\n";
  for (const auto& p : own) c << "  delete " << p.first << ";\n";
  c << "}\n\n";

  c << "void " << cls << "::InitializeActivities() {\n";
  for (const Action& x : actions) {
    const Activity& a = *x.a;
    size_t k = x.caseIndex < 0 ? 0 : static_cast<size_t>(x.caseIndex);
    c << "  " << x.member << ".ActivityInitialize(\"" << x.member << "\", " << a.groupId << ", "
      << (a.timed ? DistributionEnum(a.distribution) : "kInstantaneous") << ", kRaceEnabled, "
      << a.affected[k].size() << ", " << a.enabling.size() << ", false);\n";
  }
  c << "}\n\n";
  c << "void " << cls << "::InitializeGroups() {";
  bool anyGroup = false;
  for (const Activity& a : s.activities) {
    if (a.cases.empty()) continue;
    anyGroup = true;
    c << "\n  " << a.name << "Group.initialize(" << a.cases.size() << ", \"" << a.name
      << "Group\");";
    for (size_t k = 0; k < a.cases.size(); ++k) {
      c << "\n  " << a.name << "Group.appendGroup(&" << a.name << "_case" << k + 1 << ");";
    }
  }
  c << (anyGroup ? "\n}\n\n" : "}\n\n");
  c << "void " << cls << "::CreatePlaces() {";
  for (const Place& p : s.places) {
    if (p.extended >= 0) continue;
    std::string init = p.initial ? ExprToCpp(*p.initial, m, mark) : "0";
    c << "\n  " << p.name << " = Allocate<" << PlaceClass(p.type) << ">(\"" << p.name << "\", "
      << init << ");";
  }
  for (const ExtendedPlace& x : s.extended) {
    c << "\n  " << x.name << " = Allocate<" << StructClass(x) << ">(\"" << x.name << "\");";
  }
  c << (s.places.empty() ? "}\n\n" : "\n}\n\n");

  c << "void " << cls << "::RegisterWithBase() {\n";
  std::string placeArg = "nullptr", actArg = "nullptr", unitArg = "nullptr";
  if (!own.empty()) {
    c << "  BaseStateVariableClass* placeArray[kNumPlaces] = {";
    for (size_t i = 0; i < own.size(); ++i) c << (i ? ", " : "") << own[i].first;
    c << "};\n";
    placeArg = "placeArray";
  }
  if (!actions.empty()) {
    c << "  Activity* activityArray[kNumActivities] = {";
    for (size_t i = 0; i < actions.size(); ++i) c << (i ? ", " : "") << "&" << actions[i].member;
    c << "};\n";
    actArg = "activityArray";
    c << "  BaseGroupClass* unitArray[kNumGroups] = {";
    std::vector<const Activity*> byGroup(numGroups);
    for (const Activity& a : s.activities) byGroup[a.groupId] = &a;
    for (size_t i = 0; i < byGroup.size(); ++i) {
      c << (i ? ", " : "") << "&" << byGroup[i]->name << (byGroup[i]->cases.empty() ? "" : "Group");
    }
    c << "};\n";
    unitArg = "unitArray";
  }
  c << "  initializeSANModelNow(\"" << s.name << "\", kNumPlaces, " << placeArg
    << ", 0, nullptr, kNumActivities, " << actArg << ", kNumGroups, " << unitArg << ");\n}\n\n";

  for (int pass = 0; pass < 2; ++pass) {
    c << "void " << cls << "::assignPlacesToActivities" << (pass == 0 ? "Inst" : "Timed") << "() {";
    bool any = false;
    for (const Action& x : actions) {
      if (x.a->timed != (pass == 1)) continue;
      for (int p : x.places) {
        c << "\n  " << x.member << "." << CacheOf(s, p) << ".Bind(" << LeafPath(s, p) << ");";
        any = true;
      }
    }
    c << (any ? "\n}\n\n" : "}\n\n");
  }

  c << "void " << cls << "::DeclareArcs() {";
  bool anyArc = false;
  for (const Action& x : actions) {
    size_t k = x.caseIndex < 0 ? 0 : static_cast<size_t>(x.caseIndex);
    for (int p : x.a->affected[k]) {
      c << "\n  AddAffectArc(" << LeafPath(s, p) << ", &" << x.member << ");";
      anyArc = true;
    }
  }
  for (const Action& x : actions) {
    for (int p : x.a->enabling) {
      c << "\n  AddEnableArc(" << LeafPath(s, p) << ", &" << x.member << ");";
      anyArc = true;
    }
  }
  // An extended place lists the actions that change any of its leaves,
  // as reward variables that read it look them up by its name.
  for (const Action& x : actions) {
    size_t k = x.caseIndex < 0 ? 0 : static_cast<size_t>(x.caseIndex);
    std::vector<int> seen;
    for (int p : x.a->affected[k]) {
      int xi = s.places[p].extended;
      if (xi < 0 || std::find(seen.begin(), seen.end(), xi) != seen.end()) continue;
      seen.push_back(xi);
      c << "\n  " << s.extended[xi].name << "->BaseStateVariableClass::appendAffectingAction(&"
        << x.member << ");";
    }
  }
  c << (anyArc ? "\n}\n\n" : "}\n\n");
  out.header += h.str();
  out.source += c.str();
}

}  // namespace lang

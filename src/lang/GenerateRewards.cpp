// GenerateRewards: one node class and one worker class per reward
// variable, and the reward model over the top node.
#include <sstream>
#include <vector>

#include "lang/ExprCpp.h"
#include "lang/GeneratorParts.h"

namespace lang {

namespace {

std::string TimeLiteral(const std::string& text) {
  return text.find_first_of(".eE") == std::string::npos ? text + ".0" : text;
}

// One impulse prototype: an impulse on an activity without cases, or on
// one case of an activity (each case is an action of its own).
struct ImpulseAction {
  std::string action;
  const Expr* value;
};

std::vector<ImpulseAction> ImpulseActions(const Model& m, const Reward& r) {
  std::vector<ImpulseAction> out;
  for (const Impulse& imp : r.impulses) {
    const Activity& a = m.submodels[imp.submodelIndex].activities[imp.activityIndex];
    if (a.cases.empty()) out.push_back({a.name, imp.value.get()});
    for (size_t k = 0; k < a.cases.size(); ++k) {
      out.push_back({a.name + "_case" + std::to_string(k + 1), imp.value.get()});
    }
  }
  return out;
}

const char* ImpulseKind(Reward::Kind k) {
  switch (k) {
    case Reward::kInstant:
      return "kInstant";
    case Reward::kInterval:
      return "kInterval";
    case Reward::kAverage:
      return "kAverage";
    case Reward::kSteady:
      return "kSteady";
  }
  return "";
}

}  // namespace

void GenerateRewards(const Model& m, GeneratedCode& out) {
  std::ostringstream h, s;
  const std::string base = m.name + "_rewardPV";
  s << "namespace {\n\n";
  for (size_t i = 0; i < m.rewards.size(); ++i) {
    const Reward& r = m.rewards[i];
    s << "double k" << base << i << "Start[" << r.startText.size() << "] = {";
    for (size_t k = 0; k < r.startText.size(); ++k)
      s << (k ? ", " : "") << TimeLiteral(r.startText[k]);
    s << "};\ndouble k" << base << i << "Stop[" << r.stopText.size() << "] = {";
    for (size_t k = 0; k < r.stopText.size(); ++k)
      s << (k ? ", " : "") << TimeLiteral(r.stopText[k]);
    s << "};\n";
  }
  s << "\n}  // namespace\n\n";

  for (size_t i = 0; i < m.rewards.size(); ++i) {
    const Reward& r = m.rewards[i];
    const Submodel& sub = m.submodels[r.submodelIndex];
    std::string node = base + std::to_string(i), worker = node + "Worker";
    std::string wbase = r.kind == Reward::kInstant ? "InstantOfTime" : "IntervalOfTime";
    h << "// Reward variable \"" << r.name << "\" over " << sub.name << ".\n";
    h << "class " << worker << " : public " << wbase << " {\n public:\n  " << worker << "();\n";
    h << "  // REQUIRES: the model slot is set.\n  double Reward_Function() override;\n";
    if (r.kind == Reward::kAverage) {
      h << "  // The interval step, weighted by 1 / the window length: a time average.\n"
           "  void Accumulate(double now, double lastChange) override;\n";
    }
    h << "\n  " << SanClass(sub) << "* " << sub.name << ";\n};\n\n";
    std::vector<ImpulseAction> impulses = ImpulseActions(m, r);
    for (size_t k = 0; k < impulses.size(); ++k) {
      std::string cls = node + "Impulse" + std::to_string(k);
      h << "// Impulse of \"" << r.name << "\" on " << sub.name << "." << impulses[k].action
        << ".\n";
      h << "class " << cls << " final : public ImpulseReward {\n public:\n  " << cls << "();\n";
      h << "  // REQUIRES: the model slot is set.\n  double Impulse_Function() override;\n";
      h << "  BaseActionClass* EarningAction() override;\n";
      h << "  ImpulseNodeClass** CreateImpulseWorkers(int n) override;\n";
      h << "\n  " << SanClass(sub) << "* " << sub.name << ";\n};\n\n";
    }
    h << "class " << node << " : public PerformanceVariableNode {\n public:\n";
    h << "  explicit " << node << "(int windowIndex);\n  ~" << node << "() override;\n";
    h << "  void CreateWorkerList() override;\n};\n\n";

    s << worker << "::" << worker << "() : " << wbase << "(1), " << sub.name << "(nullptr) {\n"
      << "  BindModelSlot(0, &" << sub.name << ");\n}\n\n";
    PlaceText place = [&](int p) {
      return sub.name + "->" + LeafPath(sub, p) +
             (sub.places[p].type == "short" ? "->getMark()" : "->getValue()");
    };
    ElementText element = [&](const Expr& e, const std::string& index) {
      return sub.name + "->" + ComputedLeaf(sub, e, index, "Reward variable " + r.name) +
             (sub.places[e.leaves[0]].type == "short" ? "->getMark()" : "->getValue()");
    };
    std::vector<std::string> depends = DependencyNames(sub, r.readPlaces);
    s << "double " << worker << "::Reward_Function() { return "
      << (r.rate ? "static_cast<double>(" + ExprToCpp(*r.rate, m, place, element) + ")" : "0.0")
      << "; }\n\n";
    for (size_t k = 0; k < impulses.size(); ++k) {
      std::string cls = node + "Impulse" + std::to_string(k);
      s << cls << "::" << cls << "() : ImpulseReward(1, ImpulseReward::" << ImpulseKind(r.kind)
        << "), " << sub.name << "(nullptr) {\n  BindModelSlot(0, &" << sub.name << ");\n}\n\n";
      s << "double " << cls << "::Impulse_Function() { return static_cast<double>("
        << ExprToCpp(*impulses[k].value, m, place, element) << "); }\n\n";
      s << "BaseActionClass* " << cls << "::EarningAction() { return &" << sub.name << "->"
        << impulses[k].action << "; }\n\n";
      s << "ImpulseNodeClass** " << cls
        << "::CreateImpulseWorkers(int n) {\n  return NewImpulseWorkers<" << cls << ">(n);\n}\n\n";
    }
    if (r.kind == Reward::kAverage) {
      s << "void " << worker << "::Accumulate(double now, double lastChange) {\n"
        << "  IntervalOfTime::Accumulate(now, lastChange);\n"
        << "  Weight /= StopTime - StartTime;\n}\n\n";
    }
    s << node << "::" << node << "(int windowIndex) {\n  Initialize(\"" << r.name << "\", "
      << (r.kind == Reward::kInstant ? "InstantOfTimeReward" : "AccumulatedReward") << ", "
      << r.startText.size() << ", k" << node << "Start, k" << node << "Stop, windowIndex, "
      << impulses.size() << ", 1, " << depends.size() << ");\n";
    for (const std::string& d : depends) {
      s << "  AddVariableDependency(\"" << d << "\", \"" << sub.name << "\");\n";
    }
    if (depends.empty()) s << "  AddModelDependency(\"" << sub.name << "\");\n";
    for (size_t k = 0; k < impulses.size(); ++k) {
      s << "  AddImpulse(\"" << impulses[k].action << "\", \"" << sub.name << "\", Allocate<"
        << node << "Impulse" << k << ">());\n";
    }
    if (r.kind == Reward::kSteady) s << "  SteadyState = 1;\n";
    s << "}\n\n" << node << "::~" << node << "() { DeleteWorkers(this); }\n\n";
    s << "void " << node << "::CreateWorkerList() { CreateWorkers<" << worker << ">(this); }\n\n";
  }

  std::string pv = m.name + "_rewardPVModel";
  h << "// The reward model: the composed model under the reward variables.\n";
  h << "class " << pv << " : public PVModel {\n public:\n  explicit " << pv
    << "(bool expandPVs);\n  PerformanceVariableNode* createPVNode(int pv, int window) "
       "override;\n};\n\n";
  s << pv << "::" << pv << "(bool expandPVs) {\n  SetTopModel(Allocate<" << NodeClass(m, m.topNode)
    << ">());\n  DefineName(\"" << pv << "\");\n  CreatePVList(" << m.rewards.size()
    << ", expandPVs);\n  Initialize();\n}\n\n";
  s << "PerformanceVariableNode* " << pv << "::createPVNode(int pv, int window) {\n";
  if (m.rewards.empty()) {
    s << "  (void)pv;\n  (void)window;\n  return nullptr;\n}\n\n";
  } else {
    s << "  switch (pv) {\n";
    for (size_t i = 0; i < m.rewards.size(); ++i) {
      s << "    case " << i << ":\n      return Allocate<" << base << i << ">(window);\n";
    }
    s << "    default:\n      return nullptr;\n  }\n}\n\n";
  }
  out.header += h.str();
  out.source += s.str();
}

}  // namespace lang

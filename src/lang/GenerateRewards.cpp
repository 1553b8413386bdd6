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
  const Submodel* submodel;  // the activity's
  std::string action;
  const Expr* value;
};

std::vector<ImpulseAction> ImpulseActions(const Model& m, const Reward& r) {
  std::vector<ImpulseAction> out;
  for (const Impulse& imp : r.impulses) {
    const Submodel* sub = &m.submodels[imp.submodelIndex];
    const Activity& a = sub->activities[imp.activityIndex];
    if (a.cases.empty()) out.push_back({sub, a.name, imp.value.get()});
    for (size_t k = 0; k < a.cases.size(); ++k) {
      out.push_back({sub, a.name + "_case" + std::to_string(k + 1), imp.value.get()});
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
    std::string node = base + std::to_string(i), worker = node + "Worker";
    std::string wbase = r.kind == Reward::kInstant ? "InstantOfTime" : "IntervalOfTime";
    // The workers' model slots, in `of` order, and how the rate reads a
    // place through them.
    std::vector<const Submodel*> slots;
    for (int k : r.slots) slots.push_back(&m.submodels[r.submodelIndex[k]]);
    auto placeOf = [&](const Submodel& sub, int p) {
      return sub.name + "->" + LeafPath(sub, p) +
             (sub.places[p].type == "short" ? "->getMark()" : "->getValue()");
    };
    auto elementOf = [&](const Submodel& sub, const Expr& e, const std::string& index) {
      return sub.name + "->" + ComputedLeaf(sub, e, index, "Reward variable " + r.name) +
             (sub.places[e.leaves[0]].type == "short" ? "->getMark()" : "->getValue()");
    };
    std::string over;
    for (size_t k = 0; k < r.submodels.size(); ++k) over += (k ? ", " : "") + r.submodels[k];
    h << "// Reward variable \"" << r.name << "\" over " << over << ".\n";
    h << "class " << worker << " : public " << wbase << " {\n public:\n  " << worker << "();\n";
    h << "  // REQUIRES: the model slot" << (slots.size() == 1 ? " is" : "s are")
      << " set.\n  double Reward_Function() override;\n";
    if (r.kind == Reward::kAverage) {
      h << "  // The interval step, weighted by 1 / the window length: a time average.\n"
           "  void Accumulate(double now, double lastChange) override;\n";
    }
    h << "\n";
    for (const Submodel* sub : slots) h << "  " << SanClass(*sub) << "* " << sub->name << ";\n";
    h << "};\n\n";
    std::vector<ImpulseAction> impulses = ImpulseActions(m, r);
    for (size_t k = 0; k < impulses.size(); ++k) {
      const Submodel& sub = *impulses[k].submodel;
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

    s << worker << "::" << worker << "() : " << wbase << "(" << slots.size() << ")";
    for (const Submodel* sub : slots) s << ", " << sub->name << "(nullptr)";
    s << " {\n";
    for (size_t k = 0; k < slots.size(); ++k) {
      s << "  BindModelSlot(" << k << ", &" << slots[k]->name << ");\n";
    }
    s << "}\n\n";
    // A place or element the rate reads, through the slot of its submodel.
    ScopedPlaceText ratePlace = [&](int sub, int p) {
      return placeOf(slots.size() == 1 ? *slots[0] : m.submodels[sub], p);
    };
    ElementText rateElement = [&](const Expr& e, const std::string& index) {
      return elementOf(slots.size() == 1 ? *slots[0] : m.submodels[e.submodel], e, index);
    };
    s << "double " << worker << "::Reward_Function() { return "
      << (r.rate
              ? "static_cast<double>(" + ScopedExprToCpp(*r.rate, m, ratePlace, rateElement) + ")"
              : "0.0")
      << "; }\n\n";
    for (size_t k = 0; k < impulses.size(); ++k) {
      const Submodel& sub = *impulses[k].submodel;
      PlaceText place = [&](int p) { return placeOf(sub, p); };
      ElementText element = [&](const Expr& e, const std::string& index) {
        return elementOf(sub, e, index);
      };
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
    // The variable dependencies of each slot: extended places by name.
    std::vector<std::vector<std::string>> depends;
    size_t numRead = 0;
    for (int k : r.slots) {
      depends.push_back(DependencyNames(m.submodels[r.submodelIndex[k]], r.readPlaces[k]));
      numRead += depends.back().size();
    }
    s << node << "::" << node << "(int windowIndex) {\n  Initialize(\"" << r.name << "\", "
      << (r.kind == Reward::kInstant ? "InstantOfTimeReward" : "AccumulatedReward") << ", "
      << r.startText.size() << ", k" << node << "Start, k" << node << "Stop, windowIndex, "
      << impulses.size() << ", " << slots.size() << ", " << numRead << ");\n";
    // The model dependencies, in slot order: the workers' model slots.
    for (size_t k = 0; k < r.slots.size(); ++k) {
      const std::string& sub = r.submodels[r.slots[k]];
      for (const std::string& d : depends[k]) {
        s << "  AddVariableDependency(\"" << d << "\", \"" << sub << "\");\n";
      }
      if (depends[k].empty()) s << "  AddModelDependency(\"" << sub << "\");\n";
    }
    for (size_t k = 0; k < impulses.size(); ++k) {
      s << "  AddImpulse(\"" << impulses[k].action << "\", \"" << impulses[k].submodel->name
        << "\", Allocate<" << node << "Impulse" << k << ">());\n";
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

// Checker: name resolution, type checks, structure checks and the derived
// arcs, group ids, top node and study table of a model.
#include "lang/Checker.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "lang/CheckExtended.h"
#include "lang/ExprCpp.h"
#include "lang/Parser.h"

namespace lang {

namespace {

// Names the generated C++ cannot use as identifiers.
const std::set<std::string> kCppReserved = {
    "alignas",   "alignof",   "asm",          "auto",      "bool",     "break",    "catch",
    "char",      "class",     "const",        "constexpr", "continue", "decltype", "default",
    "delete",    "double",    "dynamic_cast", "enum",      "explicit", "export",   "extern",
    "float",     "for",       "friend",       "goto",      "inline",   "int",      "long",
    "mutable",   "namespace", "new",          "noexcept",  "nullptr",  "operator", "private",
    "protected", "public",    "register",     "return",    "short",    "signed",   "sizeof",
    "static",    "struct",    "switch",       "template",  "this",     "throw",    "try",
    "typedef",   "typeid",    "typename",     "union",     "unsigned", "using",    "virtual",
    "void",      "volatile",  "while",        "xor",       "bitand",   "bitor",    "compl",
    "not_eq",    "or_eq",     "and_eq",       "xor_eq",    "main",     "std",      "min",
    "max",       "abs"};

// Names the generated classes and their framework bases use: a model
// name equal to one would hide or be hidden by it.
const std::set<std::string> kGeneratedCodeNames = {
    "Accumulate",
    "AccumulatedReward",
    "ActionForIndex",
    "ActionNameCounts",
    "ActionNameTableSize",
    "ActionNames",
    "ActionTable",
    "Activity",
    "ActivityInitialize",
    "AddAffectArc",
    "AddEnableArc",
    "AddImpulse",
    "AddImpulseAction",
    "AddImpulseActionDependency",
    "AddImpulseModelDependency",
    "AddImpulseModelName",
    "AddModelDependency",
    "AddPVWorkersToAction",
    "AddRateAction",
    "AddVariableDependency",
    "AddedSharedPtrs",
    "AffectedNodes",
    "AffectedNodesByImpulseReward",
    "AffectedNodesByRateReward",
    "AffectedSets",
    "AffectingActions",
    "Age",
    "AgeAction",
    "AllChildrenEmpty",
    "AllocatePVImpulseDS",
    "AllocatePVRateDS",
    "AppendConsidered",
    "AppendNode",
    "BaseActionClass",
    "BaseActionClassInitialize",
    "BaseComposerClass",
    "BaseGroupClass",
    "BaseModelClass",
    "BaseStateVariableClass",
    "BaseStudyClass",
    "Bind",
    "BindModelSlot",
    "BytesFor",
    "CalculateWeightDistribution",
    "Check",
    "ChildStateSizes",
    "Children",
    "CommonAccumulate",
    "CommonImpulseAccumulate",
    "CompareState",
    "ComposerGroup",
    "ComposerLocalState",
    "ComposerStateSize",
    "ConsiderOnly",
    "Considered",
    "ConsideredCapacity",
    "ConstructLocalState",
    "CopyTopModelTables",
    "CopyWindowToWorkers",
    "CountInstances",
    "CreateAffectedLists",
    "CreateImpulseModelGroupList",
    "CreateImpulseWorkerLists",
    "CreateModelGroupList",
    "CreatePVList",
    "CreatePVStateIndex",
    "CreatePlaces",
    "CreateReplicas",
    "CreateTotalPVAffectsList",
    "CreateWorkerList",
    "CreateWorkers",
    "CurrentImpulse",
    "CurrentReward",
    "CurrentSharedState",
    "CurrentState",
    "CustomInitialization",
    "DeallocatePVImpulseDS",
    "DeallocatePVRateDS",
    "DeclareArcs",
    "DeclaredShared",
    "DefineName",
    "DeletePVModel",
    "DeleteWorkers",
    "DestroyImpulses",
    "DestroyWorkers",
    "Destruct",
    "DestructLocalState",
    "DestructStudy",
    "Destructed",
    "Enabled",
    "EnablingChange",
    "EndAccumulate",
    "EquivalenceLists",
    "ErlangParamM",
    "ExperimentName",
    "FillImpulseGroups",
    "FindGV",
    "FindSharedPtr",
    "Fire",
    "FireAction",
    "FixImpulseWorkerLists",
    "FixReferences",
    "FixWorkerList",
    "Flag",
    "ForEachEarnedImpulseWorker",
    "FreeActionTables",
    "FreezeImpulseTables",
    "FreezeRateTables",
    "GVNames",
    "GVTypes",
    "GeneralSetup",
    "GenerateStudy",
    "GetChild",
    "GetExpName",
    "GetGVName",
    "GetGVType",
    "GetGVValue",
    "GetGlobalActions",
    "GetImpulseNumber",
    "GetLocalActions",
    "GetLocalState",
    "GetLocalStateVariables",
    "GetModelType",
    "GetNumExps",
    "GetNumGVs",
    "GetNumModelSlots",
    "GetNumTimePoints",
    "GetNumberOfChildren",
    "GetNumberOfImpulseWorkers",
    "GetPVModel",
    "GetPVState",
    "GetRewardType",
    "GetSharedStateVariables",
    "GetStartTime",
    "GetState",
    "GetStopTime",
    "GlobalAddress",
    "GlobalStudyPtr",
    "HasLocalState",
    "Hash",
    "HashActions",
    "Id",
    "ImmediateGroup",
    "ImpulseActions",
    "ImpulseAffectedBy",
    "ImpulseCapacity",
    "ImpulseModelDependencies",
    "ImpulseModelDependencyCapacity",
    "ImpulseModelGroups",
    "ImpulseSquaredValue",
    "ImpulseTableCount",
    "ImpulseValue",
    "ImpulseWorkers",
    "Impulses",
    "IndexBytes",
    "IndexMode",
    "IndexTable",
    "IndexTableLength",
    "Initialize",
    "InitializeActivities",
    "InitializeGroups",
    "InsertionSort",
    "InstanceArray",
    "InstantOfTime",
    "InstantOfTimeReward",
    "IntervalOfTime",
    "IsAMember",
    "IsAnAffectingStateVariable",
    "IsDependentOnImpulseModel",
    "IsDependentOnModel",
    "IsPVImpulseDSAllocated",
    "IsPVRateDSAllocated",
    "Join",
    "LastAction",
    "LastActionIndex",
    "LastActionTime",
    "Less",
    "Link",
    "LinkVariables",
    "LocalState",
    "MakeAffectedLists",
    "MakeImpulseAffectedLists",
    "MaxID",
    "Median3",
    "ModelDependencies",
    "ModelDependencyCapacity",
    "ModelGroups",
    "ModelStateSize",
    "Name",
    "NoActionFiredYet",
    "NodeCapacity",
    "Nodes",
    "NodesChanged",
    "NumActionModelInstances",
    "NumActionsNamed",
    "NumAffectingActions",
    "NumChildren",
    "NumConsidered",
    "NumExps",
    "NumGVs",
    "NumImpulseModelDependencies",
    "NumImpulseWorkers",
    "NumImpulses",
    "NumModelDependencies",
    "NumModelSlots",
    "NumNodes",
    "NumReplicas",
    "NumTimePoints",
    "NumVariableDependencies",
    "NumberOfWorkers",
    "OverrideGVValue",
    "PVModel",
    "PVReset",
    "PerformanceVariableNode",
    "PerformanceVariableWorker",
    "Place",
    "PrepareNoActionFiredYet",
    "PrintGlobal",
    "PrintGlobalValues",
    "PrintInfo",
    "PrintSANModelInfo",
    "Probability",
    "ProbeSlot",
    "PutPVState",
    "QuickSort",
    "QuietUntil",
    "Rank",
    "Rate",
    "RateTableCount",
    "ReactivationFunction",
    "ReactivationPredicate",
    "ReadyToFire",
    "RecordEnabling",
    "RegisterWithBase",
    "Rep",
    "Replica",
    "ReplicaBuffers",
    "ReplicaIndex",
    "ReplicaStateSize",
    "Reset",
    "ResetPhase",
    "ReturnDistributionParameters",
    "Reward_Function",
    "RunEnd",
    "SANModel",
    "SampleDistribution",
    "ScratchBuffer",
    "ScratchSize",
    "SecondBuffer",
    "SelectAction",
    "SetActions",
    "SetChild",
    "SetFired",
    "SetGVInfo",
    "SetGVs",
    "SetGroups",
    "SetLocalState",
    "SetModelSlot",
    "SetParentId",
    "SetPlaces",
    "SetReadOnlyPlaces",
    "SetSharedState",
    "SetState",
    "SetTopModel",
    "Setup",
    "SetupActions",
    "SharePlaces",
    "ShareReplicaPlaces",
    "SharedPtrs",
    "SharedStateNames",
    "SharedStateSize",
    "SharedStateVarLink",
    "SharingLists",
    "SlideWindow",
    "SlotSetter",
    "SlotSetters",
    "SlotTargets",
    "Slots",
    "SortSlots",
    "SpareAction",
    "SquaredValue",
    "StartTime",
    "StartTimes",
    "State",
    "StateIndexLookup",
    "StateSize",
    "SteadyState",
    "StopTime",
    "StopTimes",
    "StoreParameter",
    "StoreTyped",
    "SwapBuffer",
    "SwapBuffers",
    "TheDistribution",
    "TheGenerator",
    "ThePVModel",
    "TopModel",
    "TotalAccumulation",
    "TotalStateSize",
    "Type",
    "UpdateAccumulate",
    "Value",
    "VariableDependencies",
    "VariableDependencyCapacity",
    "VariableId",
    "VelmorDivide",
    "VelmorIntegerOf",
    "VelmorRemainder",
    "VelmorStopArithmetic",
    "Weight",
    "WindowLength",
    "WireImpulse",
    "WireRateDependency",
    "WorkerIndex",
    "Workers",
    "WriteIndex",
    "WritePVTypeFile",

    "actionId",
    "actions",
    "addAffectedSV",
    "addEnablingSV",
    "addSharedPtr",
    "addSharingInfo",
    "affectedSVs",
    "affectsList",
    "allocateArrays",
    "appendGroup",
    "appendMembers",
    "assignPlacesToActivitiesInst",
    "assignPlacesToActivitiesTimed",
    "capacity",
    "checkLocalActions",
    "checkLocalSVs",
    "checkReadOnlyPlaces",
    "createPVNode",
    "cumulativeWeight",
    "defineName",
    "disabled",
    "distributionType",
    "enabledBefore",
    "enabledNow",
    "enablingSVs",
    "enlargeArrays",
    "executionPolicy",

    "fired",
    "first",
    "freeArrays",
    "getActionId",
    "getActionNameCount",
    "getActionNameEntry",
    "getActionNameTableSize",
    "getActions",
    "getAddedSharedPtrs",
    "getAffectedSVs",
    "getAffectingAction",
    "getCapacity",
    "getChildStateSize",
    "getConsideredNode",
    "getEnablingSVs",
    "getFired",
    "getGroupId",
    "getGroups",
    "getHighestRank",
    "getIndexBytes",
    "getIndexMode",
    "getLastAction",
    "getListOfSharedVariables",
    "getMainSharedVariable",
    "getMarkPointer",
    "getMember",
    "getMembers",
    "getModel",
    "getModelId",
    "getName",
    "getNoActionFiredYet",
    "getNumActions",
    "getNumAffectedSVs",
    "getNumAffectingActions",
    "getNumConsideredNodes",
    "getNumEnablingSVs",
    "getNumEntries",
    "getNumGroups",
    "getNumItems",
    "getNumMembers",
    "getNumPVNodes",
    "getNumPlaces",
    "getNumReadOnlyPlaces",
    "getNumSharedStateVariables",
    "getNumStateVariables",
    "getPVNode",
    "getPVNodes",
    "getParentId",
    "getPlaces",
    "getPrintedAction",
    "getReadOnlyPlaces",
    "getReplicaBuffer",
    "getReplicaIndex",
    "getReplicaStateSize",
    "getRunEnd",
    "getScheduleRecord",
    "getSelectedAction",
    "getSharedStateName",
    "getSharingList",
    "getTopModel",
    "getWeightDistribution",
    "globalModelId",
    "groupId",
    "groups",
    "highestRank",
    "id",
    "impulseSets",
    "impulseWorkerCounts",
    "impulseWorkers",
    "initialize",
    "initializeSANModelNow",
    "isSync",
    "kBeta",
    "kBinomial",
    "kConditionalWeibull",
    "kDeterministic",
    "kErlang",
    "kExperimentNames",
    "kExponential",
    "kGVNames",
    "kGVTypes",
    "kGamma",
    "kGeometric",
    "kHyperExponential",
    "kHypoExponential",
    "kInstantaneous",
    "kLognormal",
    "kNegativeBinomial",
    "kNormal",
    "kNumActivities",
    "kNumGroups",
    "kNumPlaces",
    "kPareto",
    "kRaceEnabled",
    "kTriangular",
    "kUniform",
    "kWeibull",
    "listActions",
    "listGroups",
    "listModels",
    "listSVs",

    "members",
    "model",
    "modelId",
    "name",

    "numActions",
    "numEntries",
    "numGroups",
    "numImpulseTables",
    "numMembers",
    "numModelSlots",
    "numPlaces",
    "numRateTables",
    "numReadOnlyPlaces",
    "numSharedStateVariables",
    "numStateVariables",
    "overrideGVs",

    "parameters",
    "parameters_",
    "parentId",
    "phase",

    "places",
    "printAffectedState",
    "printAllSharedVariables",
    "printEnablingState",
    "printGroup",
    "printState",

    "rateSets",
    "reactivation",
    "readOnlyPlaces",

    "registerPointer",
    "removeAffectedSV",
    "removeEnablingSV",
    "replaceMember",
    "requireSelected",
    "scheduleRecord",
    "selectWith",
    "selectedAction",
    "setGroupId",
    "setMember",
    "setModel",
    "setScheduleRecord",

    "the_id",

    "typedPointer",

    "weights",

};

// Names of the C and C++ libraries the generated code sees at file scope:
// a global of that name would clash with them.
const std::set<std::string> kLibraryNames = {
    "abort",  "abs",    "acos",    "asin",   "atan",   "atan2",  "atof",   "atoi",   "calloc",
    "ceil",   "clock",  "close",   "cos",    "cosh",   "div",    "erf",    "erfc",   "errno",
    "exit",   "exp",    "exp2",    "fabs",   "floor",  "fmod",   "free",   "gamma",  "getenv",
    "index",  "j0",     "j1",      "jn",     "ldexp",  "lgamma", "log",    "log10",  "log2",
    "malloc", "memcpy", "memset",  "open",   "pow",    "printf", "puts",   "qsort",  "rand",
    "random", "read",   "realloc", "remove", "rename", "round",  "select", "signal", "sin",
    "sinh",   "sqrt",   "srand",   "stderr", "stdin",  "stdout", "strcmp", "strlen", "system",
    "tan",    "tanh",   "time",    "trunc",  "write",  "y0",     "y1",     "yn",     "main",
    "cout",   "cerr",   "endl"};

struct DistributionInfo {
  const char* name;
  int args;  // -1: one or more; -2: pairs
};
const DistributionInfo kDistributions[] = {{"exponential", 1},
                                           {"deterministic", 1},
                                           {"uniform", 2},
                                           {"weibull", 2},
                                           {"normal", 2},
                                           {"lognormal", 2},
                                           {"gamma", 2},
                                           {"beta", 2},
                                           {"erlang", 2},
                                           {"triangular", 3},
                                           {"pareto", 2},
                                           {"geometric", 1},
                                           {"binomial", 2},
                                           {"negative_binomial", 2},
                                           {"hypoexponential", -1},
                                           {"hyperexponential", -2}};

const char* TypeName(ValueType t) {
  switch (t) {
    case ValueType::kBool:
      return "a condition";
    case ValueType::kInt:
      return "an integer";
    case ValueType::kReal:
      return "a real number";
  }
  return "";
}

class Checker {
 public:
  Checker(Model& m, Diagnostics& d) : m_(m), d_(d) {}

  void Run() {
    CheckIdentifier(m_.name, m_.namePos, "model name");
    Globals();
    std::set<std::string> nodes;
    for (Submodel& s : m_.submodels) {
      if (!nodes.insert(s.name).second) d_.Error(s.pos, "duplicate node name '" + s.name + "'");
      CheckIdentifier(s.name, s.pos, "submodel name");
      SubmodelChecks(s);
    }
    for (Composer& c : m_.composers) {
      if (!nodes.insert(c.name).second) d_.Error(c.pos, "duplicate node name '" + c.name + "'");
      CheckIdentifier(c.name, c.pos, "node name");
    }
    Composition();
    Rewards();
    StudyChecks();
    ExperimentNames();
    UnreadPlaces();
  }

 private:
  void CheckIdentifier(const std::string& n, Pos pos, const std::string& what) {
    if (kCppReserved.count(n) || n.find("__") != std::string::npos ||
        (n.size() > 1 && n[0] == '_' && std::isupper(static_cast<unsigned char>(n[1])))) {
      d_.Error(pos, "'" + n + "' cannot be used as a " + what);
    } else if (kGeneratedCodeNames.count(n) && what != "model name" && what != "node name") {
      d_.Error(pos,
               "'" + n + "' cannot be used as a " + what + " (the generated code uses that name)");
    } else if (what == "global name" && kLibraryNames.count(n)) {
      d_.Error(pos, "'" + n + "' cannot be used as a " + what + " (a library function has it)");
    } else if (what != "global name" && m_.FindGlobal(n) >= 0) {
      d_.Error(pos, "'" + n + "' is a global; a " + what + " needs a name of its own");
    }
  }

  void Globals() {
    std::set<std::string> seen;
    for (const Global& g : m_.globals) {
      if (!seen.insert(g.name).second) d_.Error(g.pos, "duplicate global '" + g.name + "'");
      CheckIdentifier(g.name, g.pos, "global name");
    }
  }

  static bool RealPlace(const Place& p) { return p.type == "double" || p.type == "float"; }

  static ValueType GlobalType(const std::string& t) {
    if (t == "bool") return ValueType::kBool;
    if (t == "float" || t == "double") return ValueType::kReal;
    return ValueType::kInt;
  }

  // Resolves names in e against sub's places (null: none) and the globals;
  // returns false after reporting an error.
  bool Resolve(Expr& e, const Submodel* sub, const std::string& where) {
    bool ok = true;
    for (ExprPtr& a : e.args) ok = Resolve(*a, sub, where) && ok;
    if (!ok) return false;
    auto type = [&](size_t i) { return e.args[i]->type; };
    switch (e.kind) {
      case Expr::kNumber:
        e.type = e.real ? ValueType::kReal : ValueType::kInt;
        if (!e.real && e.text.size() > 9) {
          d_.Error(e.pos, "integer " + e.text + " is too large");
          return false;
        }
        return true;
      case Expr::kBool:
        e.type = ValueType::kBool;
        return true;
      case Expr::kName: {
        if (scope_) return ResolveInScope(e);
        if (!e.qualifier.empty()) {
          d_.Error(e.pos, "'" + e.qualifier + "." + e.text +
                              "': a place is named after its submodel only in a reward variable");
          return false;
        }
        int p = sub ? sub->FindPlace(e.text) : -1;
        if (p >= 0) {
          e.ref = Expr::kPlace;
          e.index = p;
          e.type = RealPlace(sub->places[p]) ? ValueType::kReal : ValueType::kInt;
          return true;
        }
        if (BindGlobal(e)) return true;
        if (sub && sub->FindExtended(e.text) >= 0) {
          const ExtendedPlace& x = sub->extended[sub->FindExtended(e.text)];
          d_.Error(e.pos, x.IsArray() ? "array '" + e.text + "' needs an index (" + e.text + "[i])"
                                      : "record '" + e.text + "' needs a field (" + e.text + "." +
                                            x.fields[0].name + ")");
          return false;
        }
        if (sub) {
          d_.Error(e.pos, "'" + e.text + "' is neither a place of submodel '" + sub->name +
                              "' nor a global");
        } else {
          d_.Error(e.pos, "'" + e.text + "' is not a global (" + where + " can read globals only)");
        }
        return false;
      }
      case Expr::kElement:
        if (scope_) return ResolveElementInScope(e);
        if (!e.qualifier.empty() || (sub && e.args.empty() && sub->FindExtended(e.text) < 0 &&
                                     m_.FindSubmodel(e.text) >= 0)) {
          d_.Error(e.pos,
                   "'" +
                       (e.qualifier.empty() ? e.text + "." + e.field : e.qualifier + "." + e.text) +
                       "': a place is named after its submodel only in a reward variable");
          return false;
        }
        if (!sub) {
          d_.Error(e.pos, "'" + e.text + "' is not a global (" + where + " can read globals only)");
          return false;
        }
        return ResolveElement(e, *sub, d_);
      case Expr::kUnary:
        e.type = e.text == "!" ? ValueType::kBool
                               : (type(0) == ValueType::kReal ? ValueType::kReal : ValueType::kInt);
        return true;
      case Expr::kCond:
        e.type = (type(1) == ValueType::kReal || type(2) == ValueType::kReal) ? ValueType::kReal
                                                                              : ValueType::kInt;
        return true;
      case Expr::kCall: {
        const Function* f = FindFunction(e.text);
        if (!f) {
          d_.Error(e.pos, "unknown function '" + e.text +
                              "' (min, max, abs, floor, ceil, pow, exp and log exist)");
          return false;
        }
        size_t want = static_cast<size_t>(f->arity);
        if (e.args.size() != want) {
          d_.Error(e.pos, "'" + e.text + "' takes " + std::to_string(want) + " argument" +
                              (want == 1 ? "" : "s"));
          return false;
        }
        bool real = false;
        for (const ExprPtr& a : e.args) real = real || a->type == ValueType::kReal;
        if (f->result != Function::kLikeArguments) real = f->result == Function::kReal;
        e.type = real ? ValueType::kReal : ValueType::kInt;
        return true;
      }
      case Expr::kBinary: {
        const std::string& op = e.text;
        if (op == "&&" || op == "||" || op == "==" || op == "!=" || op == "<" || op == "<=" ||
            op == ">" || op == ">=") {
          e.type = ValueType::kBool;
          return true;
        }
        if (op == "%" && (type(0) == ValueType::kReal || type(1) == ValueType::kReal)) {
          d_.Error(e.pos, "'%' needs integer operands");
          return false;
        }
        e.type = (type(0) == ValueType::kReal || type(1) == ValueType::kReal) ? ValueType::kReal
                                                                              : ValueType::kInt;
        return true;
      }
    }
    return true;
  }

  // Resolves e (a name) to the global of its name; false when there is none.
  bool BindGlobal(Expr& e) {
    int g = m_.FindGlobal(e.text);
    if (g < 0) return false;
    e.ref = Expr::kGlobal;
    e.index = g;
    e.type = GlobalType(m_.globals[g].type);
    return true;
  }

  // A name in a reward variable's rate or impulse, with scope_ set: a place
  // of one of the scope's submodels (qualified, or unqualified when the
  // scope has one submodel) or a global.
  bool ResolveInScope(Expr& e) {
    const std::vector<int>& scope = *scope_;
    auto place = [&](int sub, int p) {
      e.ref = Expr::kPlace;
      e.index = p;
      e.submodel = sub;
      e.type = RealPlace(m_.submodels[sub].places[p]) ? ValueType::kReal : ValueType::kInt;
      return true;
    };
    if (!e.qualifier.empty()) {
      for (int sub : scope) {
        const Submodel& s = m_.submodels[sub];
        if (s.name != e.qualifier) continue;
        int p = s.FindPlace(e.text);
        if (p >= 0) return place(sub, p);
        d_.Error(e.pos, "'" + e.text + "' is not a place of submodel '" + s.name + "'");
        return false;
      }
      d_.Error(e.pos, "'" + e.qualifier + "' is not " + scopeWhat_);
      return false;
    }
    std::vector<std::string> holders;
    for (int sub : scope) {
      int p = m_.submodels[sub].FindPlace(e.text);
      if (p >= 0 && scope.size() == 1) return place(sub, p);
      if (p >= 0) holders.push_back(m_.submodels[sub].name);
    }
    if (!holders.empty()) {
      std::string list;
      for (size_t i = 0; i < holders.size(); ++i) {
        list +=
            (i == 0 ? "" : (i + 1 == holders.size() ? " and " : ", ")) + ("'" + holders[i] + "'");
      }
      d_.Error(e.pos,
               "'" + e.text + "' is a place of " + list + ": write " + holders[0] + "." + e.text);
      return false;
    }
    if (BindGlobal(e)) return true;
    if (scope.size() == 1) {
      d_.Error(e.pos, "'" + e.text + "' is neither a place of submodel '" +
                          m_.submodels[scope[0]].name + "' nor a global");
    } else {
      d_.Error(e.pos, "'" + e.text + "' is neither a global nor a place (write SUBMODEL." + e.text +
                          " for a place)");
    }
    return false;
  }

  // An element access in a reward variable's rate or impulse, with scope_
  // set: A.B alone is place B of submodel A when A is one of the scope's
  // submodels; otherwise the access is to an extended place of the
  // submodel that qualifies it (or of the scope's one submodel).
  bool ResolveElementInScope(Expr& e) {
    const std::vector<int>& scope = *scope_;
    if (e.qualifier.empty() && e.args.empty() && !e.field.empty()) {
      bool submodel = false, record = false;
      for (int sub : scope) {
        submodel = submodel || m_.submodels[sub].name == e.text;
        record = record || m_.submodels[sub].FindExtended(e.text) >= 0;
      }
      if (submodel || !record) {
        e.kind = Expr::kName;
        e.qualifier = e.text;
        e.text = e.field;
        e.field.clear();
        return ResolveInScope(e);
      }
    }
    int target = scope.size() == 1 && e.qualifier.empty() ? scope[0] : -1;
    for (int sub : scope) {
      if (!e.qualifier.empty() && m_.submodels[sub].name == e.qualifier) target = sub;
    }
    if (target < 0 && !e.qualifier.empty()) {
      d_.Error(e.pos, "'" + e.qualifier + "' is not " + scopeWhat_);
      return false;
    }
    if (target < 0) {
      d_.Error(e.pos, "'" + e.text + "' needs its submodel (write SUBMODEL." + e.text + ")");
      return false;
    }
    e.submodel = target;
    return ResolveElement(e, m_.submodels[target], d_);
  }

  bool IntegerExpr(Expr& e, const Submodel* sub, const std::string& what) {
    if (!Resolve(e, sub, what)) return false;
    if (e.type == ValueType::kReal) {
      d_.Error(e.pos, what + " must be an integer, not " + std::string(TypeName(e.type)));
      return false;
    }
    return true;
  }

  void ResolveStmts(std::vector<Stmt>& body, Submodel& s, std::vector<int>& written) {
    for (Stmt& st : body) {
      if (st.kind == Stmt::kAssign && st.target) {
        if (Resolve(*st.target, &s, "a statement")) {
          st.placeIndex = st.target->index;
          for (int leaf : st.target->leaves) AddLeaf(written, leaf);
        }
        if (st.expr) Resolve(*st.expr, &s, "a statement");
      } else if (st.kind == Stmt::kAssign) {
        st.placeIndex = s.FindPlace(st.place);
        if (st.placeIndex < 0 && s.FindExtended(st.place) >= 0) {
          Resolve(*MakeName(st.place, st.pos), &s, "a statement");
        } else if (st.placeIndex < 0) {
          if (m_.FindGlobal(st.place) >= 0) {
            d_.Error(st.pos, "global '" + st.place + "' cannot be written by a model");
          } else {
            d_.Error(st.pos, "'" + st.place + "' is not a place of submodel '" + s.name + "'");
          }
        } else if (std::find(written.begin(), written.end(), st.placeIndex) == written.end()) {
          written.push_back(st.placeIndex);
        }
        if (st.expr) Resolve(*st.expr, &s, "a statement");
      } else {
        Resolve(*st.expr, &s, "a condition");
        ResolveStmts(st.thenBody, s, written);
        ResolveStmts(st.elseBody, s, written);
      }
    }
  }

  void ResolveEffects(std::vector<EffectItem>& items, Submodel& s, std::vector<int>& written) {
    for (EffectItem& it : items) {
      if (it.kind == EffectItem::kDo) {
        ResolveStmts(it.body, s, written);
        continue;
      }
      if (it.target) {
        if (!Resolve(*it.target, &s, "an arc")) continue;
        it.placeIndex = it.target->index;
        if (it.target->type == ValueType::kReal) {
          d_.Error(it.pos, "place '" + it.place +
                               (it.target->field.empty() ? "" : "." + it.target->field) +
                               "' holds real numbers; input and output arcs need an integer "
                               "place");
          continue;
        }
        for (int leaf : it.target->leaves) AddLeaf(written, leaf);
        continue;
      }
      it.placeIndex = s.FindPlace(it.place);
      if (it.placeIndex < 0 && s.FindExtended(it.place) >= 0) {
        Resolve(*MakeName(it.place, it.pos), &s, "an arc");
      } else if (it.placeIndex < 0) {
        d_.Error(it.pos, "'" + it.place + "' is not a place of submodel '" + s.name + "'");
      } else if (RealPlace(s.places[it.placeIndex])) {
        d_.Error(it.pos, "place '" + it.place + "' holds a " + s.places[it.placeIndex].type +
                             "; input and output arcs need an integer place");
      } else if (std::find(written.begin(), written.end(), it.placeIndex) == written.end()) {
        written.push_back(it.placeIndex);
      }
    }
  }

  static void AddLeaf(std::vector<int>& v, int p) {
    if (std::find(v.begin(), v.end(), p) == v.end()) v.push_back(p);
  }
  static ExprPtr MakeName(const std::string& name, Pos pos) {
    auto e = std::make_unique<Expr>();
    e->kind = Expr::kName;
    e->text = name;
    e->pos = pos;
    return e;
  }

  void MarkRead(Submodel& s, const std::vector<int>& places) {
    for (int p : places) s.places[p].read = true;
  }
  void MarkReadStmts(Submodel& s, const std::vector<Stmt>& body) {
    for (const Stmt& st : body) {
      std::vector<int> r;
      if (st.expr) PlacesRead(*st.expr, r);
      if (st.target && !st.target->args.empty()) PlacesRead(*st.target->args[0], r);
      MarkRead(s, r);
      MarkReadStmts(s, st.thenBody);
      MarkReadStmts(s, st.elseBody);
    }
  }

  void SubmodelChecks(Submodel& s) {
    std::set<std::string> members;
    for (Place& p : s.places) {
      CheckIdentifier(p.name, p.pos, "place name");
      if (!members.insert(p.name).second) {
        d_.Error(p.pos, "duplicate name '" + p.name + "' in submodel '" + s.name + "'");
      }
      InitialValue(p.type, p.initial.get());
    }
    ExtendedChecks(s, members);
    int timed = 0;
    for (Activity& a : s.activities) {
      CheckIdentifier(a.name, a.pos, "activity name");
      if (!members.insert(a.name).second) {
        d_.Error(a.pos, "duplicate name '" + a.name + "' in submodel '" + s.name + "'");
      }
      for (size_t k = 0; k < a.cases.size(); ++k) {
        std::string cn = a.name + "_case" + std::to_string(k + 1);
        if (!members.insert(cn).second) d_.Error(a.pos, "case name '" + cn + "' is taken");
      }
      if (!members.insert(a.name + "Group").second && !a.cases.empty()) {
        d_.Error(a.pos, "group name '" + a.name + "Group' is taken");
      }
      ActivityChecks(s, a);
      if (a.timed) ++timed;
    }
    // Group ids: timed activities first, then instantaneous ones.
    int next = 0;
    for (Activity& a : s.activities) {
      if (a.timed) a.groupId = next++;
    }
    for (Activity& a : s.activities) {
      if (!a.timed) a.groupId = next++;
    }
    (void)timed;
  }

  void InitialValue(const std::string& type, Expr* initial) {
    if (initial && (type == "double" || type == "float")) {
      Resolve(*initial, nullptr, "an initial value");
    } else if (initial) {
      double v = 0;
      double low = type == "char" ? -128 : (type == "int" ? -2147483648.0 : 0);
      double high = type == "char" ? 127 : (type == "int" ? 2147483647.0 : 32767);
      if (IntegerExpr(*initial, nullptr, "an initial marking") && ConstantValue(*initial, v) &&
          (v < low || v > high)) {
        d_.Error(initial->pos, "initial marking " + ValueText(v) + " is outside " + ValueText(low) +
                                   " to " + ValueText(high));
      }
    }
  }

  // Names, sizes, fields and initial values of the extended places; their
  // leaves join the submodel's places. The generated submodel class also
  // holds NAMEStruct and NAMEElement for each.
  void ExtendedChecks(Submodel& s, std::set<std::string>& members) {
    for (size_t i = 0; i < s.extended.size(); ++i) {
      ExtendedPlace& x = s.extended[i];
      CheckIdentifier(x.name, x.pos, "place name");
      if (!members.insert(x.name).second) {
        d_.Error(x.pos, "duplicate name '" + x.name + "' in submodel '" + s.name + "'");
      }
      for (const char* suffix : {"Struct", "Element"}) {
        if (!members.insert(x.name + suffix).second) {
          d_.Error(x.pos, "name '" + x.name + suffix + "' is taken (the generated code uses it)");
        }
      }
      if (x.size) Resolve(*x.size, nullptr, "an array size");
      for (Field& f : x.fields) {
        CheckIdentifier(f.name, f.pos, "field name");
        InitialValue(f.type, f.initial.get());
      }
      for (ExprPtr& v : x.initial) InitialValue(x.type, v.get());
      ExpandExtended(s, static_cast<int>(i), d_);
    }
  }

  void ActivityChecks(Submodel& s, Activity& a) {
    std::vector<int> enabling;
    std::vector<int> baseWritten;
    ResolveEffects(a.effects, s, baseWritten);
    for (const EffectItem& it : a.effects) {
      if (it.kind == EffectItem::kInput && it.target) {
        std::vector<int> r = it.target->leaves;
        if (!it.target->args.empty()) PlacesRead(*it.target->args[0], r);
        for (int p : r) AddLeaf(enabling, p);
        MarkRead(s, r);
      } else if (it.kind == EffectItem::kInput && it.placeIndex >= 0) {
        if (std::find(enabling.begin(), enabling.end(), it.placeIndex) == enabling.end()) {
          enabling.push_back(it.placeIndex);
        }
        s.places[it.placeIndex].read = true;
      }
      if (it.kind == EffectItem::kDo) MarkReadStmts(s, it.body);
    }
    bool neverEnabled = false;
    for (ExprPtr& w : a.whens) {
      if (!Resolve(*w, &s, "a predicate")) continue;
      PlacesRead(*w, enabling);
      double v;
      if (ConstantValue(*w, v) && v == 0.0) neverEnabled = true;
    }
    if (neverEnabled) d_.Warning(a.pos, "activity '" + a.name + "' can never be enabled");
    if (a.timed) DelayChecks(s, a, enabling);
    if (a.resample && Resolve(*a.resample, &s, "a resample expression")) {
      PlacesRead(*a.resample, enabling);
    }
    if (a.resample && (a.watch || a.reactivate)) {
      d_.Error(a.pos, "'resample' and 'watch'/'reactivate' exclude each other");
    }
    if (a.watch && Resolve(*a.watch, &s, "a predicate")) PlacesRead(*a.watch, enabling);
    if (a.reactivate && Resolve(*a.reactivate, &s, "a predicate")) {
      PlacesRead(*a.reactivate, enabling);
    }
    if (a.reactivate && !a.watch) d_.Error(a.pos, "'reactivate' needs a 'watch'");
    if (a.watch && !a.reactivate) d_.Error(a.pos, "'watch' needs a 'reactivate'");
    MarkRead(s, enabling);
    a.enabling = enabling;
    a.affected.clear();
    if (a.cases.empty()) {
      a.affected.push_back(baseWritten);
      return;
    }
    for (Case& c : a.cases) {
      std::vector<int> written = baseWritten;
      ResolveEffects(c.effects, s, written);
      for (const EffectItem& it : c.effects) {
        if (it.kind == EffectItem::kDo) MarkReadStmts(s, it.body);
      }
      if (Resolve(*c.weight, &s, "a case weight")) {
        std::vector<int> r;
        PlacesRead(*c.weight, r);
        MarkRead(s, r);
        double v;
        if (ConstantValue(*c.weight, v)) {
          if (v < 0) d_.Error(c.weight->pos, "case weight is negative");
          if (v == 0) d_.Warning(c.weight->pos, "case weight is always zero");
        }
      }
      a.affected.push_back(written);
    }
  }

  void DelayChecks(Submodel& s, Activity& a, std::vector<int>& enabling) {
    const DistributionInfo* info = nullptr;
    for (const DistributionInfo& d : kDistributions) {
      if (a.distribution == d.name) info = &d;
    }
    if (!info) {
      d_.Error(a.distributionPos, "unknown distribution '" + a.distribution + "'");
      return;
    }
    size_t n = a.delayArgs.size();
    bool countOk = info->args >= 0 ? n == static_cast<size_t>(info->args)
                                   : (info->args == -1 ? n >= 1 : (n >= 2 && n % 2 == 0));
    if (!countOk) {
      std::string want =
          info->args >= 0
              ? std::to_string(info->args) + " argument" + (info->args == 1 ? "" : "s")
              : (info->args == -1 ? "one or more rates" : "pairs of probability and rate");
      d_.Error(a.distributionPos, "'" + a.distribution + "' takes " + want);
      return;
    }
    for (ExprPtr& arg : a.delayArgs) {
      if (!Resolve(*arg, &s, "a delay")) continue;
      PlacesRead(*arg, enabling);
      double v;
      bool positive = a.distribution == "exponential" || a.distribution == "deterministic" ||
                      a.distribution == "hypoexponential" || a.distribution == "hyperexponential";
      if (positive && ConstantValue(*arg, v) && v < 0) {
        d_.Error(arg->pos, std::string(a.distribution == "deterministic" ? "delay" : "rate") +
                               " is negative");
      }
    }
  }

  // ---- composition ----

  // The places a node offers its parent: every place of a submodel, the
  // shared places of a rep or join.
  std::vector<std::string> Offered(const std::string& node) {
    std::vector<std::string> out;
    int s = m_.FindSubmodel(node);
    if (s >= 0) {
      for (const Place& p : m_.submodels[s].places) {
        if (p.extended < 0) out.push_back(p.name);
      }
      for (const ExtendedPlace& x : m_.submodels[s].extended) out.push_back(x.name);
      return out;
    }
    int c = m_.FindComposer(node);
    if (c >= 0) {
      for (const Share& sh : m_.composers[c].shares) out.push_back(sh.name);
    }
    return out;
  }
  // The submodel place a node offers as place comes from: (submodel
  // index, place name), or (-1, "") when unknown; depth guards against a
  // composition that contains itself.
  std::pair<int, std::string> OfferedSource(const std::string& node, const std::string& place,
                                            size_t depth) {
    int s = m_.FindSubmodel(node);
    if (s >= 0) return {s, place};
    int c = m_.FindComposer(node);
    if (c < 0 || depth > m_.composers.size()) return {-1, ""};
    for (const Share& sh : m_.composers[c].shares) {
      if (sh.name != place) continue;
      if (sh.explicitMembers && !sh.members.empty()) {
        return OfferedSource(sh.members[0].child, sh.members[0].place, depth + 1);
      }
      for (const std::string& k : m_.composers[c].children) {
        if (Offers(k, place)) return OfferedSource(k, place, depth + 1);
      }
    }
    return {-1, ""};
  }
  // The type of the place a node offers (short when unknown).
  std::string OfferedType(const std::string& node, const std::string& place, size_t depth) {
    auto [s, name] = OfferedSource(node, place, depth);
    if (s < 0) return "short";
    const Submodel& sub = m_.submodels[s];
    int x = sub.FindExtended(name);
    if (x >= 0) return ExtendedShape(sub.extended[x]);
    int p = sub.FindPlace(name);
    return p >= 0 ? sub.places[p].type : "short";
  }
  // The generated class of the structure a node offers as place ("" when
  // it is no extended place): that of the submodel place it comes from.
  std::string StructClassOf(const std::string& node, const std::string& place, size_t depth) {
    auto [s, name] = OfferedSource(node, place, depth);
    if (s < 0 || m_.submodels[s].FindExtended(name) < 0) return "";
    return m_.submodels[s].name + "SAN::" + name + "Struct";
  }
  bool Offers(const std::string& node, const std::string& place) {
    std::vector<std::string> o = Offered(node);
    return std::find(o.begin(), o.end(), place) != o.end();
  }

  void Composition() {
    std::map<std::string, std::string> parent;
    for (Composer& c : m_.composers) {
      std::set<std::string> kids;
      for (size_t i = 0; i < c.children.size(); ++i) {
        const std::string& k = c.children[i];
        if (m_.FindSubmodel(k) < 0 && m_.FindComposer(k) < 0) {
          d_.Error(c.childPos[i], "unknown node '" + k + "'");
          continue;
        }
        if (k == c.name) d_.Error(c.childPos[i], "'" + c.name + "' cannot contain itself");
        if (m_.FindComposer(k) >= 0 && kGeneratedCodeNames.count(k)) {
          d_.Error(c.childPos[i], "'" + k +
                                      "' cannot be the name of a child node (the generated "
                                      "code uses that name)");
        }
        if (!kids.insert(k).second) {
          d_.Error(c.childPos[i],
                   "'" + k + "' is a child of '" + c.name + "' twice (use a rep for copies)");
        }
        if (parent.count(k)) {
          d_.Error(c.childPos[i], "'" + k + "' is already a child of '" + parent[k] + "'");
        } else {
          parent[k] = c.name;
        }
      }
      if (c.kind == Composer::kRep) {
        RepCount(c);
      } else if (c.children.size() < 2) {
        d_.Error(c.pos, "a join has at least two children");
      }
      Shares(c);
    }
    if (d_.ErrorCount() > 0) return;
    // Cycles: follow parents upward from every node.
    for (const auto& kv : parent) {
      std::string n = kv.first;
      for (size_t steps = 0; parent.count(n); ++steps) {
        n = parent[n];
        if (steps > parent.size()) {
          d_.Error(m_.composers[m_.FindComposer(kv.second)].pos,
                   "the composition of '" + kv.second + "' contains itself");
          return;
        }
      }
    }
    TopNode(parent);
  }

  void RepCount(Composer& c) {
    Expr& e = *c.count;
    if (!IntegerExpr(e, nullptr, "a rep count")) return;
    if (e.kind == Expr::kName && e.type == ValueType::kBool) {
      d_.Error(e.pos, "a rep count must be an integer");
      return;
    }
    double v;
    if (ConstantValue(e, v) && v < 1) {
      d_.Error(e.pos, "a rep needs at least one copy (count " + ValueText(v) + ")");
    }
  }

  void Shares(Composer& c) {
    std::set<std::string> names;
    std::set<std::string> used;  // child.place already shared
    for (Share& sh : c.shares) {
      if (!names.insert(sh.name).second) {
        d_.Error(sh.pos, "place '" + sh.name + "' is shared twice by '" + c.name + "'");
        continue;
      }
      CheckIdentifier(sh.name, sh.pos, "place name");
      if (!sh.explicitMembers) {
        for (const std::string& k : c.children) {
          if (Offers(k, sh.name)) sh.members.push_back({k, sh.name, sh.pos});
        }
        if (sh.members.empty()) {
          d_.Error(sh.pos, "no child of '" + c.name + "' offers a place named '" + sh.name + "'");
        }
        if (c.kind == Composer::kRep) sh.members.resize(std::min<size_t>(sh.members.size(), 1));
      } else {
        std::set<std::string> seenChild;
        for (const ShareMember& mem : sh.members) {
          if (std::find(c.children.begin(), c.children.end(), mem.child) == c.children.end()) {
            d_.Error(mem.pos, "'" + mem.child + "' is not a child of '" + c.name + "'");
          } else if (!Offers(mem.child, mem.place)) {
            d_.Error(mem.pos, "'" + mem.child + "' offers no place named '" + mem.place + "'");
          } else if (!seenChild.insert(mem.child).second) {
            d_.Error(mem.pos, "'" + mem.child + "' appears twice in one share");
          }
        }
        // Members follow the order of the children.
        std::stable_sort(sh.members.begin(), sh.members.end(),
                         [&](const ShareMember& x, const ShareMember& y) {
                           auto ix = std::find(c.children.begin(), c.children.end(), x.child);
                           auto iy = std::find(c.children.begin(), c.children.end(), y.child);
                           return ix < iy;
                         });
      }
      for (size_t k = 0; k < sh.members.size(); ++k) {
        const ShareMember& mem = sh.members[k];
        std::string t = OfferedType(mem.child, mem.place, 0);
        if (k == 0) {
          sh.type = t;
          sh.structClass = StructClassOf(mem.child, mem.place, 0);
        } else if (t != sh.type) {
          d_.Error(mem.pos, "'" + mem.child + "." + mem.place + "' holds a " + t + ", '" +
                                sh.members[0].child + "." + sh.members[0].place + "' a " + sh.type +
                                "; shared places have one type");
        }
      }
      for (const ShareMember& mem : sh.members) {
        if (!used.insert(mem.child + "." + mem.place).second) {
          d_.Error(sh.pos,
                   "'" + mem.child + "." + mem.place + "' is shared twice by '" + c.name + "'");
        }
      }
    }
  }

  void TopNode(const std::map<std::string, std::string>& parent) {
    if (!m_.top.empty()) {
      if (m_.FindSubmodel(m_.top) < 0 && m_.FindComposer(m_.top) < 0) {
        d_.Error(m_.topPos, "unknown node '" + m_.top + "'");
        return;
      }
      if (parent.count(m_.top)) {
        d_.Error(m_.topPos, "'" + m_.top + "' is a child of '" + parent.at(m_.top) + "'");
        return;
      }
      m_.topNode = m_.top;
    } else {
      std::vector<std::string> candidates;
      if (!m_.composers.empty()) {
        for (const Composer& c : m_.composers) {
          if (!parent.count(c.name)) candidates.push_back(c.name);
        }
      } else {
        for (const Submodel& s : m_.submodels) candidates.push_back(s.name);
      }
      if (candidates.size() != 1) {
        d_.Error(m_.namePos, candidates.empty()
                                 ? std::string("the model has no submodel")
                                 : "more than one node could be the top (" + candidates[0] + ", " +
                                       candidates[1] + "); name it with 'top'");
        return;
      }
      m_.topNode = candidates[0];
    }
    for (const Submodel& s : m_.submodels) {
      if (!InTop(s.name)) d_.Warning(s.pos, "submodel '" + s.name + "' is not part of the model");
    }
  }

 public:
  bool InTop(const std::string& node) const {
    if (m_.topNode.empty()) return false;
    if (node == m_.topNode) return true;
    int c = m_.FindComposer(m_.topNode);
    std::vector<std::string> stack;
    if (c >= 0) stack = m_.composers[c].children;
    while (!stack.empty()) {
      std::string n = stack.back();
      stack.pop_back();
      if (n == node) return true;
      int k = m_.FindComposer(n);
      if (k >= 0)
        stack.insert(stack.end(), m_.composers[k].children.begin(), m_.composers[k].children.end());
    }
    return false;
  }

 private:
  // ---- rewards ----

  bool TimeValue(const std::string& text, Pos pos, double& v) {
    v = std::strtod(text.c_str(), nullptr);
    if (!std::isfinite(v) || v < 0) {
      d_.Error(pos, "time " + text + " must be a number of at least 0");
      return false;
    }
    return true;
  }

  // The places e reads, per entry of the scope, in first-appearance order.
  static void ScopedPlacesRead(const Expr& e, const std::vector<int>& scope,
                               std::vector<std::vector<int>>& out) {
    auto add = [&](int place) {
      for (size_t k = 0; k < scope.size(); ++k) {
        if (scope[k] != e.submodel) continue;
        std::vector<int>& v = out[k];
        if (std::find(v.begin(), v.end(), place) == v.end()) v.push_back(place);
      }
    };
    if (e.kind == Expr::kName && e.ref == Expr::kPlace) add(e.index);
    if (e.kind == Expr::kElement) {
      for (int leaf : e.leaves) add(leaf);
    }
    for (const ExprPtr& a : e.args) ScopedPlacesRead(*a, scope, out);
  }

  // The submodels after `of`: each exists, once, in the model.
  bool RewardSubmodels(Reward& r) {
    bool ok = true;
    r.submodelIndex.clear();
    for (size_t k = 0; k < r.submodels.size(); ++k) {
      const std::string& name = r.submodels[k];
      int index = m_.FindSubmodel(name);
      if (index < 0) {
        d_.Error(r.submodelPos[k], "reward variable '" + r.name + "' is over '" + name +
                                       "', which is not a submodel");
        ok = false;
      } else if (std::find(r.submodelIndex.begin(), r.submodelIndex.end(), index) !=
                 r.submodelIndex.end()) {
        d_.Error(r.submodelPos[k], "reward variable '" + r.name + "' names '" + name + "' twice");
        ok = false;
      } else if (!m_.topNode.empty() && !InTop(name)) {
        d_.Error(r.submodelPos[k], "reward variable '" + r.name + "' is over '" + name +
                                       "', which is not part of the model");
      }
      r.submodelIndex.push_back(index);
    }
    return ok;
  }

  void Rewards() {
    std::set<std::string> names;
    for (Reward& r : m_.rewards) {
      if (!names.insert(r.name).second)
        d_.Error(r.pos, "duplicate reward variable '" + r.name + "'");
      if (!RewardSubmodels(r)) continue;
      std::string list;
      for (size_t k = 0; k < r.submodels.size(); ++k) list += (k ? ", " : "") + r.submodels[k];
      scope_ = &r.submodelIndex;
      scopeWhat_ = r.submodels.size() == 1
                       ? "submodel '" + list + "' of reward variable '" + r.name + "'"
                       : "one of the submodels of reward variable '" + r.name + "' (" + list + ")";
      r.readPlaces.assign(r.submodels.size(), {});
      bool rateOk = !r.rate || Resolve(*r.rate, nullptr, "a reward");
      if (r.rate && rateOk) {
        ScopedPlacesRead(*r.rate, r.submodelIndex, r.readPlaces);
        for (size_t k = 0; k < r.submodels.size(); ++k) {
          MarkRead(m_.submodels[r.submodelIndex[k]], r.readPlaces[k]);
        }
      }
      scope_ = nullptr;
      // Workers bind the submodels the rate reads; a rate that reads no
      // place is summed over the copies of every submodel named.
      r.slots.clear();
      for (size_t k = 0; k < r.submodels.size(); ++k) {
        if (!r.readPlaces[k].empty()) r.slots.push_back(static_cast<int>(k));
      }
      if (r.slots.empty()) {
        for (size_t k = 0; k < r.submodels.size(); ++k) r.slots.push_back(static_cast<int>(k));
      }
      if (Impulses(r) && rateOk) UnusedRewardSubmodels(r);
      r.start.clear();
      r.stop.clear();
      for (size_t i = 0; i < r.startText.size(); ++i) {
        double a = 0, b = 0;
        if (!TimeValue(r.startText[i], r.pos, a) || !TimeValue(r.stopText[i], r.pos, b)) continue;
        if (r.kind != Reward::kInstant && !(a < b)) {
          d_.Error(r.pos, "interval from " + r.startText[i] + " to " + r.stopText[i] + " is empty");
        }
        r.start.push_back(a);
        r.stop.push_back(b);
      }
    }
  }

  // With several submodels, each should be read by the rate or earn an
  // impulse: one that is neither only multiplies the rate by its copies.
  void UnusedRewardSubmodels(const Reward& r) {
    if (r.submodels.size() < 2) return;
    for (size_t k = 0; k < r.submodels.size(); ++k) {
      bool used = !r.readPlaces[k].empty();
      for (const Impulse& imp : r.impulses) used = used || imp.submodelIndex == r.submodelIndex[k];
      if (!used) {
        d_.Warning(r.submodelPos[k], "reward variable '" + r.name + "' reads no place of '" +
                                         r.submodels[k] + "' and has no impulse on it");
      }
    }
  }

  // An impulse names an activity of one of the variable's submodels at most
  // once (qualified, or unqualified when only one of them has it); its value
  // reads that submodel's places.
  // False after an error.
  bool Impulses(Reward& r) {
    bool ok = true;
    std::set<std::pair<int, std::string>> seen;
    for (Impulse& imp : r.impulses) {
      imp.submodelIndex = -1;
      imp.activityIndex = -1;
      std::vector<int> holders;
      for (size_t k = 0; k < r.submodels.size(); ++k) {
        const Submodel& s = m_.submodels[r.submodelIndex[k]];
        if (!imp.submodel.empty() && s.name != imp.submodel) continue;
        for (size_t a = 0; a < s.activities.size(); ++a) {
          if (s.activities[a].name != imp.activity) continue;
          holders.push_back(r.submodelIndex[k]);
          imp.submodelIndex = r.submodelIndex[k];
          imp.activityIndex = static_cast<int>(a);
        }
      }
      if (!imp.submodel.empty() &&
          std::find(r.submodels.begin(), r.submodels.end(), imp.submodel) == r.submodels.end()) {
        d_.Error(imp.pos,
                 r.submodels.size() == 1
                     ? "reward variable '" + r.name + "' is over '" + r.submodels[0] + "', not '" +
                           imp.submodel + "'"
                     : "reward variable '" + r.name + "' is not over '" + imp.submodel + "'");
        ok = false;
        continue;
      }
      if (holders.empty()) {
        std::string where = !imp.submodel.empty() ? "submodel '" + imp.submodel + "'"
                            : r.submodels.size() == 1
                                ? "submodel '" + r.submodels[0] + "'"
                                : "any submodel of reward variable '" + r.name + "'";
        d_.Error(imp.pos, "'" + imp.activity + "' is not an activity of " + where);
        ok = false;
        continue;
      }
      if (holders.size() > 1) {
        d_.Error(imp.pos, "'" + imp.activity + "' is an activity of several submodels: write " +
                              m_.submodels[holders[0]].name + "." + imp.activity);
        ok = false;
        continue;
      }
      if (!seen.insert({imp.submodelIndex, imp.activity}).second) {
        d_.Error(imp.pos,
                 "reward variable '" + r.name + "' has a second impulse on '" + imp.activity + "'");
        ok = false;
      }
      std::vector<int> own{imp.submodelIndex};
      Submodel& s = m_.submodels[imp.submodelIndex];
      scope_ = &own;
      scopeWhat_ = "submodel '" + s.name + "', whose activity the impulse is on";
      if (Resolve(*imp.value, nullptr, "an impulse")) {
        std::vector<int> read;
        PlacesRead(*imp.value, read);
        MarkRead(s, read);
      } else {
        ok = false;
      }
      scope_ = nullptr;
    }
    return ok;
  }

  // ---- study ----

  // The C++ literal of value text v for a global of type t; empty after an
  // error.
  std::string Literal(const std::string& v, const std::string& t, Pos pos) {
    bool real = v.find_first_of(".eE") != std::string::npos;
    if (t == "bool") {
      if (v == "true" || v == "1") return "true";
      if (v == "false" || v == "0") return "false";
      d_.Error(pos, "a bool takes true, false, 0 or 1, not " + v);
      return "";
    }
    if (v == "true" || v == "false") {
      d_.Error(pos, "'" + v + "' is not a number");
      return "";
    }
    if (t == "short" || t == "int" || t == "long") {
      if (real) {
        d_.Error(pos, "global of type " + t + " takes an integer, not " + v);
        return "";
      }
      long long x = std::strtoll(v.c_str(), nullptr, 10);
      long long lim = t == "short" ? 32767 : (t == "int" ? 2147483647LL : 9223372036854775807LL);
      if (x > lim || x < -lim - 1 || v.size() > 19) {
        d_.Error(pos, v + " does not fit a " + t);
        return "";
      }
      if (t == "short") return "static_cast<short>(" + std::to_string(x) + ")";
      if (t == "long") return std::to_string(x) + "L";
      return std::to_string(x);
    }
    double d = std::strtod(v.c_str(), nullptr);
    if (!std::isfinite(d) || (t == "float" && std::fabs(d) > 3.4e38)) {
      d_.Error(pos, v + " does not fit a " + t);
      return "";
    }
    std::string text = real ? v : v + ".0";
    return t == "float" ? text + "f" : text;
  }

  // The shortest text that reads back as x.
  std::string RealText(double x) {
    char buf[64];
    for (int precision = 15; precision <= 17; ++precision) {
      std::snprintf(buf, sizeof buf, "%.*g", precision, x);
      if (std::strtod(buf, nullptr) == x) break;
    }
    std::string s = buf;
    if (s.find_first_of(".eEn") == std::string::npos) s += ".0";
    return s;
  }

  // Digits after the point of a plain decimal text; -1 with an exponent or
  // more than 9 of them.
  static int Decimals(const std::string& v) {
    if (v.find_first_of("eE") != std::string::npos) return -1;
    size_t dot = v.find('.');
    if (dot == std::string::npos) return 0;
    int d = static_cast<int>(v.size() - dot - 1);
    return d > 9 ? -1 : d;
  }

  // The k-th value of a real range, FROM + k * STEP. Plain decimals are
  // added exactly in decimal (0.1 to 0.3 step 0.1 gives 0.1, 0.2, 0.3);
  // with an exponent the sum is taken in double precision.
  std::string RangeValue(const std::string& from, const std::string& step, long k) {
    int df = Decimals(from), ds = Decimals(step);
    if (df < 0 || ds < 0) {
      return RealText(std::strtod(from.c_str(), nullptr) +
                      static_cast<double>(k) * std::strtod(step.c_str(), nullptr));
    }
    int d = std::max(df, ds);
    auto scaled = [d](const std::string& v, int dv) {
      std::string digits = v;
      digits.erase(std::remove(digits.begin(), digits.end(), '.'), digits.end());
      long long x = std::strtoll(digits.c_str(), nullptr, 10);
      for (int i = dv; i < d; ++i) x *= 10;
      return x;
    };
    long long sum = scaled(from, df) + k * scaled(step, ds);
    bool negative = sum < 0;
    std::string digits = std::to_string(negative ? -sum : sum);
    if (d > 0) {
      if (digits.size() <= static_cast<size_t>(d)) digits.insert(0, d + 1 - digits.size(), '0');
      digits.insert(digits.size() - d, ".");
    } else {
      digits += ".0";
    }
    return (negative ? "-" : "") + digits;
  }

  void StudyChecks() {
    Study& st = m_.study;
    size_t ng = m_.globals.size();
    std::vector<std::vector<std::string>> columns(ng);  // literals per global
    std::vector<bool> ranged(ng, false);
    std::vector<bool> given(ng, false);
    for (StudyEntry& e : st.entries) {
      int g = m_.FindGlobal(e.global);
      if (g < 0) {
        d_.Error(e.pos, "'" + e.global + "' is not a global");
        continue;
      }
      if (given[g]) {
        d_.Error(e.pos, "global '" + e.global + "' has a second value");
        continue;
      }
      given[g] = true;
      const std::string& t = m_.globals[g].type;
      if (!e.ranged) {
        for (const std::string& v : e.values) columns[g].push_back(Literal(v, t, e.pos));
        continue;
      }
      ranged[g] = true;
      if (t == "bool") {
        d_.Error(e.pos, "a bool cannot take a range");
        continue;
      }
      double from = std::strtod(e.from.c_str(), nullptr), to = std::strtod(e.to.c_str(), nullptr);
      double step = std::strtod(e.step.c_str(), nullptr);
      if (!(step > 0) || !std::isfinite(step)) {
        d_.Error(e.pos, "a range needs a step above 0");
        continue;
      }
      if (to < from) {
        d_.Error(e.pos, "range from " + e.from + " to " + e.to + " is empty");
        continue;
      }
      double count = std::floor((to - from) / step + 1e-9) + 1;
      if (count > 100000) {
        d_.Error(e.pos, "range has more than 100000 values");
        continue;
      }
      bool integer = t == "short" || t == "int" || t == "long";
      for (long k = 0; k < static_cast<long>(count); ++k) {
        if (integer) {
          if (e.from.find_first_of(".eE") != std::string::npos ||
              e.step.find_first_of(".eE") != std::string::npos) {
            d_.Error(e.pos, "global of type " + t + " takes an integer range");
            break;
          }
          long long v = std::strtoll(e.from.c_str(), nullptr, 10) +
                        k * std::strtoll(e.step.c_str(), nullptr, 10);
          columns[g].push_back(Literal(std::to_string(v), t, e.pos));
        } else {
          columns[g].push_back(Literal(RangeValue(e.from, e.step, k), t, e.pos));
        }
      }
    }
    if (!st.present) {
      for (size_t g = 0; g < ng; ++g) columns[g].push_back(Literal("0", m_.globals[g].type, {}));
    } else {
      for (size_t g = 0; g < ng; ++g) {
        if (!given[g]) {
          d_.Error(st.pos, "the study gives no value to global '" + m_.globals[g].name + "'");
        }
      }
    }
    if (d_.ErrorCount() > 0) return;
    // Experiments.
    st.values.assign(ng, {});
    if (!st.present || !st.range) {
      size_t n = 1;
      for (size_t g = 0; g < ng; ++g) n = std::max(n, columns[g].size());
      for (size_t g = 0; g < ng; ++g) {
        if (columns[g].size() != 1 && columns[g].size() != n) {
          d_.Error(st.pos, "global '" + m_.globals[g].name + "' has " +
                               std::to_string(columns[g].size()) + " values; the study has " +
                               std::to_string(n) + " experiments");
        }
      }
      if (d_.ErrorCount() > 0) return;
      for (size_t g = 0; g < ng; ++g) {
        for (size_t e = 0; e < n; ++e)
          st.values[g].push_back(columns[g][columns[g].size() == 1 ? 0 : e]);
      }
      st.numExps = static_cast<int>(n);
      return;
    }
    // Range: every combination, the first-declared ranged global fastest.
    double total = 1;
    for (size_t g = 0; g < ng; ++g) {
      if (ranged[g]) total *= static_cast<double>(columns[g].size());
    }
    if (total > 100000) {
      d_.Error(st.pos, "the study has more than 100000 experiments");
      return;
    }
    size_t n = static_cast<size_t>(total);
    for (size_t g = 0; g < ng; ++g) st.values[g].resize(n);
    size_t stride = 1;
    for (size_t g = 0; g < ng; ++g) {
      if (!ranged[g]) {
        for (size_t e = 0; e < n; ++e) st.values[g][e] = columns[g][0];
        continue;
      }
      size_t len = columns[g].size();
      for (size_t e = 0; e < n; ++e) st.values[g][e] = columns[g][(e / stride) % len];
      stride *= len;
    }
    st.numExps = static_cast<int>(n);
  }

  // Names given with 'experiments': one per experiment, each non-empty and
  // different from the others.
  void ExperimentNames() {
    const Study& st = m_.study;
    if (st.names.empty() || d_.ErrorCount() > 0) return;
    if (static_cast<int>(st.names.size()) != st.numExps) {
      d_.Error(st.namesPos, "'experiments' gives " + std::to_string(st.names.size()) + " name" +
                                (st.names.size() == 1 ? "" : "s") + "; the study has " +
                                std::to_string(st.numExps) + " experiment" +
                                (st.numExps == 1 ? "" : "s"));
      return;
    }
    std::set<std::string> seen;
    for (const std::string& n : st.names) {
      if (n.find_first_not_of(" \t") == std::string::npos) {
        d_.Error(st.namesPos, "an experiment name is empty");
      } else if (!seen.insert(n).second) {
        d_.Error(st.namesPos, "experiment name \"" + n + "\" is given twice");
      }
    }
  }

  // A shared place can be read through the place it is shared with, so
  // only places no composer shares are reported.
  void UnreadPlaces() {
    std::set<std::string> shared;
    for (const Composer& c : m_.composers) {
      for (const Share& sh : c.shares) {
        for (const ShareMember& mem : sh.members) shared.insert(mem.child + "." + mem.place);
      }
    }
    for (const Submodel& s : m_.submodels) {
      for (const Place& p : s.places) {
        if (p.extended < 0 && !p.read && !shared.count(s.name + "." + p.name)) {
          d_.Warning(p.pos, "place '" + p.name + "' is read by no activity and no reward variable");
        }
      }
      for (size_t i = 0; i < s.extended.size(); ++i) {
        const ExtendedPlace& x = s.extended[i];
        bool read = false;
        for (const Place& p : s.places) {
          read = read || (p.extended == static_cast<int>(i) && p.read);
        }
        if (!read && !shared.count(s.name + "." + x.name)) {
          d_.Warning(x.pos, "place '" + x.name + "' is read by no activity and no reward variable");
        }
      }
    }
  }

  Model& m_;
  Diagnostics& d_;
  // While a reward variable is checked: its submodels and what they are
  // called in messages. Null otherwise.
  const std::vector<int>* scope_ = nullptr;
  std::string scopeWhat_;
};

}  // namespace

bool Check(Model& model, Diagnostics& diag) {
  int before = diag.ErrorCount();
  Checker(model, diag).Run();
  return diag.ErrorCount() == before;
}

bool LoadModel(const std::string& path, Model& model, Diagnostics& diag) {
  model.file = path;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    diag.Error({1, 1}, "cannot read the file");
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  if (!Parse(text.str(), model, diag)) return false;
  return Check(model, diag);
}

}  // namespace lang

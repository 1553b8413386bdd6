// The JANI importer on small documents: what it rejects (with the path of
// the offending part), that what it writes is a valid model file, and that
// the same input gives the same bytes.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "RunProcess.h"
#include "jani/Importer.h"
#include "lang/Checker.h"

namespace {

using velmor::jani::ImportJani;
using velmor::jani::ImportOptions;
using velmor::jani::JaniError;

// A small CTMC: one automaton, a counter, two edges, two properties. The
// cases below replace parts of it.
const char* const kBase = R"({
  "jani-version": 1, "name": "m", "type": "ctmc",
  "constants": [{"name": "r", "type": "real", "value": 2.0}],
  "variables": [{"name": "c", "type": {"kind": "bounded", "base": "int", "lower-bound": 0,
                 "upper-bound": 3}, "initial-value": 0},
                {"name": "goal", "type": "bool", "transient": true, "initial-value": false}],
  "automata": [{"name": "A",
    "locations": [{"name": "l0"}, {"name": "l1", "transient-values": [{"ref": "goal", "value": true}]}],
    "initial-locations": ["l0"],
    "edges": [
      {"location": "l0", "rate": {"exp": "r"},
       "destinations": [{"location": "l1", "assignments": [{"ref": "c", "value": 1}]}]},
      {"location": "l1", "rate": {"exp": 1.0},
       "destinations": [{"location": "l0", "probability": {"exp": 0.5}},
                        {"location": "l1", "probability": {"exp": 0.5}}]}]}],
  "system": {"elements": [{"automaton": "A"}]},
  "properties": [
    {"name": "p", "expression": {"op": "filter", "fun": "max", "states": {"op": "initial"},
      "values": {"op": "Pmax", "exp": {"op": "F", "exp": "goal", "time-bounds": {"upper": 1}}}}},
    {"name": "e", "expression": {"op": "filter", "fun": "max", "states": {"op": "initial"},
      "values": {"op": "Emax", "exp": "c", "time-instant": 2}}}]
})";

std::string Edit(const std::string& from, const std::string& to) {
  std::string s = kBase;
  size_t at = s.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) s.replace(at, from.size(), to);
  return s;
}

// Imports text; returns "PATH: MESSAGE" of the error, or "" on success.
std::string ErrorOf(const std::string& text, const ImportOptions& options = ImportOptions()) {
  try {
    ImportJani(text, options);
    return "";
  } catch (const JaniError& e) {
    return e.path() + ": " + e.what();
  }
}

TEST(JaniImport, OutsideTheSubsetIsAnErrorNamingFeatureAndPlace) {
  struct Case {
    std::string from, to, error;
  };
  const Case cases[] = {
      {"\"ctmc\"", "\"mdp\"", "/type: model type 'mdp' is not supported"},
      {R"(, "value": 2.0})", "}",
       "/constants: constants left open: r (give them with --constants NAME=VALUE,...)"},
      {R"("exp": "r"})", R"("exp": {"op": "sin", "exp": "r"}})",
       "/automata/0/edges/0/rate/exp: operator 'sin' is not supported"},
      {R"("type": "bool", "transient": true)",
       R"("type": {"kind": "bounded", "base": "real", "upper-bound": -0.5})",
       "/variables/1/initial-value: out of the bounds of 'goal'"},
      {R"({"name": "l0"})", R"({"name": "l0", "time-progress": {"exp": true}})",
       "/automata/0/locations/0/time-progress: time-progress conditions are not supported"},
      {R"("op": "F", "exp": "goal", "time-bounds": {"upper": 1})",
       R"("op": "U", "left": true, "right": "goal", "step-bounds": {"lower": 1, "upper": 3})",
       "/properties/0/expression/values/exp/step-bounds/lower: a lower step bound is supported "
       "on F only (property 'p'; leave it out with --properties)"},
      {R"("time-bounds": {"upper": 1})", R"("step-bounds": {"lower": 4, "upper": 3})",
       "/properties/0/expression/values/exp/step-bounds/upper: the upper step bound is below"},
      {R"("time-bounds": {"upper": 1})", R"("step-bounds": {"upper": 2.5})",
       "/properties/0/expression/values/exp/step-bounds/upper: a step bound must be a natural"},
      {R"("time-bounds": {"upper": 1})", R"("reward-bounds": [])",
       "/properties/0/expression/values/exp/reward-bounds: reward-bounds are not supported"},
      {R"("exp": "c", "time-instant": 2)", R"("exp": "c", "time-instant": 2, "reward-bounds": [])",
       "/properties/1/expression/values/reward-bounds: \"reward-bounds\" is not supported"},
      {R"("op": "F", "exp": "goal", "time-bounds": {"upper": 1})",
       R"("op": "U", "left": {"op": "¬", "exp": "goal"}, "right": "goal", "time-bounds": {"lower": 1, "upper": 2})",
       "/properties/0/expression/values/exp/time-bounds/lower: an until with a lower time bound"},
      {R"("time-bounds": {"upper": 1})", R"("time-bounds": {"lower": 1, "upper": 0.5})",
       "/properties/0/expression/values/exp/time-bounds/upper: the upper time bound is below"},
      {R"("exp": "c", "time-instant": 2)",
       R"("exp": "c", "accumulate": ["exit"], "time-instant": 2)",
       "/properties/1/expression/values/accumulate: accumulation 'exit' is not supported"},
      {R"("exp": "c", "time-instant": 2)",
       R"("exp": "c", "accumulate": ["steps"], "time-instant": 2)",
       "/automata/0/edges/0: property 'e': the reward of a transition of A_l0_0 reads 'c', which "
       "the transition changes"},
      {R"([{"ref": "c", "value": 1}])",
       R"([{"ref": "c", "value": 1}, {"ref": "goal", "value": true}])",
       "/automata/0/edges/0/destinations/0/assignments/1: property 'p': 'goal' is set on edges"},
      {R"([{"ref": "c", "value": 1}])", R"([{"ref": "c", "value": 1}, {"ref": "c", "value": 2}])",
       "/automata/0/edges/0/destinations/0/assignments/1: 'c' is also assigned at "
       "/automata/0/edges/0/destinations/0/assignments/0 in the same step"},
      {R"("upper-bound": 3)", R"("upper-bound": 40000)",
       "/variables/0/type: the values of 'c' do not fit a place"},
      {R"("system": {)", R"("x-tool": 1, "bogus": 1, "system": {)",
       "/bogus: \"bogus\" is not supported"},
      {R"("op": "Emax", "exp": "c", "time-instant": 2)", R"("op": "Emax", "exp": "c")",
       "/properties/1/expression/values: property 'e': an expectation with neither a time "
       "instant nor a goal is the reward over an unbounded horizon"},
      {R"("op": "Emax", "exp": "c", "time-instant": 2)",
       R"("op": "Emax", "exp": "c", "reach": "goal")",
       "/properties/1/expression/values: property 'e': an expectation until a goal needs an "
       "accumulation"},
      {R"("exp": "c", "time-instant": 2}}})",
       R"("exp": "c", "accumulate": ["time"], "reach": "goal"}}},
          {"name": "s", "expression": {"op": "Smax", "exp": "c"}})",
       "/properties: long-run averages and unbounded properties need separate models"},
      {R"({"location": "l0", "rate": {"exp": "r"},)",
       R"({"location": "l0", "rate": {"exp": "r"}, "action": "go",)",
       ""},  // an action in no synchronisation vector: the edge never fires, not an error
      {R"("probability": {"exp": 0.5}},
                        {"location": "l1")",
       R"("probability": {"exp": 0.6}},
                        {"location": "l1")",
       "/automata/0/edges/1/destinations: the probabilities of the destinations sum to 1.1"},
      {R"({"ref": "c", "value": 1})", R"({"ref": "c", "value": 1.5})",
       "/automata/0/edges/0/destinations/0/assignments/0/value: a real value assigned to 'c'"},
      {R"("type": "ctmc",)", R"("type": "ctmc", "features": ["state-exit-rewards", "arrays"],)",
       "/features/1: feature 'arrays' is not supported"},
      {"{", "[", ": not valid JSON"},
  };
  for (const Case& c : cases) {
    std::string error = ErrorOf(Edit(c.from, c.to));
    if (c.error.empty())
      EXPECT_EQ(error, "") << c.to;
    else
      EXPECT_EQ(error.substr(0, c.error.size()), c.error) << c.to;
  }
  // Of a transient only edges set, the missing instant is what is named.
  std::string onEdges = Edit(R"([{"ref": "c", "value": 1}])",
                             R"([{"ref": "c", "value": 1}, {"ref": "goal", "value": true}])");
  onEdges.replace(onEdges.find(R"("exp": "c", "time-instant": 2)"), 29, R"("exp": "goal")");
  ImportOptions onlyE;
  onlyE.measures.only = {"e"};
  EXPECT_EQ(ErrorOf(onEdges, onlyE).substr(0, 80),
            "/properties/1/expression/values: property 'e': an expectation with neither a tim");
  EXPECT_EQ(ErrorOf("[1]"), ": a JANI model must be a JSON object");
}

TEST(JaniImport, ConstantsAndPropertiesFromTheCommandLine) {
  ImportOptions o;
  std::string open = Edit(R"(, "value": 2.0})", "}");
  o.constants["r"] = "x";
  EXPECT_EQ(ErrorOf(open, o).substr(0, 60),
            "/constants/0: 'x' is not a value of the type of constant 'r'");
  o.constants["r"] = "3.5";
  EXPECT_EQ(ErrorOf(open, o), "");
  EXPECT_NE(ImportJani(open, o).find("  r = 3.5\n"), std::string::npos);
  EXPECT_EQ(ErrorOf(kBase, o),
            "/constants/0: constant 'r' has a value in the file; only open constants take one");
  ImportOptions unknown;
  unknown.constants["q"] = "1";
  EXPECT_EQ(ErrorOf(kBase, unknown), "/constants: the model has no constant 'q'");
  ImportOptions only;
  only.measures.only = {"e"};
  std::string text = ImportJani(kBase, only);
  EXPECT_EQ(text.find("reward p "), std::string::npos);
  EXPECT_NE(text.find("reward e "), std::string::npos);
  only.measures.only = {"nope"};
  EXPECT_EQ(ErrorOf(kBase, only), "/properties: no property named 'nope'");
}

// Markov automata: two instantaneous edges of one location with no guard
// are a certain nondeterministic choice.
TEST(JaniImport, NondeterministicInstantaneousEdgesAreAnError) {
  std::string ma = Edit("\"ctmc\"", "\"ma\"");
  std::string instant = R"({"location": "l1", "destinations": [{"location": "l0"}]},
      {"location": "l1", "destinations": [{"location": "l1"}]},
      {"location": "l1", "rate": {"exp": 1.0},)";
  std::string text = ma;
  text.replace(text.find(R"({"location": "l1", "rate": {"exp": 1.0},)"), 40, instant);
  EXPECT_EQ(ErrorOf(text),
            "/automata/0/edges/1: nondeterminism: in location 'l1' of automaton 'A' the "
            "instantaneous edges /automata/0/edges/1 and /automata/0/edges/2 are both enabled");
  // The same guard over the state on both edges: as certain.
  std::string guarded = ma;
  const std::string guard = R"("guard": {"exp": {"op": ">", "left": "c", "right": 0}}, )";
  std::string twice = instant;
  twice.insert(twice.find(R"("destinations": [{"location": "l0"}])"), guard);
  twice.insert(twice.find(R"("destinations": [{"location": "l1"}])"), guard);
  guarded.replace(guarded.find(R"({"location": "l1", "rate": {"exp": 1.0},)"), 40, twice);
  EXPECT_EQ(ErrorOf(guarded),
            "/automata/0/edges/1: nondeterminism: in location 'l1' of automaton 'A' the "
            "instantaneous edges /automata/0/edges/1 and /automata/0/edges/2 are both enabled");
  EXPECT_EQ(ErrorOf(ma), "");
}

// Every example and the base document give a model the language accepts,
// byte for byte the same on a second import.
TEST(JaniImport, OutputIsAValidModelAndDeterministic) {
  namespace fs = std::filesystem;
  std::string dir = MakeTempDir("jani_import");
  std::vector<std::pair<std::string, ImportOptions>> inputs;
  inputs.emplace_back(kBase, ImportOptions());
  // Names the language or the generated C++ cannot take.
  std::string odd = kBase;
  for (const char* name : {"time", "_Foo", "a__b", "int", "window", "1x", "model"}) {
    std::string decl =
        std::string(R"({"name": ")") + name + R"(", "type": "bool", "initial-value": false},)";
    odd.replace(odd.find(R"({"name": "goal")"), 0, decl);
  }
  odd.replace(odd.find(R"("name": "A")"), 11, R"("name": "Activity")");
  odd.replace(odd.find(R"({"automaton": "A"})"), 18, R"({"automaton": "Activity"})");
  odd.replace(odd.find(R"("name": "m")"), 11, R"("name": "exp")");
  inputs.emplace_back(odd, ImportOptions());
  // Every numeric function over the state, in a rate (a real) and under '%'
  // (integers).
  const char* const functions = R"("exp": {"op": "+",
      "left": {"op": "log", "left": {"op": "+", "left": "c", "right": 1}, "right": 2},
      "right": {"op": "*", "left": {"op": "exp", "exp": {"op": "/", "left": "c", "right": 4}},
        "right": {"op": "+", "left": {"op": "sgn", "exp": {"op": "-", "left": "c", "right": 1}},
          "right": {"op": "+", "left": {"op": "trc", "exp": {"op": "/", "left": "c", "right": 3}},
            "right": {"op": "%", "left": {"op": "floor", "exp": {"op": "/", "left": "c", "right": 2}},
              "right": {"op": "ceil", "exp": {"op": "pow", "left": "r", "right": "c"}}}}}}})";
  inputs.emplace_back(Edit(R"("exp": "r"})", std::string(functions) + "}"), ImportOptions());
  for (const char* name : {"queue", "duplex", "jobs", "tandem", "spares"}) {
    ImportOptions o;
    if (std::string(name) == "queue") o.constants["lambda"] = "2";
    if (std::string(name) == "queue") o.measures.only = {"full_by_T", "queue_at_T"};
    if (std::string(name) == "spares")
      o.measures.only = {"lost_by_T", "lost_in_6_steps", "up_for_6_steps", "time_to_loss"};
    if (std::string(name) == "tandem") o.measures.only = {"short_W_5_steps", "queued_at_T"};
    inputs.emplace_back(
        ReadFileBytes(std::string(VELMOR_SOURCE_DIR) + "/examples/jani/" + name + ".jani"), o);
  }
  for (size_t k = 0; k < inputs.size(); ++k) {
    ASSERT_FALSE(inputs[k].first.empty());
    std::string first = ImportJani(inputs[k].first, inputs[k].second);
    EXPECT_EQ(ImportJani(inputs[k].first, inputs[k].second), first);
    std::string path = dir + "/m" + std::to_string(k) + ".vm";
    std::ofstream(path) << first;
    lang::Model model;
    lang::Diagnostics diag(path);
    bool ok = lang::LoadModel(path, model, diag);
    std::ostringstream messages;
    diag.Print(messages);
    EXPECT_TRUE(ok) << messages.str() << first;
  }
  fs::remove_all(dir);
}

}  // namespace

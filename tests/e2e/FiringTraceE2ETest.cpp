// End-to-end runs of the test model's simulator with the firing trace
// (-l 2 to 4, plain text and XML). The records are checked against the
// model (its activities and cases, its deterministic tick, its
// instantaneous alarm), against the run's own results and count of
// firings, and against one another: each level is the one below with its
// own blocks added, the values a firing changed carry the state before it
// into the state after it, and the XML trace holds the firings of the
// plain one. Tracing must leave the sample path and the results unchanged.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "../trace/TraceXmlChecker.h"
#include "SimE2EHelpers.h"

namespace {

using tracetest::CheckWellFormed;
using Values = std::map<std::string, std::string>;  // variable name -> value as written

// One firing as the plain trace records it.
struct Firing {
  std::string time;              // as written
  std::string model, activity;   // from the firing line
  std::string group, completed;  // from the after line: the case completed
  Values enabling, affected;     // level 3 and above
  Values stateAfter;             // level 4
};

// The records between two batch marks.
struct Replication {
  Values initial;  // level 3 and above
  std::vector<Firing> firings;
};

// "<text before sep>", "<text after sep>" of s, or false when sep is absent.
bool SplitAt(const std::string& s, const std::string& sep, std::string* before,
             std::string* after) {
  const size_t at = s.find(sep);
  if (at == std::string::npos) return false;
  *before = s.substr(0, at);
  *after = s.substr(at + sep.size());
  return true;
}

// The plain trace cut at its batch marks: one Replication per stretch
// after a mark (so the last one, after the closing mark, is empty).
std::vector<Replication> ParsePlain(const std::string& text) {
  std::vector<Replication> reps;
  Values* block = nullptr;  // where "name = value" lines go
  for (const std::string& line : Lines(text)) {
    std::string head, rest, name, value;
    if (line == "##### NEW BATCH #####") {
      reps.emplace_back();
      block = nullptr;
    } else if (reps.empty()) {
      continue;  // the header
    } else if (line == "Initial Model State:") {
      block = &reps.back().initial;
    } else if (StartsWith(line, "#### Firing: ")) {
      Firing f;
      std::string where;
      const bool ok = SplitAt(line.substr(13), "  Action: (", &f.time, &rest) &&
                      SplitAt(rest, ")", &head, &where) &&
                      SplitAt(where, "->", &f.model, &f.activity);
      EXPECT_TRUE(ok) << line;
      reps.back().firings.push_back(f);
      block = nullptr;
    } else if (line == "Enabling state before action firing:" && !reps.back().firings.empty()) {
      block = &reps.back().firings.back().enabling;
    } else if (StartsWith(line, "#### After: (") && !reps.back().firings.empty()) {
      Firing& f = reps.back().firings.back();
      EXPECT_TRUE(SplitAt(line, ")", &head, &rest) && SplitAt(rest, "->", &f.group, &f.completed))
          << line;
      block = nullptr;
    } else if (line == "Affected state after firing: " && !reps.back().firings.empty()) {
      block = &reps.back().firings.back().affected;
    } else if (line == "Model State:" && !reps.back().firings.empty()) {
      block = &reps.back().firings.back().stateAfter;
    } else if (StartsWith(line, "  Model: (")) {
      continue;  // the model line of a state block
    } else if (block != nullptr && StartsWith(line, "  ") && SplitAt(line, " = ", &name, &value)) {
      (*block)[name.substr(name.find_first_not_of(' '))] = value;
    } else {
      ADD_FAILURE() << "unexpected trace line: " << line;
    }
  }
  return reps;
}

// The text without the blocks that start with one of the titles (a title
// line and the indented lines after it).
std::string WithoutBlocks(const std::string& text, const std::set<std::string>& titles) {
  std::string kept;
  bool inBlock = false;
  for (const std::string& line : Lines(text)) {
    if (titles.count(line) != 0) {
      inBlock = true;
      continue;
    }
    if (inBlock && StartsWith(line, "  ")) continue;
    inBlock = false;
    kept += line + "\n";
  }
  return kept;
}

long ActionsFired(const std::string& out) {
  const std::string line = LineStarting(out, "Actions fired: ");
  return line.empty() ? -1 : std::atol(line.c_str() + 15);
}

// The observations of an ASCII results file of one report, by variable.
std::map<int, std::vector<double>> AsciiValues(const std::string& content) {
  std::map<int, std::vector<double>> values;
  const std::vector<std::string> lines = Lines(content);
  for (size_t i = 2; i < lines.size(); ++i) {
    values[std::atoi(lines[i].c_str())].push_back(
        std::atof(lines[i].c_str() + lines[i].find(',') + 1));
  }
  return values;
}

// The value of attribute `name` in an XML line, or "".
std::string Attribute(const std::string& line, const std::string& name) {
  std::string before, after, value, rest;
  if (!SplitAt(line, " " + name + "=\"", &before, &after)) return "";
  SplitAt(after, "\"", &value, &rest);
  return value;
}

// A V element's variable: its id without the process ("p2up" -> "up").
std::string VariableOf(const std::string& line) {
  const std::string id = Attribute(line, "id");
  return id.substr(id.find_first_not_of("p0123456789"));
}

// The XML sequence: action elements (id, time, values) and state elements.
struct XmlAction {
  std::string id, time;
  Values values;
};
struct XmlSequence {
  std::map<std::string, std::string> actionNames;  // declared id -> name
  std::vector<XmlAction> actions;
  std::vector<Values> states;
};

XmlSequence ParseXml(const std::string& xml) {
  XmlSequence seq;
  Values* block = nullptr;
  for (const std::string& line : Lines(xml)) {
    if (StartsWith(line, "<Action ")) {
      seq.actionNames[Attribute(line, "id")] = Attribute(line, "name");
    } else if (StartsWith(line, "<A ")) {
      seq.actions.push_back({Attribute(line, "id"), Attribute(line, "t"), {}});
      block = &seq.actions.back().values;
    } else if (line == "<S>") {
      seq.states.emplace_back();
      block = &seq.states.back();
    } else if (line == "</A>" || line == "</S>") {
      block = nullptr;
    } else if (block != nullptr && line.find("<V id=") != std::string::npos) {
      (*block)[VariableOf(line)] = Attribute(line, "val");
    }
  }
  return seq;
}

class FiringTraceE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Exists(TestModelSim())) GTEST_SKIP() << TestModelSim() << " not built";
    dir = MakeTempDir("velmor_firing_trace_");
    options.unset.push_back("SIMTEST");
  }
  void TearDown() override {
    if (!dir.empty()) std::filesystem::remove_all(dir);
  }
  // Runs the test model in dir/<sub>.
  ProcessResult Run(const std::vector<std::string>& args, const std::string& sub = ".") {
    options.workDir = dir + "/" + sub;
    std::filesystem::create_directories(options.workDir);
    return RunProcess(TestModelSim(), args, options);
  }
  std::string File(const std::string& name) { return ReadFileBytes(dir + "/" + name); }

  std::string dir;
  ProcessOptions options;
};

TEST_F(FiringTraceE2E, LevelTwoRecordsEveryFiringWithItsTimeActivityAndCase) {
  ProcessResult r = Run({"-e", "0", "-N", "10", "-m", "-l", "2", "-f", "run", "-a", "r.ascii"});
  ASSERT_EQ(0, r.status) << r.err;
  std::vector<Replication> reps = ParsePlain(File("run.txt"));
  ASSERT_EQ(11u, reps.size());  // a mark before the first replication and after each
  EXPECT_TRUE(reps.back().firings.empty());
  reps.pop_back();
  // The model's activities (tick's cases form tickGroup) and what each completes.
  const std::map<std::string, std::set<std::string>> cases = {
      {"fail", {"fail"}},
      {"repair", {"repair"}},
      {"tickGroup", {"tick_case1", "tick_case2"}},
      {"wear", {"wear"}},
      {"alarm", {"alarm"}}};
  // failures is measured at 5 and at 20 (variables 1 and 2): the number of
  // fail firings up to then in each replication.
  std::map<int, std::vector<double>> results = AsciiValues(File("r.ascii"));
  ASSERT_EQ(10u, results[1].size());
  ASSERT_EQ(10u, results[2].size());
  std::set<std::string> completed;
  long total = 0;
  for (size_t k = 0; k < reps.size(); ++k) {
    SCOPED_TRACE("replication " + std::to_string(k));
    const std::vector<Firing>& firings = reps[k].firings;
    double last = 0.0;
    int ticks = 0, failsBy5 = 0, fails = 0;
    for (size_t i = 0; i < firings.size(); ++i) {
      const Firing& f = firings[i];
      EXPECT_EQ("machine", f.model);
      ASSERT_EQ(1u, cases.count(f.activity)) << f.activity;
      EXPECT_EQ(f.activity, f.group);
      EXPECT_EQ(1u, cases.at(f.activity).count(f.completed)) << f.activity << "->" << f.completed;
      completed.insert(f.completed);
      const double t = std::atof(f.time.c_str());
      EXPECT_GE(t, last) << "time goes back at firing " << i;
      EXPECT_LE(t, 20.0);  // the run ends at the last time point, 20
      last = t;
      // tick fires at 1, 2, 3, ... whatever else happens.
      if (f.activity == "tickGroup") {
        EXPECT_EQ(++ticks, t);
      }
      if (f.activity == "fail") {
        fails++;
        if (t <= 5.0) failsBy5++;
        // The instantaneous alarm follows every failure at once.
        ASSERT_LT(i + 1, firings.size());
        EXPECT_EQ("alarm", firings[i + 1].activity);
        EXPECT_EQ(f.time, firings[i + 1].time);
      }
    }
    EXPECT_EQ(20, ticks);
    EXPECT_EQ(results[1][k], failsBy5);
    EXPECT_EQ(results[2][k], fails);
    total += static_cast<long>(firings.size());
  }
  EXPECT_EQ(1u, completed.count("tick_case1"));
  EXPECT_EQ(1u, completed.count("tick_case2"));
  EXPECT_EQ(ActionsFired(r.out), total);
}

TEST_F(FiringTraceE2E, HigherLevelsAddTheValuesReadAndChangedAndTheWholeState) {
  std::map<int, std::string> text;
  for (int level = 2; level <= 4; level++) {
    const std::string name = "l" + std::to_string(level);
    ProcessResult r = Run({"-e", "1", "-N", "3", "-m", "-l", std::to_string(level), "-f", name});
    ASSERT_EQ(0, r.status) << r.err;
    text[level] = File(name + ".txt");
  }
  EXPECT_EQ(text[2],
            WithoutBlocks(text[3], {"Initial Model State:", "Enabling state before action firing:",
                                    "Affected state after firing: "}));
  EXPECT_EQ(text[3], WithoutBlocks(text[4], {"Model State:"}));

  std::vector<Replication> reps = ParsePlain(text[4]);
  ASSERT_EQ(4u, reps.size());
  reps.pop_back();
  for (const Replication& rep : reps) {
    ASSERT_FALSE(rep.initial.empty());
    EXPECT_EQ(reps[0].initial, rep.initial);  // each replication starts afresh
    ASSERT_FALSE(rep.firings.empty());
    Values state = rep.initial;
    std::map<std::string, int> done;  // firings so far by the case completed
    for (const Firing& f : rep.firings) {
      SCOPED_TRACE(f.time + " " + f.completed);
      // The enabling values are read before the firing...
      for (const auto& read : f.enabling) EXPECT_EQ(state[read.first], read.second) << read.first;
      // ...and the changed values turn the state before into the state after.
      for (const auto& changed : f.affected) state[changed.first] = changed.second;
      EXPECT_EQ(state, f.stateAfter);
      state = f.stateAfter;
      // The counting places of the model count its activities and cases.
      done[f.completed]++;
      EXPECT_EQ(std::to_string(done["fail"]), state["failures"]);
      EXPECT_EQ(std::to_string(done["repair"]), state["repairs"]);
      EXPECT_EQ(std::to_string(done["wear"]), state["wears"]);
      EXPECT_EQ(std::to_string(done["tick_case1"] + done["tick_case2"]), state["ticks"]);
      EXPECT_EQ(std::to_string(done["tick_case2"]), state["flips"]);
    }
  }
}

// The XML document covers the first replication: its action elements are
// the plain trace's firings of that replication (the case by its declared
// id, the time as written), with the changed values from level 3 and a
// state element before the first firing and after each from level 4.
TEST_F(FiringTraceE2E, XmlTraceHoldsTheFirstReplicationsFiringsInItsFormat) {
  for (int level : {2, 4}) {
    SCOPED_TRACE("level " + std::to_string(level));
    const std::string name = "run" + std::to_string(level);
    ProcessResult r =
        Run({"-e", "0", "-N", "2", "-m", "-x", "-l", std::to_string(level), "-f", name});
    ASSERT_EQ(0, r.status) << r.err;
    const std::string xml = File(name + ".xml");
    EXPECT_EQ("", CheckWellFormed(xml));
    const Replication first = ParsePlain(File(name + ".txt")).at(0);
    const XmlSequence seq = ParseXml(xml);
    ASSERT_EQ(first.firings.size(), seq.actions.size());
    ASSERT_FALSE(seq.actions.empty());
    for (size_t i = 0; i < seq.actions.size(); ++i) {
      const XmlAction& a = seq.actions[i];
      ASSERT_EQ(1u, seq.actionNames.count(a.id)) << a.id << " is not declared";
      EXPECT_EQ(first.firings[i].completed, seq.actionNames.at(a.id));
      EXPECT_EQ(first.firings[i].time, a.time);
      EXPECT_EQ(first.firings[i].affected, a.values);
    }
    if (level < 4) {
      EXPECT_TRUE(seq.states.empty());
      continue;
    }
    ASSERT_EQ(seq.actions.size() + 1, seq.states.size());
    EXPECT_EQ(first.initial, seq.states[0]);
    for (size_t i = 0; i < first.firings.size(); ++i) {
      EXPECT_EQ(first.firings[i].stateAfter, seq.states[i + 1]) << "after firing " << i;
    }
  }
}

// The traces only read the model: the same firings, the same results
// files, terminating and steady state; and one firing record per firing.
TEST_F(FiringTraceE2E, TracingLeavesTheSamplePathAndTheResultsUnchanged) {
  const std::vector<std::vector<std::string>> runs = {{"-e", "1", "-N", "30", "-n", "7"},
                                                      {"-e", "0", "-t", "0", "-N", "6", "-n", "2"}};
  int k = 0;
  for (const std::vector<std::string>& run : runs) {
    const std::string plainDir = "plain" + std::to_string(k);
    const std::string tracedDir = "traced" + std::to_string(k++);
    std::vector<std::string> args = run;
    args.insert(args.end(), {"-a", "r.ascii", "-b", "r.bin"});
    ProcessResult plain = Run(args, plainDir);
    args.insert(args.end(), {"-m", "-x", "-l", "4", "-f", "t"});
    ProcessResult traced = Run(args, tracedDir);
    ASSERT_EQ(0, plain.status) << plain.err;
    ASSERT_EQ(0, traced.status) << traced.err;
    const std::string ascii = File(plainDir + "/r.ascii");
    EXPECT_GT(Lines(ascii).size(), 2u);
    EXPECT_EQ(ascii, File(tracedDir + "/r.ascii"));
    EXPECT_EQ(File(plainDir + "/r.bin"), File(tracedDir + "/r.bin"));
    EXPECT_GT(ActionsFired(plain.out), 0);
    EXPECT_EQ(ActionsFired(plain.out), ActionsFired(traced.out));
    long records = 0;
    for (const Replication& rep : ParsePlain(File(tracedDir + "/t.txt"))) {
      records += static_cast<long>(rep.firings.size());
    }
    EXPECT_EQ(ActionsFired(traced.out), records);
  }
}

}  // namespace

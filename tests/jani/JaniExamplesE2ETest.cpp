// The JANI examples end to end: velmor import, velmor build, a seeded run of
// the simulator, and every estimate within four standard errors of the
// exact value in examples/jani/exact.txt. Also the command's error
// output, and run-time stops on a bound violation and on nondeterminism.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "RunProcess.h"

namespace {

namespace fs = std::filesystem;

std::string Bin(const std::string& name) { return std::string(VELMOR_BIN_DIR) + "/" + name; }
std::string Example(const std::string& name) {
  return std::string(VELMOR_SOURCE_DIR) + "/examples/jani/" + name;
}

// exact.txt: "FILE PROPERTY VALUE" lines.
std::map<std::string, double> ExactValues(const std::string& file) {
  std::map<std::string, double> values;
  std::istringstream in(ReadFileBytes(Example("exact.txt")));
  std::string f, prop;
  double v;
  while (in >> f >> prop >> v)
    if (f == file) values[prop] = v;
  return values;
}

struct Estimate {
  double mean = 0, variance = 0;
  long n = 0;
};

// Imports, builds and runs one example; returns the estimates by property
// (the name before '@' or '[' in the results reader's column).
std::map<std::string, Estimate> ImportBuildRun(const std::string& dir, const std::string& file,
                                               const std::vector<std::string>& importArgs,
                                               const std::vector<std::string>& simArgs) {
  std::map<std::string, Estimate> out;
  std::vector<std::string> args = {"import", Example(file), "-o", dir + "/model.vm"};
  args.insert(args.end(), importArgs.begin(), importArgs.end());
  ProcessResult imp = RunProcess(Bin("velmor"), args);
  EXPECT_EQ(imp.status, 0) << imp.err;
  ProcessResult build =
      RunProcess(Bin("velmor"), {"build", dir + "/model.vm", "-o", dir + "/b"}, {"", {}, {}, 600});
  EXPECT_EQ(build.status, 0) << build.out << build.err;
  std::string sim = build.out.substr(0, build.out.find('\n'));
  std::string types = sim.substr(0, sim.size() - 4) + "_pvtypes";
  EXPECT_EQ(RunProcess(types, {dir + "/types"}).status, 0);
  std::vector<std::string> simLine = simArgs;
  simLine.insert(simLine.end(), {"-b", dir + "/out.bin"});
  ProcessResult run = RunProcess(sim, simLine, {dir, {}, {}, 600});
  EXPECT_EQ(run.status, 0) << run.err;
  ProcessResult csv =
      RunProcess(Bin("velmor-results"), {"--csv", "--pvtypes", dir + "/types", dir + "/out.bin"});
  EXPECT_EQ(csv.status, 0) << csv.err;
  std::istringstream lines(csv.out);
  std::string line;
  std::getline(lines, line);  // header
  while (std::getline(lines, line)) {
    std::vector<std::string> cells;
    std::stringstream cs(line);
    for (std::string c; std::getline(cs, c, ',');) cells.push_back(c);
    if (cells.size() < 9) continue;
    // The variable's column may itself hold a comma ("q[0,2.5]"): count from the end.
    size_t k = cells.size();
    std::string name = cells[3].substr(0, cells[3].find_first_of("@["));
    out[name] = {std::stod(cells[k - 4]), std::stod(cells[k - 3]), std::stol(cells[k - 5])};
  }
  return out;
}

void ExpectAgrees(const std::map<std::string, Estimate>& got, const std::string& file,
                  const std::vector<std::string>& properties) {
  std::map<std::string, double> exact = ExactValues(file);
  for (const std::string& p : properties) {
    ASSERT_TRUE(exact.count(p)) << file << " " << p;
    ASSERT_TRUE(got.count(p)) << file << " " << p;
    const Estimate& e = got.at(p);
    double se = std::sqrt(e.variance / static_cast<double>(e.n));
    EXPECT_LE(std::fabs(e.mean - exact[p]), 4 * se + 1e-12)
        << file << " " << p << ": estimate " << e.mean << " (se " << se << "), exact " << exact[p];
  }
}

class JaniExamples : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = MakeTempDir("jani_e2e"); }
  // velmor build cannot link against a sanitizer build's libraries.
  static bool CanBuildModels() {
#ifdef VELMOR_SANITIZED_TREE
    return false;
#else
    return true;
#endif
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string dir_;
};

TEST_F(JaniExamples, QueueTransientAndLongRun) {
  if (!CanBuildModels()) GTEST_SKIP() << "models are not built in a sanitizer build";
  auto got = ImportBuildRun(
      dir_, "queue.jani",
      {"--constants", "lambda=2", "--properties", "full_by_T,full_between,queue_at_T,queue_time_T"},
      {"-N", "20000", "-s", "1234"});
  ExpectAgrees(got, "queue.jani", {"full_by_T", "full_between", "queue_at_T", "queue_time_T"});
  fs::remove_all(dir_ + "/b");
  got =
      ImportBuildRun(dir_, "queue.jani", {"--constants", "lambda=2", "--properties", "mean_queue"},
                     {"-t", "0", "-N", "200", "-s", "1234"});
  ExpectAgrees(got, "queue.jani", {"mean_queue"});
}

TEST_F(JaniExamples, DuplexUnboundedAndUntil) {
  if (!CanBuildModels()) GTEST_SKIP() << "models are not built in a sanitizer build";
  auto got = ImportBuildRun(dir_, "duplex.jani", {}, {"-N", "40000", "-s", "4321"});
  ExpectAgrees(got, "duplex.jani", {"down_by_T", "mttf", "crash_first"});
  ASSERT_TRUE(got.count("mttf_unreached"));
  EXPECT_EQ(got["mttf_unreached"].mean, 0);
}

TEST_F(JaniExamples, MarkovAutomatonWithSimultaneousAssignments) {
  if (!CanBuildModels()) GTEST_SKIP() << "models are not built in a sanitizer build";
  auto got = ImportBuildRun(dir_, "jobs.jani", {}, {"-N", "40000", "-s", "99"});
  ExpectAgrees(got, "jobs.jani",
               {"done_by_T", "a_at_T", "last_at_T", "busy_time_T", "time_to_done"});
}

// State-dependent floor and pow in rates, a weak until, step bounds,
// rewards from transient variables, long-run averages.
TEST_F(JaniExamples, TandemFunctionsOfTheStateAndWeakUntil) {
  if (!CanBuildModels()) GTEST_SKIP() << "models are not built in a sanitizer build";
  const std::vector<std::string> bounded = {"blocked_by_T",       "first_short_W",
                                            "blocked_in_6_steps", "short_W_5_steps",
                                            "queued_at_T",        "queued_time_T"};
  std::string list;
  for (const std::string& b : bounded) list += (list.empty() ? "" : ",") + b;
  auto got =
      ImportBuildRun(dir_, "tandem.jani", {"--properties", list}, {"-N", "20000", "-s", "77"});
  ExpectAgrees(got, "tandem.jani", bounded);
  fs::remove_all(dir_ + "/b");
  got = ImportBuildRun(dir_, "tandem.jani", {"--properties", "mean_queued,blocked_share"},
                       {"-t", "0", "-N", "200", "-s", "77"});
  ExpectAgrees(got, "tandem.jani", {"mean_queued", "blocked_share"});
}

// A Markov automaton whose instantaneous check follows a synchronised
// failure (both count as steps); sgn of the state in a rate; G, step
// bounds, a goal, long-run averages; rewards of transitions (edges
// assigning transient variables).
TEST_F(JaniExamples, SparesMarkovAutomatonLongRunAndGoal) {
  if (!CanBuildModels()) GTEST_SKIP() << "models are not built in a sanitizer build";
  auto got = ImportBuildRun(dir_, "spares.jani",
                            {"--properties",
                             "lost_by_T,always_up_T,lost_in_6_steps,up_for_6_steps,up_time_T,"
                             "working_at_T,time_to_loss,fails_T,cost_T,up_steps_T,checks_to_loss"},
                            {"-N", "20000", "-s", "5"});
  ExpectAgrees(
      got, "spares.jani",
      {"lost_by_T", "always_up_T", "lost_in_6_steps", "up_for_6_steps", "up_time_T", "working_at_T",
       "time_to_loss", "fails_T", "cost_T", "up_steps_T", "checks_to_loss"});
  fs::remove_all(dir_ + "/b");
  got = ImportBuildRun(dir_, "spares.jani", {"--properties", "availability,fail_rate"},
                       {"-t", "0", "-N", "200", "-s", "5"});
  ExpectAgrees(got, "spares.jani", {"availability", "fail_rate"});
}

// Real variables (one bounded below only), their simultaneous swap through a
// double helper, real division of integers; means at and up to T, lower step
// bounds (inclusive and exclusive) and a long-run average of a real expression.
TEST_F(JaniExamples, ReservoirRealVariables) {
  if (!CanBuildModels()) GTEST_SKIP() << "models are not built in a sanitizer build";
  auto got = ImportBuildRun(
      dir_, "reservoir.jani",
      {"--properties", "level_at_T,spare_at_T,level_time_T,dry_spare_at_3,dry_spare_at_2"},
      {"-N", "20000", "-s", "11"});
  ExpectAgrees(got, "reservoir.jani",
               {"level_at_T", "spare_at_T", "level_time_T", "dry_spare_at_3", "dry_spare_at_2"});
  fs::remove_all(dir_ + "/b");
  got = ImportBuildRun(dir_, "reservoir.jani", {"--properties", "mean_total"},
                       {"-t", "0", "-N", "200", "-s", "11"});
  ExpectAgrees(got, "reservoir.jani", {"mean_total"});
}

// The exact values are those the solver script computes (when python3 is
// there to run it).
TEST(JaniExactValues, MatchTheSolverScript) {
  if (!fs::exists("/usr/bin/python3")) GTEST_SKIP() << "python3 not installed";
  ProcessResult r = RunProcess("/usr/bin/python3", {Example("solve.py")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, ReadFileBytes(Example("exact.txt")));
}

// Errors: "FILE: path: message", status 1, nothing written; the same input
// gives the same bytes.
TEST_F(JaniExamples, ImportCommandErrorsAndDeterminism) {
  std::string bad = dir_ + "/bad.jani";
  std::ofstream(bad) << R"({"jani-version": 1, "type": "dtmc", "system": {"elements": []}})";
  ProcessResult r = RunProcess(Bin("velmor"), {"import", bad, "-o", dir_ + "/out.vm"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, bad +
                       ": type: model type 'dtmc' is not supported (only ctmc and ma are "
                       "imported)\n");
  EXPECT_FALSE(fs::exists(dir_ + "/out.vm"));
  r = RunProcess(Bin("velmor"), {"import", Example("queue.jani"), "-o", dir_ + "/out.vm"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, Example("queue.jani") +
                       ": constants: constants left open: lambda (give them with --constants "
                       "NAME=VALUE,...)\n");
  EXPECT_FALSE(fs::exists(dir_ + "/out.vm"));
  r = RunProcess(Bin("velmor"), {"import", Example("queue.jani"), "--constants", "lambda", "-o",
                                 dir_ + "/out.vm"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "velmor import: --constants expects NAME=VALUE,..., got 'lambda'\n");
  for (const char* out : {"/a.vm", "/b.vm"}) {
    r = RunProcess(Bin("velmor"),
                   {"import", Example("duplex.jani"), "-o", dir_ + out, "--horizon", "5000"});
    EXPECT_EQ(r.status, 0) << r.err;
  }
  std::string a = ReadFileBytes(dir_ + "/a.vm");
  EXPECT_NE(a.find("interval from 0.0 to 5000.0"), std::string::npos);
  EXPECT_EQ(a, ReadFileBytes(dir_ + "/b.vm"));
}

// A counter pushed past its bound, and two instantaneous edges enabled
// together, stop the run with status 1 and the activity's name.
TEST_F(JaniExamples, BoundViolationAndNondeterminismStopTheRun) {
  if (!CanBuildModels()) GTEST_SKIP() << "models are not built in a sanitizer build";
  const char* const model = R"({"jani-version": 1, "name": "over", "type": "ma",
    "variables": [{"name": "c", "type": {"kind": "bounded", "base": "BASE", "lower-bound": -1,
                   "upper-bound": 1}, "initial-value": 0}],
    "automata": [{"name": "A", "locations": [{"name": "l"}, {"name": "m"}], "initial-locations": ["l"],
      "edges": [{"location": "l", "rate": {"exp": 1.0},
                 "destinations": [{"location": "l", "assignments": [{"ref": "c", "value": {"op": "+", "left": "c", "right": STEP}}]}]},
                {"location": "m", "guard": {"exp": {"op": "≥", "left": "c", "right": 0}}, "destinations": [{"location": "l"}]},
                {"location": "m", "guard": {"exp": {"op": "≤", "left": "c", "right": 0}}, "destinations": [{"location": "l"}]},
                {"location": "l", "rate": {"exp": MRATE}, "guard": {"exp": {"op": "<", "left": "c", "right": 1}},
                 "destinations": [{"location": "m"}]}]}],
    "system": {"elements": [{"automaton": "A"}]},
    "properties": [{"name": "c_at_5", "expression": {"op": "Emax", "exp": "c", "time-instant": 5}}]})";
  struct Case {
    std::string rate, message, base = "int", step = "1";
  };
  // A real counter stepping by 0.75 leaves [-1, 1] at its second step too.
  for (const Case& c :
       {Case{"0.0", "ERROR: Activity c_out_of_bounds drew the delay"},
        Case{"0.0", "ERROR: Activity c_out_of_bounds drew the delay", "real", "0.75"},
        Case{"100.0", "ERROR: Activity nondeterminism_A_m_1_A_m_2 drew the delay"}}) {
    std::string text = model;
    text.replace(text.find("MRATE"), 5, c.rate);
    text.replace(text.find("BASE"), 4, c.base);
    text.replace(text.find("STEP"), 4, c.step);
    std::ofstream(dir_ + "/over.jani") << text;
    ProcessResult imp =
        RunProcess(Bin("velmor"), {"import", dir_ + "/over.jani", "-o", dir_ + "/over.vm"});
    ASSERT_EQ(imp.status, 0) << imp.err;
    fs::remove_all(dir_ + "/b");
    ProcessResult build = RunProcess(Bin("velmor"), {"build", dir_ + "/over.vm", "-o", dir_ + "/b"},
                                     {"", {}, {}, 600});
    ASSERT_EQ(build.status, 0) << build.out << build.err;
    ProcessResult run = RunProcess(dir_ + "/b/over_sim", {"-N", "100"}, {dir_, {}, {}, 120});
    EXPECT_EQ(run.status, 1) << c.rate;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
  }
}

}  // namespace

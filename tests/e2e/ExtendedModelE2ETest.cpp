// The models of the constructs added after features.vm (tests/lang/models/
// extended.vm, and places.vm for array and record places), run end to end
// against values worked out by hand or from their Markov chains.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "SimE2EHelpers.h"

namespace {

std::string ExtendedSim() { return std::string(VELMOR_BIN_DIR) + "/extended_sim"; }

// The observations of results-file variable id in an ASCII results file.
std::vector<double> Values(const std::string& ascii, int id) {
  std::vector<double> out;
  std::vector<std::string> lines = Lines(ascii);
  std::string prefix = std::to_string(id) + ",";
  for (size_t i = 2; i < lines.size(); ++i) {
    if (StartsWith(lines[i], prefix)) out.push_back(std::stod(lines[i].substr(prefix.size())));
  }
  return out;
}

double Mean(const std::vector<double>& v) {
  double sum = 0.0;
  for (double x : v) sum += x;
  return sum / static_cast<double>(v.size());
}

double StandardError(const std::vector<double>& v) {
  double m = Mean(v), sum = 0.0;
  for (double x : v) sum += (x - m) * (x - m);
  return std::sqrt(sum / static_cast<double>(v.size() - 1) / static_cast<double>(v.size()));
}

std::string RunExtended(const std::vector<std::string>& args,
                        const std::string& sim = ExtendedSim()) {
  ProcessOptions options;
  options.workDir = MakeTempDir("velmor_extended_");
  std::vector<std::string> all = args;
  all.insert(all.end(), {"-a", "r.ascii"});
  ProcessResult r = RunProcess(sim, all, options);
  EXPECT_EQ(r.status, 0) << r.err;
  return ReadFileBytes(options.workDir + "/r.ascii");
}

TEST(ExtendedModelE2E, ImpulsesInEveryKindOfVariable) {
  // Results ids: 0 failures, 1 and 2 last_tick at 5 and 10, 3 tick_average,
  // 4 tick_batches.
  std::string ascii = RunExtended({"-N", "2000", "-s", "4711"});
  // Failures in [0, 10]: two Poisson streams of rate 0.5, mean 2 x 0.5 x 10.
  std::vector<double> failures = Values(ascii, 0);
  ASSERT_EQ(failures.size(), 2000u);
  EXPECT_NEAR(Mean(failures), 10.0, 4.0 * StandardError(failures));
  // The last completion at 5 and at 10 (the run end) is a tick, worth 2.
  EXPECT_EQ(Values(ascii, 1), std::vector<double>(2000, 2.0));
  EXPECT_EQ(Values(ascii, 2), std::vector<double>(2000, 2.0));
  // up is 1 in both copies; ticks 1 to 4 in each: (8 + 8) / 4.
  EXPECT_EQ(Values(ascii, 3), std::vector<double>(2000, 4.0));
  // A terminating run writes a steady variable as 0.
  EXPECT_EQ(Values(ascii, 4), std::vector<double>(2000, 0.0));
}

TEST(ExtendedModelE2E, TypedPlacesHoldRealsAndWideIntegers) {
  // At 5, per copy: level 0.5^6, the shared total 10 x 0.25 read as half,
  // count -3 + 5; two copies.
  std::vector<double> levels = Values(RunExtended({"-N", "3"}), 5);
  EXPECT_EQ(levels, std::vector<double>(3, 2 * (0.015625 + 1.25 + 2)));
}

TEST(ExtendedModelE2E, ImpulsesInSteadyStateBatches) {
  // Batches [0, 10), [10, 20), ...: ticks 1 to 9, then 10 ticks, per copy.
  std::vector<double> batches = Values(RunExtended({"-t", "0", "-N", "3"}), 4);
  EXPECT_EQ(batches, (std::vector<double>{18.0, 20.0, 20.0}));
}

TEST(ExtendedModelE2E, ExperimentNamesReachTheStudyDescription) {
  ProcessResult r = RunProcess(std::string(VELMOR_BIN_DIR) + "/extended_pvtypes", {"--study"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("\"experiment_names\": [\n  \"slow\",\n  \"fast\"\n ]"), std::string::npos)
      << r.out;
  ProcessResult d =
      RunProcess(std::string(VELMOR_BIN_DIR) + "/velmor",
                 {"describe", std::string(VELMOR_SOURCE_DIR) + "/tests/lang/models/extended.vm"});
  ASSERT_EQ(d.status, 0) << d.err;
  EXPECT_NE(d.out.find("  Experiment 2 \"fast\": lambda=1.0\n"), std::string::npos) << d.out;
}

// tests/lang/models/joint.vm: deterministic ticks, so every value is exact.
TEST(ExtendedModelE2E, RewardsOverSeveralSubmodelsSumOverCombinations) {
  ProcessOptions options;
  options.workDir = MakeTempDir("velmor_joint_");
  ProcessResult r =
      RunProcess(std::string(VELMOR_BIN_DIR) + "/joint_sim", {"-N", "2", "-a", "r.ascii"}, options);
  ASSERT_EQ(r.status, 0) << r.err;
  std::string ascii = ReadFileBytes(options.workDir + "/r.ascii");
  // Every (fast, slow) pair of 2 x 3 copies at 5: a = 5, b = 2.
  EXPECT_EQ(Values(ascii, 0), std::vector<double>(2, 6 * (5 * 10 + 2)));
  // A rate reading only fast sums over fast's 2 copies, not over the 6
  // pairs; slow's impulses come once per slow copy.
  EXPECT_EQ(Values(ascii, 1), std::vector<double>(2, 2 * 8 + 3 * 2 * 10));
  // Impulses on activities of either submodel, each over its own copies.
  EXPECT_EQ(Values(ascii, 2), std::vector<double>(2, 2 * (1 + 2 + 3 + 4) + 3 * 2));
  EXPECT_EQ(Values(ascii, 3), std::vector<double>(2, 2 * 5));
  EXPECT_EQ(Values(ascii, 4), std::vector<double>(2, 6 * 5 * 2));
  ProcessResult d =
      RunProcess(std::string(VELMOR_BIN_DIR) + "/velmor",
                 {"describe", std::string(VELMOR_SOURCE_DIR) + "/tests/lang/models/joint.vm"});
  EXPECT_NE(d.out.find("  1 mixed of slow, fast: interval from 0 to 4.5\n"
                       "      impulses on: slow.tick\n"),
            std::string::npos)
      << d.out;
}

// floor and ceil of a real no int holds stop the run instead of converting
// it (undefined in C++).
TEST(ExtendedModelE2E, RoundingBeyondTheIntegersStopsTheRun) {
  ProcessOptions options;
  options.workDir = MakeTempDir("velmor_joint_");
  ProcessResult r = RunProcess(std::string(VELMOR_BIN_DIR) + "/joint_sim",
                               {"-N", "1", "-O", "d:scale:1e12"}, options);
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(StartsWith(r.err, "ERROR: floor at joint.vm:53:8 is ")) << r.err;
  EXPECT_NE(r.err.find("e+12, outside the range of an integer\n"), std::string::npos) << r.err;
}

TEST(ExtendedModelE2E, IntegerDivisionByZeroStopsTheRun) {
  ProcessOptions options;
  options.workDir = MakeTempDir("velmor_joint_");
  ProcessResult r =
      RunProcess(std::string(VELMOR_BIN_DIR) + "/joint_sim", {"-N", "1", "-O", "i:k:0"}, options);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "ERROR: division by zero at joint.vm:53:29\n");
}

TEST(ExtendedModelE2E, InstantaneousActivitiesThatNeverLetTimePassStopTheRun) {
  ProcessOptions options;
  options.workDir = MakeTempDir("velmor_joint_");
  ProcessResult r =
      RunProcess(std::string(VELMOR_BIN_DIR) + "/joint_sim", {"-N", "1", "-O", "i:k:2"}, options);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(
      r.err,
      "ERROR: over 10485760 activity completions in a row at time 0 without time advancing (the "
      "last: Activity spin); instantaneous activities keep enabling one another\n");
}

std::string PlacesSim() { return std::string(VELMOR_BIN_DIR) + "/places_sim"; }

TEST(ExtendedModelE2E, ArrayAndRecordPlacesAgreeWithTheirMarkovChain) {
  // Results ids: 0 and 1 units_up at 1 and 5, 2 crew_unit_up at 5, 3
  // repairs at 5. Exact values: examples/roving_repair/exact.py, the same chain (units_up
  // counts each unit in both monitors).
  std::string ascii = RunExtended({"-N", "20000", "-s", "4711"}, PlacesSim());
  const double exact[] = {2 * 1.65854098455, 2 * 1.4813339964, 0.331643191627, 5.85797626556};
  for (int id = 0; id < 4; ++id) {
    std::vector<double> v = Values(ascii, id);
    ASSERT_EQ(v.size(), 20000u) << id;
    EXPECT_NEAR(Mean(v), exact[id], 4.0 * StandardError(v)) << id;
  }
}

TEST(ExtendedModelE2E, ComputedIndexOutsideTheArrayStopsTheRun) {
  // The crew starts at unit 7 of 3: its first visit reads up[7].
  ProcessOptions options;
  options.workDir = MakeTempDir("velmor_places_");
  ProcessResult r = RunProcess(PlacesSim(), {"-N", "5", "-O", "s:first_unit:7"}, options);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("ERROR: Activity visit uses element 7 of up, which has elements 0 to 2\n"),
            std::string::npos)
      << r.err;
}

}  // namespace

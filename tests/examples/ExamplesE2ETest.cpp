// The examples under examples/ against their exact values: each example's
// simulator (generated from its model file at build time) runs a fixed
// number of replications or batches with a fixed seed, and every estimate
// must lie within four standard errors of the value worked out in the
// example's README (exact.py there computes them). A correct simulator
// lands outside with probability about 6e-5 per check; the seeds were
// chosen once, before the first run, not searched for.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "../e2e/SimE2EHelpers.h"

// Sanitizer builds run the simulators a hundred times slower; they divide
// every run length by this (the checks stay four standard errors of the
// shorter run: they lose power, not validity).
#ifndef VELMOR_EXAMPLES_RUN_DIVISOR
#define VELMOR_EXAMPLES_RUN_DIVISOR 1
#endif

namespace {

constexpr double kStandardErrors = 4.0;
constexpr int kRunDivisor = VELMOR_EXAMPLES_RUN_DIVISOR;

// One estimate and its exact value. `variable` is the index of the reward
// variable's time point or interval in the results file (variables in
// declaration order, each expanded into its time points).
struct Exact {
  int variable;
  double value;
  const char* what;
};

struct ExampleRun {
  const char* example;
  std::vector<std::string> args;  // besides -a
  std::vector<Exact> exact;
};

std::ostream& operator<<(std::ostream& out, const ExampleRun& run) {
  out << run.example;
  for (const std::string& a : run.args) out << ' ' << a;
  return out;
}

// The observations of each variable in an ASCII results file.
std::vector<std::vector<double>> Observations(const std::string& content) {
  std::vector<std::vector<double>> values;
  std::vector<std::string> lines = Lines(content);
  EXPECT_GE(lines.size(), 2u) << "results file has no header";
  for (size_t i = 2; i < lines.size(); ++i) {
    std::istringstream in(lines[i]);
    int index = -1;
    char comma = 0;
    double value = 0.0;
    if (!(in >> index >> comma >> value) || comma != ',' || index < 0 || index > 1000) {
      ADD_FAILURE() << "malformed observation line " << i + 1 << ": " << lines[i];
      continue;
    }
    if (values.size() <= static_cast<size_t>(index)) values.resize(index + 1);
    values[index].push_back(value);
  }
  return values;
}

double Mean(const std::vector<double>& v) {
  double sum = 0.0;
  for (double x : v) sum += x;
  return sum / static_cast<double>(v.size());
}

double Variance(const std::vector<double>& v, double mean) {
  double sum = 0.0;
  for (double x : v) sum += (x - mean) * (x - mean);
  return sum / static_cast<double>(v.size() - 1);
}

// Terminating runs: -N replications. Steady-state runs (-t 0): -N batches
// of every steady-state variable.
const ExampleRun kRuns[] = {
    {"kofn_coverage",
     {"-e", "0", "-N", "50000", "-s", "4711"},
     {{0, 0.979548711302, "reliability at 100"},
      {1, 0.797822638421, "reliability at 1000"},
      {2, 103.719225185, "time failed in [0,1000]"}}},
    {"kofn_coverage",
     {"-e", "1", "-N", "50000", "-s", "4711"},
     {{0, 0.99477828796, "reliability at 100"},
      {1, 0.925710201697, "reliability at 1000"},
      {2, 36.0463598288, "time failed in [0,1000]"}}},
    {"kofn_coverage",
     {"-e", "2", "-N", "50000", "-s", "4711"},
     {{0, 0.98865919188, "reliability at 100"},
      {1, 0.790744160914, "reliability at 1000"},
      {2, 101.659428244, "time failed in [0,1000]"}}},
    {"mm1k",
     {"-t", "0", "-e", "0", "-N", "2000", "-s", "4711"},
     {{0, 0.904761904762, "mean jobs"},
      {1, 0.015873015873, "probability full"},
      {2, 0.492063492063, "throughput"}}},
    {"mm1k",
     {"-t", "0", "-e", "4", "-N", "2000", "-s", "4711"},
     {{0, 5.0, "mean jobs"},
      {1, 0.0909090909091, "probability full"},
      {2, 0.909090909091, "throughput"}}},
    {"mm1k",
     {"-t", "0", "-e", "8", "-N", "2000", "-s", "4711"},
     {{0, 13.0243961631, "mean jobs"},
      {1, 0.333841586731, "probability full"},
      {2, 0.999237619903, "throughput"}}},
    {"age_replacement",
     {"-t", "0", "-e", "0", "-N", "2000", "-s", "4711"},
     {{0, 0.971156196233, "availability"},
      {1, 0.0102165693356, "repair fraction"},
      {2, 0.0186272344312, "overhaul fraction"}}},
    {"age_replacement",
     {"-t", "0", "-e", "1", "-N", "2000", "-s", "4711"},
     {{0, 0.971976029308, "availability"},
      {1, 0.0198188236967, "repair fraction"},
      {2, 0.0082051469953, "overhaul fraction"}}},
    {"age_replacement",
     {"-t", "0", "-e", "2", "-N", "2000", "-s", "4711"},
     {{0, 0.962970608868, "availability"},
      {1, 0.0346576340216, "repair fraction"},
      {2, 0.00237175711048, "overhaul fraction"}}},
    {"pumping_plant",
     {"-e", "0", "-N", "20000", "-s", "4711"},
     {{0, 0.995583057132, "plant available at 10"},
      {1, 0.990360626337, "plant available at 100"},
      {2, 1.82116604108, "lines delivering, average over [0,100]"},
      {3, 0.835552049034, "plant down time in [0,100]"},
      {4, 1.19999999998, "pumps down at 100"}}},
    {"pumping_plant",
     {"-e", "1", "-N", "20000", "-s", "4711"},
     {{0, 0.979263937047, "plant available at 10"},
      {1, 0.965607116165, "plant available at 100"},
      {2, 1.65557942012, "lines delivering, average over [0,100]"},
      {3, 3.07770152631, "plant down time in [0,100]"},
      {4, 1.19999999998, "pumps down at 100"}}},
    {"pumping_plant",
     {"-e", "2", "-N", "20000", "-s", "4711"},
     {{0, 0.761044179048, "plant available at 10"},
      {1, 0.714261988128, "plant available at 100"},
      {2, 0.973226328043, "lines delivering, average over [0,100]"},
      {3, 26.8319284348, "plant down time in [0,100]"},
      {4, 1.19999999998, "pumps down at 100"}}},
    {"shared_buffer",
     {"-e", "0", "-N", "40000", "-s", "4711"},
     {{0, 1.12347424154, "jobs at 2"},
      {1, 1.60472739422, "jobs at 5"},
      {2, 0.266964459736, "jobs waiting at server 1 at 5"},
      {3, 0.0722811024518, "full, average over [0,10]"},
      {4, 0.43341736912, "lone job at server 2, average over [0,10]"},
      {5, 4.23826875329, "server 1 busy time in [0,10]"},
      {6, 2.41146679597, "jobs served by server 2 by 10"}}},
    {"shared_buffer",
     {"-e", "1", "-N", "40000", "-s", "4711"},
     {{0, 1.92041102024, "jobs at 2"},
      {1, 2.35920656659, "jobs at 5"},
      {2, 0.634061127257, "jobs waiting at server 1 at 5"},
      {3, 0.246140738512, "full, average over [0,10]"},
      {4, 0.454655557245, "lone job at server 2, average over [0,10]"},
      {5, 5.91625351277, "server 1 busy time in [0,10]"},
      {6, 3.69298573895, "jobs served by server 2 by 10"}}},
    {"part_lifetimes",
     {"-N", "20000", "-s", "4711"},
     {{0, 0.472366552741, "exponential R(1.5)"},
      {1, 0.17377394345, "exponential R(3.5)"},
      {2, 1.0, "deterministic R(1.5)"},
      {3, 0.0, "deterministic R(3.5)"},
      {4, 0.833333333333, "uniform R(1.5)"},
      {5, 0.166666666667, "uniform R(3.5)"},
      {6, 0.522296913583, "weibull R(1.5)"},
      {7, 0.098762984308, "weibull R(3.5)"},
      {8, 0.707559534034, "normal R(1.5)"},
      {9, 0.068362456167, "normal R(3.5)"},
      {10, 0.57498093831, "lognormal R(1.5)"},
      {11, 0.0660944568473, "lognormal R(3.5)"},
      {12, 0.638072607431, "gamma shape 3 R(1.5)"},
      {13, 0.124652019483, "gamma shape 3 R(3.5)"},
      {14, 0.381098982859, "gamma shape 0.6 R(1.5)"},
      {15, 0.160478659407, "gamma shape 0.6 R(3.5)"},
      {16, 0.6517, "beta R(0.3)"},
      {17, 0.1792, "beta R(0.6)"},
      {18, 0.609339266998, "erlang R(1.5)"},
      {19, 0.105114352934, "erlang R(3.5)"},
      {20, 0.916666666667, "triangular R(1.5)"},
      {21, 0.0416666666667, "triangular R(3.5)"},
      {22, 0.362887369301, "pareto R(1.5)"},
      {23, 0.0436344884755, "pareto R(3.5)"},
      {24, 0.49, "geometric R(1.5)"},
      {25, 0.2401, "geometric R(3.5)"},
      {26, 0.76672, "binomial R(1.5)"},
      {27, 0.1792, "binomial R(3.5)"},
      {28, 0.6875, "negative binomial R(1.5)"},
      {29, 0.34375, "negative binomial R(3.5)"},
      {30, 0.53113827188, "hypoexponential R(1.5)"},
      {31, 0.0878840408196, "hypoexponential R(3.5)"},
      {32, 0.17656091368, "hyperexponential R(1.5)"},
      {33, 0.052770500411, "hyperexponential R(3.5)"},
      {34, 9.67052135082, "parts working at 1.5"},
      {35, 0.0834014701437, "both exponential and hyperexponential parts at 1.5"}}},
    {"repair_costs",
     {"-e", "0", "-N", "20000", "-s", "4711"},
     {{0, 8.36111111111, "failures in [0,100]"},
      {1, 20.4861111111, "repair bill per unit time over [0,100]"},
      {2, 0.836111111111, "wear at 100"}}},
    {"repair_costs",
     {"-e", "1", "-N", "20000", "-s", "4711"},
     {{0, 9.52607709751, "failures in [0,100]"},
      {1, 23.6961451247, "repair bill per unit time over [0,100]"},
      {2, 0.952607709751, "wear at 100"}}},
    {"powered_servers",
     {"-N", "20000", "-s", "4711"},
     {{0, 1.51577258559, "servers serving at 10"},
      {1, 76.3028991211, "server-hours served in [0,50]"},
      {2, 0.602362586908, "outage cost per hour over [0,50]"}}},
    {"roving_repair",
     {"-N", "20000", "-s", "4711"},
     {{0, 1.65854098455, "units up at 1"},
      {1, 1.4813339964, "units up at 5"},
      {2, 0.331643191627, "the crew's next unit up at 5"},
      {3, 5.85797626556, "repairs by 5"}}},
};

class ExampleAgainstExactValue : public ::testing::TestWithParam<ExampleRun> {
 protected:
  void SetUp() override { dir = MakeTempDir("velmor_example_"); }
  void TearDown() override {
    std::error_code ignored;
    if (!dir.empty()) std::filesystem::remove_all(dir, ignored);
  }
  std::string dir;
};

TEST_P(ExampleAgainstExactValue, EstimatesAgreeWithinFourStandardErrors) {
  const ExampleRun& run = GetParam();
  const std::string sim = std::string(VELMOR_BIN_DIR) + "/" + run.example + "_sim";
  ASSERT_TRUE(Exists(sim)) << sim << " not built";
  std::vector<std::string> args = run.args;
  for (size_t i = 0; i + 1 < args.size(); ++i) {
    if (args[i] == "-N") args[i + 1] = std::to_string(std::stoi(args[i + 1]) / kRunDivisor);
  }
  args.insert(args.end(), {"-a", "results.txt"});
  ProcessOptions options;
  options.workDir = dir;
  options.unset.push_back("SIMTEST");
  ProcessResult r = RunProcess(sim, args, options);
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::vector<double>> obs = Observations(ReadFileBytes(dir + "/results.txt"));
  ASSERT_EQ(obs.size(), run.exact.size()) << "variables in the results file";
  const size_t n = obs[0].size();
  ASSERT_GE(n, 200u);
  for (const Exact& e : run.exact) {
    const std::vector<double>& v = obs[e.variable];
    ASSERT_EQ(v.size(), n) << e.what;
    const double mean = Mean(v);
    const double bound =
        kStandardErrors * std::sqrt(Variance(v, mean) / static_cast<double>(n)) + 1e-12;
    EXPECT_LE(std::fabs(mean - e.value), bound)
        << e.what << ": estimate " << mean << ", exact " << e.value << " +- " << bound;
  }
}

INSTANTIATE_TEST_SUITE_P(Examples, ExampleAgainstExactValue, ::testing::ValuesIn(kRuns));

}  // namespace

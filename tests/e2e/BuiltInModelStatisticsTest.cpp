// Long runs of the built-in model's simulator checked against the values
// worked out by hand in AnalyticExpectations.h (models/redundant_controller_
// flash/ANALYSIS.md has the derivation), and the reproducibility of its
// sample paths under one seed, each generator kind and both connectivity
// orders. These are the slow end-to-end tests (several seconds each).
//
// Every run uses a fixed seed, so each test is deterministic: it passes or
// fails the same way every time. The seeds were chosen once, before the
// first run, not searched for. Tolerances are four standard errors (a
// correct simulator lands outside with probability about 6e-5 per check),
// so a change that legitimately alters the sample path (a different draw
// order) will almost surely still pass, while a fault that moves a mean by
// more than four standard errors is caught.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "../models/AnalyticExpectations.h"
#include "SimE2EHelpers.h"

namespace {

using analytic::ExperimentExpectation;
using analytic::kExpectations;

// Reward-variable indices of the built-in model: reliability at 30, 180 and
// 365, seu_events at 365, sefi_events at 365.
constexpr int kNumPVs = 5;
constexpr int kSeu = 3;
constexpr int kSefi = 4;

// Standard deviation of the firings of one replication, derived in
// AnalyticExpectations.h (about 62: each corrupting error also fires a
// watchdog reboot).
constexpr double kFiringsStdDev = analytic::kFiringsStdDevPerReplication;

constexpr double kStandardErrors = 4.0;

// The observations of each reward variable in an ASCII results file, in
// file order. Checks the two header lines and every observation line.
std::vector<std::vector<double>> ParseAscii(const std::string& content, int experiment) {
  std::vector<std::vector<double>> values(kNumPVs);
  std::vector<std::string> lines = Lines(content);
  if (lines.size() < 2) {
    ADD_FAILURE() << "results file has no header";
    return values;
  }
  EXPECT_EQ(lines[0], "#VELMOR_SIM_ASCII_FILE,VELMOR_VER=Version 2.4,FILE_VER=1,EXPERIMENTS=" +
                          std::to_string(experiment));
  EXPECT_EQ(lines[1], "#FORMAT: (PV ID Number),(PV Value)");
  for (size_t i = 2; i < lines.size(); ++i) {
    std::istringstream in(lines[i]);
    int index = -1;
    char comma = 0;
    double value = 0.0;
    if (!(in >> index >> comma >> value) || comma != ',' || index < 0 || index >= kNumPVs) {
      ADD_FAILURE() << "malformed observation line " << i + 1 << ": " << lines[i];
      continue;
    }
    values[index].push_back(value);
  }
  return values;
}

double Mean(const std::vector<double>& v) {
  double sum = 0.0;
  for (double x : v) sum += x;
  return v.empty() ? 0.0 : sum / static_cast<double>(v.size());
}

double Variance(const std::vector<double>& v) {
  if (v.size() < 2) return 0.0;
  double m = Mean(v), sum = 0.0;
  for (double x : v) sum += (x - m) * (x - m);
  return sum / static_cast<double>(v.size() - 1);
}

long FiredCount(const ProcessResult& r) {
  std::string line = LineStarting(r.out, "Actions fired: ");
  return line.empty() ? -1 : std::stol(line.substr(15));
}

// What a variable's mean must approach and the variance of one observation
// under the analysis: reliability is a 0/1 indicator, p(1 - p); sefi_events
// sums D independent Bernoulli(q), q = E/D, variance D q (1 - q); an
// seu_events count is almost always 0 or 1, so its variance is about its
// mean. The sample variance is used when larger, so a run whose rare
// events never happened still gets an honest interval.
struct Target {
  double mean;
  double variance;
};

Target TargetOf(const ExperimentExpectation& e, int index) {
  const double failure[] = {e.failureAt30, e.failureAt180, e.failureAt365};
  if (index < kSeu) return {failure[index], failure[index] * (1.0 - failure[index])};
  if (index == kSeu) return {e.seuEvents, e.seuEvents};
  const double q = e.sefiEvents / e.numDevices;
  return {e.sefiEvents, e.numDevices * q * (1.0 - q)};
}

// |mean - target| within four standard errors of a mean of n observations.
void ExpectNear(double mean, double target, double variance, size_t n, const std::string& what) {
  const double bound = kStandardErrors * std::sqrt(variance / static_cast<double>(n));
  EXPECT_LE(std::fabs(mean - target), bound)
      << what << ": mean " << mean << ", expected " << target << " +- " << bound;
}

class BuiltInModelStatistics : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Exists(BuiltInSim())) GTEST_SKIP() << "built-in simulator not built";
    dir = MakeTempDir("velmor_rcf_stats_");
    options.workDir = dir;
    options.unset.push_back("SIMTEST");
  }
  void TearDown() override {
    std::error_code ignored;
    if (!dir.empty()) std::filesystem::remove_all(dir, ignored);
  }
  ProcessResult Run(const std::vector<std::string>& args, const ProcessOptions& o) {
    ProcessResult r = RunProcess(BuiltInSim(), args, o);
    EXPECT_EQ(r.status, 0) << r.err;
    return r;
  }
  ProcessResult Run(const std::vector<std::string>& args) { return Run(args, options); }
  std::string File(const std::string& name) { return ReadFileBytes(dir + "/" + name); }

  // Checks the structure every run of experiment e has, then every mean
  // and the firings per replication against the analysis.
  void CheckAgainstAnalysis(const ExperimentExpectation& e, const std::string& file, long fired,
                            const std::string& label);

  std::string dir;
  ProcessOptions options;
};

void BuiltInModelStatistics::CheckAgainstAnalysis(const ExperimentExpectation& e,
                                                  const std::string& file, long fired,
                                                  const std::string& label) {
  std::vector<std::vector<double>> obs = ParseAscii(File(file), e.experimentIndex);
  const size_t n = obs[0].size();
  ASSERT_GT(n, 0u) << label;
  for (int i = 0; i < kNumPVs; ++i) ASSERT_EQ(obs[i].size(), n) << label << " variable " << i;
  // Every observation is a marking, so a whole number; system_failed never
  // resets, so a replication's failure indicator cannot fall from 30 to
  // 180 to 365; each replica has at most one sefi (no power cycle within
  // 365 days), so sefi_events is at most D.
  for (size_t k = 0; k < n; ++k) {
    for (int i = 0; i < kNumPVs; ++i) EXPECT_EQ(obs[i][k], std::floor(obs[i][k])) << label;
    EXPECT_TRUE(obs[0][k] == 0.0 || obs[0][k] == 1.0) << label << " replication " << k;
    EXPECT_LE(obs[0][k], obs[1][k]) << label << " replication " << k;
    EXPECT_LE(obs[1][k], obs[2][k]) << label << " replication " << k;
    EXPECT_LE(obs[2][k], 1.0) << label << " replication " << k;
    EXPECT_GE(obs[kSefi][k], 0.0) << label;
    EXPECT_LE(obs[kSefi][k], e.numDevices) << label << " replication " << k;
  }
  for (int i = 0; i < kNumPVs; ++i) {
    const Target t = TargetOf(e, i);
    ExpectNear(Mean(obs[i]), t.mean, std::max(t.variance, Variance(obs[i])), n,
               label + " variable " + std::to_string(i));
  }
  // The replicas empty independently, each with probability q = E/D, so
  // all D are hit by a sefi with probability q^D and none with (1 - q)^D;
  // each frequency is a binomial proportion.
  const double q = e.sefiEvents / e.numDevices;
  const double pAll = std::pow(q, e.numDevices), pNone = std::pow(1.0 - q, e.numDevices);
  const double fAll = static_cast<double>(std::count(obs[kSefi].begin(), obs[kSefi].end(),
                                                     static_cast<double>(e.numDevices))) /
                      n;
  const double fNone =
      static_cast<double>(std::count(obs[kSefi].begin(), obs[kSefi].end(), 0.0)) / n;
  ExpectNear(fAll, pAll, pAll * (1.0 - pAll), n, label + " all replicas hit by a sefi");
  ExpectNear(fNone, pNone, pNone * (1.0 - pNone), n, label + " no replica hit by a sefi");
  // Firings: the analysis gives the mean per replication.
  ExpectNear(static_cast<double>(fired) / n, e.firingsPerReplication,
             kFiringsStdDev * kFiringsStdDev, n, label + " firings per replication");
}

// Experiments 1, 5 and 9. 3500 replications keep each run under about
// 17 s in the sanitizer build; the bound on the failure probability at
// 365 is then about 4 * sqrt(0.23 / 3500) = 0.033, on firings 4.2.
// The parameter is the position in kExpectations.
class BuiltInModelStatisticsAnalysis : public BuiltInModelStatistics,
                                       public ::testing::WithParamInterface<int> {};

TEST_P(BuiltInModelStatisticsAnalysis, MeansMatchTheWorkedOutValues) {
  const ExperimentExpectation& e = kExpectations[GetParam()];
  ProcessResult r = Run(
      {"-e", std::to_string(e.experimentIndex), "-N", "3500", "-s", "271828", "-a", "results.txt"});
  ASSERT_EQ(r.status, 0);
  CheckAgainstAnalysis(e, "results.txt", FiredCount(r),
                       "experiment index " + std::to_string(e.experimentIndex));
}

INSTANTIATE_TEST_SUITE_P(BuiltInModelStatistics, BuiltInModelStatisticsAnalysis,
                         ::testing::Range(0, static_cast<int>(std::size(kExpectations))),
                         [](const ::testing::TestParamInfo<int>& p) {
                           return "Experiment" +
                                  std::to_string(kExpectations[p.param].experimentIndex + 1);
                         });

// Experiment 9 has num_devices 3: its sefi_events mean near 3 * 0.632 and
// the frequency of 3 sefis near 0.632^3 = 0.253 (checked above) need
// three independent replicas, each starting with replicas_available > 0
// (sefi is enabled only then). Here, the same in the unit the results
// file carries: a replication with three sefis exists, none with four.
TEST_F(BuiltInModelStatistics, ExperimentNineHasThreeReplicas) {
  ProcessResult r = Run({"-e", "8", "-N", "60", "-s", "4711", "-a", "e9.txt"});
  ASSERT_EQ(r.status, 0);
  std::vector<double> sefi = ParseAscii(File("e9.txt"), 8)[kSefi];
  ASSERT_EQ(sefi.size(), 60u);
  // P(no replication of 60 has all three hit) = (1 - 0.253)^60 < 3e-8.
  EXPECT_EQ(*std::max_element(sefi.begin(), sefi.end()), 3.0);
}

TEST_F(BuiltInModelStatistics, SameOptionsAndSeedReproduceTheRun) {
  const std::vector<std::string> args = {"-e", "4", "-N", "200", "-s", "4242"};
  std::vector<std::string> first = args, second = args, other = args;
  first.insert(first.end(), {"-a", "a.txt", "-b", "a.bin"});
  second.insert(second.end(), {"-a", "b.txt", "-b", "b.bin"});
  other[5] = "4243";
  other.insert(other.end(), {"-a", "c.txt", "-b", "c.bin"});
  ProcessResult a = Run(first), b = Run(second), c = Run(other);
  ASSERT_FALSE(File("a.txt").empty());
  EXPECT_EQ(File("a.txt"), File("b.txt"));
  EXPECT_EQ(File("a.bin"), File("b.bin"));
  EXPECT_EQ(FiredCount(a), FiredCount(b));
  EXPECT_GT(FiredCount(a), 0);
  // Another seed: 200 replications of about 2734 firings each cannot
  // plausibly repeat either the 1000 observations or the firing count.
  EXPECT_NE(File("a.txt"), File("c.txt"));
  EXPECT_NE(File("a.bin"), File("c.bin"));
  EXPECT_NE(FiredCount(a), FiredCount(c));
}

// -r 0, 1 and 2 (lagged Fibonacci, Tausworthe, Mersenne twister) each
// give a path of their own that repeats under the same seed.
TEST_F(BuiltInModelStatistics, EachGeneratorHasItsOwnReproduciblePath) {
  std::vector<std::string> files;
  std::vector<long> fired;
  for (const char* kind : {"0", "1", "2"}) {
    for (const char* copy : {"a", "b"}) {
      std::string name = std::string("r") + kind + copy + ".txt";
      ProcessResult r = Run({"-e", "0", "-N", "150", "-s", "9001", "-r", kind, "-a", name});
      EXPECT_EQ(LineStarting(r.out, "Random Number Generator: "),
                std::string("Random Number Generator: ") + kind);
      files.push_back(File(name));
      fired.push_back(FiredCount(r));
    }
  }
  for (size_t g = 0; g < 3; ++g) {
    EXPECT_FALSE(files[2 * g].empty()) << "generator " << g;
    EXPECT_EQ(files[2 * g], files[2 * g + 1]) << "generator " << g;
    EXPECT_EQ(fired[2 * g], fired[2 * g + 1]) << "generator " << g;
    for (size_t h = g + 1; h < 3; ++h) {
      EXPECT_NE(files[2 * g], files[2 * h]) << "generators " << g << " and " << h;
      EXPECT_NE(fired[2 * g], fired[2 * h]) << "generators " << g << " and " << h;
    }
  }
}

// The other two generators must give the same statistics as the default
// one: experiment 1 with 1600 replications each (bound on the failure
// probability at 365: 4 * sqrt(0.233 / 1600) = 0.048; on firings 6.2).
TEST_F(BuiltInModelStatistics, TauswortheAndMersenneTwisterMatchTheWorkedOutValues) {
  for (const char* kind : {"1", "2"}) {
    std::string name = std::string("r") + kind + ".txt";
    ProcessResult r = Run({"-e", "0", "-N", "1600", "-s", "161803", "-r", kind, "-a", name});
    ASSERT_EQ(r.status, 0);
    CheckAgainstAnalysis(kExpectations[0], name, FiredCount(r), std::string("-r ") + kind);
  }
}

// SIMTEST=1 builds the affects lists in another order: the draws come in
// another order, so the path differs, but both are samples of one model.
// Each mean difference must lie within four standard errors of a
// difference of two independent means, sqrt(v1/n + v2/n).
TEST_F(BuiltInModelStatistics, SimTestOneChangesThePathButNotTheStatistics) {
  const std::vector<std::string> common = {"-e", "0", "-N", "1800", "-s", "314159"};
  std::vector<std::string> plainArgs = common, oldArgs = common;
  plainArgs.insert(plainArgs.end(), {"-a", "plain.txt"});
  oldArgs.insert(oldArgs.end(), {"-a", "old.txt"});
  ProcessResult plain = Run(plainArgs);
  ProcessOptions o = options;
  o.unset.clear();
  o.set.push_back({"SIMTEST", "1"});
  ProcessResult old = Run(oldArgs, o);
  ASSERT_EQ(plain.status, 0);
  ASSERT_EQ(old.status, 0);
  EXPECT_NE(plain.out.find("GenerateConnectivityList()\n"), std::string::npos);
  EXPECT_NE(old.out.find("GenerateConnectivityListOld()\n"), std::string::npos);
  EXPECT_NE(File("plain.txt"), File("old.txt"));
  std::vector<std::vector<double>> a = ParseAscii(File("plain.txt"), 0);
  std::vector<std::vector<double>> b = ParseAscii(File("old.txt"), 0);
  for (int i = 0; i < kNumPVs; ++i) {
    ASSERT_EQ(a[i].size(), 1800u);
    ASSERT_EQ(b[i].size(), 1800u);
    const double v =
        std::max(TargetOf(kExpectations[0], i).variance, std::max(Variance(a[i]), Variance(b[i])));
    // Difference of two means: variance 2v/n, so the mean of a[i] is
    // tested against that of b[i] with twice the one-run variance.
    ExpectNear(Mean(a[i]), Mean(b[i]), 2.0 * v, 1800, "variable " + std::to_string(i));
  }
  ExpectNear(FiredCount(plain) / 1800.0, FiredCount(old) / 1800.0,
             2.0 * kFiringsStdDev * kFiringsStdDev, 1800, "firings per replication");
}

}  // namespace

// The model that uses every construct of the language (tests/lang/models/
// features.vm), run end to end: its tick rewards have exact values in every
// replication, so instant, interval and average variables, reps and the set
// study are checked against them.
#include <gtest/gtest.h>

#include <string>

#include "SimE2EHelpers.h"

namespace {

std::string FeaturesSim() { return std::string(VELMOR_BIN_DIR) + "/features_sim"; }

// The observations of reward variable id in an ASCII results file.
std::vector<std::string> Values(const std::string& ascii, int id) {
  std::vector<std::string> out;
  std::vector<std::string> lines = Lines(ascii);
  for (size_t i = 2; i < lines.size(); ++i) {
    if (StartsWith(lines[i], std::to_string(id) + ",")) out.push_back(lines[i].substr(2));
  }
  return out;
}

TEST(FeaturesModelE2E, TickRewardsAreExactInBothExperiments) {
  // Experiment 1 has 2 copies of unit, experiment 2 has 3. Per copy: ticks
  // at 10.5 is 10, at 2.5 is 2, its integral over [0, 3] is 3 and its
  // average over [0, 4] is 1.5.
  struct Case {
    std::string exp, at10, at2, integral, average;
  };
  const Case cases[] = {{"0", "20.0", "4.0", "6.0", "3.0"}, {"1", "30.0", "6.0", "9.0", "4.5"}};
  for (const Case& c : cases) {
    ProcessOptions options;
    options.workDir = MakeTempDir("velmor_features_");
    ProcessResult r = RunProcess(FeaturesSim(), {"-e", c.exp, "-N", "5", "-a", "r.ascii"}, options);
    ASSERT_EQ(r.status, 0) << r.err;
    std::string ascii = ReadFileBytes(options.workDir + "/r.ascii");
    EXPECT_EQ(Values(ascii, 0), std::vector<std::string>(5, c.at10)) << ascii;
    EXPECT_EQ(Values(ascii, 1), std::vector<std::string>(5, c.at2));
    EXPECT_EQ(Values(ascii, 2), std::vector<std::string>(5, c.integral));
    EXPECT_EQ(Values(ascii, 3), std::vector<std::string>(5, c.average));
  }
}

TEST(FeaturesModelE2E, SteadyStateRunReportsItsBatches) {
  ProcessOptions options;
  options.workDir = MakeTempDir("velmor_features_");
  ProcessResult r =
      RunProcess(FeaturesSim(), {"-e", "0", "-t", "0", "-N", "3", "-a", "s.ascii"}, options);
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> batches = Values(ReadFileBytes(options.workDir + "/s.ascii"), 5);
  ASSERT_EQ(batches.size(), 3u);
  for (const std::string& b : batches) {
    double v = std::stod(b);  // time integral of up over a batch of 10, two copies
    EXPECT_GE(v, 0.0);
    EXPECT_LE(v, 20.0);
  }
}

}  // namespace

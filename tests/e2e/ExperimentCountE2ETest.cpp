// End-to-end: the number of experiments a model's pvtypes tool reports is
// the number its simulator accepts (the study runner relies on it).
#include <gtest/gtest.h>

#include <string>

#include "SimE2EHelpers.h"

namespace {

// Runs <model>_pvtypes --experiments and checks the count against the
// simulator's own range: experiment count - 1 runs, experiment count is
// rejected naming the same range.
void ExpectCountMatchesSimulator(const std::string& model) {
  const std::string bin = std::string(VELMOR_BIN_DIR) + "/" + model;
  if (!Exists(bin + "_pvtypes") || !Exists(bin + "_sim")) GTEST_SKIP() << model << " not built";
  ProcessResult count = RunProcess(bin + "_pvtypes", {"--experiments"});
  ASSERT_EQ(count.status, 0) << count.err;
  ASSERT_FALSE(count.out.empty());
  ASSERT_EQ(count.out.back(), '\n');
  const int n = std::stoi(count.out);
  ASSERT_GE(n, 1);
  EXPECT_EQ(count.out, std::to_string(n) + "\n");

  ProcessOptions options;
  options.workDir = MakeTempDir("velmor_exps_");
  ProcessResult last = RunProcess(bin + "_sim", {"-e", std::to_string(n - 1), "-N", "1"}, options);
  EXPECT_EQ(last.status, 0) << last.err;
  ProcessResult beyond = RunProcess(bin + "_sim", {"-e", std::to_string(n), "-N", "1"}, options);
  EXPECT_EQ(beyond.status, 1);
  EXPECT_NE(beyond.err.find("ERROR: Experiment " + std::to_string(n) +
                            " does not exist; valid experiments are 0 to " + std::to_string(n - 1) +
                            "\n"),
            std::string::npos)
      << beyond.err;
}

TEST(ExperimentCountE2E, PvtypesCountIsTheSimulatorsRange) {
  ExpectCountMatchesSimulator("redundant_controller_flash");
  ExpectCountMatchesSimulator("velmor_test_model");
}

}  // namespace

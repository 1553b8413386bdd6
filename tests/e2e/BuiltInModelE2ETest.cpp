// End-to-end runs of the built-in model's simulator: the independently
// worked-out acceptance run (both results files byte for byte and the count
// of firings) and the run lines of the built-in executable.
#include <gtest/gtest.h>

#include <string>

#include "SimE2EHelpers.h"

namespace {

class BuiltInModelE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Exists(BuiltInSim())) GTEST_SKIP() << "built-in simulator not built";
    dir = MakeTempDir("velmor_rcf_");
    options.workDir = dir;
    options.unset.push_back("SIMTEST");
  }
  std::string dir;
  ProcessOptions options;
};

// The acceptance run: the files derived from its independently worked-out
// observations (tests/e2e/golden/acceptance/e0_N3) and its count of firings.
TEST_F(BuiltInModelE2E, AcceptanceRunOfExperimentOneWithThreeReplications) {
  ProcessResult r = RunProcess(
      BuiltInSim(), {"-e", "0", "-N", "3", "-a", "results.ascii", "-b", "results.bin"}, options);
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string golden = std::string(VELMOR_SOURCE_DIR) + "/tests/e2e/golden/acceptance/e0_N3/";
  ASSERT_TRUE(Readable(golden + "results.ascii")) << golden;
  EXPECT_EQ(ReadFileBytes(dir + "/results.ascii"), ReadFileBytes(golden + "results.ascii"));
  EXPECT_EQ(ReadFileBytes(dir + "/results.bin"), ReadFileBytes(golden + "results.bin"));
  EXPECT_EQ(LineStarting(r.out, "Actions fired: "), "Actions fired: 8214");
}

// The same run against the shared acceptance folder beside the repository,
// when there is one.
TEST_F(BuiltInModelE2E, AcceptanceRunMatchesTheSharedFolderWhenPresent) {
  const std::string shared = std::string(VELMOR_SHARED_DIR) + "/acceptance/e0_N3/";
  if (!Readable(shared + "results.ascii") || !Readable(shared + "results.bin")) {
    GTEST_SKIP() << "no shared acceptance folder at " << shared << "; compared with the golden "
                 << "files in the repository only";
  }
  ProcessResult r = RunProcess(
      BuiltInSim(), {"-e", "0", "-N", "3", "-a", "results.ascii", "-b", "results.bin"}, options);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadFileBytes(dir + "/results.ascii"), ReadFileBytes(shared + "results.ascii"));
  EXPECT_EQ(ReadFileBytes(dir + "/results.bin"), ReadFileBytes(shared + "results.bin"));
}

TEST_F(BuiltInModelE2E, RunLinesAndEchoes) {
  ProcessResult r = RunProcess(BuiltInSim(), {"-e", "4", "-N", "2"}, options);
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 8u) << r.out;
  EXPECT_EQ(lines[0], "Experiment: 4");
  EXPECT_EQ(lines[1], "Max Number of Batches: 2");
  EXPECT_EQ(lines[2], "GenerateConnectivityList()");
  EXPECT_TRUE(StartsWith(lines[3], "GenerateConnectivityList() Time="));
  EXPECT_EQ(lines[4], "SIMULATOR::Preparing to run()");
  EXPECT_TRUE(StartsWith(lines[5], "Actions fired: "));
  EXPECT_TRUE(StartsWith(lines[6], "CPU time (s): "));
  EXPECT_EQ(lines[7], "SIMULATOR::MAIN()-GOOD EXIT");
  EXPECT_EQ(r.err, "SIMULATOR::MAIN()-GOOD EXIT\n");
}

// The study has nine experiments, 0 to 8.
TEST_F(BuiltInModelE2E, ExperimentNineDoesNotExist) {
  ProcessResult r = RunProcess(BuiltInSim(), {"-e", "9", "-N", "1"}, options);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("valid experiments are 0 to 8"), std::string::npos) << r.err;
}

// ram_size 1024 makes the first bit_error case weigh 1 - 1024/512 = -1; a
// weighted draw with a negative weight has no meaning, so the run stops at the
// first bit error, naming the group and the case, before any report.
TEST_F(BuiltInModelE2E, NegativeCaseWeightStopsTheRun) {
  ProcessResult r =
      RunProcess(BuiltInSim(), {"-N", "3", "-a", "r.ascii", "-O", "f:ram_size:1024"}, options);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("ERROR: Activity bit_errorGroup case bit_error_case1 has the weight -1; a "
                       "case weight must be a number of at least 0\n"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(r.out.find("SIMULATOR::MAIN()-GOOD EXIT"), std::string::npos);
}

// An address-space limit too small for the model (a large replicate) ends
// with the memory report and status 1, never an abort; a limit large
// enough gives the normal run. The sanitizers reserve more address space
// than any such limit, so this runs in the plain build only.
TEST_F(BuiltInModelE2E, AnAddressSpaceLimitEndsWithTheMemoryReport) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "address-space limits do not apply under the address sanitizer";
#endif
  for (int limitKb : {8000, 30000, 60000, 200000}) {
    const std::string command = "ulimit -v " + std::to_string(limitKb) + " && exec '" +
                                BuiltInSim() + "' -N 2 -O s:num_devices:20000";
    ProcessResult r = RunProcess("/bin/sh", {"-c", command}, options);
    EXPECT_EQ(r.status, 1) << limitKb << ": " << r.err;
    const bool reported =
        r.err.find(
            "Insufficient Memory to allocate dynamic data structures from heap memory\n"
            "Exiting program...\n") != std::string::npos ||
        r.err.find("Error Generating Connectivity List\n") != std::string::npos;
    EXPECT_TRUE(reported) << limitKb << ": " << r.err;
  }
  ProcessResult r = RunProcess(
      "/bin/sh",
      {"-c", "ulimit -v 60000 && exec '" + BuiltInSim() + "' -N 2 -O s:num_devices:2000"}, options);
  EXPECT_EQ(r.status, 0) << r.err;
}

// An override the study cannot apply as meant ends the run before anything
// is written, naming the variable, its type and its valid values; a short of
// 70000 used to wrap to 4464 and run that many replicas, and a float of nan
// or inf ran a model whose delays and weights had no meaning.
TEST_F(BuiltInModelE2E, OverridesThatCannotApplyAsMeantAreRefused) {
  const std::string shortRule =
      "num_devices is a short, given as s:num_devices:<value> with a whole number from -32768 "
      "to 32767\n";
  const std::string floatRule =
      "ram_size is a float, given as f:ram_size:<value> with a finite number of magnitude at "
      "most 3.40282e+38\n";
  struct Case {
    const char* text;
    std::string err;
  };
  for (const Case& c :
       {Case{"s:num_devices:70000", "ERROR: Override s:num_devices:70000 refused: " + shortRule},
        Case{"f:num_devices:3", "ERROR: Override f:num_devices:3 refused: " + shortRule},
        Case{"s:num_devices:3x", "ERROR: Override s:num_devices:3x refused: " + shortRule},
        Case{"f:ram_size:1e39", "ERROR: Override f:ram_size:1e39 refused: " + floatRule},
        Case{"f:ram_size:nan", "ERROR: Override f:ram_size:nan refused: " + floatRule},
        Case{"f:ram_size:-INF", "ERROR: Override f:ram_size:-INF refused: " + floatRule},
        Case{"f:ram_size:Infinity", "ERROR: Override f:ram_size:Infinity refused: " + floatRule},
        Case{"s:num_replicas:2:f:ram_size",
             "ERROR: Override text 's:num_replicas:2:f:ram_size' ends in an incomplete override; "
             "each is letter:name:value\n"},
        Case{"s:nosuch:1",
             "!! redundant_controller_flash_studyRangeStudy::OverrideGVValue: Global Variable "
             "nosuch does not exist.\nERROR: Override s:nosuch:1 refused: the study has no global "
             "variable nosuch; it has flash_size (float), num_devices (short), num_replicas "
             "(short), power_cycle_rate (float), ram_size (float), random_failure_rate "
             "(float)\n"}}) {
    ProcessResult r = RunProcess(BuiltInSim(), {"-N", "1", "-a", "r.ascii", "-O", c.text}, options);
    EXPECT_EQ(r.status, 1) << c.text;
    EXPECT_EQ(r.err, c.err) << c.text;
    EXPECT_FALSE(Readable(dir + "/r.ascii")) << c.text;
  }
  // Valid overrides keep their meaning (0x10 reads as 16, as "%hi" reads it).
  ProcessResult r =
      RunProcess(BuiltInSim(), {"-N", "1", "-O", "s:num_devices:0x10:f:ram_size:256"}, options);
  EXPECT_EQ(r.status, 0) << r.err;
}

}  // namespace

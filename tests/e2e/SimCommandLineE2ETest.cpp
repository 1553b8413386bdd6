// End-to-end command-line tests of the test model's simulator: rejected
// command lines (errors on standard error, usage, status 1, nothing run) and
// accepted ones (echo lines on standard output, in order).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SimE2EHelpers.h"

namespace {

class SimCommandLineE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Exists(TestModelSim())) GTEST_SKIP() << "test model simulator not built";
    dir = MakeTempDir("velmor_cli_");
    options.workDir = dir;
    options.unset.push_back("SIMTEST");
  }
  ProcessResult Run(const std::vector<std::string>& args) {
    return RunProcess(TestModelSim(), args, options);
  }
  // A rejected command line prints `message`, the usage and the final line
  // on standard error, nothing on standard output but the echoes before the
  // error, and ends with status 1.
  void ExpectRejected(const std::vector<std::string>& args, const std::string& message,
                      const std::string& echoes = "") {
    ProcessResult r = Run(args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, message + UsageText() + "ERROR: Parsing command line options\n");
    EXPECT_EQ(r.out, echoes);
  }

  std::string dir;
  ProcessOptions options;
};

TEST_F(SimCommandLineE2E, ProgramNameAloneIsRejected) {
  ExpectRejected({}, "ERROR: No command line options specified\n");
}

TEST_F(SimCommandLineE2E, MissingParametersAreRejected) {
  for (const char* option :
       {"-a", "-b", "-c", "-e", "-f", "-l", "-n", "-N", "-p", "-r", "-s", "-t"}) {
    ExpectRejected({option}, std::string("Expect a parameter after '") + option + "'\n");
  }
  ExpectRejected({"-a", "-b", "x"}, "Expect a parameter after '-a'\n");
}

TEST_F(SimCommandLineE2E, UnexpectedParametersAndUnknownOptionsAreRejected) {
  ExpectRejected({"-mx"}, "Did not expect a parameter after '-m'\n");
  ExpectRejected({"-x", "yes"}, "Did not expect a parameter after '-x'\n");
  ExpectRejected({"-w", "1"}, "Did not expect a parameter after '-w'\n");
  ExpectRejected({"-q"}, "ERROR: Unrecognized Command Line option: -q\n");
  ExpectRejected({"-c", "1", "--long"}, "ERROR: Unrecognized Command Line option: --long\n",
                 "ClientID: 1\n");
}

TEST_F(SimCommandLineE2E, OverlongWordIsRejected) {
  ExpectRejected({std::string(129, 'w')},
                 "ERROR: Command Line Argument Too Long, Limited to 128 Characters\n");
}

TEST_F(SimCommandLineE2E, BadNumbersAreRejected) {
  for (const char* bad : {"0", "-3", "many"}) {
    ProcessResult r = Run({std::string("-n") + bad});
    EXPECT_EQ(r.status, 1) << bad;
    EXPECT_NE(r.err.find("after '-n'"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("ERROR: Parsing command line options\n"), std::string::npos);
    EXPECT_EQ(r.out.find("SIMULATOR::Preparing to run()"), std::string::npos);
  }
  ExpectRejected({"-N", "4294967296"}, "ERROR: Number out of range after '-N': 4294967296\n");
  // Not whole numbers: read as their leading digits or as 0, -N abc ran for
  // ever, -e abc ran experiment 0 and -N 1e3 one replication.
  for (const char* option : {"-c", "-e", "-l", "-N", "-p", "-r", "-s", "-t"}) {
    for (const char* bad : {"abc", "1e3", "2.5", "7x", ""}) {
      ExpectRejected({option, bad}, std::string("ERROR: Expect a number after '") + option +
                                        "', got '" + bad + "'\n");
    }
  }
  ExpectRejected({"-n", "5x"}, "ERROR: Expect a number of at least 1 after '-n', got '5x'\n");
  // Whole numbers keep their meaning, with a sign or leading blanks.
  ProcessResult r = Run({"-N", "+2", "-e", " 0", "-c-1"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Max Number of Batches: 2\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("ClientID: -1\n"), std::string::npos) << r.out;
}

// Five nodes of 2000000000 values each cannot be indexed by an int.
TEST_F(SimCommandLineE2E, OversizedReportsAreRefused) {
  ProcessResult r = Run({"-n", "2000000000", "-N", "1"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "ERROR: Report size 2000000000 is too large for 5 performance variables\n");
  EXPECT_EQ(r.out.find("SIMULATOR::Preparing to run()"), std::string::npos);
}

TEST_F(SimCommandLineE2E, LaggedFibonacciSeedMustLieInItsRange) {
  ProcessResult r = Run({"-s", "2147483646", "-N", "1"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("0 to 2147483645"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("ERROR: Parsing command line options\n"), std::string::npos);
  ProcessResult tausworthe = Run({"-s", "2147483646", "-r", "1", "-N", "1"});
  EXPECT_EQ(tausworthe.status, 0) << tausworthe.err;
}

// The test model's study has two experiments, 0 and 1.
TEST_F(SimCommandLineE2E, UnknownExperimentIsRejectedBeforeAnythingRuns) {
  for (const char* e : {"-e2", "-e-1"}) {
    ProcessResult r = Run({e, "-N", "1", "-a", "out.txt"});
    EXPECT_EQ(r.status, 1) << e;
    EXPECT_NE(r.err.find("valid experiments are 0 to 1"), std::string::npos) << r.err;
    EXPECT_EQ(r.out.find("GenerateConnectivityList"), std::string::npos);
    EXPECT_TRUE(ReadFileBytes(dir + "/out.txt").empty());
  }
}

TEST_F(SimCommandLineE2E, EchoLinesComeInCommandLineOrderBeforeTheRun) {
  ProcessResult r = Run(
      {"-c", "3",  "-e1", "-n", "4",     "-N", "2",     "-p", "70000",           "-r",   "7", "-s",
       "0",  "-t", "1",   "-a", "r.txt", "-b", "r.bin", "-O", "f:fail_rate:1.5", "stray"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> lines = Lines(r.out);
  std::vector<std::string> expected = {"ClientID: 3",
                                       "Experiment: 1",
                                       "ReportSize: 4",
                                       "Max Number of Batches: 2",
                                       "Port: 4464",
                                       "Random Number Generator: 7",
                                       "Random Number Seed: 0",
                                       "Is Terminating Simulation: 1",
                                       "ASCIIFilename: r.txt",
                                       "BinFilename: r.bin",
                                       "OverrideString is f:fail_rate:1.5",
                                       "Overriding global variables in simulator",
                                       "GenerateConnectivityList()"};
  ASSERT_GE(lines.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(lines[i], expected[i]);
}

TEST_F(SimCommandLineE2E, OverrideWithoutTextRunsWithoutOverride) {
  ProcessResult r = Run({"-N", "1", "-O"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.find("OverrideString"), std::string::npos);
  EXPECT_EQ(r.out.find("Overriding global variables"), std::string::npos);
}

}  // namespace

// End-to-end runs of the test model's simulator: the order of the run lines,
// SIMTEST, report boundaries in the results files, reproducibility, the
// generator and seed rules, traces, and the steady-state loop.
//
// The test model has five reward nodes: 0 down@10, 1 failures@5,
// 2 failures@20 (terminating), 3 ss_up (steady state, batches of 5 from 0)
// and 4 ss_ticks (steady state, transient to 5, then batches of 10).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "SimE2EHelpers.h"

namespace {

// P(Poisson(mean) >= k).
double PoissonAtLeast(double mean, int k) {
  double term = std::exp(-mean);
  double below = 0.0;
  for (int i = 0; i < k; ++i) {
    below += term;
    term *= mean / (i + 1);
  }
  return below < 1.0 ? 1.0 - below : 0.0;
}

// Expected number of failures of the test machine by time t: up times are
// Exp(1) (fail_rate 1), each failure is followed by 0.5 down (repair_time),
// so failure k happens at S_k = Gamma(k, 1) + (k - 1) / 2 and
// E[F(t)] = sum over k of P(Gamma(k, 1) <= t - (k - 1) / 2)
//         = sum over k of P(Poisson(t - (k - 1) / 2) >= k).
double ExpectedFailures(double t) {
  double sum = 0.0;
  for (int k = 1; t - (k - 1) * 0.5 > 0.0; ++k) sum += PoissonAtLeast(t - (k - 1) * 0.5, k);
  return sum;
}

class SimRunE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Exists(TestModelSim())) GTEST_SKIP() << "test model simulator not built";
    dir = MakeTempDir("velmor_run_");
    options.workDir = dir;
    options.unset.push_back("SIMTEST");
  }
  ProcessResult Run(const std::vector<std::string>& args) {
    return RunProcess(TestModelSim(), args, options);
  }
  std::string File(const std::string& name) { return ReadFileBytes(dir + "/" + name); }
  // The observation lines (without the two header lines) of an ASCII file.
  std::string Observations(const std::string& name) {
    std::string content = File(name);
    size_t second = content.find('\n', content.find('\n') + 1);
    return second == std::string::npos ? "" : content.substr(second + 1);
  }

  std::string dir;
  ProcessOptions options;
};

// The run lines, in order, each exactly once.
TEST_F(SimRunE2E, RunLinesComeInOrder) {
  ProcessResult r = Run({"-N", "3"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> prefixes = {"Max Number of Batches: 3",
                                       "GenerateConnectivityList()",
                                       "GenerateConnectivityList() Time=",
                                       "SIMULATOR::Preparing to run()",
                                       "Actions fired: ",
                                       "CPU time (s): ",
                                       "SIMULATOR::MAIN()-GOOD EXIT"};
  std::vector<std::string> lines = Lines(r.out);
  ASSERT_EQ(lines.size(), prefixes.size()) << r.out;
  for (size_t i = 0; i < lines.size(); ++i)
    EXPECT_TRUE(StartsWith(lines[i], prefixes[i])) << lines[i];
  EXPECT_EQ(lines[1], "GenerateConnectivityList()");
  EXPECT_EQ(r.err, "SIMULATOR::MAIN()-GOOD EXIT\n");
  // Every replication fires at least the twenty ticks at 1, 2, ..., 20
  // (the one at the run end included), so three fire at least 60.
  EXPECT_GE(std::stoi(lines[4].substr(15)), 60);
}

TEST_F(SimRunE2E, SimTestChoosesTheConnectivityAlgorithm) {
  struct Case {
    const char* value;
    const char* line;  // the line before the timing line, or "" for none
  };
  for (Case c :
       {Case{"0", "GenerateConnectivityListOld()"}, Case{"1", "GenerateConnectivityListOld()"},
        Case{"2", "GenerateConnectivityList()"}, Case{"abc", "GenerateConnectivityListOld()"},
        Case{"5", ""}}) {
    ProcessOptions o = options;
    o.unset.clear();
    o.set.push_back({"SIMTEST", c.value});
    ProcessResult r = RunProcess(TestModelSim(), {"-N", "2"}, o);
    ASSERT_EQ(r.status, 0) << c.value << r.err;
    std::vector<std::string> lines = Lines(r.out);
    ASSERT_GE(lines.size(), 3u);
    if (std::string(c.line).empty()) {
      EXPECT_TRUE(StartsWith(lines[1], "GenerateConnectivityList() Time=")) << c.value;
    } else {
      EXPECT_EQ(lines[1], c.line) << c.value;
      EXPECT_TRUE(StartsWith(lines[2], "GenerateConnectivityList() Time=")) << c.value;
    }
  }
}

// With no connectivity list nothing is rescheduled after a firing, so each
// replication fires only events of the initial list: fail, tick, wear (the
// three groups enabled at time 0) at most, i.e. at most 3 per replication.
TEST_F(SimRunE2E, WithoutAConnectivityListOnlyInitialEventsFire) {
  ProcessOptions o = options;
  o.unset.clear();
  o.set.push_back({"SIMTEST", "5"});
  ProcessResult r = RunProcess(TestModelSim(), {"-N", "4"}, o);
  ASSERT_EQ(r.status, 0) << r.err;
  int fired = std::stoi(LineStarting(r.out, "Actions fired: ").substr(15));
  EXPECT_LE(fired, 12);
  EXPECT_GE(fired, 4);  // the tick at 1.0 always fires
}

// -N 3 with the default report size: one report holding three
// replications; each of the five nodes has three lines, nodes in order.
TEST_F(SimRunE2E, ThreeReplicationsMakeOneReport) {
  ProcessResult r = Run({"-N", "3", "-a", "out.txt", "-b", "out.bin"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(AsciiIndices(File("out.txt")),
            (std::vector<int>{0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4}));
  // Binary: 256-byte header, then one message of 9 + 7 * 5 + 8 * 15 = 164
  // bytes (five records of three values each).
  std::string bin = File("out.bin");
  ASSERT_EQ(bin.size(), 256u + 164u);
  EXPECT_EQ(bin.compare(0, 24, "VELMOR_SIM_BIN_FILE,256,"), 0);
  EXPECT_EQ(static_cast<unsigned char>(bin[256 + 3]), 164);
}

// -n 2 -N 5: reports after replications 2, 4 and 5, the last with count 1.
TEST_F(SimRunE2E, ReportBoundariesFollowReportSizeAndTheLimit) {
  ProcessResult r = Run({"-n", "2", "-N", "5", "-a", "out.txt", "-b", "out.bin"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<int> expected;
  for (int report = 0; report < 2; ++report) {
    for (int pv = 0; pv < 5; ++pv) expected.insert(expected.end(), {pv, pv});
  }
  for (int pv = 0; pv < 5; ++pv) expected.push_back(pv);
  EXPECT_EQ(AsciiIndices(File("out.txt")), expected);
  // Two messages of 9 + 35 + 80 = 124 bytes and one of 9 + 35 + 40 = 84.
  EXPECT_EQ(File("out.bin").size(), 256u + 124u + 124u + 84u);
}

// Node 2 counts failures by time 20; each replication's count is a whole
// number, and the failures at 5 never exceed those at 20.
TEST_F(SimRunE2E, ObservationsAreConsistentWithTheModel) {
  ProcessResult r = Run({"-N", "20", "-a", "out.txt"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> lines = Lines(File("out.txt"));
  ASSERT_EQ(lines.size(), 2u + 5u * 20u);
  for (int k = 0; k < 20; ++k) {
    double at5 = std::stod(lines[2 + 20 + k].substr(2));
    double at20 = std::stod(lines[2 + 40 + k].substr(2));
    EXPECT_LE(at5, at20);
    EXPECT_EQ(at20, static_cast<int>(at20));
    double down = std::stod(lines[2 + k].substr(2));
    EXPECT_TRUE(down == 0.0 || down == 1.0);
  }
}

// The seed reaches whichever generator -r installs: the generator is
// replaced first and seeded after.
TEST_F(SimRunE2E, ASeedReproducesItsRunAndAnotherSeedDoesNot) {
  for (const char* kind : {"0", "1", "2"}) {
    ASSERT_EQ(Run({"-N", "10", "-r", kind, "-s", "4711", "-a", "a.txt"}).status, 0);
    ASSERT_EQ(Run({"-N", "10", "-r", kind, "-s", "4711", "-a", "b.txt"}).status, 0);
    ASSERT_EQ(Run({"-N", "10", "-r", kind, "-s", "4712", "-a", "c.txt"}).status, 0);
    EXPECT_EQ(File("a.txt"), File("b.txt")) << "-r " << kind;
    EXPECT_NE(File("a.txt"), File("c.txt")) << "-r " << kind;
  }
}

TEST_F(SimRunE2E, SeedZeroMeansTheDefaultSeedAndUnknownGeneratorsTheDefault) {
  ProcessResult base = Run({"-N", "5", "-a", "base.txt"});
  ASSERT_EQ(base.status, 0);
  ASSERT_EQ(Run({"-N", "5", "-s", "0", "-a", "zero.txt"}).status, 0);
  ASSERT_EQ(Run({"-N", "5", "-r", "7", "-a", "r7.txt"}).status, 0);
  ASSERT_EQ(Run({"-N", "5", "-r", "2", "-a", "mt.txt"}).status, 0);
  EXPECT_EQ(File("base.txt"), File("zero.txt"));
  EXPECT_EQ(File("base.txt"), File("r7.txt"));
  EXPECT_NE(File("base.txt"), File("mt.txt"));
}

// SIMTEST 0 and 1 build the same affects lists in different orders; the
// runs are complete either way (the sample paths may differ).
TEST_F(SimRunE2E, BothOldConnectivityModesRunToTheLimit) {
  for (const char* mode : {"0", "1"}) {
    ProcessOptions o = options;
    o.unset.clear();
    o.set.push_back({"SIMTEST", mode});
    ProcessResult r = RunProcess(TestModelSim(), {"-N", "4", "-a", "m.txt"}, o);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(AsciiIndices(File("m.txt")).size(), 20u);
  }
}

// Experiment 1 is fail_rate 2, repair_time 0.25; overriding repair_time to
// 0.5 gives the same model as experiment 0 with fail_rate overridden to 2.
TEST_F(SimRunE2E, OverridesApplyBeforeTheModelIsBuilt) {
  ProcessResult a = Run({"-N", "6", "-e", "0", "-O", "f:fail_rate:2", "-a", "a.txt"});
  ProcessResult b = Run({"-N", "6", "-e", "1", "-O", "f:repair_time:0.5", "-a", "b.txt"});
  ASSERT_EQ(a.status, 0);
  ASSERT_EQ(b.status, 0);
  EXPECT_NE(a.out.find("Overriding global variables in simulator\n"), std::string::npos);
  EXPECT_EQ(Observations("a.txt"), Observations("b.txt"));
  EXPECT_NE(File("a.txt"), File("b.txt"));  // the headers name the experiment
  ASSERT_EQ(Run({"-N", "6", "-e", "0", "-a", "c.txt"}).status, 0);
  EXPECT_NE(Observations("a.txt"), Observations("c.txt"));
}

// A negative rate gives negative exponential delays: simulated time would
// run backwards and a replication would never reach its end, so the run
// stops with an error. (A rate that is not a number is refused as an
// override before the run starts.)
TEST_F(SimRunE2E, NegativeDelaysStopTheRun) {
  options.timeoutSeconds = 30;
  for (const char* text : {"f:fail_rate:-1", "f:repair_time:-0.5"}) {
    ProcessResult r = Run({"-N", "3", "-O", text});
    EXPECT_EQ(r.status, 1) << text;
    EXPECT_NE(r.err.find("a delay must be a number of at least 0\n"), std::string::npos)
        << text << ": " << r.err;
    EXPECT_EQ(r.out.find("SIMULATOR::MAIN()-GOOD EXIT"), std::string::npos) << text;
  }
}

// The mean number of firings per replication depends on wear being
// re-sampled every time the failure count changes (wear is watched for
// reactivation): its rate is 0.1 (1 + failures), so wear is a Poisson process
// of intensity 0.1 (1 + F(t)) only while each change reaches it. Per
// replication of length 20:
//   ticks 20 (at 1, ..., 20), failures E[F(20)] = 13.389, as many alarms
//   (each failure raises one at once), repairs E[F(19.5)] = 13.056, wears
//   0.1 (20 + integral of E[F] over [0, 20]) = 15.444 (Simpson's rule),
// 75.277 in all. A wear that stops being watched after its first
// re-sampling lags behind the failures and gives about 73.3. The standard
// deviation per replication is about 9 (three renewal counts of variance
// 20 / 1.5^3 each plus the wears), so 10000 replications put the mean
// within 0.09 of the expectation; the tolerance is 5 of those.
TEST_F(SimRunE2E, MeanFiringsMatchTheWorkedOutValueWithReactivation) {
  const int replications = 10000;
  ProcessResult r = Run({"-N", std::to_string(replications)});
  ASSERT_EQ(r.status, 0) << r.err;
  double simpson = ExpectedFailures(0.0) + ExpectedFailures(20.0);
  const int steps = 2000;
  for (int i = 1; i < steps; ++i)
    simpson += (i % 2 == 1 ? 4 : 2) * ExpectedFailures(20.0 * i / steps);
  const double integral = simpson * (20.0 / steps) / 3.0;
  const double expected =
      20.0 + 2 * ExpectedFailures(20.0) + ExpectedFailures(19.5) + 0.1 * (20.0 + integral);
  ASSERT_NEAR(expected, 75.277, 0.001);
  const double fired = std::stod(LineStarting(r.out, "Actions fired: ").substr(15));
  EXPECT_NEAR(fired / replications, expected, 0.45);
}

// A results file that cannot be written is reported once, naming it, and
// the run stops with status 1: at the header (a full device) before
// simulating, or mid-run (a file-size limit reached; the signal it raises is
// ignored so that the write fails instead).
TEST_F(SimRunE2E, ResultsFilesThatCannotBeWrittenStopTheRun) {
  for (const char* option : {"-a", "-b"}) {
    ProcessResult r = Run({"-N", "5", option, "/dev/full"});
    EXPECT_EQ(r.status, 1) << option;
    EXPECT_EQ(r.err, "ERROR: Unable to write results file '/dev/full': No space left on device\n");
    EXPECT_EQ(r.out.find("SIMULATOR::Preparing to run()"), std::string::npos);
  }
  ProcessResult r = RunProcess(
      "/bin/sh",
      {"-c", "trap '' XFSZ; ulimit -f 2; exec \"$0\" -N 2000 -n 10 -a big.txt", TestModelSim()},
      options);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "ERROR: Unable to write results file 'big.txt': File too large\n");
  EXPECT_EQ(r.out.find("SIMULATOR::MAIN()-GOOD EXIT"), std::string::npos);
}

// Two outputs in one file would corrupt each other; a trace file that
// cannot be opened is an error like a results file. Both end the run before
// anything is written.
TEST_F(SimRunE2E, OutputsMustHaveFilesOfTheirOwn) {
  struct Case {
    std::vector<std::string> args;
    std::string err;
  };
  for (const Case& c :
       {Case{{"-a", "x", "-b", "x"},
             "ERROR: -a and -b name the same file 'x'; each output needs a file of its own\n"},
        Case{{"-b", "t.txt", "-f", "t"},
             "ERROR: -b and the plain-text trace name the same file 't.txt'; each output needs a "
             "file of its own\n"},
        Case{{"-a", "t.xml", "-x", "-f", "t"},
             "ERROR: -a and the XML trace name the same file 't.xml'; each output needs a file of "
             "its own\n"},
        Case{
            {"-m", "-f", "no_such_dir/t"},
            "ERROR: Unable to open trace file 'no_such_dir/t.txt': No such file or directory\n"}}) {
    std::vector<std::string> args = c.args;
    args.insert(args.begin(), {"-N", "1"});
    ProcessResult r = Run(args);
    EXPECT_EQ(r.status, 1) << c.err;
    EXPECT_EQ(r.err, c.err);
    EXPECT_FALSE(Readable(dir + "/x")) << c.err;
  }
}

// A closed standard output (sim ... | head, or a manager that closes the
// pipe) must not kill the process with SIGPIPE: the run completes and ends
// with status 0 (141, killed by the signal, before).
TEST_F(SimRunE2E, AClosedStandardOutputDoesNotKillTheRun) {
  ProcessResult r = RunProcess(
      "/bin/sh",
      {"-c", "{ \"$0\" -N 3000 -a r.txt; echo $? > status.txt; } | true", TestModelSim()}, options);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(File("status.txt"), "0\n");
  size_t firstVariable = 0;
  for (const std::string& line : Lines(Observations("r.txt"))) {
    firstVariable += StartsWith(line, "0,") ? 1 : 0;
  }
  EXPECT_EQ(firstVariable, 3000u);
}

TEST_F(SimRunE2E, TraceOptionsChooseTheirFiles) {
  ProcessResult plain = Run({"-N", "1", "-f", "trace"});
  ASSERT_EQ(plain.status, 0) << plain.err;
  EXPECT_FALSE(File("trace.txt").empty());
  EXPECT_TRUE(File("trace.xml").empty());
  ProcessResult xml = Run({"-N", "1", "-x", "-f", "other"});
  ASSERT_EQ(xml.status, 0) << xml.err;
  EXPECT_FALSE(File("other.xml").empty());
  EXPECT_TRUE(File("other.txt").empty());
}

// Start-up order on standard output: the trace writers come to life before
// the study (its override line), and the trace header is written only once
// the reward model exists, before the connectivity list is built.
TEST_F(SimRunE2E, StartUpStepsComeInOrder) {
  ProcessResult r = Run({"-N", "1", "-m", "-O", "f:fail_rate:2"});
  ASSERT_EQ(r.status, 0) << r.err;
  size_t adding = r.out.find("Adding cout: \n");
  size_t overriding = r.out.find("\nOverriding global variables in simulator\n");
  size_t header = r.out.find("\t\tTRACE\n");
  size_t connectivity = r.out.find("\nGenerateConnectivityList()\n");
  ASSERT_NE(adding, std::string::npos) << r.out;
  ASSERT_NE(header, std::string::npos) << r.out;
  EXPECT_LT(adding, overriding);
  EXPECT_LT(overriding, header);
  EXPECT_LT(header, connectivity);
  EXPECT_NE(connectivity, std::string::npos);
}

// Steady state with -N 3: ss_ticks completes its third batch at 35 (its
// transient ends at 5, then batches end at 15, 25, 35); by then ss_up has
// closed batches at 5, 10, ..., 35, seven of them. The terminating nodes
// report nothing. Every observation reaches the file, whatever -n is.
TEST_F(SimRunE2E, SteadyStateRunsUntilTheSlowestVariableHasItsBatches) {
  for (const char* n : {"1000", "2", "1"}) {
    ProcessResult r = Run({"-t", "0", "-N", "3", "-n", n, "-a", "ss.txt"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<int> indices = AsciiIndices(File("ss.txt"));
    EXPECT_EQ(std::count(indices.begin(), indices.end(), 3), 7) << n;
    EXPECT_EQ(std::count(indices.begin(), indices.end(), 4), 3) << n;
    EXPECT_EQ(indices.size(), 10u) << n;
  }
}

}  // namespace

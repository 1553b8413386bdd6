// End-to-end runs of `velmor run` and `velmor results` on the test model:
// reproducibility whatever the jobs, the files' shape, sweeps and their
// checks, faults (a simulator that crashes, fails or hangs) and Ctrl-C.
#include <dirent.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "RunProcess.h"
#include "SimE2EHelpers.h"
#include "TestManagerClient.h"

namespace {

std::string Velmor() { return std::string(VELMOR_BIN_DIR) + "/velmor"; }
std::string TestModelPvtypes() {
  return std::string(VELMOR_BIN_DIR) + "/velmor_test_model_pvtypes";
}

// A small precision-targeted study: two experiments, blocks of 100.
std::vector<std::string> SmallStudy(const std::string& out, int jobs) {
  return {
      "run", TestModelSim(), "--rel-precision",    "0.1",        "--block-size", "100", "--seed",
      "7",   "--jobs",       std::to_string(jobs), "--no-plots", "--out",        out};
}

ProcessResult RunVelmor(const std::vector<std::string>& args, const ProcessOptions& options = {}) {
  return RunProcess(Velmor(), args, options);
}

std::vector<std::string> Split(const std::string& line, char sep) {
  std::vector<std::string> fields;
  std::stringstream in(line);
  for (std::string f; std::getline(in, f, sep);) fields.push_back(f);
  return fields;
}

// A simulator wrapper in dir (fake_sim, with its study tool fake_pvtypes)
// that behaves as FAKE_MODE says: crash-once (the first run dies of
// SIGSEGV), fail (exit 3 every time), hang (says nothing, sleeps), or runs
// the test model's simulator.
std::string MakeFakeSimulator(const std::string& dir) {
  const std::string sim = dir + "/fake_sim", tool = dir + "/fake_pvtypes";
  std::ofstream(sim) << "#!/bin/bash\n"
                     << "case \"$FAKE_MODE\" in\n"
                     << "crash-once) if mkdir \"" << dir << "/crashed\" 2>/dev/null; then\n"
                     << "  echo 'fake: crashing on purpose' >&2; kill -SEGV $$; fi ;;\n"
                     << "fail) echo 'fake: failing on purpose' >&2; exit 3 ;;\n"
                     << "hang) exec sleep 600 ;;\n"
                     << "esac\n"
                     << "exec " << TestModelSim() << " \"$@\"\n";
  std::ofstream(tool) << "#!/bin/sh\nexec " << TestModelPvtypes() << " \"$@\"\n";
  chmod(sim.c_str(), 0755);
  chmod(tool.c_str(), 0755);
  return sim;
}

// Processes whose command line mentions text (other than this test).
int ProcessesMentioning(const std::string& text) {
  int count = 0;
  DIR* proc = opendir("/proc");
  for (dirent* e = readdir(proc); e != nullptr; e = readdir(proc)) {
    const std::string name = e->d_name;
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    if (std::stoi(name) == getpid()) continue;
    std::string cmdline = ReadFileBytes("/proc/" + name + "/cmdline");
    if (cmdline.find(text) != std::string::npos) ++count;
  }
  closedir(proc);
  return count;
}

TEST(RunnerE2ETest, SameSeedSameSummaryWhateverTheJobs) {
  if (!Exists(Velmor()) || !Exists(TestModelSim()))
    GTEST_SKIP() << "velmor or the test model is not built";
  const std::string dir = MakeTempDir("velmor-run");
  ProcessResult one = RunVelmor(SmallStudy(dir + "/one", 1));
  ProcessResult two = RunVelmor(SmallStudy(dir + "/two", 2));
  ASSERT_EQ(one.status, 0) << one.err;
  ASSERT_EQ(two.status, 0) << two.err;
  const std::string csv = ReadFileBytes(dir + "/one/summary.csv");
  EXPECT_EQ(csv, ReadFileBytes(dir + "/two/summary.csv"));
  EXPECT_EQ(ReadFileBytes(dir + "/one/summary.json"), ReadFileBytes(dir + "/two/summary.json"));
  EXPECT_EQ(one.out, two.out);

  // Tidy CSV: a header, then one row per experiment and variable with as
  // many fields; every variable reached 10%.
  const std::vector<std::string> lines = Lines(csv);
  ASSERT_EQ(lines.size(), 1u + 2 * 3);
  const std::vector<std::string> header = Split(lines[0], ',');
  EXPECT_EQ(header[0], "experiment");
  EXPECT_EQ(header[2], "fail_rate");
  for (size_t i = 1; i < lines.size(); ++i) {
    const std::vector<std::string> row = Split(lines[i], ',');
    ASSERT_EQ(row.size(), header.size()) << lines[i];
    EXPECT_EQ(row.back(), "target reached");
    EXPECT_EQ(row[header.size() - 2], "reached");
    EXPECT_LE(std::stod(row[14]), 0.1) << header[14];
  }
  EXPECT_EQ(Split(lines[1], ',')[15], "wilson");  // down@10 is 0/1
  EXPECT_EQ(Split(lines[2], ',')[15], "t");

  // velmor results pools the block files to the same table.
  ProcessResult shown = RunVelmor({"results", dir + "/two"});
  EXPECT_EQ(shown.status, 0) << shown.err;
  EXPECT_EQ(shown.out, two.out);

  // The manifest's arguments rerun a block with the simulator alone, and
  // its results file equals the block file byte for byte.
  const nlohmann::json manifest = nlohmann::json::parse(ReadFileBytes(dir + "/two/manifest.json"));
  EXPECT_EQ(manifest["ending"], "completed");
  const nlohmann::json& block = manifest["cells"][1]["blocks"][1];
  std::vector<std::string> args = block["arguments"].get<std::vector<std::string>>();
  args.insert(args.end(), {"-b", dir + "/alone.bin"});
  ProcessResult alone = RunProcess(TestModelSim(), args);
  ASSERT_EQ(alone.status, 0) << alone.err;
  EXPECT_EQ(ReadFileBytes(dir + "/alone.bin"),
            ReadFileBytes(dir + "/two/" + block["file"].get<std::string>()));

  // The same folder again is not overwritten: the run goes to two-2.
  ProcessResult again = RunVelmor(SmallStudy(dir + "/two", 2));
  EXPECT_EQ(again.status, 0);
  EXPECT_NE(again.err.find("writing to " + dir + "/two-2"), std::string::npos) << again.err;
  EXPECT_EQ(ReadFileBytes(dir + "/two-2/summary.csv"), csv);
}

TEST(RunnerE2ETest, SweepsAndTheirChecks) {
  if (!Exists(Velmor()) || !Exists(TestModelSim()))
    GTEST_SKIP() << "velmor or the test model is not built";
  const std::string dir = MakeTempDir("velmor-sweep");
  ProcessResult r = RunVelmor({"run", TestModelSim(), "--experiments", "1", "--set",
                               "fail_rate=0.5,4", "--set", "repair_time=1,0.125", "--replications",
                               "200", "--block-size", "100", "--no-plots", "--out", dir + "/s"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> lines = Lines(ReadFileBytes(dir + "/s/summary.csv"));
  ASSERT_EQ(lines.size(), 1u + 4 * 3);
  // Rows of point p start with experiment 1, p, then the point's values.
  EXPECT_EQ(lines[1].substr(0, 12), "1,0,0.5,1,do");
  EXPECT_EQ(lines[4].substr(0, 16), "1,1,0.5,0.125,do");
  EXPECT_EQ(lines[7].substr(0, 10), "1,2,4,1,do");
  EXPECT_EQ(lines[10].substr(0, 14), "1,3,4,0.125,do");
  EXPECT_NE(lines[1].find(",200,"), std::string::npos);

  // A misspelled name or a wrong type fails before anything runs.
  ProcessResult bad =
      RunVelmor({"run", TestModelSim(), "--set", "fail_rat=1", "--out", dir + "/bad"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("no global variable fail_rat (it has fail_rate, repair_time)"),
            std::string::npos)
      << bad.err;
  bad = RunVelmor({"run", TestModelSim(), "--set", "fail_rate=fast", "--out", dir + "/bad"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("'fast' is not a float value"), std::string::npos) << bad.err;
  bad = RunVelmor({"run", TestModelSim(), "--experiments", "2", "--out", dir + "/bad"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("experiments 0 to 1"), std::string::npos) << bad.err;
  struct stat st {};
  EXPECT_NE(stat((dir + "/bad").c_str(), &st), 0);

  // Anything but an executable is a model file, built first; one that does
  // not build stops the run with the builder's diagnostics.
  std::ofstream(dir + "/model.txt") << "model\n";
  bad = RunVelmor({"run", dir + "/model.txt", "--out", dir + "/bad"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("model.txt: building the model failed"), std::string::npos) << bad.err;
  EXPECT_NE(stat((dir + "/bad").c_str(), &st), 0);
}

// Batch means: each block one steady-state run, the steady-state variables
// pooled. mm1k's experiment 5 (arrival = service = 1, at most 10 jobs) has
// 5 jobs on average.
TEST(RunnerE2ETest, SteadyStateStudiesPoolBatches) {
  const std::string mm1k = std::string(VELMOR_BIN_DIR) + "/mm1k_sim";
  if (!Exists(Velmor()) || !Exists(mm1k)) GTEST_SKIP() << "velmor or mm1k is not built";
  const std::string dir = MakeTempDir("velmor-steady");
  ProcessResult r =
      RunVelmor({"run", mm1k, "--steady-state", "--experiments", "4", "--replications", "400",
                 "--block-size", "200", "--no-plots", "--out", dir + "/s"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> lines = Lines(ReadFileBytes(dir + "/s/summary.csv"));
  ASSERT_EQ(lines.size(), 1u + 3);
  std::vector<std::string> row = Split(lines[1], ',');
  const std::vector<std::string> header = Split(lines[0], ',');
  auto field = [&](const std::string& name) {
    for (size_t i = 0; i < header.size(); ++i)
      if (header[i] == name) return row.at(i + 1);  // the quoted variable name holds a comma
    return std::string();
  };
  EXPECT_EQ(field("n"), "400");
  EXPECT_NEAR(std::stod(field("mean")), 5.0, 4 * std::stod(field("std_error")));
  // velmor results pools the block files to the same table.
  ProcessResult again = RunVelmor({"results", dir + "/s"});
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(again.out, r.out);

  // The test model's ss_up has batches of 5, ss_ticks of 10: the first
  // completes more of them in a run, and each pools the block's count.
  r = RunVelmor({"run", TestModelSim(), "--steady-state", "--replications", "40", "--block-size",
                 "20", "--no-plots", "--out", dir + "/t"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> rows = Lines(ReadFileBytes(dir + "/t/summary.csv"));
  ASSERT_EQ(rows.size(), 1u + 2 * 2);
  for (size_t i = 1; i < rows.size(); ++i) EXPECT_NE(rows[i].find(",40,"), std::string::npos);
  ProcessResult pooled = RunVelmor({"results", dir + "/t"});
  EXPECT_EQ(pooled.out, r.out);

  // A model without steady-state variables says which kind it has.
  ProcessResult bad = RunVelmor(
      {"run", std::string(VELMOR_BIN_DIR) + "/joint_sim", "--steady-state", "--out", dir + "/bad"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("the model has no steady-state reward variable"), std::string::npos)
      << bad.err;
  bad = RunVelmor({"run", mm1k, "--out", dir + "/bad"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("its steady-state variables need --steady-state"), std::string::npos)
      << bad.err;
}

TEST(RunnerE2ETest, AModelFileIsBuiltThenRun) {
#ifdef VELMOR_SANITIZED_TREE
  GTEST_SKIP() << "models are not built in a sanitizer build";
#endif
  if (!Exists(Velmor()) || !Exists(TestModelSim()))
    GTEST_SKIP() << "velmor or the test model is not built";
  // The test model's simulator is built from this file too, so the same
  // study of the file gives the same summary as of the simulator.
  const std::string dir = MakeTempDir("velmor-model");
  ProcessOptions inDir;
  inDir.workDir = dir;
  inDir.timeoutSeconds = 600;
  ProcessResult fromSim = RunVelmor(SmallStudy(dir + "/sim", 2));
  ASSERT_EQ(fromSim.status, 0) << fromSim.err;
  std::vector<std::string> args = SmallStudy(dir + "/file", 2);
  args[1] = std::string(VELMOR_SOURCE_DIR) + "/tests/support/testmodel/velmor_test_model.vm";
  ProcessResult built = RunVelmor(args, inDir);
  ASSERT_EQ(built.status, 0) << built.err;
  EXPECT_NE(built.err.find("building "), std::string::npos);
  EXPECT_EQ(ReadFileBytes(dir + "/file/summary.csv"), ReadFileBytes(dir + "/sim/summary.csv"));
}

TEST(RunnerE2ETest, AFailedBlockRunsOnceMoreThenTheStudyStops) {
  if (!Exists(Velmor()) || !Exists(TestModelSim()))
    GTEST_SKIP() << "velmor or the test model is not built";
  const std::string dir = MakeTempDir("velmor-fault");
  const std::string fake = MakeFakeSimulator(dir);
  auto study = [&](const std::string& out) {
    return std::vector<std::string>{
        "run",    fake, "--experiments", "0", "--replications", "300",   "--block-size", "100",
        "--jobs", "2",  "--timeout",     "2", "--no-plots",     "--out", dir + "/" + out};
  };
  ProcessOptions normal;
  ProcessResult reference = RunVelmor(study("reference"), normal);
  ASSERT_EQ(reference.status, 0) << reference.err;

  // Crashing once: reported with its block and stderr, rerun with the same
  // seed, and the estimates are those of a run without the crash.
  ProcessOptions crashOnce;
  crashOnce.set = {{"FAKE_MODE", "crash-once"}};
  ProcessResult rerun = RunVelmor(study("rerun"), crashOnce);
  ASSERT_EQ(rerun.status, 0) << rerun.err;
  EXPECT_NE(rerun.err.find("killed by signal 11"), std::string::npos) << rerun.err;
  EXPECT_NE(rerun.err.find("fake: crashing on purpose"), std::string::npos) << rerun.err;
  EXPECT_NE(rerun.err.find("running it again with the same seed"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(dir + "/rerun/summary.csv"),
            ReadFileBytes(dir + "/reference/summary.csv"));
  const nlohmann::json manifest =
      nlohmann::json::parse(ReadFileBytes(dir + "/rerun/manifest.json"));
  int attempts = 0;
  for (const auto& b : manifest["cells"][0]["blocks"]) attempts += b["attempts"].get<int>();
  EXPECT_EQ(attempts, 4);  // three blocks, one of them twice

  // Failing every time: the study stops with an error naming what failed.
  ProcessOptions failing;
  failing.set = {{"FAKE_MODE", "fail"}};
  ProcessResult failed = RunVelmor(study("failed"), failing);
  EXPECT_EQ(failed.status, 1);
  EXPECT_NE(failed.err.find("failed twice: ended with exit status 3"), std::string::npos)
      << failed.err;
  EXPECT_NE(failed.err.find("fake: failing on purpose"), std::string::npos);
  EXPECT_NE(failed.err.find("experiment 0 point 0 block "), std::string::npos);
  EXPECT_EQ(nlohmann::json::parse(ReadFileBytes(dir + "/failed/manifest.json"))["ending"],
            "failed");

  // Silent for longer than --timeout: stopped, rerun, stopped again.
  ProcessOptions hanging;
  hanging.set = {{"FAKE_MODE", "hang"}};
  ProcessResult hung = RunVelmor(study("hung"), hanging);
  EXPECT_EQ(hung.status, 1);
  EXPECT_NE(hung.err.find("failed twice: sent nothing for 2 s"), std::string::npos) << hung.err;
  EXPECT_EQ(ProcessesMentioning(dir), 0);
}

TEST(RunnerE2ETest, InterruptStopsEverySimulatorAndKeepsWhatWasPooled) {
  if (!Exists(Velmor()) || !Exists(TestModelSim()))
    GTEST_SKIP() << "velmor or the test model is not built";
  const std::string dir = MakeTempDir("velmor-interrupt");
  const std::string fake = MakeFakeSimulator(dir);  // its path names this test's processes
  ChildProcess runner;
  ASSERT_TRUE(runner.Start(Velmor(),
                           {Velmor(), "run", fake, "--replications", "100000000", "--block-size",
                            "2000", "--jobs", "2", "--no-plots", "--out", dir + "/out"},
                           dir, dir + "/stderr.txt", {}));
  // Wait (bounded) until a block has been pooled.
  for (int i = 0; i < 2400 && ReadFileBytes(dir + "/out/blocks/e0-p0-b00000.bin").empty(); ++i)
    usleep(50000);
  ASSERT_FALSE(ReadFileBytes(dir + "/out/blocks/e0-p0-b00000.bin").empty());
  kill(runner.Pid(), SIGINT);
  EXPECT_EQ(runner.Finish(60000), 130);
  EXPECT_EQ(ProcessesMentioning(dir + "/fake_sim"), 0);
  const nlohmann::json manifest = nlohmann::json::parse(ReadFileBytes(dir + "/out/manifest.json"));
  EXPECT_EQ(manifest["ending"], "interrupted");
  EXPECT_GE(manifest["cells"][0]["replications"].get<long>(), 2000);
  ProcessResult shown = RunVelmor({"results", dir + "/out"});
  EXPECT_EQ(shown.status, 0) << shown.err;
  EXPECT_NE(shown.out.find("the run interrupted"), std::string::npos) << shown.out;
  EXPECT_NE(ReadFileBytes(dir + "/out/summary.csv").find(",interrupted\n"), std::string::npos);
}

}  // namespace

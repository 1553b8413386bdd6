// Golden runs of the built-in simulator and of the test model's: every case
// of golden/<folder>/cases.txt is run again and must leave the same bytes
// (results files, traces, type file, stdout and stderr without the timing
// lines, exit status) as the stored run. tools/make-golden.sh made them
// from the hand-written models these model files replaced.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "SimE2EHelpers.h"

namespace {

namespace fs = std::filesystem;

struct GoldenCase {
  std::string name, program, simtest;
  std::vector<std::string> args;
};

std::string GoldenDir(const std::string& folder) {
  return std::string(VELMOR_SOURCE_DIR) + "/tests/e2e/golden/" + folder;
}

std::vector<GoldenCase> ReadCases(const std::string& folder) {
  std::vector<GoldenCase> cases;
  std::ifstream in(GoldenDir(folder) + "/cases.txt");
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    GoldenCase c;
    std::string args;
    std::getline(fields, c.name, '\t');
    std::getline(fields, c.program, '\t');
    std::getline(fields, c.simtest, '\t');
    std::getline(fields, args);
    std::istringstream words(args);
    for (std::string w; words >> w;) c.args.push_back(w);
    cases.push_back(c);
  }
  return cases;
}

std::string WithoutTimingLines(const std::string& text) {
  std::string kept;
  for (const std::string& line : Lines(text)) {
    if (StartsWith(line, "CPU time (s): ") || StartsWith(line, "GenerateConnectivityList() Time="))
      continue;
    kept += line + "\n";
  }
  return kept;
}

// Names of the files in dir, sorted.
std::vector<std::string> FileNames(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

// Runs every case of folder with <model>_sim or <model>_pvtypes.
void RunGoldenCases(const std::string& folder, const std::string& model, size_t minCases) {
  std::vector<GoldenCase> cases = ReadCases(folder);
  ASSERT_GE(cases.size(), minCases) << "cases.txt missing or short";
  for (const GoldenCase& c : cases) {
    SCOPED_TRACE(folder + "/" + c.name);
    std::string exe = std::string(VELMOR_BIN_DIR) + "/" + model + "_" + c.program;
    ASSERT_TRUE(Exists(exe)) << exe;
    ProcessOptions options;
    options.workDir = MakeTempDir("velmor_golden_");
    if (c.simtest == "-") {
      options.unset.push_back("SIMTEST");
    } else {
      options.set.push_back({"SIMTEST", c.simtest});
    }
    ProcessResult r = RunProcess(exe, c.args, options);
    std::string want = GoldenDir(folder) + "/" + c.name + "/";
    EXPECT_EQ(std::to_string(r.status) + "\n", ReadFileBytes(want + "status"));
    EXPECT_EQ(WithoutTimingLines(r.out), ReadFileBytes(want + "stdout"));
    EXPECT_EQ(WithoutTimingLines(r.err), ReadFileBytes(want + "stderr"));
    std::vector<std::string> expected;
    for (const std::string& n : FileNames(want)) {
      if (StartsWith(n, "file.")) expected.push_back(n.substr(5));
    }
    EXPECT_EQ(FileNames(options.workDir), expected);
    for (const std::string& n : expected) {
      EXPECT_TRUE(ReadFileBytes(options.workDir + "/" + n) == ReadFileBytes(want + "file." + n))
          << "file " << n << " differs";
      fs::remove(options.workDir + "/" + n);
    }
    fs::remove(options.workDir);
  }
}

TEST(GoldenRunsE2E, BuiltInModelLeavesTheStoredBytes) {
  RunGoldenCases("builtin", "redundant_controller_flash", 20);
}

TEST(GoldenRunsE2E, TestModelLeavesTheStoredBytes) {
  RunGoldenCases("testmodel", "velmor_test_model", 10);
}

}  // namespace

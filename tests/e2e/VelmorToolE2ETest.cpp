// End-to-end runs of the velmor tool: check, describe and generate on the
// built-in model file and on damaged copies of it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "SimE2EHelpers.h"

namespace {

namespace fs = std::filesystem;

std::string Tool() { return std::string(VELMOR_BIN_DIR) + "/velmor"; }
std::string BuiltInModel() {
  return std::string(VELMOR_SOURCE_DIR) +
         "/models/redundant_controller_flash/redundant_controller_flash.vm";
}

// A copy of the built-in model with the first `from` replaced by `to`.
std::string Damaged(const std::string& dir, const std::string& from, const std::string& to) {
  std::string text = ReadFileBytes(BuiltInModel());
  size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  std::string path = dir + "/damaged.vm";
  std::ofstream(path) << text;
  return path;
}

TEST(VelmorToolE2E, BuiltInModelChecksAndDescribes) {
  ProcessResult check = RunProcess(Tool(), {"check", BuiltInModel()});
  EXPECT_EQ(check.status, 0);
  EXPECT_EQ(check.err, "");
  ProcessResult d = RunProcess(Tool(), {"describe", BuiltInModel()});
  EXPECT_EQ(d.status, 0) << d.err;
  EXPECT_NE(d.out.find("  Experiment 5: flash_size=17.0 num_devices=2 num_replicas=2 "
                       "power_cycle_rate=1000.0 ram_size=128.0 random_failure_rate=0.005\n"),
            std::string::npos)
      << d.out;
  EXPECT_NE(d.out.find("    1 seu_case2  group 0  exponential\n"
                       "        affects:    replicas_available, devices_available, "
                       "flash_corrupted, seu_events\n"),
            std::string::npos)
      << d.out;
}

// A deleted brace, a misspelled place, a negative constant rate: status 1,
// FILE:LINE:COL on stderr, and generate writes nothing.
TEST(VelmorToolE2E, DamagedModelsFailWithPositionAndWriteNothing) {
  struct Case {
    std::string from, to, message;
  };
  const Case cases[] = {
      {"do { system_failed += 1 }", "do { system_failed += 1 ", ":28:3: error: expected "},
      {"when ram_corrupted == 0", "when ram_corupted == 0",
       ":39:10: error: 'ram_corupted' is neither a place"},
      {"exponential(6.012)", "exponential(-6.012)", ":47:23: error: rate is negative"},
  };
  for (const Case& c : cases) {
    std::string dir = MakeTempDir("velmor_tool_");
    std::string path = Damaged(dir, c.from, c.to);
    ProcessResult r = RunProcess(Tool(), {"check", path});
    EXPECT_EQ(r.status, 1) << c.message;
    EXPECT_EQ(r.err.compare(0, path.size() + c.message.size(), path + c.message), 0) << r.err;
    ProcessResult g = RunProcess(Tool(), {"generate", path, dir + "/out"});
    EXPECT_EQ(g.status, 1);
    EXPECT_FALSE(fs::exists(dir + "/out")) << c.message;
    fs::remove_all(dir);
  }
}

TEST(VelmorToolE2E, MissingFileOrCommandIsAnError) {
  ProcessResult r = RunProcess(Tool(), {"check", "/nonexistent/model.vm"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "/nonexistent/model.vm:1:1: error: cannot read the file\n");
  EXPECT_EQ(RunProcess(Tool(), {}).status, 1);
  EXPECT_EQ(RunProcess(Tool(), {"chek", "model.vm"}).status, 1);
  EXPECT_EQ(RunProcess(Tool(), {"check"}).status, 1);
}

}  // namespace

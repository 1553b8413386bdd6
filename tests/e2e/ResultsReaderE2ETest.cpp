// End-to-end runs of velmor-results on results files that the built-in
// model's simulator wrote: the ASCII and the binary file of one run give
// the same estimates, in every output form, and those agree with a
// computation of our own from the ASCII file; damaged or foreign files end
// with status 1 and a message, never a crash.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "SimE2EHelpers.h"

namespace {

constexpr int kNumPVs = 5;
constexpr size_t kReplications = 300;
constexpr size_t kHeaderBytes = 256;

std::string ResultsTool() { return std::string(VELMOR_BIN_DIR) + "/velmor-results"; }
std::string PvTypesTool() {
  return std::string(VELMOR_BIN_DIR) + "/redundant_controller_flash_pvtypes";
}

std::vector<std::string> Split(const std::string& s, char sep) {
  std::vector<std::string> parts;
  std::string item;
  std::istringstream in(s);
  while (std::getline(in, item, sep)) parts.push_back(item);
  return parts;
}

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

// Observations per variable from the lines after the two header lines.
std::vector<std::vector<double>> ParseAscii(const std::string& content) {
  std::vector<std::vector<double>> values(kNumPVs);
  std::vector<std::string> lines = Lines(content);
  for (size_t i = 2; i < lines.size(); ++i) {
    std::vector<std::string> f = Split(lines[i], ',');
    int index = f.size() == 2 ? std::atoi(f[0].c_str()) : -1;
    if (index < 0 || index >= kNumPVs) {
      ADD_FAILURE() << "malformed line " << lines[i];
      continue;
    }
    values[index].push_back(std::strtod(f[1].c_str(), nullptr));
  }
  return values;
}

uint64_t BigEndian(const std::string& b, size_t pos, int width) {
  uint64_t v = 0;
  for (int i = 0; i < width; ++i) v = (v << 8) | static_cast<unsigned char>(b[pos + i]);
  return v;
}

// Walks the binary file by the message lengths: the start offset of every
// message, and the observation values per variable.
struct BinaryWalk {
  std::vector<size_t> messageStarts;
  std::vector<std::vector<double>> values = std::vector<std::vector<double>>(kNumPVs);
};

BinaryWalk WalkBinary(const std::string& b) {
  BinaryWalk walk;
  for (size_t pos = kHeaderBytes; pos + 9 <= b.size();) {
    walk.messageStarts.push_back(pos);
    const size_t end = pos + BigEndian(b, pos, 4);
    const size_t records = BigEndian(b, pos + 7, 2);
    size_t p = pos + 9;
    for (size_t r = 0; r < records && p + 7 <= end; ++r) {
      const size_t index = BigEndian(b, p, 2), n = BigEndian(b, p + 3, 4);
      p += 7;
      for (size_t k = 0; k < n && p + 8 <= end && index < kNumPVs; ++k, p += 8) {
        uint64_t bits = BigEndian(b, p, 8);
        double d;
        std::memcpy(&d, &bits, sizeof d);
        walk.values[index].push_back(d);
      }
    }
    pos = end;
  }
  return walk;
}

double Mean(const std::vector<double>& v) {
  double sum = 0.0;
  for (double x : v) sum += x;
  return sum / static_cast<double>(v.size());
}

double Variance(const std::vector<double>& v) {
  const double m = Mean(v);
  double sum = 0.0;
  for (double x : v) sum += (x - m) * (x - m);
  return sum / static_cast<double>(v.size() - 1);
}

// The text after "\"key\": " in one JSON object, up to the next ',' or '}'.
std::string JsonField(const std::string& object, const std::string& key) {
  const std::string tag = "\"" + key + "\": ";
  size_t at = object.find(tag);
  if (at == std::string::npos) return "";
  at += tag.size();
  return object.substr(at, object.find_first_of(",}", at) - at);
}

class ResultsReaderE2E : public ::testing::Test {
 protected:
  // One run of experiment 5 (-e 4), 300 replications in reports of 100:
  // three observation messages in the binary file.
  void SetUp() override {
    if (!Exists(BuiltInSim()) || !Exists(ResultsTool())) GTEST_SKIP() << "executables not built";
    dir = MakeTempDir("velmor_results_");
    options.workDir = dir;
    options.unset.push_back("SIMTEST");
    ProcessResult r = RunProcess(
        BuiltInSim(),
        {"-e", "4", "-N", "300", "-n", "100", "-s", "5150", "-a", "res.txt", "-b", "res.bin"},
        options);
    ASSERT_EQ(r.status, 0) << r.err;
    ascii = ParseAscii(File("res.txt"));
    for (int i = 0; i < kNumPVs; ++i) ASSERT_EQ(ascii[i].size(), kReplications) << i;
  }
  void TearDown() override {
    std::error_code ignored;
    if (!dir.empty()) std::filesystem::remove_all(dir, ignored);
  }
  ProcessResult Results(const std::vector<std::string>& args) {
    return RunProcess(ResultsTool(), args, options);
  }
  std::string File(const std::string& name) { return ReadFileBytes(dir + "/" + name); }
  void Write(const std::string& name, const std::string& bytes) {
    std::ofstream(dir + "/" + name, std::ios::binary) << bytes;
  }
  // A refused file: status 1 (not a crash, not a sanitizer report) and a
  // message naming the file.
  void ExpectRejected(const ProcessResult& r, const std::string& name) {
    EXPECT_EQ(r.status, 1) << name << ": " << r.err;
    EXPECT_NE(r.err.find("velmor-results: " + name + ": "), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("Sanitizer"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("runtime error"), std::string::npos) << r.err;
  }

  std::string dir;
  ProcessOptions options;
  std::vector<std::vector<double>> ascii;
};

// The binary file holds the same observations as the ASCII file (every
// value is a marking, a whole number, so the ten-decimal ASCII form is
// exact), in L = 9 + 7*5 + 8*500 = 4044-byte messages, one per report.
TEST_F(ResultsReaderE2E, BinaryAndAsciiFilesHoldTheSameObservations) {
  std::string bin = File("res.bin");
  EXPECT_EQ(bin.size(), kHeaderBytes + 3 * 4044u);
  BinaryWalk walk = WalkBinary(bin);
  EXPECT_EQ(walk.messageStarts, (std::vector<size_t>{256, 4300, 8344}));
  for (int i = 0; i < kNumPVs; ++i) EXPECT_EQ(walk.values[i], ascii[i]) << "variable " << i;
}

// The table: one row per file and variable, n, mean and variance printed
// with six significant digits; the rows of both files carry equal numbers.
TEST_F(ResultsReaderE2E, TableOfBothFilesAgreesWithOurOwnEstimates) {
  ProcessResult r = Results({"res.txt", "res.bin"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 1u + 2 * kNumPVs) << r.out;
  EXPECT_EQ(Words(lines[0]), (std::vector<std::string>{"file", "exp", "variable", "n", "mean",
                                                       "variance", "95%", "low", "95%", "high"}));
  for (int i = 0; i < kNumPVs; ++i) {
    std::vector<std::string> a = Words(lines[1 + i]), b = Words(lines[1 + kNumPVs + i]);
    ASSERT_EQ(a.size(), 8u) << lines[1 + i];
    ASSERT_EQ(b.size(), 8u) << lines[1 + kNumPVs + i];
    EXPECT_EQ(a[0], "res.txt");
    EXPECT_EQ(b[0], "res.bin");
    EXPECT_EQ(std::vector<std::string>(a.begin() + 1, a.end()),
              std::vector<std::string>(b.begin() + 1, b.end()));
    EXPECT_EQ(a[1], "4");
    EXPECT_EQ(a[2], std::to_string(i));
    EXPECT_EQ(a[3], std::to_string(kReplications));
    // Six significant digits: relative error at most 5e-6.
    const double mean = Mean(ascii[i]), var = Variance(ascii[i]);
    EXPECT_NEAR(std::stod(a[4]), mean, 5e-6 * std::fabs(mean) + 1e-12) << i;
    EXPECT_NEAR(std::stod(a[5]), var, 5e-6 * var + 1e-12) << i;
  }
}

// CSV and JSON carry full precision; both files give identical rows, and
// the interval is mean +- t * sqrt(variance / n) with t(0.975, 299) =
// 1.968 (standard t table; 1.96 would be the normal quantile).
TEST_F(ResultsReaderE2E, CsvAndJsonAgreeWithOurOwnEstimates) {
  ProcessResult csv = Results({"--csv", "res.txt", "res.bin"});
  ProcessResult json = Results({"--json", "res.txt", "res.bin"});
  ASSERT_EQ(csv.status, 0) << csv.err;
  ASSERT_EQ(json.status, 0) << json.err;
  std::vector<std::string> lines = Lines(csv.out);
  ASSERT_EQ(lines.size(), 1u + 2 * kNumPVs) << csv.out;
  EXPECT_EQ(lines[0], "file,experiment,index,variable,n,mean,variance,ci95_low,ci95_high");
  std::vector<std::string> objects = Split(json.out, '{');
  ASSERT_EQ(objects.size(), 1u + 2 * kNumPVs) << json.out;  // text before the first '{'
  EXPECT_EQ(objects[0], "[\n ");
  for (int row = 0; row < 2 * kNumPVs; ++row) {
    const int i = row % kNumPVs;
    std::vector<std::string> f = Split(lines[1 + row], ',');
    ASSERT_EQ(f.size(), 9u) << lines[1 + row];
    EXPECT_EQ(f[0], row < kNumPVs ? "res.txt" : "res.bin");
    EXPECT_EQ(f[1], "4");
    EXPECT_EQ(f[2], std::to_string(i));
    EXPECT_EQ(f[4], std::to_string(kReplications));
    if (row >= kNumPVs) {
      std::vector<std::string> a = Split(lines[1 + i], ',');
      EXPECT_EQ(std::vector<std::string>(f.begin() + 1, f.end()),
                std::vector<std::string>(a.begin() + 1, a.end()));
    }
    const double mean = Mean(ascii[i]), var = Variance(ascii[i]);
    EXPECT_NEAR(std::stod(f[5]), mean, 1e-12) << i;
    EXPECT_NEAR(std::stod(f[6]), var, 1e-12 + 1e-9 * var) << i;
    const double half = 1.968 * std::sqrt(var / kReplications);
    EXPECT_NEAR(std::stod(f[7]), mean - half, 1e-3 * half + 1e-12) << i;
    EXPECT_NEAR(std::stod(f[8]), mean + half, 1e-3 * half + 1e-12) << i;
    // The JSON object of the same row holds the same numbers.
    const std::string& o = objects[1 + row];
    EXPECT_EQ(JsonField(o, "file"), "\"" + f[0] + "\"");
    EXPECT_EQ(JsonField(o, "index"), f[2]);
    EXPECT_EQ(JsonField(o, "n"), f[4]);
    EXPECT_EQ(std::stod(JsonField(o, "mean")), std::stod(f[5]));
    EXPECT_EQ(std::stod(JsonField(o, "variance")), std::stod(f[6]));
    EXPECT_EQ(std::stod(JsonField(o, "ci95_high")), std::stod(f[8]));
  }
}

// The model's reward variables are reliability at 30, 180 and 365 and
// seu_events and sefi_events at 365: one node per time point, so the type
// file names the five indices in that order.
TEST_F(ResultsReaderE2E, TypeFileNamesTheVariables) {
  if (!Exists(PvTypesTool())) GTEST_SKIP() << "type file tool not built";
  ProcessResult t = RunProcess(PvTypesTool(), {"types.txt"}, options);
  ASSERT_EQ(t.status, 0) << t.err;
  ProcessResult r = Results({"--csv", "--pvtypes", "types.txt", "res.bin"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 1u + kNumPVs) << r.out;
  const char* names[] = {"reliability@30", "reliability@180", "reliability@365", "seu_events@365",
                         "sefi_events@365"};
  for (int i = 0; i < kNumPVs; ++i) {
    std::vector<std::string> f = Split(lines[1 + i], ',');
    ASSERT_EQ(f.size(), 9u);
    EXPECT_EQ(f[3], names[i]);
    EXPECT_EQ(f[4], std::to_string(kReplications));
  }
  // The type file is not a results file.
  ExpectRejected(Results({"types.txt"}), "types.txt");
}

// A type file that cannot be written is an error, not a silent success; an
// option is not a file name.
TEST_F(ResultsReaderE2E, TypeFileToolReportsWhatItCannotWrite) {
  if (!Exists(PvTypesTool())) GTEST_SKIP() << "type file tool not built";
  for (const char* target : {"no_such_dir/types.txt", "/dev/full"}) {
    ProcessResult t = RunProcess(PvTypesTool(), {target}, options);
    EXPECT_EQ(t.status, 1) << target;
    EXPECT_NE(t.err.find(std::string("ERROR: Unable to write the reward-variable type file '") +
                         target + "'"),
              std::string::npos)
        << t.err;
  }
  ProcessResult help = RunProcess(PvTypesTool(), {"--help"}, options);
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("usage: "), std::string::npos);
  EXPECT_FALSE(Exists(dir + "/--help"));
  EXPECT_EQ(RunProcess(PvTypesTool(), {"-x"}, options).status, 2);
}

// Cutting a binary file anywhere except at a message boundary is an
// error naming a byte offset inside the damaged part: at or after the
// start of the message (or header, at 0) that the cut breaks, and not
// past the end of what is left.
TEST_F(ResultsReaderE2E, TruncatedFilesAreErrorsNamingAnOffset) {
  const std::string bin = File("res.bin");
  struct Cut {
    size_t keep;         // bytes left
    size_t brokenStart;  // start of the header or message that the cut breaks
  };
  const size_t size = bin.size();
  for (Cut c : {Cut{size - 3, 8344}, Cut{size - 1, 8344}, Cut{8344 + 20, 8344}, Cut{4300 + 5, 4300},
                Cut{256 + 8, 256}, Cut{100, 0}, Cut{30, 0}}) {
    std::string name = "cut" + std::to_string(c.keep) + ".bin";
    Write(name, bin.substr(0, c.keep));
    ProcessResult r = Results({name});
    ExpectRejected(r, name);
    size_t at = r.err.find("offset ");
    ASSERT_NE(at, std::string::npos) << r.err;
    const long offset = std::atol(r.err.c_str() + at + 7);
    EXPECT_GE(offset, static_cast<long>(c.brokenStart)) << r.err;
    EXPECT_LE(offset, static_cast<long>(c.keep)) << r.err;
  }
  // An ASCII file cut inside its last line.
  const std::string text = File("res.txt");
  Write("cut.txt", text.substr(0, text.size() - 3));
  ProcessResult r = Results({"cut.txt"});
  ExpectRejected(r, "cut.txt");
  EXPECT_NE(r.err.find("offset "), std::string::npos) << r.err;
}

TEST_F(ResultsReaderE2E, FilesThatAreNotResultsAreRejected) {
  Write("empty.dat", "");
  Write("text.dat", "hello, world\n1,2.0\n");
  Write("zeros.dat", std::string(512, '\0'));
  // An ASCII header followed by a line that is not an observation.
  Write("bad.txt", Lines(File("res.txt"))[0] + "\n#FORMAT: (PV ID Number),(PV Value)\nx,y\n");
  for (const char* name : {"empty.dat", "text.dat", "zeros.dat", "bad.txt"}) {
    ExpectRejected(Results({name}), name);
  }
  ProcessResult missing = Results({"no-such-file.bin"});
  ExpectRejected(missing, "no-such-file.bin");
}

}  // namespace

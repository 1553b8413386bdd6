// Tests of the results reader's parsing: both file formats, and the clear
// errors (with offsets) for damaged files.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ResultsReader.h"

using velmor_results::ParseResults;
using velmor_results::ResultsData;

namespace {

// Builds big-endian bytes by hand, independently of the simulator's writer.
std::string Be(uint64_t v, int width) {
  std::string s;
  for (int i = width - 1; i >= 0; --i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
  return s;
}

std::string BeDouble(double d) {
  uint64_t bits;
  std::memcpy(&bits, &d, 8);
  return Be(bits, 8);
}

std::string BinaryHeader(int experiment) {
  std::string h = "VELMOR_SIM_BIN_FILE,256,VELMOR_VER=Version 2.4,FILE_VER=1,EXPERIMENTS=" +
                  std::to_string(experiment) + ",";
  h.resize(256, '\0');
  return h;
}

// One message: client 0, experiment 1, records of type 1.
std::string Message(const std::vector<std::pair<int, std::vector<double>>>& records) {
  std::string body;
  size_t n = 0;
  for (const auto& [index, values] : records) {
    body += Be(index, 2) + Be(1, 1) + Be(values.size(), 4);
    for (double v : values) body += BeDouble(v);
    n += values.size();
  }
  const size_t length = 9 + 7 * records.size() + 8 * n;
  return Be(length, 4) + Be(0, 1) + Be(1, 2) + Be(records.size(), 2) + body;
}

}  // namespace

TEST(ResultsReaderTest, ReadsBinaryMessagesInOrder) {
  std::string bytes = BinaryHeader(4) + Message({{0, {1.0, 0.0}}, {2, {0.5}}}) +
                      Message({{0, {1.0}}}) + Message({});
  ResultsData data;
  std::string error;
  ASSERT_TRUE(ParseResults(bytes, &data, &error)) << error;
  EXPECT_EQ(data.format, "binary");
  EXPECT_EQ(data.experiment, 4);
  EXPECT_EQ(data.observations[0], (std::vector<double>{1.0, 0.0, 1.0}));
  EXPECT_EQ(data.observations[2], (std::vector<double>{0.5}));
  EXPECT_EQ(data.observations.count(1), 0u);
}

TEST(ResultsReaderTest, ReadsAsciiLinesAndSkipsHeaders) {
  std::string text =
      "#VELMOR_SIM_ASCII_FILE,VELMOR_VER=Version 2.4,FILE_VER=1,EXPERIMENTS=2\n"
      "#FORMAT: (PV ID Number),(PV Value)\n"
      "0,0.5\n1,2.0\n0,-0.25\n";
  ResultsData data;
  std::string error;
  ASSERT_TRUE(ParseResults(text, &data, &error)) << error;
  EXPECT_EQ(data.format, "ascii");
  EXPECT_EQ(data.experiment, 2);
  EXPECT_EQ(data.observations[0], (std::vector<double>{0.5, -0.25}));
  EXPECT_EQ(data.observations[1], (std::vector<double>{2.0}));
}

TEST(ResultsReaderTest, DamagedFilesGiveErrorsWithOffsets) {
  ResultsData data;
  std::string error;
  // Truncated inside the second message: it starts right after the first.
  std::string first = Message({{0, {1.0}}});
  std::string bytes = BinaryHeader(0) + first + Message({{0, {2.0, 3.0}}});
  bytes.resize(bytes.size() - 3);
  EXPECT_FALSE(ParseResults(bytes, &data, &error));
  EXPECT_NE(error.find("offset " + std::to_string(256 + first.size())), std::string::npos) << error;

  // A record claiming more values than its message holds.
  std::string liar = Message({{0, {1.0}}});
  liar[9 + 3 + 3] = 5;  // n = 5 with room for one value
  EXPECT_FALSE(ParseResults(BinaryHeader(0) + liar, &data, &error));
  EXPECT_NE(error.find("offset"), std::string::npos);

  // A header alone (shorter than its declared 256 bytes).
  EXPECT_FALSE(ParseResults(BinaryHeader(0).substr(0, 100), &data, &error));

  EXPECT_FALSE(ParseResults("hello\n", &data, &error));
  EXPECT_NE(error.find("not a results file"), std::string::npos);

  std::string ascii = "#VELMOR_SIM_ASCII_FILE,EXPERIMENTS=0\n#FORMAT\n0,1.0\n0,x\n";
  EXPECT_FALSE(ParseResults(ascii, &data, &error));
  EXPECT_NE(error.find("line 4"), std::string::npos) << error;
  EXPECT_FALSE(ParseResults("#VELMOR_SIM_ASCII_FILE,EXPERIMENTS=0\n0,1.0", &data, &error));
}

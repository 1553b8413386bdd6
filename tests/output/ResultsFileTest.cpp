// Tests of the results-file byte formats as pure functions. Expected bytes
// are worked out by hand from the IEEE 754 layout and the field tables.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "output/DataPacket.h"
#include "output/ResultsFile.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Doubled(double value) {
  char out[8];
  PutDouble(out, value);
  return Bytes(out, out + 8);
}

std::string Trimmed(double value) {
  char text[kValueTextSize];
  int length = FormatTrimmedValue(value, text, sizeof text);
  EXPECT_EQ(length, static_cast<int>(std::strlen(text)));
  return text;
}

Bytes Encode(int clientId, int experiment, const DataPacket& first, const DataPacket* second) {
  std::vector<char> buffer(ObservationMessageLength(first, second));
  size_t length = EncodeObservationMessage(clientId, experiment, first, second, buffer.data());
  EXPECT_EQ(length, buffer.size());
  return Bytes(buffer.begin(), buffer.end());
}

void Append(Bytes* to, const Bytes& more) { to->insert(to->end(), more.begin(), more.end()); }

TEST(ResultsFileTest, DoublesAreBigEndianIeee) {
  // 1.0: sign 0, biased exponent 0x3FF, fraction 0.
  EXPECT_EQ(Doubled(1.0), (Bytes{0x3F, 0xF0, 0, 0, 0, 0, 0, 0}));
  // 1.5 = 1.1b: fraction's top bit set, 0x3FF8...
  EXPECT_EQ(Doubled(1.5), (Bytes{0x3F, 0xF8, 0, 0, 0, 0, 0, 0}));
  // -2.5 = -1.01b x 2^1: sign 1, exponent 0x400, fraction 01b -> C004...
  EXPECT_EQ(Doubled(-2.5), (Bytes{0xC0, 0x04, 0, 0, 0, 0, 0, 0}));
  // The smallest subnormal has only the last bit set.
  EXPECT_EQ(Doubled(std::numeric_limits<double>::denorm_min()), (Bytes{0, 0, 0, 0, 0, 0, 0, 1}));
  // -0.0 is the sign bit alone.
  EXPECT_EQ(Doubled(-0.0), (Bytes{0x80, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(ResultsFileTest, IntegersAreBigEndianAndTruncated) {
  char out[4];
  PutInt32(out, 0x01020304);
  EXPECT_EQ(Bytes(out, out + 4), (Bytes{1, 2, 3, 4}));
  PutInt32(out, -2);
  EXPECT_EQ(Bytes(out, out + 4), (Bytes{0xFF, 0xFF, 0xFF, 0xFE}));
  // 70000 = 0x11170: the low 16 bits are 0x1170.
  PutInt16(out, 70000);
  EXPECT_EQ(Bytes(out, out + 2), (Bytes{0x11, 0x70}));
  // 300 = 0x12C: the low 8 bits are 0x2C.
  PutByte(out, 300);
  EXPECT_EQ(static_cast<unsigned char>(out[0]), 0x2C);
  EXPECT_EQ(PutByte(out, 1), out + 1);
  EXPECT_EQ(PutInt16(out, 1), out + 2);
}

TEST(ResultsFileTest, ValuesKeepOneDigitAfterThePoint) {
  EXPECT_EQ(Trimmed(0.5), "0.5");
  EXPECT_EQ(Trimmed(2.0), "2.0");
  EXPECT_EQ(Trimmed(0.0), "0.0");
  EXPECT_EQ(Trimmed(100.0), "100.0");
  EXPECT_EQ(Trimmed(-0.25), "-0.25");
  EXPECT_EQ(Trimmed(-0.0), "-0.0");
  EXPECT_EQ(Trimmed(1e-11), "0.0");  // rounds away at ten decimals
  EXPECT_EQ(Trimmed(5e-10), "0.0000000005");
  EXPECT_EQ(Trimmed(0.1), "0.1");  // 0.1000000000 before trimming
  EXPECT_EQ(Trimmed(1.0 / 3.0), "0.3333333333");
  EXPECT_EQ(Trimmed(2.0 / 3.0), "0.6666666667");
  EXPECT_EQ(Trimmed(1234.5), "1234.5");
}

TEST(ResultsFileTest, HugeValuesFitTheBuffer) {
  // 1e300 has 301 integer digits; ".0" remains after trimming.
  std::string big = Trimmed(1e300);
  EXPECT_EQ(big.size(), 303u);
  EXPECT_EQ(big.substr(0, 17), "10000000000000000");
  EXPECT_EQ(big.substr(301), ".0");
  // DBL_MAX = 1.797...e308: 309 digits, then ".0".
  std::string largest = Trimmed(DBL_MAX);
  EXPECT_EQ(largest.size(), 311u);
  EXPECT_EQ(largest.substr(0, 17), "17976931348623157");
  EXPECT_EQ(Trimmed(-DBL_MAX).size(), 312u);
}

TEST(ResultsFileTest, NonFiniteValuesUseTheLibrarySpelling) {
  EXPECT_EQ(Trimmed(std::numeric_limits<double>::infinity()), "inf");
  EXPECT_EQ(Trimmed(-std::numeric_limits<double>::infinity()), "-inf");
  std::string nan = Trimmed(std::nan(""));
  EXPECT_NE(nan.find("nan"), std::string::npos);
}

TEST(ResultsFileTest, AsciiHeaderLines) {
  EXPECT_EQ(AsciiResultsHeader(0),
            "#VELMOR_SIM_ASCII_FILE,VELMOR_VER=Version 2.4,FILE_VER=1,"
            "EXPERIMENTS=0\n#FORMAT: (PV ID Number),(PV Value)\n");
  std::ostringstream out;
  WriteAsciiResultsHeader(out, 70000);
  EXPECT_EQ(out.str().substr(0, out.str().find('\n')),
            "#VELMOR_SIM_ASCII_FILE,VELMOR_VER=Version 2.4,FILE_VER=1,"
            "EXPERIMENTS=70000");
}

TEST(ResultsFileTest, BinaryHeaderIsTextThenNuls) {
  const std::string text =
      "VELMOR_SIM_BIN_FILE,256,VELMOR_VER=Version 2.4,FILE_VER=1,"
      "EXPERIMENTS=0,";
  ASSERT_EQ(text.size(), 72u);  // 72 text bytes, 184 NULs
  std::ostringstream out;
  WriteBinaryResultsHeader(out, 0);
  const std::string header = out.str();
  ASSERT_EQ(header.size(), 256u);
  EXPECT_EQ(header.substr(0, 72), text);
  EXPECT_EQ(header.substr(72), std::string(184, '\0'));

  char raw[kBinaryHeaderSize];
  std::memset(raw, 'x', sizeof raw);
  BinaryResultsHeader(70000, raw);
  EXPECT_STREQ(raw,
               "VELMOR_SIM_BIN_FILE,256,VELMOR_VER=Version 2.4,FILE_VER=1,"
               "EXPERIMENTS=70000,");
  EXPECT_EQ(raw[255], '\0');
}

TEST(ResultsFileTest, EmptyReportIsNineBytes) {
  DataPacket packet(0, 0, 3, 4);
  // Client 300 -> 0x2C, experiment 70000 -> 0x1170, R = 0.
  EXPECT_EQ(Encode(300, 70000, packet, nullptr), (Bytes{0, 0, 0, 9, 0x2C, 0x11, 0x70, 0, 0}));
}

TEST(ResultsFileTest, OneVariableWithThreeObservations) {
  DataPacket packet(0, 1, 3, 5);
  packet.counts[2] = 3;
  packet.Store(2, 0, 1.0);
  packet.Store(2, 1, -2.5);
  packet.Store(2, 2, 1.5);
  packet.Store(2, 3, 99.0);  // beyond the count: not sent
  // L = 9 + 7 * 1 + 8 * 3 = 40 = 0x28; index 2, type 1, n 3.
  Bytes expected{0, 0, 0, 0x28, 0, 0, 1, 0, 1, 0, 2, 1, 0, 0, 0, 3};
  Append(&expected, Doubled(1.0));
  Append(&expected, Doubled(-2.5));
  Append(&expected, Doubled(1.5));
  EXPECT_EQ(Encode(0, 1, packet, nullptr), expected);
}

TEST(ResultsFileTest, PairFormPutsTypeOneRecordsBeforeTypeTwo) {
  DataPacket first(0, 0, 3, 2);
  DataPacket second(0, 0, 3, 2);
  first.counts[0] = 1;
  first.Store(0, 0, 1.0);
  first.counts[2] = 2;
  first.Store(2, 0, 0.5);
  first.Store(2, 1, 2.0);
  second.counts[2] = 1;
  second.Store(2, 0, 4.0);
  // R = 3, N = 4: L = 9 + 21 + 32 = 62 = 0x3E.
  Bytes expected{0, 0, 0, 0x3E, 7, 0, 9, 0, 3};
  Append(&expected, Bytes{0, 0, 1, 0, 0, 0, 1});
  Append(&expected, Doubled(1.0));
  Append(&expected, Bytes{0, 2, 1, 0, 0, 0, 2});
  Append(&expected, Doubled(0.5));
  Append(&expected, Doubled(2.0));
  Append(&expected, Bytes{0, 2, 2, 0, 0, 0, 1});
  // 4.0 = 1.0 x 2^2: exponent 0x401 -> 40 10 ...
  Append(&expected, Bytes{0x40, 0x10, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(Encode(7, 9, first, &second), expected);
}

TEST(ResultsFileTest, AsciiLinesSkipEmptyVariables) {
  DataPacket first(0, 0, 3, 3);
  first.counts[0] = 2;
  first.Store(0, 0, 0.5);
  first.Store(0, 1, 2.0);
  first.counts[2] = 1;
  first.Store(2, 0, -0.25);
  std::ostringstream single;
  WriteAsciiObservations(single, first, nullptr);
  EXPECT_EQ(single.str(), "0,0.5\n0,2.0\n2,-0.25\n");

  DataPacket second(0, 0, 3, 3);
  second.Store(0, 0, 0.25);
  second.Store(0, 1, 4.0);
  second.Store(2, 0, 0.0625);
  std::ostringstream pair;
  WriteAsciiObservations(pair, first, &second);
  EXPECT_EQ(pair.str(), "0,0.5,0.25\n0,2.0,4.0\n2,-0.25,0.0625\n");
}

TEST(ResultsFileTest, OpenFailureIsReportedWithNameAndReason) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(OpenResultsFile("/nonexistent-dir/x/results.txt", false), nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "ERROR: Unable to open results file "
            "'/nonexistent-dir/x/results.txt': No such file or directory\n");
}

}  // namespace

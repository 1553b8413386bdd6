// Tests of the output side: the report-holding rule, the output step,
// packet recycling and the primitives, without a driver or model.
// Results files are real files in a temporary folder; the binary bytes are
// decoded with the test client's own big-endian readers.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "TestManagerClient.h"
#include "output/DataPacket.h"
#include "output/PacketQueue.h"
#include "output/ReportOutput.h"
#include "output/RunControl.h"
#include "platform/VelmorSocket.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

const std::string kAsciiHeader =
    "#VELMOR_SIM_ASCII_FILE,VELMOR_VER=Version 2.4,FILE_VER=1,"
    "EXPERIMENTS=0\n#FORMAT: (PV ID Number),(PV Value)\n";

// An output side for two performance variables and reportSize 1, as the
// loops leave it just before the first report.
class OutputReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    base = ::testing::TempDir() + "velmor_out_" + info->name();
    reports = new ReportOutput();
    context.numPVs = 2;
    context.reportSize = 1;
    reports->firstPacket = reports->CreateDataPacket(2, context);
    reports->secondPacket = reports->CreateDataPacket(2, context);
  }
  void TearDown() override {
    delete reports;
    delete context.socket;
    std::remove((base + ".txt").c_str());
    std::remove((base + ".bin").c_str());
  }

  void OpenAscii() {
    reports->asciiFile = ReportOutput::CreateASCIIFile((base + ".txt").c_str(), context.experiment);
  }
  void OpenBinary() {
    reports->binaryFile = ReportOutput::CreateBinFile((base + ".bin").c_str(), context.experiment);
  }
  std::string Ascii() { return ReadFile(base + ".txt"); }

  // Report k: variable 0 observes k, variable 1 observes 10 k (squares in
  // the second packet), as the terminating loop fills one replication.
  int Report(int k, double elapsed) {
    DataPacket* first = reports->firstPacket;
    DataPacket* second = reports->secondPacket;
    first->Store(0, 0, k);
    first->Store(1, 0, 10.0 * k);
    second->Store(0, 0, 1.0 * k * k);
    second->Store(1, 0, 100.0 * k * k);
    first->SetAllCounts(1);
    second->SetAllCounts(1);
    context.elapsedSeconds = elapsed;
    return reports->QueueReport(elapsed, context, run);
  }

  // The ASCII lines that reports from..to give.
  static std::vector<std::string> ExpectedLines(int from, int to) {
    std::vector<std::string> out;
    for (int k = from; k <= to; ++k) {
      out.push_back("0," + std::to_string(k) + ".0");
      out.push_back("1," + std::to_string(10 * k) + ".0");
    }
    return out;
  }

  std::string base;
  RunControl run;
  ReportOutput* reports = nullptr;
  ReportContext context;
};

TEST_F(OutputReportTest, FirstTenAtOnceThenHeldUntilTwentyFiveWait) {
  OpenAscii();
  EXPECT_EQ(Ascii(), kAsciiHeader);
  // Elapsed 0: the average time per output step is always below 0.2 s.
  for (int k = 1; k <= 10; ++k) {
    ASSERT_EQ(Report(k, 0.0), 1) << "report " << k;
    EXPECT_EQ(Lines(Ascii()).size(), 2u + 2u * k);
  }
  // Reports 11 to 34 wait: after report k the queue holds 2 (k - 10)
  // packets, fewer than 50.
  for (int k = 11; k <= 34; ++k) {
    ASSERT_EQ(Report(k, 0.0), 0) << "report " << k;
    EXPECT_EQ(reports->pendingPackets->Length(), 2 * (k - 10));
  }
  EXPECT_EQ(Lines(Ascii()).size(), 22u);
  // Report 35 fills the queue (50 packets): all 25 reports go out together.
  EXPECT_EQ(Report(35, 0.0), 1);
  EXPECT_EQ(reports->pendingPackets->Length(), 0);
  EXPECT_EQ(reports->reportCounter, 12);  // eleven output steps so far
  std::vector<std::string> lines = Lines(Ascii());
  std::vector<std::string> body(lines.begin() + 2, lines.end());
  EXPECT_EQ(body, ExpectedLines(1, 35));
  EXPECT_EQ(run.runState, 0);
}

TEST_F(OutputReportTest, SlowOutputStepsAreNotHeld) {
  OpenAscii();
  for (int k = 1; k <= 10; ++k) Report(k, 0.0);
  // After ten steps reportCounter is 11: 2.75 / 11 = 0.25 >= 0.2 writes,
  // 1.65 / 11 = 0.15 holds.
  EXPECT_EQ(Report(11, 2.75), 1);
  EXPECT_EQ(reports->reportCounter, 12);
  EXPECT_EQ(Report(12, 1.8), 0);  // 1.8 / 12 = 0.15
  EXPECT_EQ(Report(13, 3.0), 1);  // 3.0 / 12 = 0.25: writes 12 and 13
  std::vector<std::string> lines = Lines(Ascii());
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.end()), ExpectedLines(1, 13));
}

TEST_F(OutputReportTest, LastReportIsWrittenWithEverythingHeld) {
  OpenAscii();
  for (int k = 1; k <= 15; ++k) Report(k, 0.0);
  EXPECT_EQ(reports->pendingPackets->Length(), 10);
  run.runState = 1;  // the loop reached its batch limit
  EXPECT_EQ(Report(16, 0.0), 1);
  EXPECT_EQ(run.runState, 2);
  std::vector<std::string> lines = Lines(Ascii());
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.end()), ExpectedLines(1, 16));
}

TEST_F(OutputReportTest, PacketsAreRecycledWithoutAnyOutput) {
  // No results files and no link: reports are still taken and held.
  std::set<DataPacket*> seen;
  for (int k = 1; k <= 300; ++k) {
    Report(k, 0.0);
    seen.insert(reports->firstPacket);
    seen.insert(reports->secondPacket);
  }
  // Two being filled and at most 50 held: never more than 52 packets.
  EXPECT_LE(seen.size(), 52u);
  EXPECT_GT(seen.size(), 2u);
  EXPECT_EQ(run.runState, 0);
}

TEST_F(OutputReportTest, BinaryFileHoldsOneMessagePerReport) {
  OpenBinary();
  context.clientId = 300;
  context.experiment = 70000;
  Report(1, 0.0);
  reports->firstPacket->counts[0] = 0;  // variable 0 has nothing this time
  reports->firstPacket->counts[1] = 1;
  reports->firstPacket->Store(1, 0, 0.5);
  reports->QueueReport(0.0, context, run);
  const std::string file = ReadFile(base + ".bin");
  // Header, then L = 9 + 2 * 7 + 2 * 8 = 39 and L = 9 + 7 + 8 = 24.
  ASSERT_EQ(file.size(), 256u + 39u + 24u);
  const unsigned char* m = reinterpret_cast<const unsigned char*>(file.data()) + 256;
  EXPECT_EQ(ReadUInt32BE(m), 39u);
  EXPECT_EQ(m[4], 0x2C);                   // 300 & 0xFF
  EXPECT_EQ(ReadUInt16BE(m + 5), 0x1170);  // 70000 & 0xFFFF
  EXPECT_EQ(ReadUInt16BE(m + 7), 2);
  EXPECT_EQ(ReadUInt16BE(m + 9), 0);  // variable 0, type 1, one value
  EXPECT_EQ(m[11], 1);
  EXPECT_EQ(ReadUInt32BE(m + 12), 1u);
  EXPECT_EQ(ReadDoubleBE(m + 16), 1.0);
  EXPECT_EQ(ReadUInt16BE(m + 24), 1);
  EXPECT_EQ(ReadDoubleBE(m + 31), 10.0);
  const unsigned char* second = m + 39;
  EXPECT_EQ(ReadUInt32BE(second), 24u);
  EXPECT_EQ(ReadUInt16BE(second + 7), 1);  // only variable 1
  EXPECT_EQ(ReadUInt16BE(second + 9), 1);
  EXPECT_EQ(ReadDoubleBE(second + 16), 0.5);
}

TEST_F(OutputReportTest, HeldReportsCanBeDroppedUnwritten) {
  OpenAscii();
  for (int k = 1; k <= 14; ++k) Report(k, 0.0);
  const int freeBefore = reports->freePackets->Length();
  reports->ResetDataPacketBuffer();
  EXPECT_EQ(reports->pendingPackets->Length(), 0);
  EXPECT_EQ(reports->freePackets->Length(), freeBefore + 8);
  EXPECT_EQ(Lines(Ascii()).size(), 22u);  // reports 11 to 14 never written
}

TEST_F(OutputReportTest, PrimitivesWriteBigEndianAndSurviveAFailedSend) {
  std::ostringstream out;
  const double values[2] = {1.0, -2.5};
  EXPECT_EQ(ReportOutput::Output(nullptr, &out, values, 2, run), 16);
  EXPECT_EQ(ReportOutput::OutputInt(nullptr, &out, -2, run), 4);
  EXPECT_EQ(ReportOutput::OutputShort(nullptr, &out, 0x1234, run), 2);
  EXPECT_EQ(ReportOutput::OutputByte(nullptr, &out, 0xAB, run), 1);
  // 1.0 = 3F F0 0..., -2.5 = C0 04 0... (sign 1, exponent 0x400, 01b).
  const std::string expected = std::string("\x3F\xF0\0\0\0\0\0\0", 8) +
                               std::string("\xC0\x04\0\0\0\0\0\0", 8) +
                               "\xFF\xFF\xFF\xFE\x12\x34\xAB";
  EXPECT_EQ(out.str(), expected);
  EXPECT_EQ(run.runState, 0);
  // A socket without a connection: every send fails, the run is marked
  // stopped, and the stream still receives the bytes.
  VelmorSocket dead(false);
  std::ostringstream file;
  EXPECT_EQ(ReportOutput::OutputInt(&dead, &file, 5, run), -1);
  EXPECT_EQ(run.runState, 2);
  EXPECT_EQ(ReportOutput::Output(&dead, &file, values, 1, run), -1);
  EXPECT_EQ(ReportOutput::OutputCPUTime(&dead, 1.5, context, run), -1);
  EXPECT_EQ(file.str(), std::string("\0\0\0\x05\x3F\xF0\0\0\0\0\0\0", 12));
  // EndianConvertDouble reverses the 8 bytes.
  const double swapped = ReportOutput::EndianConvertDouble(1.0);
  unsigned char a[8];
  unsigned char b[8];
  const double one = 1.0;
  std::memcpy(a, &one, 8);
  std::memcpy(b, &swapped, 8);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(b[i], a[7 - i]) << "byte " << i;
}

TEST_F(OutputReportTest, BrokenLinkStopsTheRunButNotTheFiles) {
  alarm(20);
  OpenBinary();
  VelmorSocket listener(true);
  ASSERT_TRUE(listener.Bind(0));
  ASSERT_TRUE(listener.Listen(1));
  TestManagerClient manager;
  ASSERT_TRUE(manager.Connect(listener.BoundPort(), 5000));
  context.socket = new VelmorSocket(false);
  ASSERT_TRUE(listener.Accept(*context.socket));
  Report(1, 0.0);
  std::vector<unsigned char> message;
  ASSERT_TRUE(manager.ReadMessage(&message, 5000));
  EXPECT_EQ(message.size(), 16u);  // the CPU-time message comes first
  ASSERT_TRUE(manager.ReadMessage(&message, 5000));
  EXPECT_EQ(message.size(), 39u);
  manager.Close();
  // A send into a closed connection fails (the first may still be taken
  // by the kernel); the run stops and the file keeps whole messages.
  int sent = 1;
  while (run.runState == 0 && sent < 10) {
    ++sent;
    Report(sent, 0.0);
    usleep(20000);
  }
  EXPECT_EQ(run.runState, 2);
  EXPECT_EQ(ReadFile(base + ".bin").size(), 256u + 39u * sent);
  alarm(0);
}

}  // namespace

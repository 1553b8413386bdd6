// Tests of the manager link on 127.0.0.1: waiting for the connection, the
// port walk, registration and the manager's commands. The manager side is
// the test client (plain POSIX sockets); every test runs under an alarm.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "TestManagerClient.h"
#include "platform/VelmorSocket.h"
#include "output/DataPacket.h"
#include "simulator/SimulatorClass.h"

namespace {

using Bytes = std::vector<unsigned char>;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path) { return std::ifstream(path).good(); }

// The control reply with this process's id, laid out by hand.
Bytes Reply(unsigned char marker, unsigned char code) {
  const uint32_t pid = static_cast<uint32_t>(getpid());
  return Bytes{0,
               0,
               0,
               10,
               marker,
               code,
               static_cast<unsigned char>(pid >> 24),
               static_cast<unsigned char>(pid >> 16),
               static_cast<unsigned char>(pid >> 8),
               static_cast<unsigned char>(pid)};
}

char* Copy(const std::string& text) {
  char* out = new char[text.size() + 1];
  std::memcpy(out, text.c_str(), text.size() + 1);
  return out;
}

// A free port: bound by the system, then released.
int FreePort() {
  VelmorSocket probe(true);
  EXPECT_TRUE(probe.Bind(0));
  return probe.BoundPort();
}

// The port printed on the REGISTER line, or -1.
int PrintedPort(const std::string& out) {
  int port = -1;
  if (std::sscanf(out.c_str(), "REGISTER:  Port: [%d]\n", &port) != 1) {
    return -1;
  }
  return out == "REGISTER:  Port: [" + std::to_string(port) + "]\n" ? port : -1;
}

class SimMgrLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    alarm(30);
    base = ::testing::TempDir() + "velmor_link_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
    sim = new SimulatorClass(SimulatorClass::FieldsOnly{});
  }
  void TearDown() override {
    delete sim;
    std::remove((base + ".bin").c_str());
    alarm(0);
  }

  // Connects the test manager and hands the accepted side to the
  // simulator as its link.
  void Connect() {
    ASSERT_TRUE(listener.Bind(0));
    ASSERT_TRUE(listener.Listen(1));
    ASSERT_TRUE(manager.Connect(listener.BoundPort(), 5000));
    sim->simMgrSocket = new VelmorSocket(false);
    ASSERT_TRUE(listener.Accept(*sim->simMgrSocket));
  }

  Bytes ReadBytes(size_t n) {
    Bytes out(n);
    EXPECT_TRUE(manager.ReadExact(out.data(), n, 5000));
    return out;
  }

  std::string base;
  SimulatorClass* sim = nullptr;
  VelmorSocket listener{true};
  TestManagerClient manager;
};

TEST_F(SimMgrLinkTest, NoTimeLeftReturnsNoneAfterAnnouncingThePort) {
  sim->port = 0;  // the system chooses
  testing::internal::CaptureStdout();
  EXPECT_EQ(sim->WaitForSimMgrConnection(0), nullptr);
  const int printed = PrintedPort(testing::internal::GetCapturedStdout());
  EXPECT_GT(printed, 0);
  EXPECT_EQ(printed, sim->port);
  ASSERT_NE(sim->listenSocket, nullptr);
  EXPECT_EQ(sim->listenSocket->BoundPort(), printed);
}

TEST_F(SimMgrLinkTest, PortInUseWalksToTheNextOne) {
  VelmorSocket occupant(true);
  ASSERT_TRUE(occupant.Bind(0));
  ASSERT_TRUE(occupant.Listen(1));
  const int taken = occupant.BoundPort();
  sim->port = static_cast<unsigned short>(taken);
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  EXPECT_EQ(sim->WaitForSimMgrConnection(0), nullptr);
  const int printed = PrintedPort(testing::internal::GetCapturedStdout());
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");  // in use: silent
  EXPECT_GT(printed, taken);
  EXPECT_EQ(printed, sim->port);
}

TEST_F(SimMgrLinkTest, WaitEndsAfterWholePasses) {
  sim->port = 0;
  sim->acceptPollMillis = 200;
  testing::internal::CaptureStdout();
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(sim->WaitForSimMgrConnection(250), nullptr);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  testing::internal::GetCapturedStdout();
  // Each pass waits the whole 200 ms and counts as that: 250 -> 50 -> -150,
  // so two passes, 400 ms (not 250).
  EXPECT_GE(seconds, 0.38);
  EXPECT_LT(seconds, 2.0);
}

TEST_F(SimMgrLinkTest, ConnectingManagerGetsTheRegistration) {
  const int port = FreePort();
  sim->port = static_cast<unsigned short>(port);
  Bytes registration(10);
  bool received = false;
  std::thread client([&] {
    received = manager.Connect(port, 5000) && manager.ReadExact(registration.data(), 10, 5000);
  });
  testing::internal::CaptureStdout();
  VelmorSocket* link = sim->WaitForSimMgrConnection(10000);
  const std::string out = testing::internal::GetCapturedStdout();
  client.join();
  ASSERT_NE(link, nullptr);
  sim->simMgrSocket = link;
  EXPECT_EQ(PrintedPort(out), port);
  EXPECT_TRUE(received);
  EXPECT_EQ(registration, Reply(0xFF, 1));
  EXPECT_EQ(sim->runState, 0);
}

TEST_F(SimMgrLinkTest, QuitStopsTheRun) {
  Connect();
  ASSERT_TRUE(manager.SendBytes(std::string(1, '\x02')));
  testing::internal::CaptureStdout();
  sim->ListenToSimMgr(sim->simMgrSocket);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "SOCKET::Quit\n");
  EXPECT_EQ(ReadBytes(10), Reply(0xFE, 2));
  EXPECT_EQ(sim->runState, 2);
}

TEST_F(SimMgrLinkTest, UnknownCommandIsReportedAndIdentifyAnswered) {
  Connect();
  ASSERT_TRUE(manager.SendBytes("\x09\x01"));
  testing::internal::CaptureStderr();
  sim->ListenToSimMgr(sim->simMgrSocket);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "!! Invalid Response Received by Client \n!! Simulation\n");
  EXPECT_EQ(sim->runState, 0);
  // The link still works: the identify behind it is answered.
  EXPECT_EQ(sim->ListenToSimMgr(sim->simMgrSocket), 1);
  EXPECT_EQ(ReadBytes(10), Reply(0xFF, 1));
  EXPECT_EQ(sim->runState, 0);
}

TEST_F(SimMgrLinkTest, ClosedManagerIsNotAReadError) {
  Connect();
  manager.Close();
  testing::internal::CaptureStdout();
  EXPECT_EQ(sim->ListenToSimMgr(sim->simMgrSocket), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(sim->runState, 0);
}

TEST_F(SimMgrLinkTest, SocketErrorsStopTheRun) {
  // A select that fails: its own line on standard error, then the stop.
  sim->simMgrSocket = new VelmorSocket(false);
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  sim->ListenToSimMgr(sim->simMgrSocket);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "error in select" + std::to_string(EBADF) + "\n");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error reading socket 'select'... Exiting.\n");
  EXPECT_EQ(sim->runState, 2);
  delete sim->simMgrSocket;
  sim->simMgrSocket = nullptr;
  // A link that has printed an error before (a refused bind) and then
  // reads nothing because the manager left: the read error stops the run.
  sim->runState = 0;
  Connect();
  testing::internal::CaptureStderr();
  EXPECT_FALSE(sim->simMgrSocket->Bind(0));
  testing::internal::GetCapturedStderr();
  manager.Close();
  ASSERT_TRUE(sim->simMgrSocket->Select(5000));
  testing::internal::CaptureStdout();
  sim->ListenToSimMgr(sim->simMgrSocket);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error reading socket 'read'... Exiting.\n");
  EXPECT_EQ(sim->runState, 2);
}

TEST_F(SimMgrLinkTest, RedirectOpensTheBinaryFileAndDropsTheLink) {
  Connect();
  sim->numPVs = 1;
  sim->reportSize = 1;
  sim->firstPacket = sim->CreateDataPacket(1);
  sim->secondPacket = sim->CreateDataPacket(1);
  ASSERT_TRUE(manager.SendBytes("\x03" + base + ".bin;25;;"));
  sim->ListenToSimMgr(sim->simMgrSocket);
  EXPECT_EQ(ReadBytes(10), Reply(0xFF, 3));
  EXPECT_TRUE(manager.WaitForClose(5000));
  EXPECT_EQ(sim->simMgrSocket, nullptr);
  ASSERT_NE(sim->binaryFileName, nullptr);
  EXPECT_EQ(std::string(sim->binaryFileName), base + ".bin");
  EXPECT_EQ(sim->maxBatches, 25);
  EXPECT_EQ(ReadFile(base + ".bin").size(), 256u);
  // Later reports go to the new file: 9 + 7 + 8 = 24 more bytes.
  sim->firstPacket->counts[0] = 1;
  sim->firstPacket->Store(0, 0, 2.0);
  sim->CheckReportSize(0.0);
  EXPECT_EQ(ReadFile(base + ".bin").size(), 256u + 24u);
  EXPECT_EQ(sim->runState, 0);
}

TEST_F(SimMgrLinkTest, RedirectKeepsABinaryFileAlreadyNamed) {
  Connect();
  sim->binaryFileName = Copy(base + "-given.bin");
  sim->maxBatches = 7;
  ASSERT_TRUE(manager.SendBytes("\x03" + base + ".bin;25;;"));
  sim->ListenToSimMgr(sim->simMgrSocket);
  EXPECT_EQ(ReadBytes(10), Reply(0xFF, 3));
  EXPECT_TRUE(manager.WaitForClose(5000));
  EXPECT_EQ(std::string(sim->binaryFileName), base + "-given.bin");
  EXPECT_EQ(sim->maxBatches, 7);
  EXPECT_FALSE(Exists(base + ".bin"));
  EXPECT_EQ(sim->simMgrSocket, nullptr);
}

TEST_F(SimMgrLinkTest, RedirectWithoutFileNameCreatesNothing) {
  Connect();
  sim->maxBatches = 0;
  ASSERT_TRUE(manager.SendBytes("\x03;;"));
  sim->ListenToSimMgr(sim->simMgrSocket);
  EXPECT_EQ(ReadBytes(10), Reply(0xFF, 3));
  EXPECT_TRUE(manager.WaitForClose(5000));
  EXPECT_EQ(sim->binaryFileName, nullptr);
  EXPECT_EQ(sim->binaryFile, nullptr);
  EXPECT_EQ(sim->maxBatches, 0);
  EXPECT_EQ(sim->simMgrSocket, nullptr);
  EXPECT_EQ(sim->runState, 0);
}

TEST_F(SimMgrLinkTest, RedirectTextMayArriveInPieces) {
  Connect();
  sim->listenPollMillis = 5000;  // the command byte comes from a thread
  std::thread sender([this] {
    manager.SendBytes("\x03" + base);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    manager.SendBytes(".bin;3;");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    manager.SendBytes(";");
  });
  sim->ListenToSimMgr(sim->simMgrSocket);
  sender.join();
  EXPECT_EQ(ReadBytes(10), Reply(0xFF, 3));
  EXPECT_EQ(sim->maxBatches, 3);
  EXPECT_TRUE(Exists(base + ".bin"));
}

TEST_F(SimMgrLinkTest, RedirectToUnopenableFileKeepsRunning) {
  Connect();
  ASSERT_TRUE(manager.SendBytes("\x03/nonexistent-dir/q/r.bin;4;;"));
  testing::internal::CaptureStderr();
  sim->ListenToSimMgr(sim->simMgrSocket);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "ERROR: Unable to open results file '/nonexistent-dir/q/r.bin': "
            "No such file or directory\n");
  EXPECT_EQ(ReadBytes(10), Reply(0xFF, 3));
  EXPECT_EQ(sim->binaryFile, nullptr);
  EXPECT_EQ(sim->maxBatches, 4);
  EXPECT_EQ(sim->runState, 0);
}

}  // namespace

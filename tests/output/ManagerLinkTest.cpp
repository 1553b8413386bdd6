// Tests of the manager link on 127.0.0.1, without a driver or model:
// waiting for the connection, the port walk, registration and the
// manager's commands. The manager side is the test client (plain POSIX
// sockets); every test runs under an alarm.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "TestManagerClient.h"
#include "output/DataPacket.h"
#include "output/ManagerLink.h"
#include "output/ReportOutput.h"
#include "output/RunControl.h"
#include "platform/VelmorSocket.h"

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

// The link with the run state and output side it works on; the fixture
// applies redirects to its own file name and batch limit as the driver
// does.
class SimMgrLinkTest : public ::testing::Test, public RedirectHandler {
 protected:
  // A manager may only name files in the working folder: the tests work in
  // the temporary folder and name their files relative to it.
  void SetUp() override {
    alarm(30);
    char* here = getcwd(nullptr, 0);
    ASSERT_NE(here, nullptr);
    saved = here;
    std::free(here);
    ASSERT_EQ(chdir(::testing::TempDir().c_str()), 0);
    base = std::string("velmor_link_") +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
  }
  void TearDown() override {
    delete[] binaryFileName;
    std::remove((base + ".bin").c_str());
    EXPECT_EQ(chdir(saved.c_str()), 0);
    unsetenv("VELMOR_SIMMGR_WAIT_MS");
    unsetenv("VELMOR_SIMMGR_LOOPBACK");
    alarm(0);
  }

  // Connects the test manager and hands the accepted side to the
  // simulator as its link.
  void Connect() {
    if (listener.BoundPort() <= 0) {  // the first connection of the test
      ASSERT_TRUE(listener.Bind(0));
      ASSERT_TRUE(listener.Listen(1));
    }
    ASSERT_TRUE(manager.Connect(listener.BoundPort(), 5000));
    link.simMgrSocket = new VelmorSocket(false);
    ASSERT_TRUE(listener.Accept(*link.simMgrSocket));
  }

  Bytes ReadBytes(size_t n) {
    Bytes out(n);
    EXPECT_TRUE(manager.ReadExact(out.data(), n, 5000));
    return out;
  }

  void ApplyRedirect(const RedirectRequest& request) override {
    reports.TakeRedirect(request, 0, &binaryFileName, &maxBatches);
  }
  int Listen() { return link.ListenToSimMgr(link.simMgrSocket, run, *this); }

  std::string base;
  std::string saved;  // the working folder before the test
  RunControl run;
  ManagerLink link;
  ReportOutput reports;
  unsigned short port = 10000;
  char* binaryFileName = nullptr;
  int maxBatches = -1;
  VelmorSocket listener{true};
  TestManagerClient manager;
};

TEST_F(SimMgrLinkTest, NoTimeLeftReturnsNoneAfterAnnouncingThePort) {
  port = 0;  // the system chooses
  testing::internal::CaptureStdout();
  EXPECT_EQ(link.WaitForSimMgrConnection(0, &port, run), nullptr);
  const int printed = PrintedPort(testing::internal::GetCapturedStdout());
  EXPECT_GT(printed, 0);
  EXPECT_EQ(printed, port);
  ASSERT_NE(link.listenSocket, nullptr);
  EXPECT_EQ(link.listenSocket->BoundPort(), printed);
}

TEST_F(SimMgrLinkTest, PortInUseWalksToTheNextOne) {
  VelmorSocket occupant(true);
  ASSERT_TRUE(occupant.Bind(0));
  ASSERT_TRUE(occupant.Listen(1));
  const int taken = occupant.BoundPort();
  port = static_cast<unsigned short>(taken);
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  EXPECT_EQ(link.WaitForSimMgrConnection(0, &port, run), nullptr);
  const int printed = PrintedPort(testing::internal::GetCapturedStdout());
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");  // in use: silent
  EXPECT_GT(printed, taken);
  EXPECT_EQ(printed, port);
}

TEST_F(SimMgrLinkTest, WaitEndsAfterWholePasses) {
  port = 0;
  link.acceptPollMillis = 200;
  testing::internal::CaptureStdout();
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(link.WaitForSimMgrConnection(250, &port, run), nullptr);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  testing::internal::GetCapturedStdout();
  // Each pass waits the whole 200 ms and counts as that: 250 -> 50 -> -150,
  // so two passes, 400 ms (not 250).
  EXPECT_GE(seconds, 0.38);
  EXPECT_LT(seconds, 2.0);
}

TEST_F(SimMgrLinkTest, ConnectingManagerGetsTheRegistration) {
  const int free = FreePort();
  port = static_cast<unsigned short>(free);
  Bytes registration(10);
  bool received = false;
  std::thread client([&] {
    received = manager.Connect(free, 5000) && manager.ReadExact(registration.data(), 10, 5000);
  });
  testing::internal::CaptureStdout();
  VelmorSocket* connection = link.WaitForSimMgrConnection(10000, &port, run);
  const std::string out = testing::internal::GetCapturedStdout();
  client.join();
  ASSERT_NE(connection, nullptr);
  link.simMgrSocket = connection;
  EXPECT_EQ(PrintedPort(out), free);
  EXPECT_TRUE(received);
  EXPECT_EQ(registration, Reply(0xFF, 1));
  EXPECT_EQ(run.runState, 0);
}

TEST_F(SimMgrLinkTest, QuitStopsTheRun) {
  Connect();
  ASSERT_TRUE(manager.SendBytes(std::string(1, '\x02')));
  testing::internal::CaptureStdout();
  Listen();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "SOCKET::Quit\n");
  EXPECT_EQ(ReadBytes(10), Reply(0xFE, 2));
  EXPECT_EQ(run.runState, 2);
}

TEST_F(SimMgrLinkTest, UnknownCommandIsReportedAndIdentifyAnswered) {
  Connect();
  ASSERT_TRUE(manager.SendBytes("\x09\x01"));
  testing::internal::CaptureStderr();
  Listen();
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "!! Invalid Response Received by Client \n!! Simulation\n");
  EXPECT_EQ(run.runState, 0);
  // The link still works: the identify behind it is answered.
  EXPECT_EQ(Listen(), 1);
  EXPECT_EQ(ReadBytes(10), Reply(0xFF, 1));
  EXPECT_EQ(run.runState, 0);
}

TEST_F(SimMgrLinkTest, ClosedManagerIsNotAReadError) {
  Connect();
  manager.Close();
  testing::internal::CaptureStdout();
  EXPECT_EQ(Listen(), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(run.runState, 0);
}

TEST_F(SimMgrLinkTest, SocketErrorsStopTheRun) {
  // A select that fails: its own line on standard error, then the stop.
  link.simMgrSocket = new VelmorSocket(false);
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  Listen();
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "error in select" + std::to_string(EBADF) + "\n");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error reading socket 'select'... Exiting.\n");
  EXPECT_EQ(run.runState, 2);
  delete link.simMgrSocket;
  link.simMgrSocket = nullptr;
  // A link that has printed an error before (a refused bind) and then
  // reads nothing because the manager left: the read error stops the run.
  run.runState = 0;
  Connect();
  testing::internal::CaptureStderr();
  EXPECT_FALSE(link.simMgrSocket->Bind(0));
  testing::internal::GetCapturedStderr();
  manager.Close();
  ASSERT_TRUE(link.simMgrSocket->Select(5000));
  testing::internal::CaptureStdout();
  Listen();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error reading socket 'read'... Exiting.\n");
  EXPECT_EQ(run.runState, 2);
}

TEST_F(SimMgrLinkTest, RedirectOpensTheBinaryFileAndDropsTheLink) {
  Connect();
  ReportContext context;
  context.numPVs = 1;
  context.reportSize = 1;
  reports.firstPacket = reports.CreateDataPacket(1, context);
  reports.secondPacket = reports.CreateDataPacket(1, context);
  ASSERT_TRUE(manager.SendBytes("\x03" + base + ".bin;25;;"));
  Listen();
  EXPECT_EQ(ReadBytes(10), Reply(0xFF, 3));
  EXPECT_TRUE(manager.WaitForClose(5000));
  EXPECT_EQ(link.simMgrSocket, nullptr);
  ASSERT_NE(binaryFileName, nullptr);
  EXPECT_EQ(std::string(binaryFileName), base + ".bin");
  EXPECT_EQ(maxBatches, 25);
  EXPECT_EQ(ReadFile(base + ".bin").size(), 256u);
  // Later reports go to the new file: 9 + 7 + 8 = 24 more bytes.
  reports.firstPacket->counts[0] = 1;
  reports.firstPacket->Store(0, 0, 2.0);
  reports.QueueReport(0.0, context, run);
  EXPECT_EQ(ReadFile(base + ".bin").size(), 256u + 24u);
  EXPECT_EQ(run.runState, 0);
}

TEST_F(SimMgrLinkTest, RedirectKeepsABinaryFileAlreadyNamed) {
  Connect();
  binaryFileName = Copy(base + "-given.bin");
  maxBatches = 7;
  ASSERT_TRUE(manager.SendBytes("\x03" + base + ".bin;25;;"));
  Listen();
  EXPECT_EQ(ReadBytes(10), Reply(0xFF, 3));
  EXPECT_TRUE(manager.WaitForClose(5000));
  EXPECT_EQ(std::string(binaryFileName), base + "-given.bin");
  EXPECT_EQ(maxBatches, 7);
  EXPECT_FALSE(Exists(base + ".bin"));
  EXPECT_EQ(link.simMgrSocket, nullptr);
}

TEST_F(SimMgrLinkTest, RedirectWithoutFileNameCreatesNothing) {
  Connect();
  maxBatches = 0;
  ASSERT_TRUE(manager.SendBytes("\x03;;"));
  Listen();
  EXPECT_EQ(ReadBytes(10), Reply(0xFF, 3));
  EXPECT_TRUE(manager.WaitForClose(5000));
  EXPECT_EQ(binaryFileName, nullptr);
  EXPECT_EQ(reports.binaryFile, nullptr);
  EXPECT_EQ(maxBatches, 0);
  EXPECT_EQ(link.simMgrSocket, nullptr);
  EXPECT_EQ(run.runState, 0);
}

TEST_F(SimMgrLinkTest, RedirectTextMayArriveInPieces) {
  Connect();
  link.listenPollMillis = 5000;  // the command byte comes from a thread
  std::thread sender([this] {
    manager.SendBytes("\x03" + base);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    manager.SendBytes(".bin;3;");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    manager.SendBytes(";");
  });
  Listen();
  sender.join();
  EXPECT_EQ(ReadBytes(10), Reply(0xFF, 3));
  EXPECT_EQ(maxBatches, 3);
  EXPECT_TRUE(Exists(base + ".bin"));
}

TEST_F(SimMgrLinkTest, RedirectToUnopenableFileKeepsRunning) {
  Connect();
  const std::string folder = base + "_folder";  // a folder cannot be opened as a file
  ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
  ASSERT_TRUE(manager.SendBytes("\x03" + folder + ";4;;"));
  testing::internal::CaptureStderr();
  Listen();
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "ERROR: Unable to open results file '" + folder + "': Is a directory\n");
  rmdir(folder.c_str());
  EXPECT_EQ(ReadBytes(10), Reply(0xFF, 3));
  EXPECT_EQ(reports.binaryFile, nullptr);
  EXPECT_EQ(maxBatches, 4);
  EXPECT_EQ(run.runState, 0);
}

// A peer may not make the simulator create or truncate files outside its
// working folder: a name with a path separator or ".." is refused like a
// name that cannot be opened (reply, link closed, the run goes on).
TEST_F(SimMgrLinkTest, RedirectOutsideTheWorkingFolderIsRefused) {
  const std::string outside = ::testing::TempDir() + base + "_outside.bin";
  for (const std::string& name : {std::string("../") + base + ".bin", outside,
                                  std::string("sub\\x.bin"), std::string("a..b")}) {
    Connect();
    ASSERT_TRUE(manager.SendBytes("\x03" + name + ";4;;"));
    testing::internal::CaptureStderr();
    Listen();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "ERROR: Unable to open results file '" + name +
                  "': a name from the manager must not contain a path separator or '..'\n");
    EXPECT_EQ(ReadBytes(10), Reply(0xFF, 3));
    EXPECT_TRUE(manager.WaitForClose(5000));
    EXPECT_EQ(link.simMgrSocket, nullptr);
    EXPECT_EQ(reports.binaryFile, nullptr);
    EXPECT_EQ(maxBatches, 4);
    EXPECT_EQ(run.runState, 0);
    EXPECT_FALSE(Exists(name)) << name;
    delete[] binaryFileName;
    binaryFileName = nullptr;
    manager.Close();
  }
  EXPECT_FALSE(Exists("../" + base + ".bin"));
}

// One deadline for the whole text: a peer that sends a byte every 100 ms
// never finishes "name;4;;" within the 300 ms wait, although no single gap
// reaches it (restarting the wait at every byte let a slow peer stall a run
// for hours). The text is dropped: no file, the link closes.
TEST_F(SimMgrLinkTest, RedirectTextHasOneDeadlineForTheWholeText) {
  setenv("VELMOR_SIMMGR_WAIT_MS", "300", 1);
  Connect();
  link.listenPollMillis = 5000;  // the command byte comes from a thread
  const std::string text = base + ".bin;4;;";
  std::thread sender([this, text] {
    manager.SendBytes("\x03");
    for (char c : text) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      if (!manager.SendBytes(std::string(1, c))) break;
    }
  });
  Listen();
  EXPECT_EQ(ReadBytes(10), Reply(0xFF, 3));
  sender.join();
  EXPECT_FALSE(Exists(base + ".bin"));
  EXPECT_EQ(maxBatches, -1);
  EXPECT_EQ(link.simMgrSocket, nullptr);
}

// A wait that is not a whole number of milliseconds is ignored: "abc" used
// to mean no wait at all, so a manager could never connect.
TEST_F(SimMgrLinkTest, WaitThatIsNotANumberIsIgnored) {
  for (const char* wait : {"abc", "12x"}) {
    setenv("VELMOR_SIMMGR_WAIT_MS", wait, 1);
    const int free = FreePort();
    port = static_cast<unsigned short>(free);
    TestManagerClient client;
    bool connected = false;
    std::thread connector([&] { connected = client.Connect(free, 5000); });
    testing::internal::CaptureStdout();
    VelmorSocket* connection = link.WaitForSimMgrConnection(10000, &port, run);
    testing::internal::GetCapturedStdout();
    connector.join();
    EXPECT_NE(connection, nullptr) << wait;
    EXPECT_TRUE(connected) << wait;
    delete connection;
  }
}

// The local address of the listening TCP socket on port, as /proc lists it
// (8 hex digits), or "" when there is none.
std::string ListeningAddress(int port) {
  std::ifstream table("/proc/net/tcp");
  std::string line;
  std::getline(table, line);  // the heading
  char wanted[8];
  std::snprintf(wanted, sizeof wanted, "%04X", port);
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    std::string slot, local, remote, state;
    fields >> slot >> local >> remote >> state;
    if (state == "0A" && local.size() == 13 && local.substr(9) == wanted) return local.substr(0, 8);
  }
  return "";
}

// Every address by default (remote managers rely on it); 127.0.0.1 alone
// with VELMOR_SIMMGR_LOOPBACK=1.
TEST_F(SimMgrLinkTest, LoopbackOnlyListeningIsOptIn) {
  struct Case {
    const char* value;
    const char* address;
  };
  for (const Case& c : {Case{nullptr, "00000000"}, Case{"1", "0100007F"}, Case{"0", "00000000"}}) {
    if (c.value == nullptr) {
      unsetenv("VELMOR_SIMMGR_LOOPBACK");
    } else {
      setenv("VELMOR_SIMMGR_LOOPBACK", c.value, 1);
    }
    port = 0;
    testing::internal::CaptureStdout();
    EXPECT_EQ(link.WaitForSimMgrConnection(0, &port, run), nullptr);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(ListeningAddress(port), c.address) << (c.value ? c.value : "unset");
  }
}

}  // namespace

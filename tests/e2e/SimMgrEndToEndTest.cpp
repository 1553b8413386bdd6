// End-to-end tests of the manager link: the test manager client starts the
// test model's simulator with -w -p 0, reads the port from its standard
// output, connects and talks the protocol, then compares what came over the
// link with the results files. Every read and every run has a time-out.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "RunProcess.h"
#include "TestManagerClient.h"

namespace {

using Bytes = std::vector<unsigned char>;
constexpr int kTimeoutMs = 30000;

std::string Simulator() { return std::string(VELMOR_BIN_DIR) + "/velmor_test_model_sim"; }

// One observation as the ASCII file lists it.
struct Observation {
  int index;
  double value;
};

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

// Decodes one observation message, checking its structure on the way:
// L = 9 + 7 R + 8 N, every record of type 1 with n >= 1, indices rising.
std::vector<Observation> DecodeObservations(const Bytes& m, int clientId, int experiment) {
  std::vector<Observation> out;
  EXPECT_GE(m.size(), 9u);
  if (m.size() < 9) return out;
  EXPECT_EQ(ReadUInt32BE(m.data()), m.size());
  EXPECT_EQ(m[4], clientId & 0xFF);
  EXPECT_EQ(ReadUInt16BE(&m[5]), experiment & 0xFFFF);
  const int records = ReadUInt16BE(&m[7]);
  size_t at = 9;
  int lastIndex = -1;
  for (int r = 0; r < records && at + 7 <= m.size(); ++r) {
    const int index = ReadUInt16BE(&m[at]);
    EXPECT_GT(index, lastIndex);
    lastIndex = index;
    EXPECT_EQ(m[at + 2], 1);
    const uint32_t n = ReadUInt32BE(&m[at + 3]);
    EXPECT_GE(n, 1u);
    at += 7;
    for (uint32_t k = 0; k < n && at + 8 <= m.size(); ++k, at += 8) {
      out.push_back({index, ReadDoubleBE(&m[at])});
    }
  }
  EXPECT_EQ(at, m.size());
  return out;
}

// The body of an ASCII results file (after its two header lines).
std::vector<Observation> ParseAscii(const std::string& text, int experiment) {
  std::vector<std::string> lines = SplitLines(text);
  std::vector<Observation> out;
  EXPECT_GE(lines.size(), 2u);
  if (lines.size() < 2) return out;
  EXPECT_EQ(lines[0],
            "#VELMOR_SIM_ASCII_FILE,VELMOR_VER=Version 2.4,FILE_VER=1,"
            "EXPERIMENTS=" +
                std::to_string(experiment));
  EXPECT_EQ(lines[1], "#FORMAT: (PV ID Number),(PV Value)");
  for (size_t i = 2; i < lines.size(); ++i) {
    const size_t comma = lines[i].find(',');
    EXPECT_NE(comma, std::string::npos) << lines[i];
    if (comma == std::string::npos) continue;
    out.push_back(
        {std::atoi(lines[i].c_str()), std::strtod(lines[i].c_str() + comma + 1, nullptr)});
  }
  return out;
}

// The ASCII text carries ten decimals: a value matches within half a unit
// of the last decimal (plus the double's own rounding for large values).
void ExpectSameObservations(const std::vector<Observation>& ascii,
                            const std::vector<Observation>& binary) {
  ASSERT_EQ(ascii.size(), binary.size());
  for (size_t i = 0; i < ascii.size(); ++i) {
    EXPECT_EQ(ascii[i].index, binary[i].index) << "observation " << i;
    EXPECT_NEAR(ascii[i].value, binary[i].value, 5.1e-11 + 1e-15 * std::fabs(binary[i].value))
        << "observation " << i;
  }
}

Bytes Reply(pid_t pid, unsigned char marker, unsigned char code) {
  const uint32_t id = static_cast<uint32_t>(pid);
  return Bytes{0,
               0,
               0,
               10,
               marker,
               code,
               static_cast<unsigned char>(id >> 24),
               static_cast<unsigned char>(id >> 16),
               static_cast<unsigned char>(id >> 8),
               static_cast<unsigned char>(id)};
}

// Everything the simulator sent until it closed the link, sorted by kind.
struct Session {
  std::vector<Bytes> replies;       // control replies (length 10)
  std::vector<double> cpuSeconds;   // CPU-time messages
  std::vector<Bytes> observations;  // observation messages
  Bytes observationBytes;           // the observation messages back to back
  bool pairedCpuTime = true;        // each observation right after a CPU time
};

// Reads one message into session; false at the end of the link.
bool ReadInto(TestManagerClient* client, Session* s, bool* lastWasCpu, int clientId,
              int experiment) {
  Bytes m;
  if (!client->ReadMessage(&m, kTimeoutMs)) return false;
  const uint32_t length = ReadUInt32BE(m.data());
  if (length == 10) {
    s->replies.push_back(m);
    *lastWasCpu = false;
  } else if (length == 12) {
    EXPECT_EQ(m[4], 0xFE);
    EXPECT_EQ(m[5], clientId & 0xFF);
    EXPECT_EQ(ReadUInt16BE(&m[6]), experiment & 0xFFFF);
    s->cpuSeconds.push_back(ReadDoubleBE(&m[8]));
    *lastWasCpu = true;
  } else {
    if (!*lastWasCpu) s->pairedCpuTime = false;
    s->observations.push_back(m);
    s->observationBytes.insert(s->observationBytes.end(), m.begin(), m.end());
    *lastWasCpu = false;
  }
  return true;
}

class SimMgrEndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (access(Simulator().c_str(), X_OK) != 0) {
      GTEST_SKIP() << "not built: " << Simulator();
    }
    dir = MakeTempDir("velmor_simmgr_");
    ASSERT_FALSE(dir.empty());
  }

  // Starts the simulator with args, waits for its port and connects.
  void StartAndConnect(const std::vector<std::string>& args,
                       const std::vector<std::string>& environment = {}) {
    std::vector<std::string> argv{Simulator()};
    argv.insert(argv.end(), args.begin(), args.end());
    ASSERT_TRUE(child.Start(Simulator(), argv, dir, dir + "/stderr.txt", environment));
    std::string line;
    ASSERT_TRUE(child.WaitForLine("REGISTER:", kTimeoutMs, &line));
    ASSERT_EQ(std::sscanf(line.c_str(), "REGISTER:  Port: [%d]", &port), 1) << line;
    ASSERT_EQ(line, "REGISTER:  Port: [" + std::to_string(port) + "]");
    ASSERT_GT(port, 0);
    ASSERT_TRUE(client.Connect(port, kTimeoutMs));
    Bytes registration(10);
    ASSERT_TRUE(client.ReadExact(registration.data(), 10, kTimeoutMs));
    EXPECT_EQ(registration, Reply(child.Pid(), 0xFF, 1));
  }

  // Reads until the simulator closes the link, then waits for its exit.
  void ReadToEndAndFinish(int clientId, int experiment) {
    while (ReadInto(&client, &session, &lastWasCpu, clientId, experiment)) {
    }
    status = child.Finish(kTimeoutMs);
  }

  void ExpectGoodExit() {
    EXPECT_EQ(status, 0) << ReadFileBytes(dir + "/stderr.txt");
    EXPECT_NE(child.Output().find("SIMULATOR::MAIN()-GOOD EXIT\n"), std::string::npos);
  }

  std::string dir;
  ChildProcess child;
  TestManagerClient client;
  int port = 0;
  Session session;
  bool lastWasCpu = false;
  int status = -1;
};

TEST_F(SimMgrEndToEndTest, LinkCarriesWhatTheResultsFilesHold) {
  StartAndConnect({"-w", "-p", "0", "-n", "2", "-N", "7", "-c", "3", "-e", "1", "-a", "out.txt",
                   "-b", "out.bin"});
  ReadToEndAndFinish(3, 1);
  ExpectGoodExit();
  EXPECT_TRUE(session.replies.empty());
  // -n 2 -N 7: reports after replications 2, 4, 6 and 7, each a CPU-time
  // message followed by an observation message.
  EXPECT_EQ(session.observations.size(), 4u);
  EXPECT_EQ(session.cpuSeconds.size(), 4u);
  EXPECT_TRUE(session.pairedCpuTime);
  for (size_t i = 0; i < session.cpuSeconds.size(); ++i) {
    EXPECT_GE(session.cpuSeconds[i], 0.0);
    if (i > 0) {
      EXPECT_GE(session.cpuSeconds[i], session.cpuSeconds[i - 1]);
    }
  }
  // The binary file is its header and the very bytes sent on the link.
  const std::string bin = ReadFileBytes(dir + "/out.bin");
  const std::string header =
      "VELMOR_SIM_BIN_FILE,256,VELMOR_VER=Version 2.4,FILE_VER=1,"
      "EXPERIMENTS=1,";
  ASSERT_GE(bin.size(), 256u);
  EXPECT_EQ(bin.substr(0, 256), header + std::string(256 - header.size(), '\0'));
  EXPECT_EQ(Bytes(bin.begin() + 256, bin.end()), session.observationBytes);
  // Every variable has 2, 2, 2, then 1 observations in the four reports.
  std::vector<Observation> sent;
  const int counts[4] = {2, 2, 2, 1};
  for (size_t r = 0; r < session.observations.size(); ++r) {
    std::vector<Observation> report = DecodeObservations(session.observations[r], 3, 1);
    ASSERT_FALSE(report.empty());
    const int variables = report.back().index + 1;
    EXPECT_EQ(report.size(), static_cast<size_t>(variables * counts[r]));
    sent.insert(sent.end(), report.begin(), report.end());
  }
  ExpectSameObservations(ParseAscii(ReadFileBytes(dir + "/out.txt"), 1), sent);
}

TEST_F(SimMgrEndToEndTest, IdentifyThenQuitStopsAnOpenEndedRun) {
  StartAndConnect({"-w", "-p", "0", "-n", "1", "-a", "out.txt", "-m", "-f", "trace"});
  // Wait for the first report, then quit.
  while (session.observations.empty()) {
    ASSERT_TRUE(ReadInto(&client, &session, &lastWasCpu, 0, 0));
  }
  // Identify, then quit: one command is read per report, in order.
  ASSERT_TRUE(client.SendBytes("\x01\x02"));
  ReadToEndAndFinish(0, 0);
  ExpectGoodExit();
  EXPECT_NE(child.Output().find("SOCKET::Quit\n"), std::string::npos);
  ASSERT_EQ(session.replies.size(), 2u);
  EXPECT_EQ(session.replies[0], Reply(child.Pid(), 0xFF, 1));
  EXPECT_EQ(session.replies[1], Reply(child.Pid(), 0xFE, 2));
  // Every report that went over the link is in the file, and so is every
  // completed replication: reports still held when the quit came are
  // written to the file (not the link) before the run stops. The trace
  // marks the start and the end of every replication.
  std::vector<Observation> sent;
  for (const Bytes& m : session.observations) {
    std::vector<Observation> report = DecodeObservations(m, 0, 0);
    sent.insert(sent.end(), report.begin(), report.end());
  }
  const std::vector<Observation> written = ParseAscii(ReadFileBytes(dir + "/out.txt"), 0);
  ASSERT_GE(written.size(), sent.size());
  size_t fromLink = 0;  // the link's reports come first, in order
  for (size_t i = 0; i < written.size() && fromLink < sent.size(); ++i) {
    if (written[i].index == sent[fromLink].index && written[i].value == sent[fromLink].value) {
      ++fromLink;
    }
  }
  EXPECT_EQ(fromLink, sent.size());
  const std::string trace = ReadFileBytes(dir + "/trace.txt");
  size_t marks = 0;
  for (size_t at = trace.find("##### NEW BATCH #####"); at != std::string::npos;
       at = trace.find("##### NEW BATCH #####", at + 1)) {
    ++marks;
  }
  size_t firstVariable = 0;
  for (const Observation& o : written) firstVariable += o.index == 0 ? 1 : 0;
  EXPECT_EQ(firstVariable + 1, marks) << "replications missing from the file";
}

// SIGINT and SIGTERM end a run cleanly: the replications completed since the
// last report are written as a last report, the closing lines are printed
// and the status tells which signal it was (128 + its number).
TEST_F(SimMgrEndToEndTest, InterruptAndTerminateWriteTheCompletedReplications) {
  for (int signal : {SIGINT, SIGTERM}) {
    std::remove((dir + "/trace.txt").c_str());
    const std::vector<std::string> argv{Simulator(), "-n",      "100000", "-a", "out.txt",
                                        "-b",        "out.bin", "-m",     "-f", "trace"};
    ASSERT_TRUE(child.Start(Simulator(), argv, dir, dir + "/stderr.txt", {}));
    std::string line;
    ASSERT_TRUE(child.WaitForLine("SIMULATOR::Preparing to run()", kTimeoutMs, &line));
    // Wait (without timing anything) until a few replications are done.
    for (int polls = 0; polls < 3000; ++polls) {
      const std::string trace = ReadFileBytes(dir + "/trace.txt");
      size_t marks = 0;
      for (size_t at = trace.find("NEW BATCH"); at != std::string::npos;
           at = trace.find("NEW BATCH", at + 1)) {
        ++marks;
      }
      if (marks > 5) break;
      usleep(10000);
    }
    ASSERT_EQ(kill(child.Pid(), signal), 0);
    status = child.Finish(kTimeoutMs);
    EXPECT_EQ(status, 128 + signal) << ReadFileBytes(dir + "/stderr.txt");
    EXPECT_NE(child.Output().find("Actions fired: "), std::string::npos);
    EXPECT_NE(child.Output().find("SIMULATOR::MAIN()-GOOD EXIT\n"), std::string::npos);
    const std::string trace = ReadFileBytes(dir + "/trace.txt");
    size_t marks = 0;
    for (size_t at = trace.find("NEW BATCH"); at != std::string::npos;
         at = trace.find("NEW BATCH", at + 1)) {
      ++marks;
    }
    size_t firstVariable = 0;
    for (const Observation& o : ParseAscii(ReadFileBytes(dir + "/out.txt"), 0)) {
      firstVariable += o.index == 0 ? 1 : 0;
    }
    EXPECT_GT(firstVariable, 4u);
    EXPECT_EQ(firstVariable + 1, marks) << "replications missing from the file";
    EXPECT_GT(ReadFileBytes(dir + "/out.bin").size(), 256u);
  }
}

// A stop signal while the simulator waits for its manager ends the wait at
// once: the closing lines, the results-file header, status 128 + signal.
TEST_F(SimMgrEndToEndTest, StopSignalEndsTheWaitForAManager) {
  for (int signal : {SIGINT, SIGTERM}) {
    std::remove((dir + "/out.txt").c_str());
    const std::vector<std::string> argv{Simulator(), "-w", "-p", "0", "-a", "out.txt"};
    ASSERT_TRUE(child.Start(Simulator(), argv, dir, dir + "/stderr.txt", {}));
    std::string line;
    ASSERT_TRUE(child.WaitForLine("REGISTER:", kTimeoutMs, &line));
    ASSERT_EQ(kill(child.Pid(), signal), 0);
    status = child.Finish(kTimeoutMs);  // far less than the 60 s wait
    EXPECT_EQ(status, 128 + signal) << ReadFileBytes(dir + "/stderr.txt");
    EXPECT_NE(child.Output().find("SIMULATOR::MAIN()-GOOD EXIT\n"), std::string::npos);
    EXPECT_FALSE(ReadFileBytes(dir + "/out.txt").empty()) << "header written";
  }
}

TEST_F(SimMgrEndToEndTest, RedirectMovesTheReportsToABinaryFile) {
  StartAndConnect({"-w", "-p", "0", "-n", "1", "-a", "out.txt"});
  while (session.observations.empty()) {
    ASSERT_TRUE(ReadInto(&client, &session, &lastWasCpu, 0, 0));
  }
  ASSERT_TRUE(client.SendBytes("\x03moved.bin;5;;"));
  ReadToEndAndFinish(0, 0);  // the simulator closes the link after replying
  ExpectGoodExit();
  ASSERT_EQ(session.replies.size(), 1u);
  EXPECT_EQ(session.replies[0], Reply(child.Pid(), 0xFF, 3));
  // Reports before the redirect went over the link, the rest into the new
  // file; together they are exactly the ASCII file's reports.
  const std::string bin = ReadFileBytes(dir + "/moved.bin");
  ASSERT_GT(bin.size(), 256u);
  EXPECT_EQ(bin.substr(0, 72),
            "VELMOR_SIM_BIN_FILE,256,VELMOR_VER=Version 2.4,FILE_VER=1,"
            "EXPERIMENTS=0,");
  std::vector<Observation> all;
  for (const Bytes& m : session.observations) {
    std::vector<Observation> report = DecodeObservations(m, 0, 0);
    all.insert(all.end(), report.begin(), report.end());
  }
  size_t at = 256;
  while (at + 4 <= bin.size()) {
    const Bytes head(bin.begin() + static_cast<long>(at), bin.begin() + static_cast<long>(at) + 4);
    const size_t length = ReadUInt32BE(head.data());
    ASSERT_LE(at + length, bin.size());
    const Bytes m(bin.begin() + static_cast<long>(at),
                  bin.begin() + static_cast<long>(at + length));
    std::vector<Observation> report = DecodeObservations(m, 0, 0);
    all.insert(all.end(), report.begin(), report.end());
    at += length;
  }
  EXPECT_EQ(at, bin.size());
  ExpectSameObservations(ParseAscii(ReadFileBytes(dir + "/out.txt"), 0), all);
}

// A manager that starts a redirect and then falls silent, link still open,
// does not hold the run up: after the wait (shortened here) the unfinished
// text is dropped, the link closes and the run ends on its results file.
// The same wait bounds the connection, so it leaves room for a loaded
// machine to connect.
TEST_F(SimMgrEndToEndTest, UnfinishedRedirectTextDoesNotHangTheRun) {
  StartAndConnect({"-w", "-p", "0", "-n", "1", "-N", "400", "-a", "out.txt"},
                  {"VELMOR_SIMMGR_WAIT_MS=3000"});
  while (session.observations.empty()) {
    ASSERT_TRUE(ReadInto(&client, &session, &lastWasCpu, 0, 0));
  }
  ASSERT_TRUE(client.SendBytes("\x03half.bin;5"));
  ReadToEndAndFinish(0, 0);
  ExpectGoodExit();
  ASSERT_EQ(session.replies.size(), 1u);
  EXPECT_EQ(session.replies[0], Reply(child.Pid(), 0xFF, 3));
  EXPECT_NE(access((dir + "/half.bin").c_str(), F_OK), 0) << "no file from an unfinished text";
  // All 400 replications reached the ASCII file (the 5 of the text was not
  // taken as a new limit either).
  size_t firstVariable = 0;
  for (const Observation& o : ParseAscii(ReadFileBytes(dir + "/out.txt"), 0)) {
    if (o.index == 0) ++firstVariable;
  }
  EXPECT_EQ(firstVariable, 400u);
}

// The port is announced only once the socket listens: a single connection
// attempt right after reading the line must succeed (no retry needed).
TEST_F(SimMgrEndToEndTest, AnnouncedPortAcceptsAtOnce) {
  ASSERT_TRUE(child.Start(Simulator(), {Simulator(), "-w", "-p", "0", "-N", "1"}, dir,
                          dir + "/stderr.txt", {}));
  std::string line;
  ASSERT_TRUE(child.WaitForLine("REGISTER:", kTimeoutMs, &line));
  ASSERT_EQ(std::sscanf(line.c_str(), "REGISTER:  Port: [%d]", &port), 1) << line;
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_in address;
  std::memset(&address, 0, sizeof address);
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  EXPECT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0)
      << std::strerror(errno);
  close(fd);
  status = child.Finish(kTimeoutMs);
  ExpectGoodExit();
}

TEST_F(SimMgrEndToEndTest, ManagerLeavingEarlyEndsTheRunCleanly) {
  StartAndConnect({"-w", "-p", "0", "-n", "1"});
  client.Close();
  status = child.Finish(kTimeoutMs);
  ExpectGoodExit();
}

TEST_F(SimMgrEndToEndTest, NoManagerMeansHeadersOnly) {
  ProcessOptions options;
  options.workDir = dir;
  options.set = {{"VELMOR_SIMMGR_WAIT_MS", "300"}};
  options.timeoutSeconds = 30;
  ProcessResult r =
      RunProcess(Simulator(), {"-w", "-p", "0", "-a", "out.txt", "-b", "out.bin"}, options);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("REGISTER:  Port: ["), std::string::npos);
  EXPECT_NE(r.out.find("SIMULATOR::MAIN()-GOOD EXIT\n"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(dir + "/out.txt"),
            "#VELMOR_SIM_ASCII_FILE,VELMOR_VER=Version 2.4,FILE_VER=1,"
            "EXPERIMENTS=0\n#FORMAT: (PV ID Number),(PV Value)\n");
  EXPECT_EQ(ReadFileBytes(dir + "/out.bin").size(), 256u);
}

TEST_F(SimMgrEndToEndTest, UnopenableResultsFileEndsTheRunBeforeItStarts) {
  ProcessOptions options;
  options.workDir = dir;
  options.timeoutSeconds = 30;
  ProcessResult r = RunProcess(Simulator(), {"-N", "1", "-a", "no-such-dir/out.txt"}, options);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("ERROR: Unable to open results file "
                       "'no-such-dir/out.txt': No such file or directory"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(r.out.find("SIMULATOR::Preparing to run()"), std::string::npos);
}

}  // namespace

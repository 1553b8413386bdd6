// Tests of VelmorSocket on 127.0.0.1 with ports the system chooses. Every
// test runs under an alarm: a blocking call that never returns kills the
// binary instead of hanging the suite.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "platform/VelmorSocket.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// A listening socket, a client connected to it and the accepted side.
class SocketPairTest : public ::testing::Test {
 protected:
  void SetUp() override {
    alarm(20);
    ASSERT_TRUE(listener.Bind(0));
    port = listener.BoundPort();
    ASSERT_GT(port, 0);
    ASSERT_TRUE(listener.Listen(5));
    ASSERT_TRUE(client.Connect("127.0.0.1", port));
    ASSERT_TRUE(listener.Accept(server));
  }
  void TearDown() override { alarm(0); }

  VelmorSocket listener{true};
  VelmorSocket client{true};
  VelmorSocket server{false};
  int port = 0;
};

TEST_F(SocketPairTest, BytesTravelBothWays) {
  EXPECT_EQ(client.Send("hello", 5), 5);
  char buffer[8] = {};
  EXPECT_EQ(server.RecvBlock(buffer, 5), 5);
  EXPECT_EQ(std::string(buffer, 5), "hello");
  EXPECT_EQ(server.Send("ok", 2), 2);
  EXPECT_EQ(client.RecvBlock(buffer, 2), 2);
  EXPECT_EQ(std::string(buffer, 2), "ok");
  EXPECT_EQ(client.GetErrorString(), nullptr);
}

TEST_F(SocketPairTest, SelectPollsAtOnceAndSeesData) {
  Clock::time_point start = Clock::now();
  EXPECT_FALSE(server.Select(0));
  EXPECT_LT(SecondsSince(start), 0.1);
  start = Clock::now();
  EXPECT_FALSE(server.Select(300));
  // Waits for the whole time-out when nothing arrives, but not much longer.
  EXPECT_GE(SecondsSince(start), 0.25);
  EXPECT_LT(SecondsSince(start), 2.0);
  ASSERT_EQ(client.Send("x", 1), 1);
  EXPECT_TRUE(server.Select(2000));
  EXPECT_EQ(server.GetErrorString(), nullptr);
}

TEST_F(SocketPairTest, SelectSeesEndOfStreamAsReadable) {
  client.Close();
  EXPECT_TRUE(server.Select(2000));
  char byte;
  EXPECT_EQ(server.Recv(&byte, 1), 0);
}

TEST_F(SocketPairTest, RecvBlockStopsAtTerminator) {
  // An 11-byte text ending in ";;" sent in one piece: 11 bytes back and a
  // NUL behind them, although 512 were allowed.
  ASSERT_EQ(client.Send("out.bin;3;;", 11), 11);
  char buffer[513];
  std::memset(buffer, 'z', sizeof buffer);
  EXPECT_EQ(server.RecvBlock(buffer, 512, ";;"), 11);
  EXPECT_STREQ(buffer, "out.bin;3;;");
}

TEST_F(SocketPairTest, RecvBlockTerminatorAcrossPieces) {
  std::thread sender([this] {
    client.Send("name;", 5);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    client.Send("7;", 2);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    client.Send(";", 1);
  });
  char buffer[65];
  EXPECT_EQ(server.RecvBlock(buffer, 64, ";;"), 8);
  EXPECT_STREQ(buffer, "name;7;;");
  sender.join();
}

TEST_F(SocketPairTest, RecvBlockBytesBehindTerminatorRunToLength) {
  // The text no longer ends with the terminator, so the call goes on until
  // length bytes are in.
  ASSERT_EQ(client.Send("a;;bc", 5), 5);
  ASSERT_EQ(client.Send("de", 2), 2);
  char buffer[8];
  EXPECT_EQ(server.RecvBlock(buffer, 7, ";;"), 7);
  EXPECT_STREQ(buffer, "a;;bcde");
}

TEST_F(SocketPairTest, RecvBlockReturnsWhatArrivedBeforeClose) {
  ASSERT_EQ(client.Send("abc", 3), 3);
  client.Close();
  char buffer[16];
  EXPECT_EQ(server.RecvBlock(buffer, 10), 3);
  EXPECT_EQ(server.RecvBlock(buffer, 1), 0);
  EXPECT_EQ(server.RecvBlock(buffer, 10, ";;"), 0);
  EXPECT_EQ(server.RecvBlock(buffer, 0, ";;"), 0);
}

TEST_F(SocketPairTest, SendToClosedPeerFailsWithoutSignal) {
  client.Close();
  // The first send may still be accepted by the kernel; once the reset
  // arrives, sends fail. The process must survive (no broken-pipe signal).
  int result = 1;
  char block[1024] = {};
  for (int i = 0; i < 200 && result > 0; ++i) {
    result = server.Send(block, sizeof block);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_LE(result, 0);
}

TEST_F(SocketPairTest, CloseReleasesTheDescriptorOnce) {
  EXPECT_TRUE(server.IsOpen());
  EXPECT_EQ(server.Close(), 0);
  EXPECT_FALSE(server.IsOpen());
  EXPECT_EQ(server.Close(), -1);
  // A listening socket shuts down cleanly.
  testing::internal::CaptureStderr();
  EXPECT_EQ(listener.Close(), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(VelmorSocketTest, FailedShutdownIsReportedAndStillCloses) {
  // A bound socket that never listened or connected has nothing to shut
  // down: the line is printed, and the descriptor is closed anyway.
  VelmorSocket idle(true);
  ASSERT_TRUE(idle.Bind(0));
  testing::internal::CaptureStderr();
  EXPECT_EQ(idle.Close(), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "error in shutdown.  errno=" + std::to_string(ENOTCONN) + "\n");
  EXPECT_FALSE(idle.IsOpen());
  EXPECT_STREQ(idle.GetErrorString(), "error in shutdown.  errno=");
}

TEST(VelmorSocketTest, BindOnPortInUseFailsSilently) {
  VelmorSocket first(true);
  ASSERT_TRUE(first.Bind(0));
  ASSERT_TRUE(first.Listen(1));
  VelmorSocket second(true);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(second.Bind(first.BoundPort()));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_TRUE(second.LastBindInUse());
  EXPECT_EQ(second.GetErrorString(), nullptr);
  // Port arguments keep their low 16 bits: 65536 + p is p.
  VelmorSocket third(true);
  EXPECT_FALSE(third.Bind(65536 + first.BoundPort()));
  EXPECT_TRUE(third.LastBindInUse());
}

TEST(VelmorSocketTest, OtherBindErrorsAreReported) {
  VelmorSocket none(false);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(none.Bind(12345));
  const std::string expected = "error in bind.  errno=" + std::to_string(EBADF) + " (Port=12345)\n";
  EXPECT_EQ(testing::internal::GetCapturedStderr(), expected);
  EXPECT_FALSE(none.LastBindInUse());
  ASSERT_NE(none.GetErrorString(), nullptr);
  EXPECT_STREQ(none.GetErrorString(), "error in bind.  errno=");
}

TEST(VelmorSocketTest, ConnectFailuresAreReported) {
  alarm(20);
  // A port that was just free and is closed again refuses the connection.
  int freePort;
  {
    VelmorSocket probe(true);
    ASSERT_TRUE(probe.Bind(0));
    freePort = probe.BoundPort();
  }
  VelmorSocket client(true);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(client.Connect("127.0.0.1", freePort));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "error in connect: errno=" + std::to_string(ECONNREFUSED) + "\n");
  VelmorSocket other(true);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(other.Connect("no-such-host.invalid", freePort));
  EXPECT_EQ(testing::internal::GetCapturedStderr().rfind("error in connect: errno=", 0), 0u);
  EXPECT_STREQ(other.GetErrorString(), "error in connect: errno=");
  alarm(0);
}

TEST(VelmorSocketTest, SelectWithoutDescriptorIsAnError) {
  VelmorSocket none(false);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(none.Select(0));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "error in select" + std::to_string(EBADF) + "\n");
  EXPECT_STREQ(none.GetErrorString(), "error in select");
}

}  // namespace

// Tests of SimulatorClass as a facade: its field table starts at the
// components' defaults, its output members reach the components, and the
// default constructor refuses to build.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "output/DataPacket.h"
#include "output/PacketQueue.h"
#include "simulator/SimulatorClass.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const std::string kAsciiHeader =
    "#VELMOR_SIM_ASCII_FILE,VELMOR_VER=Version 2.4,FILE_VER=1,"
    "EXPERIMENTS=0\n#FORMAT: (PV ID Number),(PV Value)\n";

// A simulator with only its fields, two performance variables and
// reportSize 1.
class SimulatorFacadeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path = ::testing::TempDir() + "velmor_facade_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
    sim = new SimulatorClass(SimulatorClass::FieldsOnly{});
    sim->numPVs = 2;
    sim->reportSize = 1;
    sim->firstPacket = sim->CreateDataPacket(2);
    sim->secondPacket = sim->CreateDataPacket(2);
  }
  void TearDown() override {
    delete sim;
    std::remove(path.c_str());
  }
  void OpenAscii() { sim->asciiFile = sim->CreateASCIIFile(path.c_str()); }
  std::string Ascii() { return ReadFile(path); }

  std::string path;
  SimulatorClass* sim = nullptr;
};

TEST_F(SimulatorFacadeTest, InitialFieldsMatchTheDefaults) {
  EXPECT_EQ(sim->reportSize, 1);  // set by the fixture
  EXPECT_EQ(sim->port, 10000);
  EXPECT_EQ(sim->seed, 31415u);
  EXPECT_EQ(sim->isTerminating, 1);
  EXPECT_EQ(sim->traceLevel, 1);
  EXPECT_EQ(sim->queueCapacity, 50);
  EXPECT_EQ(sim->reportCounter, 1);
  EXPECT_EQ(sim->acceptPollMillis, 2000);
  EXPECT_EQ(sim->listenPollMillis, 0);
  EXPECT_EQ(sim->maxBatches, -1);  // parsing turns it into 0
  EXPECT_EQ(sim->runState, 0);
  EXPECT_EQ(sim->overrideString, nullptr);
  EXPECT_EQ(sim->reactivationList, nullptr);
  EXPECT_EQ(sim->simMgrSocket, nullptr);
  ASSERT_NE(sim->freePackets, nullptr);
  EXPECT_EQ(sim->pendingPackets->Length(), 0);
}

TEST_F(SimulatorFacadeTest, SendSSResultsHandsCountsOverUnlessStopped) {
  OpenAscii();
  int firstCounts[2] = {1, 0};
  int secondCounts[2] = {1, 0};
  DataPacket* filled = sim->firstPacket;
  filled->Store(0, 0, 0.5);
  sim->secondPacket->Store(0, 0, 0.25);
  sim->startClock = VelmorProcessorClockMillis();
  sim->elapsedSeconds = -1.0;
  // The first report is written at once; variable 1 has no observation.
  EXPECT_EQ(sim->SendSSResults(firstCounts, secondCounts), 1);
  EXPECT_EQ(Ascii(), kAsciiHeader + "0,0.5\n");
  EXPECT_GE(sim->elapsedSeconds, 0.0);
  EXPECT_EQ(filled->counts[0], 1);
  EXPECT_EQ(filled->counts[1], 0);
  EXPECT_NE(sim->firstPacket, filled);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(firstCounts[i], 0);
    EXPECT_EQ(secondCounts[i], 0);
  }
  // Stopped (say by a quit): nothing is taken, counted or written.
  sim->runState = 2;
  firstCounts[0] = secondCounts[0] = 1;
  DataPacket* current = sim->firstPacket;
  current->counts[0] = 7;
  const int counter = sim->reportCounter;
  EXPECT_EQ(sim->SendSSResults(firstCounts, secondCounts), 0);
  EXPECT_EQ(sim->firstPacket, current);
  EXPECT_EQ(current->counts[0], 7);
  EXPECT_EQ(firstCounts[0], 1);
  EXPECT_EQ(secondCounts[0], 1);
  EXPECT_EQ(sim->reportCounter, counter);
  EXPECT_EQ(sim->pendingPackets->Length(), 0);
  EXPECT_EQ(Ascii(), kAsciiHeader + "0,0.5\n");
}

TEST(SimulatorClassDeathTest, DefaultConstructionEndsTheProcess) {
  EXPECT_EXIT({ SimulatorClass unusable; }, testing::ExitedWithCode(1), "");
}

}  // namespace

// Tests of the connectivity list (both algorithms and both old modes), the
// initial scheduling and the firing step, run on the test model.
//
// The test model's actions, in order, and their groups: fail (fail),
// repair (repair), tick_case1 and tick_case2 (tickGroup), wear (wear),
// alarm (alarm). Arcs (derived from tests/support/testmodel/velmor_test_model.vm):
//   changes:  fail -> up, down, failures;  repair -> down, up, repairs,
//             alarmed;  tick_case1 -> ticks;  tick_case2 -> ticks, flips;
//             wear -> wears;  alarm -> alarmed
//   reads:    fail <- up;  repair <- down;  wear <- failures;
//             alarm <- down, alarmed
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "RandomFixture.h"
#include "eventlist/EventList.h"
#include "framework/BaseActionClass.h"
#include "reward/PerformanceVariableNode.h"
#include "simulator/SimulatorClass.h"
#include "study/BaseStudyClass.h"
#include "velmor_test_model_model.h"

namespace {

class SimulatorStepTest : public RandomFixture {
 protected:
  void TearDown() override {
    sim.reset();
    unsetenv("SIMTEST");
    RandomFixture::TearDown();
  }
  // Builds the simulator from a command line, with SIMTEST as given (null:
  // unset), keeping its start-up lines out of the test output.
  void Build(const char* simtest, std::vector<std::string> words = {"-N", "1"}) {
    if (simtest == nullptr) {
      unsetenv("SIMTEST");
    } else {
      setenv("SIMTEST", simtest, 1);
    }
    words.insert(words.begin(), "sim");
    std::vector<char*> argv;
    for (auto& w : words) argv.push_back(&w[0]);
    testing::internal::CaptureStdout();
    sim.reset(new SimulatorClass(static_cast<int>(argv.size()), argv.data()));
    testing::internal::GetCapturedStdout();
    machine = static_cast<machineSAN*>(sim->pvModel->getTopModel());
  }
  // The names of the groups on an action's affects list, head first.
  std::vector<std::string> Affects(BaseActionClass* action) {
    std::vector<std::string> names;
    for (AffectsNode* n = action->affectsList; n != nullptr; n = n->next) {
      names.push_back(n->action->getName());
    }
    return names;
  }
  // The replication set-up of the terminating loop, done by hand.
  void ScheduleInitialEvents() {
    sim->scratchEvent = new Event();
    sim->noAction = new BaseActionClass();
    sim->GenerateInitialEnabledList();
    sim->currentTime = 0.0;
    sim->GenerateCompleteEventList();
    sim->lastFiredAction = sim->noAction;
    sim->nextEventSlot = sim->eventList->Earliest();
    sim->currentTime = (*sim->nextEventSlot)->time;
    sim->nextAction = (*sim->nextEventSlot)->action;
  }
  Event* EventOf(BaseActionClass* group) {
    Event** slot = group->getScheduleRecord()->eventSlot;
    return slot == nullptr ? nullptr : *slot;
  }

  std::unique_ptr<SimulatorClass> sim;
  machineSAN* machine = nullptr;
};

using Names = std::vector<std::string>;

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The values of variable pv in an ASCII results file ("pv,value" lines
// after two header lines), in file order.
std::vector<double> AsciiValues(const std::string& text, int pv) {
  std::vector<double> values;
  std::istringstream in(text);
  std::string line;
  std::string prefix = std::to_string(pv) + ",";
  while (std::getline(in, line)) {
    if (line.compare(0, prefix.size(), prefix) == 0)
      values.push_back(std::stod(line.substr(prefix.size())));
  }
  return values;
}

// The lengths of the observation messages after the 256-byte header of a
// binary results file (each message starts with its big-endian length).
std::vector<int> MessageLengths(const std::string& bin) {
  std::vector<int> lengths;
  size_t at = 256;
  while (at + 4 <= bin.size()) {
    int length = 0;
    for (size_t b = 0; b < 4; ++b) length = (length << 8) | static_cast<unsigned char>(bin[at + b]);
    if (length < 9) break;
    lengths.push_back(length);
    at += static_cast<size_t>(length);
  }
  return lengths;
}

// fail's changed variables up, down, failures are read by fail, then
// repair and alarm, then wear: discovery fail, repair, alarm, wear, and
// nodes go to the front.
TEST_F(SimulatorStepTest, DefaultListHoldsEachAffectedGroupOnceInReverseDiscovery) {
  Build(nullptr);
  EXPECT_EQ(Affects(&machine->fail), (Names{"wear", "alarm", "repair", "fail"}));
  // repair: own group, then down -> repair, alarm; up -> fail.
  EXPECT_EQ(Affects(&machine->repair), (Names{"fail", "alarm", "repair"}));
  EXPECT_EQ(Affects(&machine->tick_case1), (Names{"tickGroup"}));
  EXPECT_EQ(Affects(&machine->tick_case2), (Names{"tickGroup"}));
  // An action that changes nothing any enabling reads still re-checks
  // its own group.
  EXPECT_EQ(Affects(&machine->wear), (Names{"wear"}));
  EXPECT_EQ(Affects(&machine->alarm), (Names{"alarm"}));
}

// Old list mode, walking the readers: fail adds fail to fail and fail to
// repair (up is changed by fail and repair); repair adds repair to repair
// and repair to fail (down); wear adds wear to fail (failures); alarm adds
// alarm to alarm, to fail and to repair (down), each appended once.
TEST_F(SimulatorStepTest, OldListModeAppendsInDiscoveryOrder) {
  Build("0");
  EXPECT_EQ(Affects(&machine->fail), (Names{"fail", "repair", "wear", "alarm"}));
  EXPECT_EQ(Affects(&machine->repair), (Names{"fail", "repair", "alarm"}));
  EXPECT_EQ(Affects(&machine->tick_case2), (Names{"tickGroup"}));
  EXPECT_EQ(Affects(&machine->alarm), (Names{"alarm"}));
}

// Matrix mode finds the same pairs in the same order but puts nodes at the
// front: the same contents as list mode, reversed.
TEST_F(SimulatorStepTest, OldMatrixModePrependsTheSamePairs) {
  Build("1");
  EXPECT_EQ(Affects(&machine->fail), (Names{"alarm", "wear", "repair", "fail"}));
  EXPECT_EQ(Affects(&machine->repair), (Names{"alarm", "repair", "fail"}));
  EXPECT_EQ(Affects(&machine->alarm), (Names{"alarm"}));
}

// SIMTEST 2 is the default algorithm; values other than 0, 1 and 2 build no
// list at all.
TEST_F(SimulatorStepTest, SimTestTwoIsTheDefaultAndOtherValuesBuildNothing) {
  Build("2");
  EXPECT_EQ(Affects(&machine->fail), (Names{"wear", "alarm", "repair", "fail"}));
  sim.reset();
  Build("5");
  for (BaseActionClass* a : {static_cast<BaseActionClass*>(&machine->fail),
                             static_cast<BaseActionClass*>(&machine->repair),
                             static_cast<BaseActionClass*>(&machine->wear)}) {
    EXPECT_EQ(a->affectsList, nullptr);
  }
}

TEST_F(SimulatorStepTest, PrintConnectivityListDescribesEachAction) {
  Build(nullptr);
  std::ostringstream out;
  sim->PrintConnectivityList(&out);
  std::string model = "machine(" + std::to_string(machine->getModelId()) + ")->";
  std::string expected = "Action: " + model + "fail (" +
                         std::to_string(machine->fail.getActionId()) +
                         ")\nChecking my Affects\n    Action: " + model + "wear (" +
                         std::to_string(machine->wear.getActionId()) + ")\n";
  EXPECT_EQ(out.str().compare(0, expected.size(), expected), 0) << out.str();
}

// In the initial state (up 1) fail, tickGroup and wear are enabled; repair
// and alarm are not. wear asks for reactivation and is watched.
TEST_F(SimulatorStepTest, InitialSchedulingTakesTheEnabledGroupsInOrder) {
  Build(nullptr);
  ScheduleInitialEvents();
  ASSERT_EQ(sim->numEnabledGroups, 3);
  EXPECT_EQ(sim->enabledGroups[0], &machine->fail);
  EXPECT_EQ(sim->enabledGroups[1], &machine->tickGroup);
  EXPECT_EQ(sim->enabledGroups[2], &machine->wear);
  EXPECT_EQ(sim->eventList->Size(), 3);
  EXPECT_EQ(EventOf(&machine->tickGroup)->time, 1.0);
  EXPECT_EQ(EventOf(&machine->repair), nullptr);
  ASSERT_NE(sim->reactivationList, nullptr);
  EXPECT_EQ(sim->reactivationList->action, &machine->wear);
  EXPECT_EQ(sim->reactivationList->next, nullptr);
  EXPECT_TRUE(machine->wear.reactivation);
  EXPECT_FALSE(machine->wear.getScheduleRecord()->notInReactivationList);
}

// Over many firings: the heap stays valid, exactly the groups enabled by
// the marking are scheduled, wear alone is watched, the tick keeps its
// integer completion times (no other firing re-samples it), the alarm
// (rank 2, delay 0) fires right after each failure, and wear is re-sampled
// when a failure changes its rate.
TEST_F(SimulatorStepTest, FiringKeepsTheScheduleConsistentWithTheMarking) {
  Build(nullptr);
  ScheduleInitialEvents();
  for (int step = 0; step < 400; ++step) {
    BaseActionClass* firing = sim->nextAction;
    double firedAt = sim->currentTime;
    ASSERT_TRUE(sim->SimStep());
    ASSERT_EQ(sim->eventList->IsValid(), 0);
    ASSERT_EQ(sim->actionsFired, step + 1);
    bool up = machine->up->getMark() > 0;
    bool down = machine->down->getMark() > 0;
    bool alarmed = machine->alarmed->getMark() > 0;
    EXPECT_EQ(EventOf(&machine->fail) != nullptr, up);
    EXPECT_EQ(EventOf(&machine->repair) != nullptr, down);
    EXPECT_EQ(EventOf(&machine->alarm) != nullptr, down && !alarmed);
    ASSERT_NE(EventOf(&machine->tickGroup), nullptr);
    double tick = EventOf(&machine->tickGroup)->time;
    EXPECT_EQ(tick, std::floor(tick));
    ASSERT_NE(EventOf(&machine->wear), nullptr);
    ASSERT_NE(sim->reactivationList, nullptr);
    EXPECT_EQ(sim->reactivationList->action, &machine->wear);
    EXPECT_EQ(sim->reactivationList->next, nullptr);
    if (firing == &machine->fail) {
      EXPECT_EQ(sim->nextAction, &machine->alarm);
      EXPECT_EQ(sim->currentTime, firedAt);
      EXPECT_EQ(EventOf(&machine->wear)->scheduledAt, firedAt);
      EXPECT_EQ(EventOf(&machine->repair)->time, firedAt + 0.5);  // repair_time
    }
    EXPECT_GE(sim->currentTime, firedAt);
  }
  EXPECT_GT(machine->failures->getMark(), 0);
  EXPECT_GT(machine->flips->getMark(), 0);
}

// Three replications, reported two at a time and then one: the loop stops
// at the limit and the output side drains and stops the run. An event at
// exactly the run end fires.
TEST_F(SimulatorStepTest, TerminatingLoopStopsAtTheLimit) {
  Build(nullptr, {"-N", "3", "-n", "2"});
  sim->TerminatingSimulation();
  EXPECT_EQ(sim->batchesDone, 3);
  EXPECT_EQ(sim->runState, 2);
  // Every replication fires at least the twenty ticks up to the run end 20.
  EXPECT_GE(sim->actionsFired, 60);
  EXPECT_EQ(sim->scratchEvent, nullptr);
  // The tick at the run end (20) fired in the last replication, so the
  // tick still pending is the one at 21 and the loop stopped beyond 20.
  Event* tick = EventOf(&machine->tickGroup);
  ASSERT_NE(tick, nullptr);
  EXPECT_EQ(tick->time, 21.0);
  EXPECT_GT(sim->currentTime, 20.0);
}

// A run fires 2^31 actions in minutes (the built-in model about every
// 785,000 replications): the count goes on past that and prints in full.
TEST_F(SimulatorStepTest, FiringCountGoesPastThirtyTwoBits) {
  Build(nullptr, {"-N", "1"});
  const int64_t start = INT32_MAX;
  sim->actionsFired = start;
  testing::internal::CaptureStdout();
  sim->Run();
  std::string out = testing::internal::GetCapturedStdout();
  // A replication fires at least the twenty ticks up to the run end 20.
  EXPECT_GE(sim->actionsFired, start + 20);
  EXPECT_NE(out.find("Actions fired: " + std::to_string(sim->actionsFired) + "\n"),
            std::string::npos)
      << out;
}

TEST_F(SimulatorStepTest, AStoppedRunReplicatesNothing) {
  Build(nullptr, {"-N", "3"});
  sim->runState = 2;
  sim->TerminatingSimulation();
  EXPECT_EQ(sim->batchesDone, 0);
  EXPECT_EQ(sim->actionsFired, 0);
}

// Steady state, -N 3. The tick fires at every whole time, so every batch
// boundary (5, 10, ... for ss_up; the end of the transient at 5, then 15,
// 25, 35 for ss_ticks) is met by an event at exactly that time, and ticks is
// floor(t): the batches of ss_ticks integrate to 5 + ... + 14 = 95, then
// 15 + ... + 24 = 195 and 295. ss_up (at most one machine up) closes seven
// batches of length 5 by time 35, each between 0 and 5.
// Reports: with -n 1000 one final report, a message of 9 + 2 * 7 + 8 * 10 =
// 103 bytes. With -n 1 a report goes out whenever a variable whose row is
// full gets its next observation. Equal boundaries close in heap order
// (ss_up was inserted first and equal keys do not pass each other; after
// each re-keying the smaller key rises): at 10 and 15 ss_up alone is
// reported (24 bytes: 9 + 7 + 8), at 20 both (39 = 9 + 14 + 16), at 25 ss_up
// before ss_ticks' second batch (24), at 30 both (39), at 35 ss_up (24), and
// the final report both (39).
TEST_F(SimulatorStepTest, SteadyStateBatchesIntegrateEachWindowAndReportFullRows) {
  std::string ascii = ::testing::TempDir() + "velmor_ss.txt";
  std::string bin = ::testing::TempDir() + "velmor_ss.bin";
  struct Case {
    const char* reportSize;
    std::vector<int> messages;
  };
  for (const Case& c : {Case{"1000", {103}}, Case{"1", {24, 24, 39, 24, 39, 24, 39}}}) {
    Build(nullptr, {"-t", "0", "-N", "3", "-n", c.reportSize, "-a", ascii, "-b", bin});
    sim->SteadyStateSimulation();
    EXPECT_NE(sim->runState, 0);
    EXPECT_EQ(sim->batchEndHeap, nullptr);  // freed at the end
    sim.reset();                            // closes the results files
    std::string text = ReadBytes(ascii);
    std::vector<double> ticks = AsciiValues(text, 4);
    ASSERT_EQ(ticks.size(), 3u) << c.reportSize;
    EXPECT_NEAR(ticks[0], 95.0, 1e-9);
    EXPECT_NEAR(ticks[1], 195.0, 1e-9);
    EXPECT_NEAR(ticks[2], 295.0, 1e-9);
    std::vector<double> up = AsciiValues(text, 3);
    ASSERT_EQ(up.size(), 7u) << c.reportSize;
    for (double v : up) {
      EXPECT_GE(v, 0.0);
      EXPECT_LE(v, 5.0 + 1e-9);
    }
    EXPECT_TRUE(AsciiValues(text, 0).empty());  // not a steady-state variable
    EXPECT_EQ(MessageLengths(ReadBytes(bin)), c.messages) << c.reportSize;
  }
  std::remove(ascii.c_str());
  std::remove(bin.c_str());
}

// Without a connectivity list nothing is scheduled after a firing: the
// three initial events fire and the list runs dry. The run ends with the
// message and still writes its final report.
TEST_F(SimulatorStepTest, AnAbsorbingStateEndsTheSteadyStateRunWithAReport) {
  std::string bin = ::testing::TempDir() + "velmor_absorbing.bin";
  Build("5", {"-t", "0", "-N", "1000", "-b", bin});
  testing::internal::CaptureStdout();
  sim->SteadyStateSimulation();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Simulator encountered an absorbing state and is unable to proceed.  "
            "Terminating run.\n");
  EXPECT_NE(sim->runState, 0);
  EXPECT_LE(sim->actionsFired, 3);
  sim.reset();
  EXPECT_EQ(MessageLengths(ReadBytes(bin)).size(), 1u);
  std::remove(bin.c_str());
}

// With fail_rate 0 the failure is due at +infinity; without a connectivity
// list the tick and wear fire once and the failure is all that is left. Its
// time is past every batch boundary, so the run is absorbed rather than
// closing batches up to it for ever.
TEST_F(SimulatorStepTest, AnEventAtInfinityIsAnAbsorbingState) {
  Build("5", {"-t", "0", "-N", "1000"});
  EXPECT_EXIT(
      {
        alarm(20);  // a run that never ends fails by the signal
        fail_rate = 0.0f;
        sim->SteadyStateSimulation();
        std::_Exit(sim->runState != 0 && sim->actionsFired <= 3 ? 0 : 3);
      },
      testing::ExitedWithCode(0), "");
}

// A steady-state variable whose window has no length cannot close another
// batch; it must neither close batches for ever nor keep a run limited by
// -N from ending once the other variable has its batches (ss_ticks, two
// batches by time 25).
TEST_F(SimulatorStepTest, AWindowWithoutLengthDoesNotHoldTheRunBack) {
  Build(nullptr, {"-t", "0", "-N", "2"});
  PerformanceVariableNode* up = sim->pvNodes[3];
  up->StopTime = up->StartTime;
  up->WindowLength = 0.0;
  EXPECT_EXIT(
      {
        alarm(20);  // a run that never ends fails by the signal
        sim->SteadyStateSimulation();
        std::_Exit(sim->runState != 0 && sim->currentTime < 30.0 ? 0 : 3);
      },
      testing::ExitedWithCode(0), "");
}

// Above debug level 3 the saved initial state is printed byte by byte: the
// eight places of the machine as native 16-bit marks, up = 1 first, so on a
// little-endian machine byte 0 is 1 and the other fifteen are 0.
TEST_F(SimulatorStepTest, HighDebugLevelPrintsTheSavedInitialState) {
  const uint16_t probe = 1;
  bool littleEndian = *reinterpret_cast<const unsigned char*>(&probe) == 1;
  Build(nullptr, {"-N", "1"});
  GlobalDebugLevel = 4;
  testing::internal::CaptureStdout();
  sim->TerminatingSimulation();
  std::string out = testing::internal::GetCapturedStdout();
  GlobalDebugLevel = 0;
  std::string expected;
  for (int i = 0; i < 16; ++i) {
    int byte = (i == 0 && littleEndian) || (i == 1 && !littleEndian) ? 1 : 0;
    expected += "OriginalState[" + std::to_string(i) + "] = " + std::to_string(byte) + "\n";
  }
  EXPECT_EQ(out, expected);
}

TEST_F(SimulatorStepTest, InvalidDistributionParametersEndTheRun) {
  Build(nullptr);
  EXPECT_EXIT(sim->HandleInvalidDistParams(&machine->fail, "INVALID_DIST_PARAMS: rate -1"),
              testing::ExitedWithCode(1), "FATAL ERROR: In action fail, rate -1\n");
  EXPECT_DEATH(sim->HandleInvalidDistParams(&machine->fail, "rate -1"),
               "Assertion failed: false, file SimulatorClass, line 1253");
}

}  // namespace

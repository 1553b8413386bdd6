// Tests of the connectivity list (both algorithms and both old modes), the
// initial scheduling and the firing step, run on the test model.
//
// The test model's actions, in order, and their groups: fail (fail),
// repair (repair), tick_case1 and tick_case2 (tickGroup), wear (wear),
// alarm (alarm). Arcs (see TestMachineSAN.h):
//   changes:  fail -> up, down, failures;  repair -> down, up, repairs,
//             alarmed;  tick_case1 -> ticks;  tick_case2 -> ticks, flips;
//             wear -> wears;  alarm -> alarmed
//   reads:    fail <- up;  repair <- down;  wear <- failures;
//             alarm <- down, alarmed
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "RandomFixture.h"
#include "TestModelRewards.h"
#include "framework/BaseActionClass.h"
#include "reward/PerformanceVariableNode.h"
#include "simulator/EventList.h"
#include "simulator/SimulatorClass.h"
#include "study/BaseStudyClass.h"

namespace {

class SimulatorStepTest : public RandomFixture {
 protected:
  void SetUp() override {
    RandomFixture::SetUp();
    PerformanceVariableNode::the_id = 0;
  }
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
    machine = static_cast<TestModelRewardPVModel*>(sim->pvModel)->machine();
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
  TestMachineSAN* machine = nullptr;
};

using Names = std::vector<std::string>;

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

TEST_F(SimulatorStepTest, SimTestTwoIsTheDefault) {
  Build("2");
  EXPECT_EQ(Affects(&machine->fail), (Names{"wear", "alarm", "repair", "fail"}));
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

TEST_F(SimulatorStepTest, OtherSimTestValuesBuildNothing) {
  Build("5");
  for (BaseActionClass* a : {static_cast<BaseActionClass*>(&machine->fail), static_cast<BaseActionClass*>(&machine->repair),
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
// at the limit and the output side drains and stops the run.
TEST_F(SimulatorStepTest, TerminatingLoopStopsAtTheLimit) {
  Build(nullptr, {"-N", "3", "-n", "2"});
  sim->TerminatingSimulation();
  EXPECT_EQ(sim->batchesDone, 3);
  EXPECT_EQ(sim->runState, 2);
  // Every replication fires at least the twenty ticks up to the run end 20.
  EXPECT_GE(sim->actionsFired, 60);
  EXPECT_EQ(sim->scratchEvent, nullptr);
}

TEST_F(SimulatorStepTest, AStoppedRunReplicatesNothing) {
  Build(nullptr, {"-N", "3"});
  sim->runState = 2;
  sim->TerminatingSimulation();
  EXPECT_EQ(sim->batchesDone, 0);
  EXPECT_EQ(sim->actionsFired, 0);
}

TEST_F(SimulatorStepTest, SteadyStateLoopClosesBatchesUpToTheLimit) {
  Build(nullptr, {"-t", "0", "-N", "2"});
  sim->SteadyStateSimulation();
  EXPECT_EQ(sim->runState, 2);
  EXPECT_EQ(sim->batchEndHeap, nullptr);  // freed at the end
  // ss_ticks needs its transient (to 5) and two batches (to 25): the run
  // reaches time 25, so at least 25 ticks fired.
  EXPECT_GE(sim->actionsFired, 25);
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

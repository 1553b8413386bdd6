// Tests of the reward model's state: the snapshot with and without the
// last-action index, the state-index operations and the type file.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "RewardTestNodes.h"

namespace {

// One place and n activities that change nothing: enough actions to need
// a two-byte last-action index.
class WideSAN : public SANModel {
 public:
  explicit WideSAN(int n) : mark("mark", 7) {
    std::vector<Activity*> activities;
    for (int i = 0; i < n; i++) {
      steps.emplace_back(new StepActivity("step", nullptr, 0));
      activities.push_back(steps.back().get());
    }
    BaseStateVariableClass* placeArray[] = {&mark};
    std::vector<BaseGroupClass*> units(activities.begin(), activities.end());
    initializeSANModelNow("wide", 1, placeArray, 0, nullptr, n, activities.data(), n, units.data());
  }
  Place mark;
  std::vector<std::unique_ptr<StepActivity>> steps;
};

TestPVModel::Factory Tokens(std::vector<double> times) {
  return [times](int pv, int window) -> PerformanceVariableNode* {
    if (pv != 0) return nullptr;
    InstantNode::Spec spec;
    spec.starts = spec.stops = times;
    spec.name = "reliability";
    return new InstantNode(spec, window);
  };
}

TestPVModel::Factory NoNodes() {
  return [](int, int) -> PerformanceVariableNode* { return nullptr; };
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

using PVStateTest = RewardFixture;

TEST_F(PVStateTest, IndexModeAppendsTheLastActionsPositionPlusOne) {
  auto* top = new TestComposite("top", {new CounterSAN(), new CounterSAN()});
  TestPVModel pv(top, Tokens({30.0}), 1, false, 1);
  // 8 bytes of places and one index byte for six actions.
  ASSERT_EQ(pv.StateSize(), 9);
  std::vector<unsigned char> before(9);
  pv.CurrentState(before.data());
  EXPECT_EQ(before[8], 0);  // the placeholder
  EXPECT_EQ(pv.StateIndexLookup(before.data()), 0);
  CounterSAN* second = static_cast<CounterSAN*>(top->children[1]);
  pv.FireAction(&second->touch, 1.0);  // position 4 in the table
  std::vector<unsigned char> after(9);
  pv.CurrentState(after.data());
  EXPECT_EQ(after[8], 5);
  EXPECT_EQ(pv.StateIndexLookup(after.data()), 5);
  // Same places, different index: different states.
  pv.SetState(before.data());
  std::vector<unsigned char> restored(9);
  pv.CurrentState(restored.data());
  EXPECT_EQ(restored[8], 5);
  EXPECT_FALSE(pv.CompareState(before.data(), restored.data()));
  restored[8] = 0;
  EXPECT_TRUE(pv.CompareState(before.data(), restored.data()));
}

TEST_F(PVStateTest, TheIndexIsWrittenLeastSignificantByteFirst) {
  WideSAN* top = new WideSAN(300);
  TestPVModel pv(top, NoNodes(), 0, false, 1);
  ASSERT_EQ(pv.StateSize(), 2 + 2);
  pv.FireAction(top->steps[259].get(), 1.0);  // index 260 = 0x0104
  unsigned char state[4] = {0, 0, 0, 0};
  pv.CurrentState(state);
  EXPECT_EQ(state[2], 0x04);
  EXPECT_EQ(state[3], 0x01);
  EXPECT_EQ(pv.StateIndexLookup(state), 260);
  state[2] = 0x2B;  // index 0x012B = 299 names step 298
  pv.AgeAction(reinterpret_cast<char*>(state), nullptr);
  EXPECT_EQ(pv.getLastAction(), top->steps[298].get());
  state[3] = 0xFF;  // beyond the table: the placeholder
  pv.AgeAction(reinterpret_cast<char*>(state), nullptr);
  EXPECT_EQ(pv.getLastAction(), pv.getNoActionFiredYet());
}

TEST_F(PVStateTest, PutPVStateEvaluatesTheConsideredNodes) {
  CounterSAN* top = new CounterSAN("counter", 4);
  TestPVModel indexed(top, Tokens({30.0}), 1, false, 1);
  indexed.ConsiderOnly(nullptr, 0);
  unsigned char state[5] = {0, 0, 0, 0, 1};  // index 1 names add
  indexed.PutPVState(state);
  EXPECT_EQ(indexed.getLastAction(), &top->add);
  EXPECT_DOUBLE_EQ(indexed.getPVNode(0)->Value, 4.0);
  EXPECT_DOUBLE_EQ(indexed.getPVNode(0)->SquaredValue, 16.0);
  state[4] = 0;
  indexed.PutPVState(state);
  EXPECT_EQ(indexed.getLastAction(), indexed.getNoActionFiredYet());
}

TEST_F(PVStateTest, FireActionIntoAStateEvaluatesAndWritesTheNewState) {
  InstantNode::Spec spec;
  spec.impulse = true;
  CounterSAN* top = new CounterSAN("counter", 2);
  TestPVModel pv(top, OneVariable<InstantNode>(spec), 1, false, 1);
  pv.ConsiderOnly(nullptr, 0);
  unsigned char state[5] = {0, 0, 0, 0, 0};
  pv.FireAction(state, &top->add);
  short tokens = 0;
  std::memcpy(&tokens, state, sizeof tokens);
  EXPECT_EQ(tokens, 3);
  EXPECT_EQ(state[4], 1);
  EXPECT_EQ(pv.getLastAction(), &top->add);
  // Reward 3 tokens; the impulse of add (2.5) goes to the impulse sums.
  EXPECT_DOUBLE_EQ(pv.getPVNode(0)->Value, 3.0);
  EXPECT_DOUBLE_EQ(pv.getPVNode(0)->ImpulseValue, 2.5);
  unsigned char copy[5];
  pv.GetPVState(copy);
  EXPECT_EQ(copy[4], 1);
}

TEST_F(PVStateTest, TypeFileDescribesEveryNode) {
  std::string path = ::testing::TempDir() + "reward_type_file.txt";
  TestPVModel single(new CounterSAN(), Tokens({30.0, 180.0, 365.0}), 1, false);
  single.WritePVTypeFile(path.c_str());
  EXPECT_EQ(ReadFile(path),
            "Version:1\nNumPV:1\nName:reliability\nType:0\nNumTimes:3\n"
            "Start:30\nStop:30\nStart:180\nStop:180\nStart:365\nStop:365\n");
  std::remove(path.c_str());
}

TEST_F(PVStateTest, TypeFileUsesSixSignificantDigitsAndOneBlockPerNode) {
  std::string path = ::testing::TempDir() + "reward_type_file_expanded.txt";
  TestPVModel expanded(new CounterSAN(), Tokens({0.1234567, 1234567.0}), 1, true);
  expanded.WritePVTypeFile(path.c_str());
  std::string block =
      "Name:reliability\nType:0\nNumTimes:2\n"
      "Start:0.123457\nStop:0.123457\nStart:1.23457e+06\nStop:1.23457e+06\n";
  EXPECT_EQ(ReadFile(path), "Version:1\nNumPV:2\n" + block + block);
  std::remove(path.c_str());
}

TEST_F(PVStateTest, TypeFileThatCannotBeOpenedIsSkipped) {
  std::string path = ::testing::TempDir() + "no_such_dir/x/type.txt";
  TestPVModel pv(new CounterSAN(), Tokens({30.0}), 1, false);
  pv.WritePVTypeFile(path.c_str());
  EXPECT_FALSE(std::ifstream(path).good());
}

}  // namespace

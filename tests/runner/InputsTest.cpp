// Parsing what the runner reads: simulator messages, --set sweeps and
// experiment lists.
#include <gtest/gtest.h>

#include "runner/MessageStream.h"
#include "runner/ParameterSweep.h"
#include "runner/RunOptions.h"

namespace velmor_runner {
namespace {

std::string Bytes(std::initializer_list<int> b) {
  std::string s;
  for (int x : b) s += static_cast<char>(x);
  return s;
}

TEST(MessageStreamTest, DecodesMessagesSplitAnywhere) {
  // Registration for pid 4660; CPU time 1.5 s; one observation message with
  // variable 1, three values 1.0, 2.0, 0.5 (L = 9 + 7 + 24 = 40).
  std::string wire = Bytes({0, 0, 0, 10, 0xFF, 1, 0, 0, 0x12, 0x34}) +
                     Bytes({0, 0, 0, 12, 0xFE, 0, 0, 0, 0x3F, 0xF8, 0, 0, 0, 0, 0, 0}) +
                     Bytes({0, 0, 0, 40, 0, 0, 0, 0, 1, 0, 1, 1, 0, 0, 0, 3}) +
                     Bytes({0x3F, 0xF0, 0, 0, 0, 0, 0, 0}) + Bytes({0x40, 0, 0, 0, 0, 0, 0, 0}) +
                     Bytes({0x3F, 0xE0, 0, 0, 0, 0, 0, 0});
  MessageStream stream(2);
  for (char c : wire) ASSERT_TRUE(stream.Feed(&c, 1));
  EXPECT_TRUE(stream.Registered());
  EXPECT_EQ(stream.ProcessId(), 4660u);
  EXPECT_DOUBLE_EQ(stream.CpuSeconds(), 1.5);
  EXPECT_EQ(stream.Values()[1], (std::vector<double>{1.0, 2.0, 0.5}));
  EXPECT_TRUE(stream.Values()[0].empty());
  EXPECT_EQ(stream.ObservationBytes(), wire.substr(26));
  EXPECT_FALSE(stream.Partial());
}

TEST(MessageStreamTest, RejectsMalformedMessages) {
  MessageStream tiny(1);
  EXPECT_FALSE(tiny.Feed(Bytes({0, 0, 0, 5, 0}).data(), 5));  // shorter than a header
  MessageStream unknown(1);
  const std::string record =
      Bytes({0, 0, 0, 24, 0, 0, 0, 0, 1, 0, 7, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0});
  EXPECT_FALSE(unknown.Feed(record.data(), record.size()));  // variable 7 of 1
  MessageStream overlong(1);
  const std::string lying = Bytes({0, 0, 0, 16, 0, 0, 0, 0, 1, 0, 0, 1, 0, 0, 0, 9});
  EXPECT_FALSE(overlong.Feed(lying.data(), lying.size()));  // 9 values in 0 bytes
}

StudyInfo TwoGlobals() {
  StudyInfo s;
  s.experiments = 2;
  s.globals = {{"rate", "float", {"1", "2"}}, {"count", "short", {"1", "3"}}};
  return s;
}

TEST(ParameterSweepTest, ProductInOrderWithTypedValues) {
  ParameterSweep sweep;
  std::string error;
  ASSERT_TRUE(sweep.Parse({"rate=0.5,1e-3", "count=2,+4"}, TwoGlobals(), &error)) << error;
  ASSERT_EQ(sweep.Points().size(), 4u);
  EXPECT_EQ(OverrideText(sweep.Points()[0]), "f:rate:0.5:s:count:2");
  EXPECT_EQ(OverrideText(sweep.Points()[1]), "f:rate:0.5:s:count:4");
  EXPECT_EQ(OverrideText(sweep.Points()[3]), "f:rate:0.001:s:count:4");
  EXPECT_EQ(sweep.Names(), (std::vector<std::string>{"rate", "count"}));
  ASSERT_TRUE(sweep.Parse({}, TwoGlobals(), &error));
  EXPECT_EQ(sweep.Points().size(), 1u);
}

TEST(ParameterSweepTest, RejectsWhatTheStudyCannotTake) {
  ParameterSweep sweep;
  std::string error;
  EXPECT_FALSE(sweep.Parse({"rat=1"}, TwoGlobals(), &error));
  EXPECT_NE(error.find("no global variable rat (it has rate, count)"), std::string::npos) << error;
  EXPECT_FALSE(sweep.Parse({"count=1.5"}, TwoGlobals(), &error));
  EXPECT_NE(error.find("'1.5' is not a short value"), std::string::npos) << error;
  EXPECT_FALSE(sweep.Parse({"count=40000"}, TwoGlobals(), &error));
  EXPECT_FALSE(sweep.Parse({"rate=1e39"}, TwoGlobals(), &error));  // beyond float
  EXPECT_FALSE(sweep.Parse({"rate=abc"}, TwoGlobals(), &error));
  EXPECT_FALSE(sweep.Parse({"rate=1,"}, TwoGlobals(), &error));
  EXPECT_FALSE(sweep.Parse({"rate"}, TwoGlobals(), &error));
  EXPECT_FALSE(sweep.Parse({"rate=1", "rate=2"}, TwoGlobals(), &error));
}

TEST(RunOptionsTest, ExperimentLists) {
  std::vector<int> e;
  std::string error;
  ASSERT_TRUE(ParseExperimentList("", 3, &e, &error));
  EXPECT_EQ(e, (std::vector<int>{0, 1, 2}));
  ASSERT_TRUE(ParseExperimentList("8,0-2,1", 9, &e, &error));
  EXPECT_EQ(e, (std::vector<int>{8, 0, 1, 2}));
  EXPECT_FALSE(ParseExperimentList("9", 9, &e, &error));
  EXPECT_NE(error.find("experiments 0 to 8"), std::string::npos);
  EXPECT_FALSE(ParseExperimentList("2-1", 9, &e, &error));
  EXPECT_FALSE(ParseExperimentList("a", 9, &e, &error));
  EXPECT_FALSE(ParseExperimentList("1,,2", 9, &e, &error));
}

}  // namespace
}  // namespace velmor_runner

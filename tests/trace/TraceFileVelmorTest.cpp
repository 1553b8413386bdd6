// Tests of the plain-text trace writer against in-memory streams.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "TraceTestModels.h"
#include "trace/TraceFileContainer.h"
#include "trace/TraceFileVelmor.h"

namespace {

using tracetest::TwoPlaceSAN;

class TraceFileVelmorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BaseModelClass::globalModelId = 0;
    BaseActionClass::MaxID = 0;
  }
  void TearDown() override { trout = &std::cout; }

  std::ostringstream out;
};

TEST_F(TraceFileVelmorTest, HeaderAndBatchMarksAtAnyLevel) {
  TraceFileVelmor writer(&out);
  writer.setTraceLevel(0);
  writer.printHeader(nullptr);
  writer.newBatch();
  writer.newBatch();
  writer.printFooter();
  // 38 asterisks, two tabs and TRACE, 38 asterisks; then one mark per call.
  const std::string stars(38, '*');
  EXPECT_EQ(stars + "\n\t\tTRACE\n" + stars + "\n##### NEW BATCH #####\n##### NEW BATCH #####\n",
            out.str());
}

TEST_F(TraceFileVelmorTest, ModelBlockOfOneSanModel) {
  TwoPlaceSAN first("m0", 1, 1, "");
  TwoPlaceSAN model("m1", 3, 0, "s");  // the second model: id 2
  TraceFileVelmor writer(&out);
  writer.printState(&model);
  EXPECT_EQ("  Model: (2)m1\n    p = 3\n    s.q = 0\n", out.str());
}

TEST_F(TraceFileVelmorTest, StateThroughTheContainerPrintsTheTreeDepthFirst) {
  // Ids: the reward model 1, J 2, m1 3, m2 4; the shared p holds 5.
  tracetest::SharedJoinRewardModel rewards;
  TraceFileVelmor writer(&out);
  TraceFileContainer container;
  container.AddTraceFile(&writer);
  container.addPVModel(&rewards);
  container.printState();
  container.printInitialState();
  // Both start from the reward model's top model, the join, which has no
  // local variables: only its Model line, then each child in order.
  const std::string tree =
      "  Model: (2)J\n"
      "  Model: (3)m1\n    p = 5\n    q = 0\n"
      "  Model: (4)m2\n    p = 5\n    s.q = 1\n";
  EXPECT_EQ("Model State:\n" + tree + "Initial Model State:\n" + tree, out.str());
}

TEST_F(TraceFileVelmorTest, FiringLineAtLevelTwoUsesDefaultDoubleForm) {
  TwoPlaceSAN model("m1", 3, 0, "");
  TraceFileVelmor writer(&out);
  writer.setTraceLevel(2);
  out.precision(2);  // the stream's own settings do not matter
  out.setf(std::ios::fixed);
  writer.printFireAction(&model.move, 1234567.0);
  writer.printFireAction(&model.move, 0.5);
  // %g with six significant digits: 1234567 -> 1.23457e+06.
  EXPECT_EQ(
      "#### Firing: 1.23457e+06  Action: (1)m1->move\n"
      "#### Firing: 0.5  Action: (1)m1->move\n",
      out.str());
}

// Level 1, the default, is the header and the batch marks only; level 2
// adds the firing and after lines, level 3 the enabling- and affected-state
// blocks; higher levels write as 3 (the whole state is the caller's call).
TEST_F(TraceFileVelmorTest, EachLevelAddsItsRecords) {
  std::string outputs[6];
  for (int level = -1; level <= 4; level++) {
    BaseModelClass::globalModelId = 0;
    TwoPlaceSAN model("m1", 3, 0, "s");
    std::ostringstream os;
    TraceFileVelmor writer(&os);
    writer.setTraceLevel(level);
    writer.printFireAction(&model.move, 2.0);
    writer.printPreFireAction(&model.move);
    model.move.Fire();  // p 3 -> 2, q 0 -> 1
    writer.printPostFireAction(&model.move, &model.move);
    outputs[level + 1] = os.str();
  }
  EXPECT_EQ("", outputs[0]);  // -1
  EXPECT_EQ("", outputs[1]);  // 0
  EXPECT_EQ("", outputs[2]);  // 1
  EXPECT_EQ(
      "#### Firing: 2  Action: (1)m1->move\n"
      "#### After: (1)move->move\n",
      outputs[3]);
  // move is enabled by p and affects p and s.q, in arc order.
  EXPECT_EQ(
      "#### Firing: 2  Action: (1)m1->move\n"
      "Enabling state before action firing:\n"
      "  p = 3\n"
      "#### After: (1)move->move\n"
      "Affected state after firing: \n"
      "  p = 2\n"
      "  s.q = 1\n",
      outputs[4]);
  EXPECT_EQ(outputs[4], outputs[5]);
}

TEST_F(TraceFileVelmorTest, EmptyModelAndLooseActionPrintWithoutCrash) {
  SANModel empty;  // id 1: no name, no places, no actions
  tracetest::StepActivity loose("loose", nullptr, nullptr);
  TraceFileVelmor writer(&out);
  writer.setTraceLevel(3);
  writer.printState(&empty);
  writer.printFireAction(&loose, 1.0);
  writer.printPostFireAction(&loose, &loose);
  // The action belongs to no model: id -1 and an empty model name; it
  // affects nothing, so the affected-state block has only its title.
  EXPECT_EQ(
      "  Model: (1)\n"
      "#### Firing: 1  Action: (-1)->loose\n"
      "#### After: (-1)loose->loose\n"
      "Affected state after firing: \n",
      out.str());
}

TEST_F(TraceFileVelmorTest, TroutFollowsTheLatestWriterAndReturnsToCout) {
  EXPECT_EQ(&std::cout, trout);
  {
    TraceFileVelmor writer(&out);
    EXPECT_EQ(&out, trout);
    // Writers given no name or no stream write nowhere and leave trout.
    TraceFileVelmor noName(static_cast<const char*>(nullptr));
    TraceFileVelmor noStream(static_cast<std::ostream*>(nullptr));
    EXPECT_EQ(&out, trout);
    noName.printHeader(nullptr);
    noStream.newBatch();
  }
  EXPECT_EQ(&std::cout, trout);
  EXPECT_EQ("", out.str());
}

TEST_F(TraceFileVelmorTest, SetTraceLevelSetsTheProcessWideLevel) {
  TraceFileVelmor writer(&out);
  writer.setTraceLevel(3);
  EXPECT_EQ(3, writer.getTraceLevel());
  EXPECT_EQ(3, TraceLevel);
  TraceLevel = 7;
  TraceFileVelmor plain;  // a default construction sets level 1 everywhere
  EXPECT_EQ(1, plain.getTraceLevel());
  EXPECT_EQ(1, TraceLevel);
}

TEST_F(TraceFileVelmorTest, FileFormTruncatesAndWritesTheFile) {
  const std::string name = ::testing::TempDir() + "trace_velmor_test.txt";
  {
    std::ofstream old(name);
    old << "old content\n";
  }
  {
    TraceFileVelmor writer(name.c_str());
    writer.newBatch();
  }
  std::ifstream in(name);
  std::stringstream content;
  content << in.rdbuf();
  EXPECT_EQ("##### NEW BATCH #####\n", content.str());
  std::remove(name.c_str());
}

TEST_F(TraceFileVelmorTest, UncreatableFileLosesTheTraceSilently) {
  TraceFileVelmor writer("/nonexistent-dir/for/sure/trace.txt");
  writer.printHeader(nullptr);
  writer.newBatch();
  EXPECT_NE(&std::cout, trout);  // trout points at the failed stream
  EXPECT_TRUE(trout->fail());
}

}  // namespace

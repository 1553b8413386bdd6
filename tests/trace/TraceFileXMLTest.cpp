// Tests of the XML trace writer: declarations, phases, state lines, action
// elements and well-formedness, against in-memory streams.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "TraceTestModels.h"
#include "TraceXmlChecker.h"
#include "trace/TraceFileXML.h"

namespace {

using tracetest::SharedJoin;
using tracetest::TwoPlaceSAN;

class TraceFileXMLTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BaseModelClass::globalModelId = 0;
    BaseActionClass::MaxID = 0;
  }

  static std::string ActionId(BaseActionClass* a) { return "a" + std::to_string(a->getActionId()); }

  std::ostringstream out;
};

TEST_F(TraceFileXMLTest, DeclarationSetsParentIdsDownTheTree) {
  SharedJoin join;
  TraceFileXML writer(&out);
  writer.printHeader(&join, join.getModelId());
  // Each model's parent id becomes the id of the model that declared it.
  EXPECT_EQ(1, join.getParentId());
  EXPECT_EQ(1, join.left->getParentId());
  EXPECT_EQ(1, join.right->getParentId());
}

TEST_F(TraceFileXMLTest, ActionTouchingOnlyOtherProcessesAddsItsOwn) {
  TwoPlaceSAN declared("d", 1, 1, "");
  TwoPlaceSAN other("o", 1, 1, "x");  // variables p and x.q
  TraceFileXML writer(&out);
  writer.printHeader(&declared, declared.getModelId());  // declares p, q
  out.str("");
  // o's move changes p and x.q; only p is declared (by d, id 1), so the
  // touched processes are p1, then o's own p2.
  writer.printHeaderInteractions(&other);
  EXPECT_EQ("<Undiraction id=\"" + ActionId(&other.move) +
                "\" name=\"move\">\n<Touch>p1</Touch>\n<Touch>p2</Touch>\n"
                "</Undiraction>\n",
            out.str());
}

TEST_F(TraceFileXMLTest, StateAndActionRecordsOnlyBetweenFirstTwoBatches) {
  SharedJoin join;
  TraceFileXML writer(&out);
  writer.setTraceLevel(3);
  writer.printHeader(&join, join.getModelId());
  out.str("");
  writer.printInitialState(&join);  // counter -1: nothing
  writer.printState(&join);
  writer.printPostFireAction(&join.left->move, &join.left->move);
  EXPECT_EQ("", out.str());

  writer.newBatch();  // counter 0
  EXPECT_EQ(0, writer.getBatchCounter());
  writer.printInitialState(&join);
  // The join's shared p (5) under p1, then m1's q and m2's s.q.
  EXPECT_EQ(
      "<S>\n"
      "<V id=\"p1p\" val=\"5\" />\n"
      "<V id=\"p2q\" val=\"0\" />\n"
      "<V id=\"p3s.q\" val=\"1\" />\n"
      "</S>\n",
      out.str());

  out.str("");
  writer.printFireAction(&join.left->move, 2.5);
  EXPECT_EQ("", out.str());
  join.left->move.Fire();  // shared p 5 -> 4, m1's q 0 -> 1
  writer.printPostFireAction(&join.left->move, &join.left->move);
  // p is shared: its process is the first declaring model not above m1's
  // id 2, the join p1; q is unshared and belongs to m1, p2.
  EXPECT_EQ("<A id=\"" + ActionId(&join.left->move) +
                "\" t=\"2.5\">\n"
                "  <V id=\"p1p\"  val=\"4\" />\n"
                "  <V id=\"p2q\"  val=\"1\" />\n"
                "</A>\n",
            out.str());

  out.str("");
  writer.newBatch();         // counter 1: closes the document
  EXPECT_EQ("", out.str());  // no header was written: nothing to close
  writer.printState(&join);
  writer.printFireAction(&join.left->move, 9.0);
  writer.printPostFireAction(&join.left->move, &join.left->move);
  EXPECT_EQ("", out.str());
}

// Level 1 writes no action element, level 2 one per firing with its time,
// level 3 and above with the values the firing changed.
TEST_F(TraceFileXMLTest, ActionElementsByLevel) {
  std::string outputs[4];
  for (int level = 1; level <= 4; level++) {
    BaseModelClass::globalModelId = 0;
    BaseActionClass::MaxID = 0;
    TwoPlaceSAN model("m", 3, 0, "");
    std::ostringstream os;
    TraceFileXML writer(&os);
    writer.setTraceLevel(level);
    writer.printHeader(&model, model.getModelId());
    writer.newBatch();
    os.str("");
    writer.printFireAction(&model.move, 1.5);
    model.move.Fire();  // p 3 -> 2, q 0 -> 1
    writer.printPostFireAction(&model.move, &model.move);
    outputs[level - 1] = os.str();
  }
  EXPECT_EQ("", outputs[0]);
  const std::string open = "<A id=\"a0\" t=\"1.5\">\n";  // move is action 0
  EXPECT_EQ(open + "</A>\n", outputs[1]);
  EXPECT_EQ(open + "  <V id=\"p1p\"  val=\"2\" />\n  <V id=\"p1q\"  val=\"1\" />\n</A>\n",
            outputs[2]);
  EXPECT_EQ(outputs[2], outputs[3]);
}

TEST_F(TraceFileXMLTest, ModelMapLookupHonoursTheIdLimit) {
  SharedJoin join;
  TraceFileXML writer(&out);
  writer.printHeader(&join, join.getModelId());
  EXPECT_EQ(1, writer.getModelMap("p", 3));
  EXPECT_EQ(1, writer.getModelMap("p", 1));
  EXPECT_EQ(-1, writer.getModelMap("p", 0));
  EXPECT_EQ(2, writer.getModelMap("q", 2));
  EXPECT_EQ(-1, writer.getModelMap("q", 1));  // declared by id 2 only
  EXPECT_EQ(3, writer.getModelMap("s.q", 5));
  EXPECT_EQ(-1, writer.getModelMap("nothing", 5));
}

TEST_F(TraceFileXMLTest, UsedStateNamesAndStateList) {
  TraceFileXML writer(&out);
  EXPECT_FALSE(writer.inUsedStateName("x"));
  EXPECT_TRUE(writer.addUsedStateName("x", 4, 2));  // recorded with id 2
  EXPECT_TRUE(writer.inUsedStateName("x"));
  EXPECT_FALSE(writer.addUsedStateName("x", 2, 2));  // 2 is not above 2
  EXPECT_FALSE(writer.addUsedStateName("x", 7, 7));
  EXPECT_TRUE(writer.addUsedStateName("x", 1, 1));  // 2 is above 1
  EXPECT_TRUE(writer.addUsedStateName("y", 1, 1));

  writer.addState("a");
  writer.addState("b");
  writer.addState("a");
  ASSERT_EQ(2u, writer.getStateList().size());
  EXPECT_EQ("a", writer.getStateList()[0]);
  EXPECT_EQ("b", writer.getStateList()[1]);
  writer.newBatch();
  SharedJoin join;
  writer.printInitialState(&join);  // empties the state list
  EXPECT_TRUE(writer.getStateList().empty());
}

}  // namespace

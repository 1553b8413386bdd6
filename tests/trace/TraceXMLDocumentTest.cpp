// Tests of whole XML trace documents: the head written from a reward model,
// closing at the second batch mark or the footer, escaping of names, and
// well-formedness of everything the writer can produce.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "TraceTestModels.h"
#include "TraceXmlChecker.h"
#include "trace/TraceFileContainer.h"
#include "trace/TraceFileXML.h"

namespace {

using tracetest::CheckWellFormed;
using tracetest::SharedJoinRewardModel;

class TraceXMLDocumentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BaseModelClass::globalModelId = 0;
    BaseActionClass::MaxID = 0;
    rewards = new SharedJoinRewardModel();
  }
  void TearDown() override { delete rewards; }

  std::string MoveId(bool left) const {
    const tracetest::SharedJoin* j = rewards->join;
    return std::to_string((left ? j->left : j->right)->move.getActionId());
  }

  SharedJoinRewardModel* rewards = nullptr;
  std::ostringstream out;
};

int CountOf(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
    n++;
  }
  return n;
}

// The document head for the reward model over SharedJoin (ids J 2, m1 3,
// m2 4), line by line from the head layout, the declaration rules and the
// interaction rule (each move touches the join's p and its own q).
std::string ExpectedHead(const std::string& a1, const std::string& a2) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n"
         "<!DOCTYPE Trace\n"
         "  SYSTEM \"velmor-trace.dtd\">\n"
         "<Trace model=\"Example_Velmor\" generator=\"manually_generated\" >\n"
         "<Comment> Purpose of this trace: demonstration </Comment>\n"
         "<!-- TESTING declaration of processes -->\n"
         "<!-- Trace file of model Example_Velmor -->\n"
         "<Process id=\"p2\" name=\"J\" >\n"
         "<Var id=\"p2p\" name=\"p\" />\n"
         "</Process>\n"
         "<Process id=\"p3\" name=\"m13\" >\n"
         "<Action id=\"a" +
         a1 +
         "\" name=\"move\" />\n"
         "<Var id=\"p3q\" name=\"q\" />\n"
         "</Process>\n"
         "<Process id=\"p4\" name=\"m24\" >\n"
         "<Action id=\"a" +
         a2 +
         "\" name=\"move\" />\n"
         "<Var id=\"p4s.q\" name=\"s.q\" />\n"
         "</Process>\n"
         "<Interactions>\n"
         "<Undiraction id=\"a" +
         a1 +
         "\" name=\"move\">\n"
         "<Touch>p2</Touch>\n<Touch>p3</Touch>\n"
         "</Undiraction>\n"
         "<Undiraction id=\"a" +
         a2 +
         "\" name=\"move\">\n"
         "<Touch>p2</Touch>\n<Touch>p4</Touch>\n"
         "</Undiraction>\n"
         "</Interactions>\n"
         "<!-- process sequence -->\n"
         "<Sequence type=\"StateActionType\">\n";
}

TEST_F(TraceXMLDocumentTest, DefaultCallPatternGivesHeadThenClose) {
  TraceFileXML writer(&out);
  writer.printHeader(rewards);
  const std::string head = ExpectedHead(MoveId(true), MoveId(false));
  EXPECT_EQ(head, out.str());
  writer.newBatch();  // before the first replication
  EXPECT_EQ(head, out.str());
  writer.newBatch();  // after it: closes
  EXPECT_EQ(head + "</Sequence>\n</Trace>\n", out.str());
  writer.newBatch();  // after the second: nothing more
  writer.printFooter();
  EXPECT_EQ(head + "</Sequence>\n</Trace>\n", out.str());
  EXPECT_EQ("", CheckWellFormed(out.str()));
}

TEST_F(TraceXMLDocumentTest, HeaderOnlyOnceAndOnlyBeforeTheFirstMark) {
  TraceFileXML writer(&out);
  writer.printHeader(rewards);
  const std::string once = out.str();
  writer.printHeader(rewards);
  EXPECT_EQ(once, out.str());

  std::ostringstream late;
  TraceFileXML lateWriter(&late);
  lateWriter.newBatch();
  lateWriter.printHeader(rewards);
  lateWriter.newBatch();  // nothing was opened, so nothing is closed
  EXPECT_EQ("", late.str());
}

TEST_F(TraceXMLDocumentTest, SequenceOfStatesAndActionsIsWellFormed) {
  TraceFileXML writer(&out);
  writer.setTraceLevel(4);
  TraceFileContainer container;
  container.AddTraceFile(&writer);
  container.addPVModel(rewards);
  container.printHeader();
  container.newBatch();
  container.printInitialState();
  tracetest::TwoPlaceSAN* m1 = rewards->join->left;
  container.printFireAction(&m1->move, 0.25);
  m1->move.Fire();
  container.printPostFireAction(&m1->move, &m1->move);
  container.printState();  // the state after the firing
  container.newBatch();
  const std::string doc = out.str();
  EXPECT_EQ("", CheckWellFormed(doc));
  // The initial state, the action element and the state after it, each
  // with the join's p under process p2 (the join), then the closing tags.
  EXPECT_EQ(2, CountOf(doc, "<S>"));
  EXPECT_EQ(1, CountOf(doc, "<A id=\"a" + MoveId(true) + "\" t=\"0.25\">"));
  EXPECT_EQ(3, CountOf(doc, "<V id=\"p2p\""));
  EXPECT_LT(doc.find("<A "), doc.rfind("<S>"));
  EXPECT_EQ(doc.size() - 21, doc.find("</Sequence>\n</Trace>\n"));
}

TEST_F(TraceXMLDocumentTest, FooterClosesADocumentLeftOpen) {
  for (int marks = 0; marks <= 1; marks++) {
    std::ostringstream os;
    TraceFileXML writer(&os);
    writer.printHeader(rewards);
    for (int i = 0; i < marks; i++) writer.newBatch();
    writer.printFooter();
    writer.newBatch();                        // the document is not closed twice
    writer.printInitialState(rewards->join);  // nor reopened
    EXPECT_EQ("", CheckWellFormed(os.str())) << marks << " marks";
    const std::string tail = "</Sequence>\n</Trace>\n";
    ASSERT_GE(os.str().size(), tail.size());
    EXPECT_EQ(tail, os.str().substr(os.str().size() - tail.size()));
  }
}

TEST_F(TraceXMLDocumentTest, EmptyModelGivesEmptyElements) {
  SANModel empty;  // id 5 after the fixture's four models; no name, empty
  tracetest::StepActivity loose("loose", nullptr, nullptr);
  TraceFileXML writer(&out);
  writer.setTraceLevel(3);
  writer.printHeader(&empty, empty.getModelId());
  writer.printHeaderInteractions(&empty);  // no actions: no interaction
  writer.newBatch();
  writer.printInitialState(&empty);
  writer.printPostFireAction(&loose, &loose);  // no firing time stored: 0
  EXPECT_EQ(
      "<Process id=\"p5\" name=\"5\" >\n</Process>\n"
      "<S>\n</S>\n"
      "<A id=\"a" +
          std::to_string(loose.getActionId()) + "\" t=\"0\">\n</A>\n",
      out.str());
}

TEST_F(TraceXMLDocumentTest, OddCharactersInNamesKeepTheDocumentWellFormed) {
  BaseModelClass::globalModelId = 10;
  tracetest::TwoPlaceSAN odd("a&b<c>\r", 1, 0, "x\"y");
  // A tab, a control character, a UTF-8 e-acute and a lone Latin-1 byte.
  odd.move.defineName("go&stop\t\x01\xC3\xA9\xE9");
  TraceFileXML writer(&out);
  writer.setTraceLevel(3);                             // action elements with their values
  writer.printHeader(static_cast<PVModel*>(nullptr));  // head, no processes
  const std::string headOnly = out.str();
  writer.printHeader(&odd, odd.getModelId());
  writer.printHeaderInteractions(&odd);
  writer.newBatch();
  writer.printInitialState(&odd);
  writer.printFireAction(&odd.move, 1.0);
  writer.printPostFireAction(&odd.move, &odd.move);
  writer.newBatch();
  const std::string doc = out.str();
  EXPECT_EQ("", CheckWellFormed(doc));
  // Markup characters become entities, tab and carriage return character
  // references; the control character and the Latin-1 byte become '?',
  // the well-formed UTF-8 character stays.
  EXPECT_NE(std::string::npos, doc.find("name=\"a&amp;b&lt;c&gt;&#13;11\""));
  EXPECT_NE(std::string::npos, doc.find("name=\"go&amp;stop&#9;?\xC3\xA9?\""));
  EXPECT_NE(std::string::npos, doc.find("<Var id=\"p11x&quot;y.q\""));
  EXPECT_NE(std::string::npos, doc.find("  <V id=\"p11x&quot;y.q\"  val=\"0\" />"));
  EXPECT_EQ(std::string::npos, headOnly.find("<Process"));
}

}  // namespace

// Tests of the trace fan-out: order of calls, arguments passed through,
// the free-text buffer and the do-nothing forms.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "TraceTestModels.h"
#include "trace/TraceFileContainer.h"
#include "trace/TraceFileVelmor.h"
#include "trace/TraceFileXML.h"

namespace {

// Records every call it receives as "<tag>:<operation>" in a shared log.
class RecordingWriter : public TraceFile {
 public:
  RecordingWriter(const std::string& writerTag, std::vector<std::string>* calls)
      : tag(writerTag), log(calls) {}

  void printHeader(PVModel* m) override {
    Add(std::string("header") + (m == nullptr ? "(null)" : "(model)"));
  }
  void printFooter() override { Add("footer"); }
  void printInitialState(BaseModelClass*) override { Add("initial"); }
  void printState(BaseModelClass*) override { Add("state(model)"); }
  void printState(PVModel*) override { Add("state(pv)"); }
  void printFireAction(BaseActionClass* a, double t) override {
    Add("fire(" + std::string(a->getName()) + "," + std::to_string(t) + ")");
  }
  void printPreFireAction(BaseActionClass* a) override {
    Add("pre(" + std::string(a->getName()) + ")");
  }
  void printPostFireAction(BaseActionClass* a, BaseActionClass* b) override {
    Add("post(" + std::string(a->getName()) + "," + b->getName() + ")");
  }
  void newBatch() override { Add("batch"); }
  void printStr(int level, const char* text) override {
    texts.push_back(text);
    Add("str(" + std::to_string(level) + ")");
  }

  std::vector<std::string> texts;

 private:
  void Add(const std::string& what) { log->push_back(tag + ":" + what); }
  std::string tag;
  std::vector<std::string>* log;
};

class TraceFileContainerTest : public ::testing::Test {
 protected:
  std::vector<std::string> calls;
  RecordingWriter first{"A", &calls};
  RecordingWriter second{"B", &calls};
  TraceFileContainer container;
};

TEST_F(TraceFileContainerTest, EveryCallReachesEveryWriterInOrderAddedEvenIfRemoved) {
  tracetest::TwoPlaceSAN model("m", 1, 0, "");
  container.AddTraceFile(&first);
  container.AddTraceFile(&second);
  container.RemoveTraceFile(&first);  // writers stay for the whole run
  container.printHeader();
  container.newBatch();
  container.printFireAction(&model.move, 1.5);
  container.printPreFireAction(&model.move);
  container.printPostFireAction(&model.move, &model.move);
  container.printStr(2, "text");
  container.printFooter();
  const std::vector<std::string> expected = {"A:header(null)",
                                             "B:header(null)",
                                             "A:batch",
                                             "B:batch",
                                             "A:fire(move,1.500000)",
                                             "B:fire(move,1.500000)",
                                             "A:pre(move)",
                                             "B:pre(move)",
                                             "A:post(move,move)",
                                             "B:post(move,move)",
                                             "A:str(2)",
                                             "B:str(2)",
                                             "A:footer",
                                             "B:footer"};
  EXPECT_EQ(expected, calls);
}

TEST_F(TraceFileContainerTest, WithoutWritersCallsDoNothing) {
  container.printHeader();
  container.printState();
  container.printInitialState();  // no reward model: nothing to print
  container.newBatch();
  container.printFooter();
  container.printf(1, "%d", 5);
  EXPECT_TRUE(calls.empty());
}

TEST_F(TraceFileContainerTest, ModelFormsOfTheWriterInterfaceDoNothing) {
  tracetest::TwoPlaceSAN model("m", 1, 0, "");
  container.AddTraceFile(&first);
  TraceFile& asWriter = container;
  asWriter.printHeader(static_cast<PVModel*>(nullptr));
  asWriter.printState(&model);
  asWriter.printState(static_cast<PVModel*>(nullptr));
  asWriter.printInitialState(&model);
  EXPECT_TRUE(calls.empty());
}

TEST_F(TraceFileContainerTest, PrintfFormatsOnceAndCutsLongText) {
  container.AddTraceFile(&first);
  container.AddTraceFile(&second);
  container.printf(3, "%s=%d;%.2f", "x", 42, 0.5);
  ASSERT_EQ(1u, first.texts.size());
  EXPECT_EQ("x=42;0.50", first.texts[0]);
  EXPECT_EQ(first.texts, second.texts);
  EXPECT_EQ("A:str(3)", calls[0]);

  // 1500 characters through %s: the buffer of 1024 bytes keeps 1023.
  const std::string longText(1500, 'z');
  container.printf(1, "%s", longText.c_str());
  ASSERT_EQ(2u, first.texts.size());
  EXPECT_EQ(std::string(1023, 'z'), first.texts[1]);
}

TEST_F(TraceFileContainerTest, ConcreteWritersDiscardFreeText) {
  std::ostringstream plain;
  std::ostringstream xml;
  TraceFileVelmor velmor(&plain);
  TraceFileXML xmlWriter(&xml);
  container.AddTraceFile(&velmor);
  container.AddTraceFile(&xmlWriter);
  container.printf(1, "hello %d", 1);
  container.printStr(1, "hello");
  EXPECT_EQ("", plain.str());
  EXPECT_EQ("", xml.str());
}

TEST_F(TraceFileContainerTest, LevelIsTheContainersOwnAndNotApplied) {
  tracetest::TwoPlaceSAN model("m", 1, 0, "");
  container.setTraceLevel(0);
  first.setTraceLevel(2);
  container.AddTraceFile(&first);
  container.printFireAction(&model.move, 1.0);  // not filtered by level 0
  EXPECT_EQ(1u, calls.size());
  EXPECT_EQ(0, container.getTraceLevel());
  EXPECT_EQ(2, first.getTraceLevel());
}

}  // namespace

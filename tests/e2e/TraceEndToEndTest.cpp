// End-to-end runs of both simulators with the trace options: the files
// each option writes, the plain-text header and batch marks, and the XML
// document (on a file or on standard output) parsed for well-formedness.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../trace/TraceXmlChecker.h"
#include "SimE2EHelpers.h"

namespace {

using tracetest::CheckWellFormed;

const char kMark[] = "##### NEW BATCH #####\n";
const char kXmlTail[] = "</Sequence>\n</Trace>\n";

// The three header lines: 38 asterisks, two tabs and TRACE, 38 asterisks.
std::string PlainHeader() {
  const std::string stars(38, '*');
  return stars + "\n\t\tTRACE\n" + stars + "\n";
}

// A terminating run of n replications marks once before the first and
// once after each: n + 1 marks, and the simulation writes nothing else.
std::string PlainTrace(int replications) {
  std::string text = PlainHeader();
  for (int i = 0; i <= replications; i++) text += kMark;
  return text;
}

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos;
       at = text.find(what, at + what.size())) {
    n++;
  }
  return n;
}

// The XML document inside standard output: from the declaration to the
// end of the closing Trace tag (other output may precede or follow it).
std::string XmlIn(const std::string& out) {
  const size_t start = out.find("<?xml");
  const size_t end = out.find(kXmlTail);
  if (start == std::string::npos || end == std::string::npos) return "";
  return out.substr(start, end + sizeof(kXmlTail) - 1 - start);
}

class TraceEndToEnd : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    if (!Exists(GetParam())) GTEST_SKIP() << GetParam() << " not built";
    dir = MakeTempDir("velmor_trace_");
    options.workDir = dir;
    options.unset.push_back("SIMTEST");
  }
  ProcessResult Run(const std::vector<std::string>& args) {
    return RunProcess(GetParam(), args, options);
  }
  std::string File(const std::string& name) { return ReadFileBytes(dir + "/" + name); }

  std::string dir;
  ProcessOptions options;
};

TEST_P(TraceEndToEnd, PlainTraceToFileHasHeaderAndOneMarkPerBoundary) {
  // At level 1, the default, the simulation writes only the header, the
  // batch marks and the footer (the firing records start at level 2).
  ProcessResult r = Run({"-N", "3", "-m", "-l", "1", "-f", "run"});
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ(PlainTrace(3), File("run.txt"));
  EXPECT_EQ("", File("run.xml"));
  EXPECT_EQ(std::string::npos, r.out.find("Adding cout: "));
  EXPECT_EQ(std::string::npos, r.out.find("TRACE"));
}

TEST_P(TraceEndToEnd, BothTracesGetTheirOwnFiles) {
  ProcessResult r = Run({"-N", "2", "-m", "-x", "-f", "run"});
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ(PlainTrace(2), File("run.txt"));
  const std::string xml = File("run.xml");
  EXPECT_EQ("", CheckWellFormed(xml));
  EXPECT_EQ(0u, xml.find("<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n"
                         "<!DOCTYPE Trace\n  SYSTEM \"velmor-trace.dtd\">\n"));
  // Closed at the second batch mark; the sequence itself stays empty at
  // level 1, which has no state or action records.
  const std::string open = "<Sequence type=\"StateActionType\">\n";
  ASSERT_NE(std::string::npos, xml.find(open));
  EXPECT_EQ(xml.size(), xml.find(open) + open.size() + sizeof(kXmlTail) - 1);
  EXPECT_EQ(1, Count(xml, "</Trace>"));
  // One process per model node: the test model is a single SAN; the
  // built-in model is a join over ram_system and a replicate of at least
  // one redundant_controller_flash_system.
  const bool builtIn = GetParam() == BuiltInSim();
  EXPECT_GE(Count(xml, "<Process "), builtIn ? 4 : 1);
  EXPECT_EQ(Count(xml, "<Process "), Count(xml, "</Process>"));
  if (builtIn) {
    EXPECT_NE(std::string::npos, xml.find("<Process id=\"p2\" name=\"Join\" >"));
    EXPECT_NE(std::string::npos, xml.find(" name=\"flash_rep\" >"));
  }
}

TEST_P(TraceEndToEnd, XmlAloneGoesToStandardOutputAsOneDocument) {
  ProcessResult r = Run({"-N", "2", "-x"});
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ(std::string::npos, r.out.find("Adding cout: "));
  const std::string xml = XmlIn(r.out);
  ASSERT_FALSE(xml.empty()) << r.out;
  EXPECT_EQ("", CheckWellFormed(xml));
  EXPECT_EQ(1, Count(r.out, "<?xml"));
  EXPECT_EQ(1, Count(r.out, "</Trace>"));
}

TEST_P(TraceEndToEnd, PlainTraceWithoutFileGoesToStandardOutput) {
  ProcessResult r = Run({"-N", "1", "-m"});
  ASSERT_EQ(0, r.status) << r.err;
  const size_t adding = r.out.find("Adding cout: \n");
  ASSERT_NE(std::string::npos, adding);
  EXPECT_GT(r.out.find(PlainHeader()), adding);
  EXPECT_EQ(2, Count(r.out, kMark));
}

INSTANTIATE_TEST_SUITE_P(BothModels, TraceEndToEnd, ::testing::Values(TestModelSim(), BuiltInSim()),
                         [](const ::testing::TestParamInfo<std::string>& p) {
                           return p.param == TestModelSim() ? std::string("TestModel")
                                                            : std::string("BuiltInModel");
                         });

// Only the test model has steady-state variables. A steady-state run marks
// once at its start and once per closed batch, so -N 1 gives at least two
// marks and the XML document is closed by the second.
class TraceSteadyStateEndToEnd : public TraceEndToEnd {};

TEST_P(TraceSteadyStateEndToEnd, SteadyStateRunClosesTheXmlDocumentToo) {
  ProcessResult r = Run({"-t", "0", "-N", "1", "-m", "-x", "-f", "ss"});
  ASSERT_EQ(0, r.status) << r.err;
  const std::string xml = File("ss.xml");
  EXPECT_EQ("", CheckWellFormed(xml));
  EXPECT_EQ(1, Count(xml, "</Trace>"));
  const std::string plain = File("ss.txt");
  EXPECT_EQ(0u, plain.find(PlainHeader()));
  EXPECT_GE(Count(plain, kMark), 2);
}

INSTANTIATE_TEST_SUITE_P(TestModelOnly, TraceSteadyStateEndToEnd,
                         ::testing::Values(TestModelSim()));

}  // namespace

// Tests of the test-side XML checker itself: it must reject the faults it
// is used to detect, or the well-formedness tests prove nothing.
#include <gtest/gtest.h>

#include <string>

#include "TraceXmlChecker.h"

namespace {

using tracetest::CheckWellFormed;

TEST(TraceXmlCheckerTest, AcceptsTheTraceDocumentShape) {
  EXPECT_EQ("", CheckWellFormed("<?xml version=\"1.0\" ?>\n<!DOCTYPE T\n"
                                "  SYSTEM \"t.dtd\">\n<T a=\"1\" >\n"
                                "<!-- c -->\n<C> text &amp; more </C>\n"
                                "<E x=\"&lt;\" />\n</T>\n"));
}

TEST(TraceXmlCheckerTest, RejectsBrokenDocuments) {
  const char* const broken[] = {
      "",                                  // no root
      "<a><b></a></b>",                    // crossed tags
      "<a>",                               // never closed
      "<a></a><b></b>",                    // two roots
      "<a x=1></a>",                       // unquoted value
      "<a x=\"1\" x=\"2\"></a>",           // repeated attribute
      "<a x=\"<\"></a>",                   // '<' in a value
      "<a>&nbsp;</a>",                     // unknown entity
      "<a>fish & chips</a>",               // bare ampersand
      "<a><!-- a -- b --></a>",            // '--' inside a comment
      "<a></a>\n</Trace>",                 // closing tag after the root
      "junk<?xml version=\"1.0\" ?><a/>",  // text before the declaration
  };
  for (const char* doc : broken) {
    EXPECT_NE("", CheckWellFormed(doc)) << doc;
  }
}

}  // namespace

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
                                "<E x=\"&lt;&#9;&#x41;\xC3\xA9\" />\n</T>\n"));
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
      "<a>&#;</a>",                        // empty character reference
      "<a>&#x41</a>",                      // unterminated reference
      "<a x=\"\x01\"></a>",                // control character
      "<a x=\"\xE9\"></a>",                // Latin-1 byte, not UTF-8
      "<a x=\"\xC3\xA9\xC3\"></a>",        // truncated sequence
      "<a x=\"\xC0\xAF\"></a>",            // overlong form
      "<a x=\"\xED\xA0\x80\"></a>",        // surrogate
  };
  for (const char* doc : broken) {
    EXPECT_NE("", CheckWellFormed(doc)) << doc;
  }
}

}  // namespace

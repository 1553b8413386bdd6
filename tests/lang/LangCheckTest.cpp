// Checks of the model language: each broken model gives its error at the
// right position, suspicious ones their warnings, and correct ones none.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "lang/Checker.h"
#include "lang/Parser.h"

namespace {

// A minimal correct model; the cases below edit it.
const char* const kBase =
    "model m\n"                                     // 1
    "global rate : double\n"                        // 2
    "submodel unit {\n"                             // 3
    "  place up = 1\n"                              // 4
    "  place down = 0\n"                            // 5
    "  timed fail {\n"                              // 6
    "    delay exponential(rate)\n"                 // 7
    "    input up\n"                                // 8
    "    output down\n"                             // 9
    "  }\n"                                         // 10
    "  timed repair {\n"                            // 11
    "    delay exponential(1.0)\n"                  // 12
    "    input down\n"                              // 13
    "    output up\n"                               // 14
    "  }\n"                                         // 15
    "}\n"                                           // 16
    "rep pair = 2 of unit { share down }\n"         // 17
    "reward r of unit { instant at 10 rate up }\n"  // 18
    "study set { rate = 0.5, 1.5 }\n";              // 19

// kBase with a second submodel beside the pair, for reward variables over
// several submodels; its rewards are on line 23.
const std::string kJoint = std::string(kBase) +
                           "submodel crew {\n"   // 20
                           "  place idle = 1\n"  // 21
                           "  timed call { delay exponential(1.0) input idle output idle } }\n"
                           "join all = pair, crew\n";  // 23

// Replaces the first occurrence of from by to in kBase.
std::string Edit(const std::string& from, const std::string& to) {
  std::string s = kBase;
  size_t at = s.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) s.replace(at, from.size(), to);
  return s;
}

struct Result {
  bool ok;
  std::string messages;
};

Result CheckText(const std::string& text) {
  lang::Model model;
  model.file = "m.vm";
  lang::Diagnostics diag("m.vm");
  bool ok = lang::Parse(text, model, diag) && lang::Check(model, diag);
  std::ostringstream out;
  diag.Print(out);
  return {ok, out.str()};
}

TEST(LangCheck, CorrectModelHasNoMessage) {
  Result r = CheckText(kBase);
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.messages, "");
}

TEST(LangCheck, EveryMistakeIsReportedAtItsPosition) {
  struct Case {
    std::string text, expected;
  };
  const Case cases[] = {
      {Edit("  }\n  timed repair", "  \n  timed repair"),
       "m.vm:11:3: error: expected an activity item"},
      {Edit("output down\n", "output dwn\n"),
       "m.vm:9:12: error: 'dwn' is not a place of submodel 'unit'"},
      {Edit("input up\n", "when upp > 0\n"),
       "m.vm:8:10: error: 'upp' is neither a place of submodel 'unit' nor a global"},
      {Edit("  place down = 0\n", "  place down = 0\n  place up\n"),
       "m.vm:6:9: error: duplicate name 'up' in submodel 'unit'"},
      {Edit("place up = 1", "place up = 1.5"),
       "m.vm:4:14: error: an initial marking must be an integer"},
      {Edit("exponential(1.0)", "exponential(-2.0)"), "m.vm:12:23: error: rate is negative"},
      {Edit("exponential(1.0)", "exponential(1.0, 2.0)"),
       "m.vm:12:11: error: 'exponential' takes 1 argument"},
      {Edit("rep pair = 2", "rep pair = 0"),
       "m.vm:17:12: error: a rep needs at least one copy (count 0)"},
      {Edit("rep pair = 2",
            "rep pair = -100000000 * 100000000 * 100000000 * 100000000 * 100000000 * 10000"),
       "m.vm:17:71: error: a rep needs at least one copy (count -1e+44)"},
      {Edit("share down", "share sideways"),
       "m.vm:17:30: error: no child of 'pair' offers a place named 'sideways'"},
      {Edit("reward r of unit", "reward r of machine"),
       "m.vm:18:13: error: reward variable 'r' is over 'machine', which is not a submodel"},
      {Edit("output down\n", "do { rate = 2 }\n"),
       "m.vm:9:10: error: global 'rate' cannot be written by a model"},
      {Edit("rate = 0.5, 1.5", "rate = 0.5, 1.5\n  rate = 2.0"),
       "m.vm:20:3: error: global 'rate' has a second value"},
      {Edit("global rate : double", "global rate : real"), "m.vm:2:15: error: unknown type 'real'"},
      {Edit("model m", "model class"), "m.vm:1:7: error: 'class' cannot be used as a model name"},
      {Edit("instant at 10", "interval from 10 to 5"),
       "m.vm:18:8: error: interval from 10 to 5 is empty"},
      {Edit("input up\n", "input up\n    case weight -1 { }\n"),
       "m.vm:9:17: error: case weight is negative"},
      {std::string(kBase) + "rep other = 1 of unit\n",
       "m.vm:20:18: error: 'unit' is already a child of 'pair'"},
      {Edit("delay exponential(rate)", "delay exponential((((rate)))"),
       "m.vm:8:5: error: expected ')', found 'input'"},
      {Edit("up = 1", "up = 1 $"), "m.vm:4:16: error: unexpected character '$'"},
      {Edit("rate up }", "rate up impulse crash = 1 }"),
       "m.vm:18:50: error: 'crash' is not an activity of submodel 'unit'"},
      {Edit("rate up }", "impulse fail = 1 impulse unit.fail = down }"),
       "m.vm:18:59: error: reward variable 'r' has a second impulse on 'fail'"},
      {Edit("rate up }", "impulse pair.fail = 1 }"),
       "m.vm:18:42: error: reward variable 'r' is over 'unit', not 'pair'"},
      {Edit("rate up }", "impulse fail = upp }"),
       "m.vm:18:49: error: 'upp' is neither a place of submodel 'unit' nor a global"},
      {Edit("rate up }", "}"), "m.vm:18:8: error: reward variable 'r' has no 'rate' and no"},
      {Edit("place down = 0", "place down : double = 0"),
       "m.vm:9:12: error: place 'down' holds a double; input and output arcs need an integer"},
      {Edit("place up = 1", "place up : char = 300"),
       "m.vm:4:21: error: initial marking 300 is outside -128 to 127"},
      {Edit("place up = 1", "place up : long = 1"), "m.vm:4:14: error: unknown place type 'long'"},
      {std::string(kBase) +
           "submodel other { place level : double\n timed t { delay exponential(level) } }\n"
           "join j = pair, other { share level = pair.down, other.level }\n",
       "m.vm:22:49: error: 'other.level' holds a double, 'pair.down' a short"},
      {Edit("study set {", "study set { experiments \"low\""),
       "m.vm:19:13: error: 'experiments' gives 1 name; the study has 2 experiments"},
      {Edit("study set {", "study set { experiments \"low\", \"low\""),
       "m.vm:19:13: error: experiment name \"low\" is given twice"},
      {Edit("study set {", "study set { experiments \"low"),
       "m.vm:19:25: error: string not closed: a '\"' must end it on the same line"},
      // Reward variables over several submodels.
      {kJoint + "reward j of unit, crew { instant at 1 rate up * idle }\n",
       "m.vm:24:44: error: 'up' is a place of 'unit': write unit.up"},
      {kJoint + "reward j of unit, crew { instant at 1 rate unit.up * pair.idle }\n",
       "m.vm:24:54: error: 'pair' is not one of the submodels of reward variable 'j' (unit, "
       "crew)"},
      {kJoint + "reward j of unit, crew { instant at 1 rate crew.up }\n",
       "m.vm:24:44: error: 'up' is not a place of submodel 'crew'"},
      {kJoint + "reward j of unit, crew, unit { instant at 1 rate unit.up }\n",
       "m.vm:24:25: error: reward variable 'j' names 'unit' twice"},
      {kJoint + "reward j of unit, crew { instant at 1 rate unit.up impulse pair.call = 1 }\n",
       "m.vm:24:60: error: reward variable 'j' is not over 'pair'"},
      {kJoint + "reward j of unit, crew { instant at 1 impulse call = unit.up }\n",
       "m.vm:24:54: error: 'unit' is not submodel 'crew', whose activity the impulse is on"},
      {Edit("rate up }", "rate unit.up + crew.idle }"),
       "m.vm:18:49: error: 'crew' is not submodel 'unit' of reward variable 'r'"},
      {Edit("output down\n", "do { unit.down = 1 }\n"), "m.vm:9:"},
      {Edit("input up\n", "when unit.up > 0\n"),
       "m.vm:8:10: error: 'unit.up': a place is named after its submodel only in a reward "
       "variable"},
      // Names the generated C++ could not use.
      {Edit("place down = 0\n", "place down = 0\n  place Rate = 0\n"),
       "m.vm:6:9: error: 'Rate' cannot be used as a place name (the generated code uses that "
       "name)"},
      {Edit("place down = 0\n", "place down = 0\n  place rate = 0\n"),
       "m.vm:6:9: error: 'rate' is a global; a place name needs a name of its own"},
      {Edit("global rate : double", "global time : double"),
       "m.vm:2:8: error: 'time' cannot be used as a global name (a library function has it)"},
  };
  for (const Case& c : cases) {
    Result r = CheckText(c.text);
    EXPECT_FALSE(r.ok) << c.expected;
    EXPECT_EQ(r.messages.compare(0, c.expected.size(), c.expected), 0)
        << "want " << c.expected << "\n got " << r.messages;
  }
}

TEST(LangCheck, SuspiciousButLegalModelsGetWarnings) {
  struct Case {
    std::string text, expected;
  };
  const Case cases[] = {
      {Edit("input up\n", "input up\n    when false\n"),
       "m.vm:6:9: warning: activity 'fail' can never be enabled"},
      {Edit("place down = 0\n", "place down = 0\n  place spare = 3\n"),
       "m.vm:6:9: warning: place 'spare' is read by no activity and no reward variable"},
      {Edit("input up\n", "input up\n    case weight 0 { }\n    case weight 1 { }\n"),
       "m.vm:9:17: warning: case weight is always zero"},
      {kJoint + "reward j of unit, crew { instant at 1 rate unit.up }\n",
       "m.vm:24:19: warning: reward variable 'j' reads no place of 'crew' and has no impulse on "
       "it"},
  };
  for (const Case& c : cases) {
    Result r = CheckText(c.text);
    EXPECT_TRUE(r.ok) << r.messages;
    EXPECT_EQ(r.messages, c.expected + "\n");
  }
}

// A correct model with array and record places; the cases below edit it.
const char* const kPlaces =
    "model m\n"                                               // 1
    "global k : short\n"                                      // 2
    "submodel unit {\n"                                       // 3
    "  place up[3] = 1\n"                                     // 4
    "  place load[2] : double = {0.5, 1}\n"                   // 5
    "  place crew : { at : short = 0, busy : double = 0 }\n"  // 6
    "  timed fail {\n"                                        // 7
    "    delay exponential(load[1])\n"                        // 8
    "    input up[0]\n"                                       // 9
    "    do { up[crew.at] += 1  crew.busy = up[k] }\n"        // 10
    "  }\n"                                                   // 11
    "}\n"                                                     // 12
    "submodel other { place up[3] = 0 }\n"                    // 13
    "join j = unit, other { share up }\n"                     // 14
    "reward r of unit { instant at 1 rate up[2] }\n"          // 15
    "study set { k = 1 }\n";                                  // 16

TEST(LangCheck, ArrayAndRecordPlaceMistakesAreReportedAtTheirPositions) {
  auto edit = [](const std::string& from, const std::string& to) {
    std::string s = kPlaces;
    size_t at = s.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) s.replace(at, from.size(), to);
    return s;
  };
  Result base = CheckText(kPlaces);
  EXPECT_TRUE(base.ok) << base.messages;
  EXPECT_EQ(base.messages, "");
  struct Case {
    std::string text, expected;
  };
  const Case cases[] = {
      {edit("up[3] = 1", "up[0] = 1"), "m.vm:4:12: error: an array has at least one element"},
      {edit("up[3] = 1", "up[-2] = 1"), "m.vm:4:12: error: an array has at least one element"},
      {edit("up[3] = 1", "up[k] = 1"), "m.vm:4:12: error: an array size must be a constant"},
      {edit("up[3] = 1", "up[1.5] = 1"), "m.vm:4:12: error: an array size must be an integer"},
      {edit("{0.5, 1}", "{0.5, 1, 2}"),
       "m.vm:5:28: error: array 'load' has 2 elements but 3 initial values"},
      {edit("up[3] = 1", "up[3] = 40000"),
       "m.vm:4:17: error: initial marking 40000 is outside 0 to 32767"},
      // Integer constants beyond every integer type.
      {edit("up[3] = 1",
            "up[100000000 * 100000000 * 100000000 * 100000000 * 100000000 * 10000] = 1"),
       "m.vm:4:70: error: an array has at most 10000 elements (size 1e+44)"},
      {edit("up[3] = 1",
            "up[3] = 100000000 * 100000000 * 100000000 * 100000000 * 100000000 * 10000"),
       "m.vm:4:75: error: initial marking 1e+44 is outside 0 to 32767"},
      {edit("input up[0]",
            "input up[100000000 * 100000000 * 100000000 * 100000000 * 100000000 * 10000]"),
       "m.vm:9:72: error: index 1e+44 is outside 'up' (elements 0 to 2)"},
      {edit("input up[0]", "input up[3]"),
       "m.vm:9:14: error: index 3 is outside 'up' (elements 0 to 2)"},
      {edit("load[1])", "load[0 - 1])"),
       "m.vm:8:30: error: index -1 is outside 'load' (elements 0 to 1)"},
      {edit("crew.busy = up[k]", "crew.idle = up[k]"),
       "m.vm:10:28: error: 'crew' has no field 'idle' (at, busy)"},
      {edit("crew.busy = up[k]", "crew = up[k]"),
       "m.vm:10:28: error: record 'crew' needs a field (crew.at)"},
      {edit("input up[0]", "input up"), "m.vm:9:11: error: array 'up' needs an index (up[i])"},
      {edit("load[1])", "crew[1].at)"), "m.vm:8:23: error: place 'crew' is not an array"},
      {edit("load[1])", "up[0].at)"), "m.vm:8:23: error: 'up' has no fields"},
      {edit("load[1])", "load[crew.busy])"),
       "m.vm:8:28: error: an index must be an integer, not a real number"},
      {edit("input up[0]", "input load[0]"),
       "m.vm:9:11: error: place 'load' holds real numbers; input and output arcs need an "
       "integer"},
      {edit("busy : double", "at : double"), "m.vm:6:34: error: duplicate field 'at' in place"},
      {edit("at : short", "int : short"), "m.vm:6:18: error: 'int' cannot be used as a field name"},
      {edit("busy : double", "fields : double"),
       "m.vm:6:34: error: 'fields' cannot be used as a field name (the generated code"},
      {edit("place up[3] = 0", "place up[4] = 0"),
       "m.vm:14:30: error: 'other.up' holds a short[4], 'unit.up' a short[3]; shared places "
       "have one type"},
      {edit("place up[3] = 0", "place up = 0"),
       "m.vm:14:30: error: 'other.up' holds a short, 'unit.up' a short[3]"},
      {edit("rate up[2]", "rate up[5]"),
       "m.vm:15:41: error: index 5 is outside 'up' (elements 0 to 2)"},
      {edit("crew : {", "crew = {"), "m.vm:6:16: error: a list of initial values needs an array"},
  };
  for (const Case& c : cases) {
    Result r = CheckText(c.text);
    EXPECT_FALSE(r.ok) << c.expected;
    EXPECT_EQ(r.messages.compare(0, c.expected.size(), c.expected), 0)
        << "want " << c.expected << "\n got " << r.messages;
  }
  // A place of an array no activity reads is reported once, at the place.
  Result unread = CheckText(edit("  timed fail {", "  place spare[4] = 2\n  timed fail {"));
  EXPECT_TRUE(unread.ok) << unread.messages;
  EXPECT_EQ(unread.messages,
            "m.vm:7:9: warning: place 'spare' is read by no activity and no reward variable\n");
}

// A hostile file: nesting deep enough to exhaust the stack is refused.
TEST(LangCheck, DeepNestingIsAnErrorNotACrash) {
  std::string deep(100000, '(');
  Result r = CheckText(Edit("exponential(1.0)", "exponential(" + deep + "1.0)"));
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.messages.find("error: nesting too deep"), std::string::npos) << r.messages;
}

}  // namespace

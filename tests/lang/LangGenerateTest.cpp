// The generator on the built-in model file and the model of array and
// record places: the derived arcs follow the documented order rules, and
// the output is the same bytes every time.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "lang/Checker.h"
#include "lang/Describe.h"
#include "lang/Generator.h"
#include "lang/Parser.h"

namespace {

const std::string kBuiltIn = std::string(VELMOR_SOURCE_DIR) +
                             "/models/redundant_controller_flash/redundant_controller_flash.vm";

bool Load(lang::Model& model) {
  lang::Diagnostics diag(kBuiltIn);
  return lang::LoadModel(kBuiltIn, model, diag);
}

std::string Names(const lang::Submodel& s, const std::vector<int>& places) {
  std::string out;
  for (int p : places) out += (out.empty() ? "" : " ") + s.places[p].name;
  return out;
}

TEST(LangGenerate, ArcsAndGroupIdsFollowTheOrderRules) {
  lang::Model model;
  ASSERT_TRUE(Load(model));
  const lang::Submodel& ram = model.submodels[model.FindSubmodel("ram_system")];
  // Timed activities take group ids first, the instantaneous failure last.
  EXPECT_EQ(ram.activities[0].name, "failure");
  EXPECT_EQ(ram.activities[0].groupId, 4);
  EXPECT_EQ(ram.activities[1].groupId, 0);
  EXPECT_EQ(Names(ram, ram.activities[0].enabling), "flash_corrupted ram_corrupted system_failed");
  // The input arc's place first, then the case's output.
  EXPECT_EQ(Names(ram, ram.activities[3].affected[1]), "ram_working ram_corrupted");
  const lang::Submodel& flash =
      model.submodels[model.FindSubmodel("redundant_controller_flash_system")];
  // First write order, not declaration order (devices_available is declared first).
  EXPECT_EQ(Names(flash, flash.activities[0].affected[1]),
            "replicas_available devices_available flash_corrupted seu_events");
  EXPECT_EQ(model.topNode, "Join");
  EXPECT_EQ(model.study.numExps, 9);
  EXPECT_EQ(model.study.values[1][4], "static_cast<short>(2)");  // num_devices, experiment 5
  EXPECT_EQ(model.study.values[2][4], "static_cast<short>(2)");  // num_replicas
}

// A constant index or a field is its leaf alone; a computed index reaches
// the whole column (tests/lang/models/places.vm).
TEST(LangGenerate, ElementArcsAreLeavesOrWholeColumns) {
  const std::string file = std::string(VELMOR_SOURCE_DIR) + "/tests/lang/models/places.vm";
  lang::Model model;
  lang::Diagnostics diag(file);
  ASSERT_TRUE(lang::LoadModel(file, model, diag));
  const lang::Submodel& plant = model.submodels[model.FindSubmodel("plant")];
  EXPECT_EQ(Names(plant, plant.activities[0].enabling), "up[0] rate[0]");
  EXPECT_EQ(Names(plant, plant.activities[0].affected[0]), "up[0]");
  EXPECT_EQ(Names(plant, plant.activities[2].affected[0]), "up[2]");
  // visit: up[crew.at] may be any unit.
  EXPECT_EQ(Names(plant, plant.activities[3].affected[0]),
            "up[0] up[1] up[2] crew.repairs crew.at");
  EXPECT_EQ(Names(plant, plant.activities[3].enabling), "");
  // describe lists the place with its shape, then its leaves.
  std::ostringstream listing;
  lang::Describe(model, listing);
  EXPECT_NE(listing.str().find("    crew : {at : short, repairs : int}\n      6 crew.at\n"
                               "      7 crew.repairs : int\n"),
            std::string::npos)
      << listing.str();
}

TEST(LangGenerate, SameModelSameBytes) {
  lang::Model a, b;
  ASSERT_TRUE(Load(a));
  ASSERT_TRUE(Load(b));
  lang::GeneratedCode ca = lang::Generate(a, ""), cb = lang::Generate(b, "");
  EXPECT_EQ(ca.header, cb.header);
  EXPECT_EQ(ca.source, cb.source);
  EXPECT_NE(ca.source.find("#include \"redundant_controller_flash_model.h\""), std::string::npos);
}

// Range values are exact decimals, the first-declared ranged global
// changing fastest; set lists give one experiment per entry.
TEST(LangGenerate, StudyTables) {
  const std::string text =
      "model m\nglobal mu : double\nglobal n : short\nglobal f : float\n"
      "submodel s { place p = n timed t { delay exponential(mu * f) input p } }\n";
  struct Case {
    std::string study;
    int exps;
    std::vector<std::string> mu, n, f;
  };
  const Case cases[] = {
      {"study range { mu = 0.1 to 0.3 step 0.1  n = 1 to 2  f = 2 }",
       6,
       {"0.1", "0.2", "0.3", "0.1", "0.2", "0.3"},
       {"1", "1", "1", "2", "2", "2"},
       {"2.0f", "2.0f", "2.0f", "2.0f", "2.0f", "2.0f"}},
      {"study set { mu = 1e-3, 2.5  n = 4  f = 0.5, 0.25 }",
       2,
       {"1e-3", "2.5"},
       {"4", "4"},
       {"0.5f", "0.25f"}},
  };
  for (const Case& c : cases) {
    lang::Model model;
    lang::Diagnostics diag("m.vm");
    ASSERT_TRUE(lang::Parse(text + c.study, model, diag) && lang::Check(model, diag)) << c.study;
    EXPECT_EQ(model.study.numExps, c.exps);
    EXPECT_EQ(model.study.values[0], c.mu);
    std::vector<std::string> shorts;
    for (const std::string& v : c.n) shorts.push_back("static_cast<short>(" + v + ")");
    EXPECT_EQ(model.study.values[1], shorts);
    EXPECT_EQ(model.study.values[2], c.f);
  }
}

}  // namespace

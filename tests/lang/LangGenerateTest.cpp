// The generator on the built-in model file: the derived arcs follow the
// documented order rules, and the output is the same bytes every time.
#include <gtest/gtest.h>

#include <string>

#include "lang/Checker.h"
#include "lang/Generator.h"

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

TEST(LangGenerate, SameModelSameBytes) {
  lang::Model a, b;
  ASSERT_TRUE(Load(a));
  ASSERT_TRUE(Load(b));
  lang::GeneratedCode ca = lang::Generate(a, ""), cb = lang::Generate(b, "");
  EXPECT_EQ(ca.header, cb.header);
  EXPECT_EQ(ca.source, cb.source);
  EXPECT_NE(ca.source.find("#include \"redundant_controller_flash_model.h\""), std::string::npos);
}

}  // namespace

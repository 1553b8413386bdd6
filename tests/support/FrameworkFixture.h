// FrameworkFixture: resets the framework's process-wide counters (action
// ids, model ids, the last firing time) and the generator before and after
// each test, and lets a test script the uniforms that groups draw.
// Single-threaded tests only.
#ifndef VELMOR_TESTS_SUPPORT_FRAMEWORKFIXTURE_H
#define VELMOR_TESTS_SUPPORT_FRAMEWORKFIXTURE_H

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "RandomFixture.h"
#include "ScriptedGenerator.h"
#include "framework/BaseActionClass.h"
#include "framework/BaseModelClass.h"

inline void ResetFrameworkCounters() {
  BaseActionClass::MaxID = 0;
  BaseModelClass::globalModelId = 0;
  BaseModelClass::LastActionTime = 0.0;
}

class FrameworkFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFrameworkCounters();
    ResetTheGenerator();
  }
  void TearDown() override {
    ResetFrameworkCounters();
    ResetTheGenerator();
  }

  // Installs a generator returning `uniforms` in order (then 0.5) behind
  // TheDistribution; TheGenerator owns it. The pointer stays valid until
  // the next install or the end of the test.
  ScriptedGenerator* ScriptUniforms(std::vector<double> uniforms) {
    ScriptedGenerator* g = new ScriptedGenerator(std::move(uniforms));
    TheDistribution = &TheGenerator;
    TheGenerator.SetGenerator(g);
    return g;
  }
};

#endif  // VELMOR_TESTS_SUPPORT_FRAMEWORKFIXTURE_H

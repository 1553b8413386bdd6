// FrameworkFixture: GlobalsFixture (every process-wide value reset before
// and after each test) that also lets a test script the uniforms that
// groups draw.
// Single-threaded tests only.
#ifndef VELMOR_TESTS_SUPPORT_FRAMEWORKFIXTURE_H
#define VELMOR_TESTS_SUPPORT_FRAMEWORKFIXTURE_H

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "GlobalsFixture.h"
#include "ScriptedGenerator.h"
#include "random/UserDistributions.h"

// The framework's counters alone (action and model ids, the last firing
// time), for tests that rebuild a model part way.
inline void ResetFrameworkCounters() { ResetFrameworkGlobals(); }

class FrameworkFixture : public GlobalsFixture {
 protected:
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

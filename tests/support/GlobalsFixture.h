// GlobalsFixture: puts every process-wide value back to its start-up state
// before and after each test, through the reset point of each layer the
// test binary is built with. Single-threaded tests only.
#ifndef VELMOR_TESTS_SUPPORT_GLOBALSFIXTURE_H
#define VELMOR_TESTS_SUPPORT_GLOBALSFIXTURE_H

#include <gtest/gtest.h>

// A layer's reset point is on the include path exactly when the binary
// links that layer, so each binary resets the layers it has.
#if __has_include("base/Globals.h")
#include "base/Globals.h"
#endif
#if __has_include("random/Globals.h")
#include "random/Globals.h"
#endif
#if __has_include("framework/Globals.h")
#include "framework/Globals.h"
#endif
#if __has_include("reward/Globals.h")
#include "reward/Globals.h"
#endif
#if __has_include("trace/Globals.h")
#include "trace/Globals.h"
#endif
#if __has_include("simulator/Globals.h")
#include "simulator/Globals.h"
#endif

inline void ResetProcessGlobals() {
#if __has_include("base/Globals.h")
  ResetBaseGlobals();
#endif
#if __has_include("random/Globals.h")
  ResetRandomGlobals();
#endif
#if __has_include("framework/Globals.h")
  ResetFrameworkGlobals();
#endif
#if __has_include("reward/Globals.h")
  ResetRewardGlobals();
#endif
#if __has_include("trace/Globals.h")
  ResetTraceGlobals();
#endif
#if __has_include("simulator/Globals.h")
  ResetSimulatorGlobals();
#endif
}

class GlobalsFixture : public ::testing::Test {
 protected:
  void SetUp() override { ResetProcessGlobals(); }
  void TearDown() override { ResetProcessGlobals(); }
};

#endif  // VELMOR_TESTS_SUPPORT_GLOBALSFIXTURE_H

// ScriptedGenerator: a uniform source that returns chosen numbers in order
// and counts its draws, so tests can steer random choices and check how
// many uniforms an operation takes. Test use only; not thread-safe.
#ifndef VELMOR_TESTS_SUPPORT_SCRIPTEDGENERATOR_H
#define VELMOR_TESTS_SUPPORT_SCRIPTEDGENERATOR_H

#include <gtest/gtest.h>

#include <cstddef>
#include <initializer_list>
#include <utility>
#include <vector>

#include "random/RandomNumberGenerator.h"

// Returns the scripted values in order, then 0.5 for ever. A script given
// with Script() is strict: a draw beyond it also fails the running test.
class ScriptedGenerator : public RandomNumberGenerator {
 public:
  ScriptedGenerator() = default;
  explicit ScriptedGenerator(std::vector<double> values) : script(std::move(values)) {}

  // Replaces the script, restarts the draw count and makes drawing beyond
  // the script a test failure.
  void Script(std::initializer_list<double> values) {
    script.assign(values);
    drawn = 0;
    strict = true;
  }
  double rnd() override {
    std::size_t next = static_cast<std::size_t>(drawn);
    ++drawn;
    if (next < script.size()) return script[next];
    if (strict) ADD_FAILURE() << "drawn beyond the script of " << script.size();
    return 0.5;
  }
  void srnd(unsigned long) override {}
  std::size_t Draws() const { return static_cast<std::size_t>(drawn); }

  std::vector<double> script;
  int drawn = 0;        // number of rnd() calls so far
  bool strict = false;  // fail the test on a draw beyond the script
};

#endif  // VELMOR_TESTS_SUPPORT_SCRIPTEDGENERATOR_H

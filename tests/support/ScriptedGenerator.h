// ScriptedGenerator: a uniform source that returns chosen numbers in order
// and counts its draws, so tests can steer random choices. Test use only.
#ifndef VELMOR_TESTS_SUPPORT_SCRIPTEDGENERATOR_H
#define VELMOR_TESTS_SUPPORT_SCRIPTEDGENERATOR_H

#include <utility>
#include <vector>

#include "random/RandomNumberGenerator.h"

// Returns the scripted values in order, then 0.5 for ever.
class ScriptedGenerator : public RandomNumberGenerator {
 public:
  explicit ScriptedGenerator(std::vector<double> values)
      : script(std::move(values)) {}
  double rnd() override {
    double u = drawn < static_cast<int>(script.size()) ? script[drawn] : 0.5;
    ++drawn;
    return u;
  }
  void srnd(unsigned long) override {}

  std::vector<double> script;
  int drawn = 0;  // number of rnd() calls so far
};

#endif  // VELMOR_TESTS_SUPPORT_SCRIPTEDGENERATOR_H

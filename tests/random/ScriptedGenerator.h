// ScriptedGenerator: a test generator that returns a given list of uniforms
// in order and counts the draws, so sampling tests can fix every u.
#ifndef VELMOR_TESTS_RANDOM_SCRIPTEDGENERATOR_H
#define VELMOR_TESTS_RANDOM_SCRIPTEDGENERATOR_H

#include <gtest/gtest.h>

#include <cstddef>
#include <initializer_list>
#include <vector>

#include "random/RandomNumberGenerator.h"

// Fails the test when drawn beyond its script (and then returns 0.5).
class ScriptedGenerator : public RandomNumberGenerator {
 public:
  ScriptedGenerator() = default;
  void Script(std::initializer_list<double> values) {
    script.assign(values);
    drawn = 0;
  }
  double rnd() override {
    if (drawn >= script.size()) {
      ADD_FAILURE() << "drawn beyond the script of " << script.size();
      drawn++;
      return 0.5;
    }
    return script[drawn++];
  }
  std::size_t Draws() const { return drawn; }

 private:
  std::vector<double> script;
  std::size_t drawn = 0;
};

#endif  // VELMOR_TESTS_RANDOM_SCRIPTEDGENERATOR_H

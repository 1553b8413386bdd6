// RandomFixture: puts the process-wide generator back into its start-up
// state (TheDistribution -> TheGenerator holding a LaggedFibonacci seeded
// 31415, read position 0) before each test. Single-threaded tests only.
#ifndef VELMOR_TESTS_SUPPORT_RANDOMFIXTURE_H
#define VELMOR_TESTS_SUPPORT_RANDOMFIXTURE_H

#include <gtest/gtest.h>

#include "random/LaggedFibonacci.h"
#include "random/UserDistributions.h"

// Restores what exists before main: a fresh LaggedFibonacci in TheGenerator,
// seeded 31415 with nothing drawn, and TheDistribution pointing at it.
inline void ResetTheGenerator() {
  TheDistribution = &TheGenerator;
  TheGenerator.SetGenerator(new LaggedFibonacci());
  LaggedFibonacci::readPosition = 0;
  TheGenerator.GetGenerator()->srnd(31415);
}

class RandomFixture : public ::testing::Test {
 protected:
  void SetUp() override { ResetTheGenerator(); }
  void TearDown() override { ResetTheGenerator(); }
};

#endif  // VELMOR_TESTS_SUPPORT_RANDOMFIXTURE_H

// RandomFixture: the tests' name for GlobalsFixture where the generator's
// start-up state is what matters (TheDistribution -> TheGenerator holding a
// LaggedFibonacci seeded 31415, read position 0). Single-threaded tests
// only.
#ifndef VELMOR_TESTS_SUPPORT_RANDOMFIXTURE_H
#define VELMOR_TESTS_SUPPORT_RANDOMFIXTURE_H

#include "GlobalsFixture.h"

// Restores the generator's start-up state alone, for tests that start the
// generator again part way.
inline void ResetTheGenerator() { ResetRandomGlobals(); }

using RandomFixture = GlobalsFixture;

#endif  // VELMOR_TESTS_SUPPORT_RANDOMFIXTURE_H

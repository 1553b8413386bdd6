// UserDistributions: the distributions object behind TheDistribution, which
// chooses its generator's kind. Not thread-safe.
#ifndef VELMOR_RANDOM_USERDISTRIBUTIONS_H
#define VELMOR_RANDOM_USERDISTRIBUTIONS_H

#include "random/Distributions.h"

// Owns its generator (through Distributions).
class UserDistributions : public Distributions {
 public:
  // An unseeded LaggedFibonacci.
  UserDistributions();
  // A Tausworthe for kind 1, a LaggedFibonacci for any other kind, seeded
  // with seed. REQUIRES for a LaggedFibonacci: LaggedFibonacci::IsValidSeed(seed).
  UserDistributions(int kind, long seed);
};

// The process-wide distributions object, built before main with kind 0 and
// seed 31415, destroyed after main.
extern UserDistributions TheGenerator;
// The distributions object in use; starts as &TheGenerator.
extern UserDistributions* TheDistribution;

#endif  // VELMOR_RANDOM_USERDISTRIBUTIONS_H

// LaggedFibonacci: the default uniform source, the floating-point lagged-
// Fibonacci sequence X(n) = (X(n-100) + X(n-37)) mod 1. Not thread-safe:
// its state (ran_u, readPosition) is process-wide.
#ifndef VELMOR_RANDOM_LAGGEDFIBONACCI_H
#define VELMOR_RANDOM_LAGGEDFIBONACCI_H

#include "random/RandomNumberGenerator.h"

// Largest seed the seeding routine accepts; seeds run from 0 to this.
constexpr long long kMaxLaggedFibonacciSeed = 2147483645;

// The sequence's last 100 values, shared by the whole process.
extern double ran_u[100];

// Seeds ran_u (the older published form: low-order corrections kept apart,
// no warm-up draws). REQUIRES: 0 <= seed <= kMaxLaggedFibonacciSeed (a
// negative seed would never finish, a larger one overflows).
void ranf_start(int seed);

// Copies ran_u into aa[0..99], fills aa[100..n-1] with the following values
// and advances ran_u by n steps. REQUIRES: n >= 100.
void ranf_array(double aa[], int n);

// Reads a block of 100 outputs at a time. Owns its block; the read position
// and ran_u are process-wide, so every LaggedFibonacci shares them and
// seeding one re-seeds them all.
// Invariant: 0 <= readPosition <= 100.
class LaggedFibonacci : public RandomNumberGenerator {
 public:
  LaggedFibonacci();

  // Refills the block when readPosition reaches 100; results in [0, 1).
  // REQUIRES: the generator was seeded.
  double rnd() override;
  // ranf_start(seed), then two blocks, so the buffer holds the second;
  // readPosition is left alone. REQUIRES: IsValidSeed(seed).
  void srnd(unsigned long seed) override;

  static bool IsValidSeed(long long seed) { return seed >= 0 && seed <= kMaxLaggedFibonacciSeed; }

  static int readPosition;  // next buffer element to return; 0 at start

 private:
  static constexpr int kBlock = 100;
  double buffer[kBlock];  // the current block of outputs
};

#endif  // VELMOR_RANDOM_LAGGEDFIBONACCI_H

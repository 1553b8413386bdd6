// Tausworthe: a 31-bit shift-register uniform source. Not thread-safe.
#ifndef VELMOR_RANDOM_TAUSWORTHE_H
#define VELMOR_RANDOM_TAUSWORTHE_H

#include <cstdint>

#include "random/RandomNumberGenerator.h"

// Owns one 32-bit state word. Results lie in [0, 1], both ends included; a
// state of 0 (seed 0 or 0x80000000) stays 0 for ever.
class Tausworthe : public RandomNumberGenerator {
 public:
  Tausworthe() = default;

  // REQUIRES: the generator was seeded.
  double rnd() override;
  // state = seed (its low 32 bits).
  void srnd(unsigned long seed) override;

 private:
  std::uint32_t state = 0;  // the shift register
};

#endif  // VELMOR_RANDOM_TAUSWORTHE_H

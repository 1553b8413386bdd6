// MersenneTwister: the 32-bit Mersenne twister MT19937 as a uniform source.
// Not thread-safe.
#ifndef VELMOR_RANDOM_MERSENNETWISTER_H
#define VELMOR_RANDOM_MERSENNETWISTER_H

#include <cstdint>

#include "random/RandomNumberGenerator.h"

// Owns its 624-word state. Seeds itself with 18671867 on first use when
// nobody seeded it. rnd() lies strictly between 0 and 1.
// Invariant: 0 <= index <= 624; index 624 forces a regeneration.
class MersenneTwister : public RandomNumberGenerator {
 public:
  MersenneTwister();

  double rnd() override;
  void srnd(unsigned long seed) override;

  // The next tempered 32-bit output.
  std::uint32_t rnd_int32();
  // 0x9908b0df when bit is non-zero, else 0.
  static unsigned long getMatrixA(unsigned long bit) { return bit != 0 ? 0x9908b0dfUL : 0UL; }

  static constexpr unsigned long kDefaultSeed = 18671867;

 private:
  static constexpr int kWords = 624;
  void Regenerate();

  std::uint32_t words[kWords];  // the state vector
  bool seeded;                  // false until srnd has run
  int index;                    // next word to temper
};

#endif  // VELMOR_RANDOM_MERSENNETWISTER_H

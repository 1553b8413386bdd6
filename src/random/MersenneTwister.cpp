#include "random/MersenneTwister.h"

namespace {
constexpr int kMiddle = 397;
constexpr std::uint32_t kUpperMask = 0x80000000u;
constexpr std::uint32_t kLowerMask = 0x7fffffffu;
constexpr double kTwoToMinus32 = 1.0 / 4294967296.0;
}  // namespace

MersenneTwister::MersenneTwister() : words(), seeded(false), index(kWords) {}

void MersenneTwister::srnd(unsigned long seed) {
  words[0] = static_cast<std::uint32_t>(seed);
  for (int i = 1; i < kWords; i++) {
    std::uint32_t previous = words[i - 1];
    words[i] = 1812433253u * (previous ^ (previous >> 30)) + static_cast<std::uint32_t>(i);
  }
  index = kWords;
  seeded = true;
}

void MersenneTwister::Regenerate() {
  for (int k = 0; k < kWords; k++) {
    std::uint32_t y = (words[k] & kUpperMask) | (words[(k + 1) % kWords] & kLowerMask);
    words[k] =
        words[(k + kMiddle) % kWords] ^ (y >> 1) ^ static_cast<std::uint32_t>(getMatrixA(y & 1u));
  }
  index = 0;
}

std::uint32_t MersenneTwister::rnd_int32() {
  if (index >= kWords) {
    if (!seeded) srnd(kDefaultSeed);
    Regenerate();
  }
  std::uint32_t y = words[index++];
  y ^= y >> 11;
  y ^= (y << 7) & 0x9d2c5680u;
  y ^= (y << 15) & 0xefc60000u;
  y ^= y >> 18;
  return y;
}

double MersenneTwister::rnd() { return (rnd_int32() + 0.5) * kTwoToMinus32; }

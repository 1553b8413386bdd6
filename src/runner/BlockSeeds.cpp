#include "BlockSeeds.h"

namespace velmor_runner {

uint64_t SplitMix64(uint64_t x) {
  uint64_t z = x + 0x9E3779B97F4A7C15ull;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

uint32_t DeriveBlockSeed(uint64_t seed, int experiment, int block, int attempt) {
  uint64_t h = SplitMix64(seed);
  h = SplitMix64(h ^ static_cast<uint64_t>(static_cast<uint32_t>(experiment)));
  h = SplitMix64(h ^ static_cast<uint64_t>(static_cast<uint32_t>(block)) ^
                 (static_cast<uint64_t>(static_cast<uint32_t>(attempt)) << 32));
  return static_cast<uint32_t>(h % kMaxBlockSeed) + 1u;
}

}  // namespace velmor_runner

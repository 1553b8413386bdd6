// BlockSeeds: the seed of every block of a study, derived from the study's
// seed, the experiment and the block index. Pure functions; thread-safe.
#ifndef VELMOR_RUNNER_BLOCKSEEDS_H
#define VELMOR_RUNNER_BLOCKSEEDS_H

#include <cstdint>

namespace velmor_runner {

// Every generator of the simulator takes the seeds 1 .. kMaxBlockSeed.
constexpr uint32_t kMaxBlockSeed = 2147483645u;

// One step of SplitMix64: a bijection of 64-bit words that mixes every input
// bit into every output bit.
uint64_t SplitMix64(uint64_t x);

// The seed of block `block` of experiment `experiment` under the study seed
// `seed`, in 1 .. kMaxBlockSeed: SplitMix64 applied to the seed, then to
// that xor the experiment, then to that xor the block index (and xor the
// attempt number, which is 0 unless the seed was already taken), reduced
// modulo kMaxBlockSeed plus one.
uint32_t DeriveBlockSeed(uint64_t seed, int experiment, int block, int attempt = 0);

}  // namespace velmor_runner

#endif  // VELMOR_RUNNER_BLOCKSEEDS_H

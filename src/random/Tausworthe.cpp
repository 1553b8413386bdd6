#include "random/Tausworthe.h"

namespace {
constexpr double kInverseMax = 4.656612875245797e-10;  // nearest double to 1/(2^31 - 1)
}  // namespace

double Tausworthe::rnd() {
  std::uint32_t b = ((state << 13) ^ state) & 0x7fffffffu;
  state = b ^ (b >> 18);
  return state * kInverseMax;
}

void Tausworthe::srnd(unsigned long seed) { state = static_cast<std::uint32_t>(seed); }

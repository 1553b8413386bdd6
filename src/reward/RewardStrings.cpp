#include "reward/RewardStrings.h"

#include <cstring>

bool SameRewardName(const char* a, const char* b) {
  return a != nullptr && b != nullptr && std::strcmp(a, b) == 0;
}

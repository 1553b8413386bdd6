#include "reward/RewardStrings.h"

#include <cstring>

#include "base/ErrorReports.h"

char* DuplicateRewardString(const char* text) {
  if (text == nullptr) return nullptr;
  char* copy = strdup(text);
  if (copy == nullptr) MemoryAllocationError();
  return copy;
}

bool SameRewardName(const char* a, const char* b) {
  return a != nullptr && b != nullptr && std::strcmp(a, b) == 0;
}

// OwnedString: the system's owned C strings: a copy made with new[] and
// released with ReleaseOwnedString. Thread-safe (no shared state).
#ifndef VELMOR_BASE_OWNEDSTRING_H
#define VELMOR_BASE_OWNEDSTRING_H

#include <cstring>

#include "base/Allocate.h"

// A copy of text that the caller owns (release with ReleaseOwnedString);
// null for null. Memory that cannot be had ends the process through the
// memory report (site's, when given).
inline char* CopyOwnedString(const char* text) {
  if (text == nullptr) return nullptr;
  const size_t length = std::strlen(text);
  char* copy = AllocateArray<char>(static_cast<long long>(length) + 1);
  std::memcpy(copy, text, length + 1);
  return copy;
}

inline char* CopyOwnedString(const char* text, AllocationSite site) {
  if (text == nullptr) return nullptr;
  const size_t length = std::strlen(text);
  char* copy = AllocateArray<char>(static_cast<long long>(length) + 1, site);
  std::memcpy(copy, text, length + 1);
  return copy;
}

// Releases a string made by CopyOwnedString (null does nothing).
inline void ReleaseOwnedString(char* text) { delete[] text; }

#endif  // VELMOR_BASE_OWNEDSTRING_H

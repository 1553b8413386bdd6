#include "base/Assert.h"

#include <cstdio>
#include <cstdlib>

void VelmorAssertFail(const char* expr, const char* unit, int line) {
  std::fprintf(stderr, "Assertion failed: %s, file %s, line %d\n", expr, unit, line);
  std::fflush(stderr);
  std::abort();
}

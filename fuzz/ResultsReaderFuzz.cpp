// Fuzzes the results-file reader (ASCII and binary): every input is read or
// rejected with a reason, never a crash or undefined behaviour.
#include <cstddef>
#include <cstdint>
#include <string>

#include "ResultsReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  velmor_results::ResultsData results;
  std::string error;
  const bool ok = velmor_results::ParseResults(
      std::string(reinterpret_cast<const char*>(data), size), &results, &error);
  if (!ok && error.empty()) __builtin_trap();  // a rejection always says why
  return 0;
}

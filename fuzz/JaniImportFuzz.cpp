// libFuzzer target: any bytes given to the JANI importer either import or
// fail with a JaniError; never a crash, a hang or another exception.
#include <cstddef>
#include <cstdint>
#include <string>

#include "jani/Importer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  velmor::jani::ImportOptions options;
  try {
    velmor::jani::ImportJani(std::string(reinterpret_cast<const char*>(data), size), options);
  } catch (const velmor::jani::JaniError&) {
  }
  return 0;
}

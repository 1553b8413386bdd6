// Fuzzes the parsing of the manager's redirect text ("name;batches;;").
#include <cstddef>
#include <cstdint>
#include <string>

#include "output/SimMgrMessages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  text = text.substr(0, text.find('\0'));
  RedirectRequest request = ParseRedirectText(text.c_str());
  if (request.hasFileName && request.fileName.empty()) __builtin_trap();  // a name is never empty
  return 0;
}

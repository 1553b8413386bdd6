#include "RunOptions.h"

#include <algorithm>
#include <charconv>

namespace velmor_runner {

int GeneratorNumber(const std::string& name) {
  if (name == "lagged-fibonacci") return 0;
  if (name == "tausworthe") return 1;
  if (name == "mersenne-twister") return 2;
  return -1;
}

namespace {

bool ToIndex(const std::string& text, int* value) {
  const char* end = text.data() + text.size();
  auto r = std::from_chars(text.data(), end, *value);
  return !text.empty() && r.ec == std::errc() && r.ptr == end;
}

}  // namespace

bool ParseExperimentList(const std::string& text, int count, std::vector<int>* out,
                         std::string* error) {
  out->clear();
  if (text.empty()) {
    for (int e = 0; e < count; ++e) out->push_back(e);
    return true;
  }
  size_t start = 0;
  while (start <= text.size()) {
    size_t comma = text.find(',', start);
    if (comma == std::string::npos) comma = text.size();
    const std::string item = text.substr(start, comma - start);
    const size_t dash = item.find('-');
    int lo = 0, hi = 0;
    const bool ok = dash == std::string::npos
                        ? ToIndex(item, &lo) && ToIndex(item, &hi)
                        : ToIndex(item.substr(0, dash), &lo) && ToIndex(item.substr(dash + 1), &hi);
    if (!ok || lo > hi) {
      *error = "--experiments " + text + ": '" + item + "' is not an index or a range a-b";
      return false;
    }
    if (hi >= count) {
      *error =
          "--experiments " + text + ": the study has experiments 0 to " + std::to_string(count - 1);
      return false;
    }
    for (int e = lo; e <= hi; ++e) {
      if (std::find(out->begin(), out->end(), e) == out->end()) out->push_back(e);
    }
    start = comma + 1;
  }
  return true;
}

}  // namespace velmor_runner

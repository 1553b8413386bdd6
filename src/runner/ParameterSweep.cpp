#include "ParameterSweep.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace velmor_runner {
namespace {

bool ParseInteger(const std::string& text, long lo, long hi, std::string* value) {
  long v = 0;
  const char* end = text.data() + text.size();
  auto r = std::from_chars(text.data() + (text[0] == '+' ? 1 : 0), end, v);
  if (r.ec != std::errc() || r.ptr != end || v < lo || v > hi) return false;
  *value = std::to_string(v);
  return true;
}

template <typename T>
bool ParseReal(const std::string& text, std::string* value) {
  errno = 0;
  char* end = nullptr;
  const double d = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || errno == ERANGE || !std::isfinite(d)) return false;
  const T v = static_cast<T>(d);
  if (!std::isfinite(v)) return false;
  char buffer[64];
  auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
  *value = std::string(buffer, r.ptr);
  return true;
}

std::vector<std::string> SplitList(const std::string& text) {
  std::vector<std::string> items;
  size_t start = 0;
  for (;;) {
    size_t comma = text.find(',', start);
    items.push_back(text.substr(start, comma - start));
    if (comma == std::string::npos) return items;
    start = comma + 1;
  }
}

std::string Known(const StudyInfo& study) {
  std::string list;
  for (const GlobalVariable& g : study.globals) list += (list.empty() ? "" : ", ") + g.name;
  return list.empty() ? "none" : list;
}

}  // namespace

char TypeLetter(const std::string& type) {
  if (type == "float") return 'f';
  if (type == "double") return 'd';
  if (type == "short") return 's';
  if (type == "int") return 'i';
  if (type == "long") return 'l';
  if (type == "bool") return 'b';
  if (type == "char") return 'c';
  return 0;
}

bool NormaliseValue(const std::string& type, const std::string& text, std::string* value,
                    std::string* error) {
  bool ok = !text.empty();
  if (ok && type == "float") {
    ok = ParseReal<float>(text, value);
  } else if (ok && type == "double") {
    ok = ParseReal<double>(text, value);
  } else if (ok && type == "short") {
    ok = ParseInteger(text, SHRT_MIN, SHRT_MAX, value);
  } else if (ok && type == "int") {
    ok = ParseInteger(text, INT_MIN, INT_MAX, value);
  } else if (ok && type == "long") {
    ok = ParseInteger(text, LONG_MIN, LONG_MAX, value);
  } else if (ok && type == "bool") {
    ok = text == "0" || text == "1" || text == "true" || text == "false";
    *value = (text == "1" || text == "true") ? "1" : "0";
  } else if (ok && type == "char") {
    ok = text.size() == 1 && text != ":";
    *value = text;
  } else if (ok) {
    *error = "its type " + type + " cannot be set";
    return false;
  }
  if (!ok) *error = "'" + text + "' is not a " + type + " value";
  return ok;
}

bool ParameterSweep::Parse(const std::vector<std::string>& setOptions, const StudyInfo& study,
                           std::string* error) {
  names.clear();
  points.assign(1, ParameterPoint());
  for (const std::string& option : setOptions) {
    const size_t eq = option.find('=');
    if (eq == std::string::npos || eq == 0) {
      *error = "--set " + option + ": expected NAME=VALUE[,VALUE...]";
      return false;
    }
    const std::string name = option.substr(0, eq);
    const GlobalVariable* gv = study.Find(name);
    if (gv == nullptr) {
      *error = "--set " + option + ": the study has no global variable " + name + " (it has " +
               Known(study) + ")";
      return false;
    }
    for (const std::string& n : names) {
      if (n == name) {
        *error = "--set " + option + ": " + name + " is set twice";
        return false;
      }
    }
    std::vector<Setting> values;
    for (const std::string& text : SplitList(option.substr(eq + 1))) {
      Setting s{name, gv->type, ""};
      std::string why;
      if (!NormaliseValue(gv->type, text, &s.value, &why)) {
        *error = "--set " + option + ": " + why;
        return false;
      }
      values.push_back(s);
    }
    names.push_back(name);
    std::vector<ParameterPoint> product;
    for (const ParameterPoint& p : points) {
      for (const Setting& s : values) {
        ParameterPoint q = p;
        q.push_back(s);
        product.push_back(q);
      }
    }
    points.swap(product);
  }
  return true;
}

std::string OverrideText(const ParameterPoint& point) {
  std::string text;
  for (const Setting& s : point) {
    if (!text.empty()) text += ":";
    text += std::string(1, TypeLetter(s.type)) + ":" + s.name + ":" + s.value;
  }
  return text;
}

}  // namespace velmor_runner

#include "jani/JsonAccess.h"

#include "jani/JaniError.h"

namespace velmor::jani {

using nlohmann::json;

const json& Member(const json& o, const char* key, const std::string& path) {
  if (!o.is_object() || !o.contains(key))
    throw JaniError(path, std::string("missing \"") + key + "\"");
  return o[key];
}

std::string Str(const json& o, const char* key, const std::string& path) {
  const json& v = Member(o, key, path);
  if (!v.is_string()) throw JaniError(path + "/" + key, "must be a string");
  return v.get<std::string>();
}

const json& Array(const json& o, const char* key, const std::string& path) {
  static const json empty = json::array();
  if (!o.contains(key)) return empty;
  if (!o[key].is_array()) throw JaniError(path + "/" + key, "must be an array");
  return o[key];
}

std::string At(const std::string& path, const char* key, size_t k) {
  return path + "/" + key + "/" + std::to_string(k);
}

void OnlyKeys(const json& o, const std::string& path, std::initializer_list<const char*> keys) {
  if (!o.is_object()) throw JaniError(path, "must be an object");
  for (auto it = o.begin(); it != o.end(); ++it) {
    bool known = it.key().rfind("x-", 0) == 0 || it.key() == "comment";
    for (const char* k : keys) known = known || it.key() == k;
    if (!known) throw JaniError(path + "/" + it.key(), "\"" + it.key() + "\" is not supported");
  }
}

}  // namespace velmor::jani

// JsonAccess: checked reads of JSON members that throw a JaniError naming
// the path of what is missing or of the wrong kind. Stateless.
#ifndef VELMOR_JANI_JSONACCESS_H
#define VELMOR_JANI_JSONACCESS_H

#include <initializer_list>
#include <nlohmann/json.hpp>
#include <string>

namespace velmor::jani {

// o[key]; an error at path when o is no object or lacks key.
const nlohmann::json& Member(const nlohmann::json& o, const char* key, const std::string& path);
// o[key] as a string.
std::string Str(const nlohmann::json& o, const char* key, const std::string& path);
// o[key] as an array; an empty one when o has no key.
const nlohmann::json& Array(const nlohmann::json& o, const char* key, const std::string& path);
// "path/key/k".
std::string At(const std::string& path, const char* key, size_t k);
// Accepts only the listed keys (and "x-" extensions and "comment"): a key
// the importer does not know could change the model's meaning.
void OnlyKeys(const nlohmann::json& o, const std::string& path,
              std::initializer_list<const char*> keys);

}  // namespace velmor::jani

#endif  // VELMOR_JANI_JSONACCESS_H

#include "jani/Importer.h"

#include <nlohmann/json.hpp>

#include "jani/Activities.h"
#include "jani/LangNames.h"
#include "jani/ModelWriter.h"
#include "jani/NetworkReader.h"

namespace velmor::jani {

namespace {

// nlohmann's message without its "[json.exception...] " prefix.
std::string Reason(const nlohmann::json::exception& e) {
  std::string what = e.what();
  auto close = what.find("] ");
  return close == std::string::npos ? what : what.substr(close + 2);
}

nlohmann::json Parse(const std::string& text) {
  try {
    return nlohmann::json::parse(text);
  } catch (const nlohmann::json::exception& e) {
    throw JaniError("", "not valid JSON: " + Reason(e));
  }
}

std::string Import(const std::string& text, const ImportOptions& options) {
  nlohmann::json doc = Parse(text);
  if (!doc.is_object()) throw JaniError("", "a JANI model must be a JSON object");
  Network net;
  NameRegistry names;
  names.SetAcceptable(LangAcceptsName);
  NetworkReader reader(doc, net, names, options.constants);
  reader.Read();
  ModelParts parts;
  parts.net = &net;
  parts.source = options.source;
  parts.activities = BuildActivities(net, names);
  if (net.type == "ma") parts.conflicts = InstantConflicts(net, parts.activities);
  parts.measures =
      ReadProperties(doc, net, parts.activities, reader.exprs(), names, options.measures);
  return WriteModel(parts, names);
}

}  // namespace

std::string ImportJani(const std::string& text, const ImportOptions& options) {
  try {
    return Import(text, options);
  } catch (const nlohmann::json::exception& e) {
    // A member of a JSON type the readers did not check before reading it.
    throw JaniError("", "malformed document: " + Reason(e));
  }
}

}  // namespace velmor::jani

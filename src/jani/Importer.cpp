#include "jani/Importer.h"

#include <nlohmann/json.hpp>

#include "jani/Activities.h"
#include "jani/ModelWriter.h"
#include "jani/NetworkReader.h"

namespace velmor::jani {

namespace {

nlohmann::json Parse(const std::string& text) {
  try {
    return nlohmann::json::parse(text);
  } catch (const nlohmann::json::exception& e) {
    std::string what = e.what();
    auto close = what.find("] ");
    throw JaniError(
        "", "not valid JSON: " + (close == std::string::npos ? what : what.substr(close + 2)));
  }
}

}  // namespace

std::string ImportJani(const std::string& text, const ImportOptions& options) {
  nlohmann::json doc = Parse(text);
  if (!doc.is_object()) throw JaniError("", "a JANI model must be a JSON object");
  Network net;
  NameRegistry names;
  NetworkReader reader(doc, net, names, options.constants);
  reader.Read();
  ModelParts parts;
  parts.net = &net;
  parts.source = options.source;
  parts.activities = BuildActivities(net, names);
  if (net.type == "ma") parts.conflicts = InstantConflicts(net, parts.activities);
  parts.measures = ReadProperties(doc, net, reader.exprs(), names, options.measures);
  return WriteModel(parts, names);
}

}  // namespace velmor::jani

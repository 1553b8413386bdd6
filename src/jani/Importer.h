// Importer: JANI document text in, model-file text out. The whole import
// is a pure function of its inputs (deterministic). Thread-safe: no shared
// state.
#ifndef VELMOR_JANI_IMPORTER_H
#define VELMOR_JANI_IMPORTER_H

#include <map>
#include <string>

#include "jani/JaniError.h"
#include "jani/Properties.h"

namespace velmor::jani {

struct ImportOptions {
  std::map<std::string, std::string> constants;  // open constants: JANI name -> value text
  MeasureOptions measures;
  std::string source = "model.jani";  // named in the header comment
};

// Throws JaniError (path and message) for input outside the subset.
std::string ImportJani(const std::string& text, const ImportOptions& options);

}  // namespace velmor::jani

#endif  // VELMOR_JANI_IMPORTER_H

// ModelWriter: writes the imported network, its activities and measures as
// a model file of the project's own language. Pure function of its inputs
// (same inputs, same bytes); not thread-safe.
#ifndef VELMOR_JANI_MODELWRITER_H
#define VELMOR_JANI_MODELWRITER_H

#include <string>
#include <vector>

#include "jani/Activities.h"
#include "jani/Names.h"
#include "jani/Network.h"
#include "jani/Properties.h"

namespace velmor::jani {

struct ModelParts {
  const Network* net = nullptr;
  std::vector<Activity> activities;
  std::vector<std::pair<size_t, size_t>> conflicts;  // instant pairs checked at run time
  Measures measures;
  std::string source;  // the JANI file name, for the header comment
};

// REQUIRES: every symbol name was claimed from `names`.
std::string WriteModel(const ModelParts& parts, NameRegistry& names);

}  // namespace velmor::jani

#endif  // VELMOR_JANI_MODELWRITER_H

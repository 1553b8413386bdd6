// LangNames: asks the model language's own checker whether a name may be
// used in a model file (keywords, names of the generated code and of the
// C library). Not thread-safe (keeps a cache).
#ifndef VELMOR_JANI_LANGNAMES_H
#define VELMOR_JANI_LANGNAMES_H

#include <string>

namespace velmor::jani {

// True when `name` is accepted as a global (the strictest use) of a model.
bool LangAcceptsName(const std::string& name);

}  // namespace velmor::jani

#endif  // VELMOR_JANI_LANGNAMES_H

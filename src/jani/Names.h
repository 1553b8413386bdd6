// Names: turns JANI identifiers (any string) into unique model-language
// names. Not thread-safe.
#ifndef VELMOR_JANI_NAMES_H
#define VELMOR_JANI_NAMES_H

#include <functional>
#include <set>
#include <string>

namespace velmor::jani {

// Owns the set of names given out so far. A wanted name keeps its letters,
// digits and underscores (others become '_'), gets a leading '_' before a
// digit, runs of '_' shortened to one, a 'v' before "_X", a trailing '_'
// when it is a keyword of the model language or of C++, and a suffix "_2",
// "_3", ... when already taken or when `acceptable` refuses it.
class NameRegistry {
 public:
  std::string Claim(const std::string& wanted);
  bool Taken(const std::string& name) const { return taken_.count(name) != 0; }
  // The model language's own test of a name (see LangNames.h).
  void SetAcceptable(std::function<bool(const std::string&)> acceptable) {
    acceptable_ = std::move(acceptable);
  }

 private:
  std::set<std::string> taken_;
  std::function<bool(const std::string&)> acceptable_;
};

}  // namespace velmor::jani

#endif  // VELMOR_JANI_NAMES_H

// JaniError: an import failure at one place of the JANI document, reported
// as "FILE: path/in/json: message". Plain value type, thread-compatible.
#ifndef VELMOR_JANI_JANIERROR_H
#define VELMOR_JANI_JANIERROR_H

#include <stdexcept>
#include <string>

namespace velmor::jani {

// Responsibility: carry the JSON path (e.g. "automata/0/edges/3/rate") and
// the message of one import failure up to the command, which adds the file.
class JaniError : public std::runtime_error {
 public:
  JaniError(std::string path, const std::string& message)
      : std::runtime_error(message), path_(std::move(path)) {}
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace velmor::jani

#endif  // VELMOR_JANI_JANIERROR_H

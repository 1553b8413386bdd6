// Diagnostics: formatting and printing of the model file's messages.
#include "lang/Diagnostics.h"

namespace lang {

void Diagnostics::Error(Pos pos, const std::string& message) {
  lines_.push_back(file_ + ":" + std::to_string(pos.line) + ":" + std::to_string(pos.col) +
                   ": error: " + message);
  ++errors_;
}

void Diagnostics::Warning(Pos pos, const std::string& message) {
  lines_.push_back(file_ + ":" + std::to_string(pos.line) + ":" + std::to_string(pos.col) +
                   ": warning: " + message);
}

void Diagnostics::Print(std::ostream& out) const {
  for (const std::string& line : lines_) out << line << "\n";
  out.flush();
}

}  // namespace lang

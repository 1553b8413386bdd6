// Diagnostics: the errors and warnings found in one model file, each with
// its position, printed as FILE:LINE:COL: error|warning: MESSAGE. Not
// thread-safe.
#ifndef VELMOR_LANG_DIAGNOSTICS_H
#define VELMOR_LANG_DIAGNOSTICS_H

#include <ostream>
#include <string>
#include <vector>

#include "lang/Ast.h"

namespace lang {

// Collects messages in the order they are found. Owns nothing else.
class Diagnostics {
 public:
  explicit Diagnostics(std::string file) : file_(std::move(file)) {}
  void Error(Pos pos, const std::string& message);
  void Warning(Pos pos, const std::string& message);
  int ErrorCount() const { return errors_; }
  // Writes every message, one a line, in the order found.
  void Print(std::ostream& out) const;

 private:
  std::string file_;
  std::vector<std::string> lines_;
  int errors_ = 0;
};

}  // namespace lang

#endif  // VELMOR_LANG_DIAGNOSTICS_H

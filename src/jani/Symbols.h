// Symbols: the table of every name the imported model defines (constants,
// state variables, automaton locations, transient variables, helper places)
// with what the model language needs to write each one. Not thread-safe.
#ifndef VELMOR_JANI_SYMBOLS_H
#define VELMOR_JANI_SYMBOLS_H

#include <optional>
#include <string>
#include <vector>

#include "jani/Expr.h"

namespace velmor::jani {

// The largest marking a place can hold.
constexpr int kPlaceMax = 32767;

// One entry. Constants become globals of the model file; variables,
// locations and helpers become places; transient variables are replaced by
// their value expression wherever they are read.
// Invariants (variables): offset <= lower <= initial <= upper, and the
// stored marking is value - offset, in [0, upper - offset]. Real variables
// (and real helpers) are double places holding the value itself: offset 0,
// a missing bound is infinite.
struct Symbol {
  enum class Kind { Constant, Variable, Location, Transient, Helper };
  Kind kind = Kind::Constant;
  std::string janiName;  // as written in the JANI file (locals qualified)
  std::string name;      // the model-file name
  Type type = Type::Int;
  std::optional<double> value;  // Constant
  double lower = 0, upper = 1, initial = 0, offset = 0;
  bool declaredBounds = false;         // Variable: bounds come from the file
  std::vector<std::string> locations;  // Location: names by index
  ExprP transientValue;                // Transient: value in every state
  std::string impulsePath;             // Transient: an edge assigns it (impulse reward)
  std::string comment;                 // written beside the declaration
};

// Owns the symbols; indices are stable.
class SymbolTable {
 public:
  int Add(Symbol s) {
    symbols_.push_back(std::move(s));
    return static_cast<int>(symbols_.size()) - 1;
  }
  Symbol& operator[](int i) { return symbols_[static_cast<size_t>(i)]; }
  const Symbol& operator[](int i) const { return symbols_[static_cast<size_t>(i)]; }
  int size() const { return static_cast<int>(symbols_.size()); }

 private:
  std::vector<Symbol> symbols_;
};

}  // namespace velmor::jani

#endif  // VELMOR_JANI_SYMBOLS_H

// ExprReader: reads JANI expressions (JSON) into Expr trees, resolving
// identifiers against the constants, the global variables and the current
// automaton's locals, and inlining function calls. Not thread-safe.
#ifndef VELMOR_JANI_EXPRREADER_H
#define VELMOR_JANI_EXPRREADER_H

#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "jani/Expr.h"
#include "jani/Symbols.h"

namespace velmor::jani {

struct FunctionDef {
  nlohmann::json body;
  std::vector<std::string> params;
  std::string path;  // of the body
};

// Points to the symbol table (which must outlive it). The scope maps are
// filled by the network reader as it goes: `locals` and `localFunctions`
// are those of the automaton being read.
class ExprReader {
 public:
  explicit ExprReader(SymbolTable& symbols) : symbols_(symbols) {}

  // Throws JaniError naming `path` for anything outside the subset.
  ExprP Read(const nlohmann::json& j, const std::string& path);
  // Reads and evaluates; throws when the value depends on the state.
  double ReadConstant(const nlohmann::json& j, const std::string& path, Type* type = nullptr);

  std::map<std::string, int> globals;
  std::map<std::string, int> locals;
  std::map<std::string, FunctionDef> globalFunctions;
  std::map<std::string, FunctionDef> localFunctions;
  bool transientsReady = false;    // transient values may be substituted
  bool transientsInitial = false;  // substitute initial values instead
  // Non-null: a transition's values (symbol -> value), the initial value
  // for the transients it does not assign.
  const std::map<int, std::pair<ExprP, std::string>>* transientsOnStep = nullptr;
  std::set<int> transientsRead;  // every transient substituted so far

 private:
  ExprP ReadAny(const nlohmann::json& j, const std::string& path);
  ExprP ReadIdentifier(const std::string& name, const std::string& path);
  ExprP ReadOperator(const nlohmann::json& j, const std::string& path);
  ExprP ReadCall(const nlohmann::json& j, const std::string& path);
  ExprP Arg(const nlohmann::json& j, const char* key, const std::string& path);
  // floor, ceil, pow, log, exp, sgn, trc: folded when the operands are
  // constant, else written with the model language's functions.
  ExprP Constant(const std::string& op, std::vector<ExprP> args, const std::string& path);

  SymbolTable& symbols_;
  std::vector<std::map<std::string, ExprP>> params_;
  int depth_ = 0;  // nesting of Read calls
};

}  // namespace velmor::jani

#endif  // VELMOR_JANI_EXPRREADER_H

#include "jani/Names.h"

#include <cctype>

namespace velmor::jani {

namespace {

const std::set<std::string>& Reserved() {
  static const std::set<std::string> words = {
      // the model language
      "model", "global", "submodel", "place", "timed", "instant", "delay", "when", "input",
      "output", "do", "case", "weight", "rank", "watch", "reactivate", "rep", "join", "of", "share",
      "top", "reward", "at", "from", "to", "step", "interval", "average", "steady", "rate", "study",
      "range", "set", "if", "then", "else", "and", "or", "not", "true", "false", "min", "max",
      "abs", "bool", "short", "int", "long", "float", "double",
      // C++ (the generated simulator is C++)
      "alignas", "alignof", "asm", "auto", "break", "catch", "char", "class", "const", "constexpr",
      "continue", "default", "delete", "enum", "explicit", "export", "extern", "for", "friend",
      "goto", "inline", "mutable", "namespace", "new", "noexcept", "nullptr", "operator", "private",
      "protected", "public", "register", "return", "signed", "sizeof", "static", "struct", "switch",
      "template", "this", "throw", "try", "typedef", "typeid", "typename", "union", "unsigned",
      "using", "virtual", "void", "volatile", "while", "xor", "bitand", "bitor", "compl", "not_eq",
      "and_eq", "or_eq", "xor_eq", "main"};
  return words;
}

}  // namespace

std::string NameRegistry::Claim(const std::string& wanted) {
  std::string base;
  for (unsigned char c : wanted) {
    char k = (std::isalnum(c) || c == '_') && c < 128 ? char(c) : '_';
    if (!(k == '_' && !base.empty() && base.back() == '_')) base += k;
  }
  if (base.empty() || base == "_") base = "v";
  if (std::isdigit(static_cast<unsigned char>(base[0]))) base = "v" + base;
  if (base[0] == '_' && std::isupper(static_cast<unsigned char>(base[1]))) base = "v" + base;
  if (Reserved().count(base)) base += "_";
  std::string sep = base.back() == '_' ? "" : "_";
  std::string name = base;
  for (int k = 2; taken_.count(name) || (acceptable_ && !acceptable_(name)); ++k)
    name = base + sep + std::to_string(k);
  taken_.insert(name);
  return name;
}

}  // namespace velmor::jani

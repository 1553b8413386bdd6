// Lexer: splits a model file into tokens (names, numbers, symbols) with
// their line and column; '#' comments and white space are skipped. Not
// thread-safe.
#ifndef VELMOR_LANG_LEXER_H
#define VELMOR_LANG_LEXER_H

#include <string>
#include <vector>

#include "lang/Ast.h"

namespace lang {

struct Token {
  enum Kind { kName, kNumber, kSymbol, kString, kEnd, kBad };
  Kind kind = kEnd;
  std::string text;
  Pos pos;
  bool real = false;  // kNumber with '.' or an exponent
  // kString: the text between the quotes (one line, no escapes).
};

// The tokens of text, ending with one kEnd token. A character that starts
// no token gives a kBad token (text: the character) and ends the list.
std::vector<Token> Tokenize(const std::string& text);

}  // namespace lang

#endif  // VELMOR_LANG_LEXER_H

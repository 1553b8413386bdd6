// Lexer: the tokenizer of the model language.
#include "lang/Lexer.h"

#include <cctype>

namespace lang {

namespace {

bool IsNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }
bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

const char* const kTwoCharSymbols[] = {"==", "!=", "<=", ">=", "+=", "-=", "&&", "||"};
const std::string kOneCharSymbols = "{}(),:;=<>+-*/%!.[]";

}  // namespace

std::vector<Token> Tokenize(const std::string& text) {
  std::vector<Token> tokens;
  size_t i = 0;
  int line = 1, col = 1;
  auto advance = [&](size_t n) {
    for (size_t k = 0; k < n && i < text.size(); ++k, ++i) {
      if (text[i] == '\n') {
        ++line;
        col = 1;
      } else {
        ++col;
      }
    }
  };
  while (i < text.size()) {
    char c = text[i];
    if (c == '#') {
      while (i < text.size() && text[i] != '\n') advance(1);
      continue;
    }
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      advance(1);
      continue;
    }
    Token t;
    t.pos = {line, col};
    size_t start = i;
    if (IsNameStart(c)) {
      size_t j = i;
      while (j < text.size() && IsNameChar(text[j])) ++j;
      t.kind = Token::kName;
      t.text = text.substr(start, j - start);
      advance(j - i);
    } else if (IsDigit(c) || (c == '.' && i + 1 < text.size() && IsDigit(text[i + 1]))) {
      size_t j = i;
      while (j < text.size() && IsDigit(text[j])) ++j;
      if (j < text.size() && text[j] == '.') {
        t.real = true;
        ++j;
        while (j < text.size() && IsDigit(text[j])) ++j;
      }
      if (j < text.size() && (text[j] == 'e' || text[j] == 'E')) {
        size_t k = j + 1;
        if (k < text.size() && (text[k] == '+' || text[k] == '-')) ++k;
        if (k < text.size() && IsDigit(text[k])) {
          while (k < text.size() && IsDigit(text[k])) ++k;
          j = k;
          t.real = true;
        }
      }
      t.kind = Token::kNumber;
      t.text = text.substr(start, j - start);
      advance(j - i);
      if (j < text.size() && IsNameStart(text[j])) {
        Token bad;
        bad.kind = Token::kBad;
        bad.pos = {line, col};
        bad.text = std::string(1, text[j]);
        tokens.push_back(t);
        tokens.push_back(bad);
        return tokens;
      }
    } else if (c == '"') {
      size_t j = i + 1;
      while (j < text.size() && text[j] != '"' && text[j] != '\n') ++j;
      if (j >= text.size() || text[j] != '"') {
        t.kind = Token::kBad;
        t.text = "\"";
        tokens.push_back(t);
        return tokens;
      }
      t.kind = Token::kString;
      t.text = text.substr(i + 1, j - i - 1);
      advance(j + 1 - i);
    } else {
      bool matched = false;
      for (const char* two : kTwoCharSymbols) {
        if (text.compare(i, 2, two) == 0) {
          t.kind = Token::kSymbol;
          t.text = two;
          advance(2);
          matched = true;
          break;
        }
      }
      if (!matched) {
        if (kOneCharSymbols.find(c) == std::string::npos) {
          t.kind = Token::kBad;
          t.text = std::string(1, c);
          tokens.push_back(t);
          return tokens;
        }
        t.kind = Token::kSymbol;
        t.text = std::string(1, c);
        advance(1);
      }
    }
    tokens.push_back(t);
  }
  Token end;
  end.kind = Token::kEnd;
  end.pos = {line, col};
  tokens.push_back(end);
  return tokens;
}

}  // namespace lang

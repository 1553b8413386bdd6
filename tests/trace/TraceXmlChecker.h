// TraceXmlChecker: a small well-formedness checker for the XML trace, used
// by the unit and end-to-end tests. Header-only; not thread-safe.
#ifndef VELMOR_TESTS_TRACEXMLCHECKER_H
#define VELMOR_TESTS_TRACEXMLCHECKER_H

#include <cctype>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace tracetest {

// Checks one XML document: UTF-8 text of XML characters only (no control
// characters but tab, newline and carriage return), optional declaration,
// comments, one DOCTYPE before the root, exactly one root element, matched
// and properly nested tags, quoted attributes without repeats, known entity
// and numeric character references only, no '<' inside text or attribute
// values, nothing but blanks and comments after the root. Returns "" when
// well-formed, else what went wrong.
class XmlChecker {
 public:
  explicit XmlChecker(const std::string& text) : s(text), pos(0) {}

  std::string Check() {
    std::string error = Characters();
    if (!error.empty()) return error;
    error = Prolog();
    if (!error.empty()) return error;
    if (!At("<")) return "no root element";
    error = Element();
    if (!error.empty()) return error;
    error = Misc();
    if (!error.empty()) return error;
    if (pos != s.size()) return "content after the root element at " + Where();
    return "";
  }

  // Names of all elements in document order (filled by Check).
  const std::vector<std::string>& elements() const { return names; }

 private:
  std::string Where() const { return std::to_string(pos); }
  bool At(const char* t) const { return s.compare(pos, std::strlen(t), t) == 0; }
  void Blanks() {
    while (pos < s.size() && std::isspace(static_cast<unsigned char>(s[pos]))) {
      pos++;
    }
  }
  static bool NameStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == ':';
  }
  static bool NameChar(char c) {
    return NameStart(c) || std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '.';
  }
  bool Name(std::string* out) {
    if (pos >= s.size() || !NameStart(s[pos])) return false;
    size_t start = pos;
    while (pos < s.size() && NameChar(s[pos])) pos++;
    *out = s.substr(start, pos - start);
    return true;
  }
  std::string Comment() {
    size_t end = s.find("-->", pos + 4);
    if (end == std::string::npos) return "unterminated comment at " + Where();
    if (s.substr(pos + 4, end - pos - 4).find("--") != std::string::npos) {
      return "'--' inside a comment at " + Where();
    }
    pos = end + 3;
    return "";
  }
  std::string Misc() {
    for (;;) {
      Blanks();
      if (!At("<!--")) return "";
      std::string error = Comment();
      if (!error.empty()) return error;
    }
  }
  std::string Prolog() {
    if (At("<?xml")) {
      size_t end = s.find("?>", pos);
      if (end == std::string::npos) return "unterminated declaration";
      pos = end + 2;
    } else if (pos == 0 && s.find("<?xml") != std::string::npos) {
      return "text before the XML declaration";
    }
    std::string error = Misc();
    if (!error.empty()) return error;
    if (At("<!DOCTYPE")) {
      size_t end = s.find('>', pos);
      if (end == std::string::npos) return "unterminated DOCTYPE";
      pos = end + 1;
    }
    return Misc();
  }
  // Decodes every UTF-8 sequence and refuses overlong forms, surrogates,
  // values above U+10FFFF, U+FFFE/U+FFFF and control characters.
  std::string Characters() const {
    for (size_t i = 0; i < s.size();) {
      const unsigned char lead = static_cast<unsigned char>(s[i]);
      int extra = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
      if (extra < 0 || lead > 0xF7) return "bad UTF-8 at " + std::to_string(i);
      unsigned long cp = extra == 0 ? lead : lead & (0x3F >> extra);
      for (int k = 1; k <= extra; k++) {
        if (i + k >= s.size() || (s[i + k] & 0xC0) != 0x80) {
          return "bad UTF-8 at " + std::to_string(i);
        }
        cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
      }
      static const unsigned long kLeast[] = {0, 0x80, 0x800, 0x10000};
      const bool control = cp < 0x20 && cp != 9 && cp != 10 && cp != 13;
      if (cp < kLeast[extra] || control || (cp >= 0xD800 && cp <= 0xDFFF) || cp == 0xFFFE ||
          cp == 0xFFFF || cp > 0x10FFFF) {
        return "not an XML character at " + std::to_string(i);
      }
      i += extra + 1;
    }
    return "";
  }
  std::string Entity() {  // at '&'
    if (At("&#")) {       // &#digits; or &#xhex;
      size_t end = pos + 2;
      const bool hex = end < s.size() && s[end] == 'x';
      if (hex) end++;
      const size_t digits = end;
      while (end < s.size() && (hex ? std::isxdigit(static_cast<unsigned char>(s[end]))
                                    : std::isdigit(static_cast<unsigned char>(s[end])))) {
        end++;
      }
      if (end == digits || end >= s.size() || s[end] != ';') {
        return "bad character reference at " + Where();
      }
      pos = end + 1;
      return "";
    }
    static const char* const kKnown[] = {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"};
    for (const char* e : kKnown) {
      if (At(e)) {
        pos += std::strlen(e);
        return "";
      }
    }
    return "unknown entity at " + Where();
  }
  std::string Attributes(bool* selfClosing) {
    std::set<std::string> seen;
    for (;;) {
      Blanks();
      if (At("/>")) {
        pos += 2;
        *selfClosing = true;
        return "";
      }
      if (At(">")) {
        pos += 1;
        *selfClosing = false;
        return "";
      }
      std::string attr;
      if (!Name(&attr)) return "bad attribute name at " + Where();
      if (!seen.insert(attr).second) return "repeated attribute " + attr;
      Blanks();
      if (!At("=")) return "missing '=' at " + Where();
      pos++;
      Blanks();
      if (pos >= s.size() || (s[pos] != '"' && s[pos] != '\'')) {
        return "unquoted attribute value at " + Where();
      }
      const char quote = s[pos++];
      while (pos < s.size() && s[pos] != quote) {
        if (s[pos] == '<') return "'<' in attribute value at " + Where();
        if (s[pos] == '&') {
          std::string error = Entity();
          if (!error.empty()) return error;
        } else {
          pos++;
        }
      }
      if (pos >= s.size()) return "unterminated attribute value";
      pos++;
    }
  }
  std::string Element() {  // at '<'
    pos++;
    std::string name;
    if (!Name(&name)) return "bad element name at " + Where();
    names.push_back(name);
    bool selfClosing = false;
    std::string error = Attributes(&selfClosing);
    if (!error.empty()) return error;
    if (selfClosing) return "";
    for (;;) {
      if (pos >= s.size()) return "element " + name + " is not closed";
      if (At("</")) {
        pos += 2;
        std::string closing;
        if (!Name(&closing) || closing != name) {
          return "</" + closing + "> closes <" + name + "> at " + Where();
        }
        Blanks();
        if (!At(">")) return "bad end tag at " + Where();
        pos++;
        return "";
      }
      if (At("<!--")) {
        error = Comment();
      } else if (At("<?") || At("<!")) {
        return "unexpected markup at " + Where();
      } else if (At("<")) {
        error = Element();
      } else if (At("&")) {
        error = Entity();
      } else {
        pos++;
      }
      if (!error.empty()) return error;
    }
  }

  std::string s;
  size_t pos;
  std::vector<std::string> names;
};

inline std::string CheckWellFormed(const std::string& text) {
  XmlChecker checker(text);
  return checker.Check();
}

}  // namespace tracetest

#endif  // VELMOR_TESTS_TRACEXMLCHECKER_H

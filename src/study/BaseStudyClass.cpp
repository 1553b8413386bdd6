// BaseStudyClass: names, experiment names, the override text and the study's
// ownership of its reward model.
#include "study/BaseStudyClass.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "base/Allocate.h"
#include "base/OwnedString.h"
#include "reward/PVModel.h"

BaseStudyClass* GlobalStudyPtr = nullptr;

namespace {

// Takes the next non-empty ":"-separated field starting at *pos into field;
// consecutive separators count as one. False when no field is left.
bool NextField(const std::string& text, size_t* pos, std::string* field) {
  size_t start = text.find_first_not_of(':', *pos);
  if (start == std::string::npos) {
    *pos = text.size();
    return false;
  }
  size_t end = text.find(':', start);
  if (end == std::string::npos) end = text.size();
  field->assign(text, start, end - start);
  *pos = end;
  return true;
}

// The converted value of one triple, passed by address to OverrideGVValue.
// A value text that does not convert leaves the zero it starts with.
union OverrideValue {
  bool b;
  char c;
  double d;
  float f;
  int i;
  long l;
  short s;
};

// Converts valueText by the type letter; false for an unknown letter.
bool ConvertOverride(char letter, const char* valueText, OverrideValue* v) {
  std::memset(v, 0, sizeof(*v));
  short s = 0;
  switch (letter) {
    case 'b':
      std::sscanf(valueText, "%hi", &s);
      v->b = (s != 0);
      return true;
    case 'c':
      std::sscanf(valueText, "%c", &v->c);
      return true;
    case 'd':
      std::sscanf(valueText, "%lf", &v->d);
      return true;
    case 'f':
      std::sscanf(valueText, "%f", &v->f);
      return true;
    case 'i':
      std::sscanf(valueText, "%i", &v->i);
      return true;
    case 'l':
      std::sscanf(valueText, "%li", &v->l);
      return true;
    case 's':
      std::sscanf(valueText, "%hi", &v->s);
      return true;
    default:
      return false;
  }
}

// What an override of a variable of one declared type must look like.
struct TypeRule {
  const char* type;  // as declared ("float", "short", ...)
  char letter;       // the override letter of that type
  bool whole;        // a whole number (read like "%i": decimal, 0x hex, 0 octal)
  long long low, high;
};
constexpr TypeRule kTypeRules[] = {{"short", 's', true, SHRT_MIN, SHRT_MAX},
                                   {"int", 'i', true, INT_MIN, INT_MAX},
                                   {"long", 'l', true, LONG_MIN, LONG_MAX},
                                   {"bool", 'b', true, SHRT_MIN, SHRT_MAX},
                                   {"float", 'f', false, 0, 0},
                                   {"double", 'd', false, 0, 0},
                                   {"char", 'c', false, 0, 0}};

const TypeRule* RuleFor(const char* type) {
  if (type == nullptr) return nullptr;
  for (const TypeRule& rule : kTypeRules) {
    if (std::strcmp(rule.type, type) == 0) return &rule;
  }
  return nullptr;
}

std::string ValidValues(const TypeRule& rule) {
  if (rule.whole) {
    return "a whole number from " + std::to_string(rule.low) + " to " + std::to_string(rule.high);
  }
  if (rule.letter == 'c') return "one character";
  return rule.letter == 'f' ? "a finite number of magnitude at most 3.40282e+38"
                            : "a finite number of magnitude at most 1.79769e+308";
}

// Whether the whole text converts to a value of the rule's type.
bool ValueFits(const TypeRule& rule, const std::string& text) {
  if (rule.letter == 'c') return text.size() == 1;
  const char* start = text.c_str();
  char* end = nullptr;
  errno = 0;
  if (rule.whole) {
    long long v = std::strtoll(start, &end, 0);
    return end != start && *end == '\0' && errno != ERANGE && v >= rule.low && v <= rule.high;
  }
  // Too small a magnitude rounds towards 0 and is taken; overflow, infinity
  // and not-a-number are not.
  double v =
      rule.letter == 'f' ? static_cast<double>(std::strtof(start, &end)) : std::strtod(start, &end);
  return end != start && *end == '\0' && std::isfinite(v);
}

}  // namespace

BaseStudyClass::BaseStudyClass()
    : GVNames(nullptr), GVTypes(nullptr), ThePVModel(nullptr), NumGVs(0), NumExps(0) {}

BaseStudyClass::BaseStudyClass(int numGVs, int numExps)
    : GVNames(nullptr), GVTypes(nullptr), ThePVModel(nullptr), NumGVs(numGVs), NumExps(numExps) {
  if (NumGVs > 0) {
    GVNames = AllocateZeroedArray<char*>(NumGVs);
    GVTypes = AllocateZeroedArray<char*>(NumGVs);
  } else {
    NumGVs = 0;
  }
}

BaseStudyClass::~BaseStudyClass() {
  DeletePVModel();
  for (int i = 0; i < NumGVs; i++) {
    if (GVNames) ReleaseOwnedString(GVNames[i]);
    if (GVTypes) ReleaseOwnedString(GVTypes[i]);
  }
  delete[] GVNames;
  delete[] GVTypes;
}

void BaseStudyClass::SetGVInfo(int i, const char* name, const char* type) {
  ReleaseOwnedString(GVNames[i]);
  ReleaseOwnedString(GVTypes[i]);
  GVNames[i] = CopyOwnedString(name);
  GVTypes[i] = CopyOwnedString(type);
}

void BaseStudyClass::DeletePVModel() {
  delete ThePVModel;
  ThePVModel = nullptr;
}

PVModel* BaseStudyClass::GetPVModel(bool) { return ThePVModel; }

void BaseStudyClass::SetGVs(int) { std::cout << "basestudyclass::SetGVs" << std::endl; }

void BaseStudyClass::PrintGlobalValues(int) {}

void* BaseStudyClass::GetGVValue(char*) { return nullptr; }

void BaseStudyClass::OverrideGVValue(char*, void*) {}

void BaseStudyClass::overrideGVs(char* text) {
  if (text == nullptr) return;
  const std::string copy(text);  // the caller's text stays unchanged
  size_t pos = 0;
  std::string letter, name, value;
  while (NextField(copy, &pos, &letter)) {
    if (!NextField(copy, &pos, &name) || !NextField(copy, &pos, &value)) {
      std::cout << "Not enough double override tokens" << std::flush;
      return;
    }
    OverrideValue converted;
    if (!ConvertOverride(letter[0], value.c_str(), &converted)) {
      std::printf("Type %c not recognized\n", letter[0]);
      std::fflush(stdout);
      continue;
    }
    OverrideGVValue(&name[0], &converted);
  }
}

bool BaseStudyClass::ValidateOverrides(const char* text) {
  if (text == nullptr) return true;
  const std::string copy(text);
  size_t pos = 0;
  std::string letter, name, value;
  bool valid = true;
  while (NextField(copy, &pos, &letter)) {
    if (!NextField(copy, &pos, &name) || !NextField(copy, &pos, &value)) {
      std::cerr << "ERROR: Override text '" << copy
                << "' ends in an incomplete override; each is letter:name:value" << std::endl;
      return false;
    }
    const std::string triple = letter + ":" + name + ":" + value;
    int index = -1;
    for (int i = 0; i < NumGVs && index < 0; i++) {
      if (GVNames[i] != nullptr && name == GVNames[i]) index = i;
    }
    if (index < 0) {
      OverrideValue unused;
      std::memset(&unused, 0, sizeof(unused));
      OverrideGVValue(&name[0], &unused);  // the study's own line; changes nothing
      std::cerr << "ERROR: Override " << triple << " refused: the study has no global variable "
                << name << "; it has";
      for (int i = 0; i < NumGVs; i++) {
        std::cerr << (i == 0 ? " " : ", ") << (GVNames[i] ? GVNames[i] : "") << " ("
                  << (GVTypes[i] ? GVTypes[i] : "") << ")";
      }
      std::cerr << (NumGVs == 0 ? " none" : "") << std::endl;
      valid = false;
      continue;
    }
    const TypeRule* rule = RuleFor(GVTypes[index]);
    if (rule == nullptr) continue;  // a type without rules: taken as given
    if (letter[0] != rule->letter || !ValueFits(*rule, value)) {
      std::cerr << "ERROR: Override " << triple << " refused: " << name << " is a " << rule->type
                << ", given as " << rule->letter << ":" << name << ":<value> with "
                << ValidValues(*rule) << std::endl;
      valid = false;
    }
  }
  return valid;
}

char* BaseStudyClass::GetExpName(int i) {
  // "Experiment " (11) + any int (at most 11) + the terminator fits in 32.
  static char buffer[32];
  std::snprintf(buffer, sizeof(buffer), "Experiment %lld", static_cast<long long>(i) + 1);
  return buffer;
}

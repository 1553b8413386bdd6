// BaseStudyClass: names, experiment names, the override text and the study's
// ownership of its reward model.
#include "study/BaseStudyClass.h"

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

char* BaseStudyClass::GetExpName(int i) {
  // "Experiment " (11) + any int (at most 11) + the terminator fits in 32.
  static char buffer[32];
  std::snprintf(buffer, sizeof(buffer), "Experiment %lld", static_cast<long long>(i) + 1);
  return buffer;
}

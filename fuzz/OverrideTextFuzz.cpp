// Fuzzes the -O override text against the built-in model's study: every
// text ends in overrides applied or refused, never a crash or undefined
// behaviour. The experiment's values are set again before each input.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzQuiet.h"
#include "study/BaseStudyClass.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  FuzzQuiet::SilenceStdout();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  text = text.substr(0, text.find('\0'));
  FuzzQuiet quiet;
  BaseStudyClass* study = GenerateStudy();
  study->SetGVs(0);
  study->overrideGVs(&text[0]);
  return 0;
}

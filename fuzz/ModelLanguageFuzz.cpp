// Fuzzes the model language: any bytes are parsed, checked and, when they
// form a correct model, generated and described. Nothing may crash, hang
// or read out of bounds; the messages and code go nowhere.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "lang/Checker.h"
#include "lang/Describe.h"
#include "lang/Generator.h"
#include "lang/Parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 65536) return 0;
  std::string text(reinterpret_cast<const char*>(data), size);
  lang::Model model;
  model.file = "fuzz.vm";
  lang::Diagnostics diag("fuzz.vm");
  if (lang::Parse(text, model, diag) && lang::Check(model, diag)) {
    lang::GeneratedCode code = lang::Generate(model, "");
    std::ostringstream listing;
    lang::Describe(model, listing);
  }
  std::ostringstream messages;
  diag.Print(messages);
  return 0;
}

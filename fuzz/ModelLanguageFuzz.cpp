// Fuzzes the model language: every text is parsed and, when it parses,
// checked; each must end in a model or in diagnostics, never a crash, a
// hang or undefined behaviour.
#include <cstddef>
#include <cstdint>
#include <string>

#include "lang/Ast.h"
#include "lang/Checker.h"
#include "lang/Diagnostics.h"
#include "lang/Parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 65536) return 0;
  const std::string text(reinterpret_cast<const char*>(data), size);
  lang::Model model;
  lang::Diagnostics diag("fuzz.vm");
  if (lang::Parse(text, model, diag)) lang::Check(model, diag);
  return 0;
}

// Generator: turns a checked model into the C++ of its simulator: one
// class per submodel with nested activity classes, the composed model, the
// reward model and the study with GenerateStudy/DestructStudy. The output
// depends on the model only (same model, same bytes). Not thread-safe.
#ifndef VELMOR_LANG_GENERATOR_H
#define VELMOR_LANG_GENERATOR_H

#include <string>

#include "lang/Ast.h"

namespace lang {

struct GeneratedCode {
  std::string header;  // <base>.h
  std::string source;  // <base>.cpp, which includes <base>.h
};

// base: the file names without extension; empty means <model>_model.
// REQUIRES: model passed Check without errors.
GeneratedCode Generate(const Model& model, const std::string& base);

// Writes <base>.h and <base>.cpp into dir (created if missing) through
// temporary files renamed into place, so a failed write leaves no half
// file; a file whose bytes would not change is left untouched. False with
// a reason in error.
bool WriteGenerated(const Model& model, const std::string& dir, const std::string& base,
                    std::string& error);

}  // namespace lang

#endif  // VELMOR_LANG_GENERATOR_H

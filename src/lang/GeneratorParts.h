// GeneratorParts: the pieces of the generator, one per part of the
// generated code, and the naming rules they share. Not thread-safe.
#ifndef VELMOR_LANG_GENERATORPARTS_H
#define VELMOR_LANG_GENERATORPARTS_H

#include <string>

#include "lang/Ast.h"
#include "lang/Generator.h"

namespace lang {

std::string SanClass(const Submodel& s);
// The class of a place of the given type: Place for tokens (short),
// TypedPlace<T> otherwise.
std::string PlaceClass(const std::string& type);
// The class of a node: a submodel's SAN class, the top composer's
// <model>_modelRJ, any other composer's <model>_modelRJ__<name>.
std::string NodeClass(const Model& m, const std::string& node);

void GenerateSubmodel(const Model& m, const Submodel& s, GeneratedCode& out);
void GenerateComposer(const Model& m, const Composer& c, GeneratedCode& out);
void GenerateRewards(const Model& m, GeneratedCode& out);
void GenerateStudyCode(const Model& m, GeneratedCode& out);

}  // namespace lang

#endif  // VELMOR_LANG_GENERATORPARTS_H

// GeneratorParts: the pieces of the generator, one per part of the
// generated code, and the naming rules they share. Not thread-safe.
#ifndef VELMOR_LANG_GENERATORPARTS_H
#define VELMOR_LANG_GENERATORPARTS_H

#include <sstream>
#include <string>
#include <vector>

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

// ---- extended places ----
bool AnyExtendedPlace(const Model& m);
// The class of an extended place's structure, nested in its submodel class.
std::string StructClass(const ExtendedPlace& x);
// Leaf p from the submodel object: "queue", "queue->element[2]",
// "unit->up", "units->element[1]->up".
std::string LeafPath(const Submodel& s, int p);
// An activity's cache of leaf p: "queue", "queue[2]", "unit__up",
// "units__up[1]".
std::string CacheOf(const Submodel& s, int p);
// The own place or extended place that leaf p belongs to.
std::string TopName(const Submodel& s, int p);
// A computed-index access e read through an activity's caches, and from the
// submodel object; who names the reader in the out-of-range report.
std::string ComputedCache(const Submodel& s, const Expr& e, const std::string& index,
                          const std::string& who);
std::string ComputedLeaf(const Submodel& s, const Expr& e, const std::string& index,
                         const std::string& who);
// Cache declarations of the leaves in places, one array per column.
std::string ColumnCaches(const Submodel& s, const std::vector<int>& places);
// The structure classes of s's extended places: declarations (nested in
// the submodel class) to h, definitions to c.
void StructClasses(const Model& m, const Submodel& s, std::ostringstream& h, std::ostringstream& c);
// The names reward variables depend on for places: own places and extended
// places, first appearance, no duplicates.
std::vector<std::string> DependencyNames(const Submodel& s, const std::vector<int>& places);

void GenerateSubmodel(const Model& m, const Submodel& s, GeneratedCode& out);
void GenerateComposer(const Model& m, const Composer& c, GeneratedCode& out);
void GenerateRewards(const Model& m, GeneratedCode& out);
void GenerateStudyCode(const Model& m, GeneratedCode& out);

}  // namespace lang

#endif  // VELMOR_LANG_GENERATORPARTS_H

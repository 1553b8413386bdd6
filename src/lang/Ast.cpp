// Ast: name lookups over the parsed model.
#include "lang/Ast.h"

namespace lang {

namespace {
template <class T>
int FindByName(const std::vector<T>& items, const std::string& n) {
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i].name == n) return static_cast<int>(i);
  }
  return -1;
}
}  // namespace

int Submodel::FindPlace(const std::string& n) const { return FindByName(places, n); }
int Submodel::FindExtended(const std::string& n) const { return FindByName(extended, n); }
int Model::FindGlobal(const std::string& n) const { return FindByName(globals, n); }
int Model::FindSubmodel(const std::string& n) const { return FindByName(submodels, n); }
int Model::FindComposer(const std::string& n) const { return FindByName(composers, n); }

}  // namespace lang

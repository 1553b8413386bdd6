#include "jani/LangNames.h"

#include <map>

#include "lang/Checker.h"
#include "lang/Parser.h"

namespace velmor::jani {

bool LangAcceptsName(const std::string& name) {
  static std::map<std::string, bool> cache;
  auto it = cache.find(name);
  if (it != cache.end()) return it->second;
  std::string probe =
      "model probe_model\nglobal " + name +
      " : int\nsubmodel probe_submodel {\n  place probe_place = 0\n"
      "  timed probe_activity {\n    delay exponential(1.0)\n    when probe_place == " +
      name + "\n  }\n}\nstudy range {\n  " + name + " = 0\n}\n";
  lang::Model model;
  lang::Diagnostics diag("probe.vm");
  bool ok = lang::Parse(probe, model, diag) && lang::Check(model, diag) && diag.ErrorCount() == 0;
  cache[name] = ok;
  return ok;
}

}  // namespace velmor::jani

// GenerateStudy: the global variables, the study class with its value
// columns, name lookups, printing and overrides, and GenerateStudy /
// DestructStudy.
#include <sstream>

#include "lang/GeneratorParts.h"

namespace lang {

void GenerateStudyCode(const Model& m, GeneratedCode& out) {
  std::ostringstream h, s;
  std::string cls =
      m.name + "_study" + (!m.study.present || m.study.range ? "Range" : "Set") + "Study";
  size_t ng = m.globals.size();
  const bool named = !m.study.names.empty();
  h << "class " << cls << " : public BaseStudyClass {\n public:\n";
  h << "  static constexpr int kNumGVs = " << ng << ";\n";
  h << "  static constexpr int kNumExps = " << m.study.numExps << ";\n\n";
  h << "  " << cls << "();\n  ~" << cls << "() override = default;\n\n";
  h << "  PVModel* GetPVModel(bool expandPVs) override;\n";
  h << "  // REQUIRES: 0 <= exp < kNumExps.\n  void SetGVs(int exp) override;\n";
  h << "  // REQUIRES: 0 <= exp < kNumExps. Also leaves exp's values in the globals.\n";
  h << "  void PrintGlobalValues(int exp) override;\n";
  h << "  void* GetGVValue(char* name) override;\n";
  h << "  void OverrideGVValue(char* name, void* value) override;\n";
  if (named) h << "  std::string ExperimentName(int exp) const override;\n";
  h << "\n";
  for (const Global& g : m.globals) h << "  void SetValues_" << g.name << "();\n";
  h << "\n private:\n  int FindGV(const char* name) const;\n";
  for (const Global& g : m.globals) h << "  " << g.type << " " << g.name << "Values[kNumExps];\n";
  h << "};\n\n";

  s << "namespace {\n\n";
  if (ng > 0) {
    s << "const char* const kGVNames[" << cls << "::kNumGVs] = {";
    for (size_t i = 0; i < ng; ++i) s << (i ? ", " : "") << "\"" << m.globals[i].name << "\"";
    s << "};\nconst char* const kGVTypes[" << cls << "::kNumGVs] = {";
    for (size_t i = 0; i < ng; ++i) s << (i ? ", " : "") << "\"" << m.globals[i].type << "\"";
    s << "};\n\n";
  }
  if (named) {
    s << "const char* const kExperimentNames[" << cls << "::kNumExps] = {";
    for (size_t e = 0; e < m.study.names.size(); ++e) {
      std::string text;
      for (char ch : m.study.names[e])
        text += ch == '\\' ? std::string("\\\\") : std::string(1, ch);
      s << (e ? ", " : "") << "\"" << text << "\"";
    }
    s << "};\n\n";
  }
  s << "// The address and size of global index, in declaration order.\n";
  s << "void* GlobalAddress(int index, size_t* size) {\n  switch (index) {\n";
  for (size_t i = 0; i < ng; ++i) {
    s << "    case " << i << ":\n      *size = sizeof(" << m.globals[i].name << ");\n      return &"
      << m.globals[i].name << ";\n";
  }
  s << "    default:\n      *size = 0;\n      return nullptr;\n  }\n}\n\n";
  s << "// Writes global index's current value.\nvoid PrintGlobal(int index) {\n  switch (index) "
       "{\n";
  for (size_t i = 0; i < ng; ++i) {
    s << "    case " << i << ":\n      std::cout << ";
    if (m.globals[i].type == "float") {
      s << "static_cast<double>(" << m.globals[i].name << ")";
    } else {
      s << m.globals[i].name;
    }
    s << ";\n      break;\n";
  }
  s << "    default:\n      break;\n  }\n}\n\n}  // namespace\n\n";

  s << cls << "::" << cls << "() : BaseStudyClass(kNumGVs, kNumExps) {\n";
  if (ng > 0) s << "  for (int i = 0; i < kNumGVs; i++) SetGVInfo(i, kGVNames[i], kGVTypes[i]);\n";
  for (const Global& g : m.globals) s << "  SetValues_" << g.name << "();\n";
  s << "}\n\n";
  for (size_t i = 0; i < ng; ++i) {
    const Global& g = m.globals[i];
    s << "void " << cls << "::SetValues_" << g.name << "() {\n  static const " << g.type
      << " kTable[kNumExps] = {";
    for (size_t e = 0; e < m.study.values[i].size(); ++e) {
      s << (e ? ", " : "") << m.study.values[i][e];
    }
    s << "};\n  for (int e = 0; e < kNumExps; e++) " << g.name << "Values[e] = kTable[e];\n}\n\n";
  }
  s << "PVModel* " << cls << "::GetPVModel(bool expandPVs) {\n  DeletePVModel();\n"
    << "  ThePVModel = Allocate<" << m.name
    << "_rewardPVModel>(expandPVs);\n  return ThePVModel;\n}\n\n";
  s << "void " << cls << "::SetGVs(int exp) {\n";
  if (ng == 0) s << "  (void)exp;\n";
  for (const Global& g : m.globals) s << "  " << g.name << " = " << g.name << "Values[exp];\n";
  s << "}\n\n";
  s << "void " << cls
    << "::PrintGlobalValues(int exp) {\n  if (NumGVs == 0) {\n"
       "    std::cout << \"There are no global variables.\" << std::endl;\n    return;\n  }\n"
       "  SetGVs(exp);\n  std::cout << \"The Global Variable values for experiment \" << "
    << (named ? "ExperimentName(exp)" : "GetExpName(exp)")
    << "\n            << \" are:\" << std::endl;\n"
       "  for (int i = 0; i < NumGVs; i++) {\n"
       "    std::cout << GVNames[i] << \"\\t\" << GVTypes[i] << \"\\t\";\n"
       "    PrintGlobal(i);\n    std::cout << std::endl;\n  }\n}\n\n";
  if (named) {
    s << "std::string " << cls
      << "::ExperimentName(int exp) const { return kExperimentNames[exp]; }\n\n";
  }
  s << "int " << cls
    << "::FindGV(const char* name) const {\n  if (name == nullptr) return -1;\n"
       "  for (int i = 0; i < NumGVs; i++) {\n    if (std::strcmp(name, GVNames[i]) == 0) return "
       "i;\n"
       "  }\n  return -1;\n}\n\n";
  s << "void* " << cls
    << "::GetGVValue(char* name) {\n  int index = FindGV(name);\n"
       "  if (index < 0) {\n    std::cerr << \"!! "
    << cls
    << "::GetGVValue: Global Variable \"\n              << (name ? name : \"\") << \" does not "
       "exist.\" << std::endl;\n"
       "    return nullptr;\n  }\n  size_t size = 0;\n  return GlobalAddress(index, &size);\n}\n\n";
  s << "void " << cls
    << "::OverrideGVValue(char* name, void* value) {\n  int index = FindGV(name);\n"
       "  if (index < 0) {\n    std::cerr << \"!! "
    << cls
    << "::OverrideGVValue: Global Variable \"\n              << (name ? name : \"\") << \" does "
       "not exist.\" << std::endl;\n"
       "    return;\n  }\n  size_t size = 0;\n  void* address = GlobalAddress(index, &size);\n"
       "  std::memcpy(address, value, size);\n}\n\n";
  s << "BaseStudyClass* GenerateStudy() {\n  if (GlobalStudyPtr == nullptr) GlobalStudyPtr = "
       "Allocate<"
    << cls << ">();\n  return GlobalStudyPtr;\n}\n\n";
  s << "void DestructStudy() {\n  delete GlobalStudyPtr;\n  GlobalStudyPtr = nullptr;\n}\n";
  out.header += h.str();
  out.source += s.str();
}

}  // namespace lang

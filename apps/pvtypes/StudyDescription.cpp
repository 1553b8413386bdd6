#include "StudyDescription.h"

#include <charconv>
#include <cstring>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "reward/PVModel.h"
#include "reward/PerformanceVariableNode.h"
#include "study/BaseStudyClass.h"

namespace {

// The shortest text that reads back as the same value of its own type.
template <typename T>
std::string Shortest(T value) {
  char text[64];
  auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

std::string ValueText(const char* type, const void* address) {
  if (address == nullptr) return "";
  if (std::strcmp(type, "float") == 0) return Shortest(*static_cast<const float*>(address));
  if (std::strcmp(type, "double") == 0) return Shortest(*static_cast<const double*>(address));
  if (std::strcmp(type, "short") == 0) return std::to_string(*static_cast<const short*>(address));
  if (std::strcmp(type, "int") == 0) return std::to_string(*static_cast<const int*>(address));
  if (std::strcmp(type, "long") == 0) return std::to_string(*static_cast<const long*>(address));
  if (std::strcmp(type, "bool") == 0) return *static_cast<const bool*>(address) ? "1" : "0";
  if (std::strcmp(type, "char") == 0) return std::string(1, *static_cast<const char*>(address));
  return "";
}

// "name@30" for an instant, "name[0,10]" for an interval (default stream
// formatting of the times, as in the reward-variable type file).
std::string NodeName(const PerformanceVariableNode* node) {
  std::ostringstream name;
  name << (node->Name != nullptr ? node->Name : "");
  if (node->StartTime == node->StopTime) {
    name << "@" << node->StopTime;
  } else {
    name << "[" << node->StartTime << "," << node->StopTime << "]";
  }
  return name.str();
}

}  // namespace

void WriteStudyDescription(std::ostream& out) {
  BaseStudyClass* study = GenerateStudy();
  nlohmann::ordered_json doc;
  doc["experiments"] = study->GetNumExps();
  doc["experiment_names"] = nlohmann::ordered_json::array();
  for (int e = 0; e < study->GetNumExps(); ++e) {
    doc["experiment_names"].push_back(study->ExperimentName(e));
  }
  doc["globals"] = nlohmann::ordered_json::array();
  for (int g = 0; g < study->GetNumGVs(); ++g) {
    nlohmann::ordered_json gv;
    gv["name"] = study->GetGVName(g);
    gv["type"] = study->GetGVType(g);
    gv["values"] = nlohmann::ordered_json::array();
    doc["globals"].push_back(gv);
  }
  for (int e = 0; e < study->GetNumExps(); ++e) {
    study->SetGVs(e);
    for (int g = 0; g < study->GetNumGVs(); ++g) {
      doc["globals"][g]["values"].push_back(
          ValueText(study->GetGVType(g), study->GetGVValue(study->GetGVName(g))));
    }
  }
  study->SetGVs(0);
  PVModel* model = study->GetPVModel(true);
  doc["variables"] = nlohmann::ordered_json::array();
  for (int i = 0; i < model->getNumPVNodes(); ++i) {
    const PerformanceVariableNode* node = model->getPVNodes()[i];
    nlohmann::ordered_json var;
    var["index"] = i;
    var["name"] = NodeName(node);
    var["time"] = node->StopTime;
    var["steady_state"] = node->SteadyState != 0;
    doc["variables"].push_back(var);
  }
  DestructStudy();
  out << doc.dump(1) << "\n";
}

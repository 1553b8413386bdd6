#include "StudyInfo.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "ChildProcess.h"

namespace velmor_runner {

bool StudyInfo::Parse(const std::string& json, std::string* error) {
  try {
    const nlohmann::json doc = nlohmann::json::parse(json);
    experiments = doc.at("experiments").get<int>();
    globals.clear();
    for (const auto& g : doc.at("globals")) {
      GlobalVariable gv;
      gv.name = g.at("name").get<std::string>();
      gv.type = g.at("type").get<std::string>();
      gv.values = g.at("values").get<std::vector<std::string>>();
      if (static_cast<int>(gv.values.size()) != experiments) {
        *error = "global variable " + gv.name + " has no value for every experiment";
        return false;
      }
      globals.push_back(gv);
    }
    variables.clear();
    for (const auto& v : doc.at("variables")) {
      RewardVariable rv;
      rv.index = v.at("index").get<int>();
      rv.name = v.at("name").get<std::string>();
      rv.time = v.at("time").get<double>();
      rv.steadyState = v.at("steady_state").get<bool>();
      variables.push_back(rv);
    }
  } catch (const nlohmann::json::exception& e) {
    *error = std::string("unreadable study description: ") + e.what();
    return false;
  }
  if (experiments < 1) {
    *error = "the study has no experiment";
    return false;
  }
  return true;
}

std::vector<RewardVariable> StudyInfo::TerminatingVariables() const {
  std::vector<RewardVariable> out;
  for (const RewardVariable& v : variables)
    if (!v.steadyState) out.push_back(v);
  return out;
}

std::vector<RewardVariable> StudyInfo::SteadyStateVariables() const {
  std::vector<RewardVariable> out;
  for (const RewardVariable& v : variables)
    if (v.steadyState) out.push_back(v);
  return out;
}

const GlobalVariable* StudyInfo::Find(const std::string& name) const {
  for (const GlobalVariable& g : globals)
    if (g.name == name) return &g;
  return nullptr;
}

std::string QueryToolFor(const std::string& simulatorPath) {
  const std::string suffix = "_sim";
  if (simulatorPath.size() <= suffix.size() ||
      simulatorPath.compare(simulatorPath.size() - suffix.size(), suffix.size(), suffix) != 0)
    return "";
  return simulatorPath.substr(0, simulatorPath.size() - suffix.size()) + "_pvtypes";
}

bool LoadStudyInfo(const std::string& simulatorPath, StudyInfo* info, std::string* error) {
  const std::string tool = QueryToolFor(simulatorPath);
  if (tool.empty()) {
    *error = "cannot find the study of " + simulatorPath +
             ": a simulator's name ends in _sim, its study tool's in _pvtypes";
    return false;
  }
  std::string out, err;
  int status = RunToCompletion({tool, "--study"}, &out, &err);
  if (status != 0) {
    *error = "the study tool " + tool + " failed (" + DescribeStatus(status) + ")" +
             (err.empty() ? "" : ": " + err);
    return false;
  }
  return info->Parse(out, error);
}

}  // namespace velmor_runner

#include "VariableNames.h"

#include <sstream>

namespace velmor_results {
namespace {

// Reads the next line, which must be "<key>:<value>".
bool Expect(std::istringstream& in, const std::string& key, std::string* value, int* lineNo,
            std::string* error) {
  std::string line;
  ++*lineNo;
  if (!std::getline(in, line) || line.compare(0, key.size() + 1, key + ":") != 0) {
    *error = "type file line " + std::to_string(*lineNo) + ": expected \"" + key + ":\"";
    return false;
  }
  *value = line.substr(key.size() + 1);
  return true;
}

bool ToInt(const std::string& s, int* v) {
  std::istringstream in(s);
  return static_cast<bool>(in >> *v) && *v >= 0;
}

}  // namespace

bool ParseTypeFile(const std::string& text, std::vector<std::string>* names, std::string* error) {
  std::istringstream in(text);
  std::string value;
  int lineNo = 0, count = 0;
  if (!Expect(in, "Version", &value, &lineNo, error)) return false;
  if (!Expect(in, "NumPV", &value, &lineNo, error)) return false;
  if (!ToInt(value, &count)) {
    *error = "type file line 2: bad number of variables";
    return false;
  }
  names->clear();
  // A variable with several time points is expanded into one node per
  // point, in order: consecutive nodes of one name take the points in turn.
  std::string runName;
  int runIndex = 0;
  for (int i = 0; i < count; ++i) {
    std::string name, type;
    std::vector<std::pair<std::string, std::string>> points;
    int times = 0;
    if (!Expect(in, "Name", &name, &lineNo, error) || !Expect(in, "Type", &type, &lineNo, error) ||
        !Expect(in, "NumTimes", &value, &lineNo, error))
      return false;
    if (!ToInt(value, &times)) {
      *error = "type file line " + std::to_string(lineNo) + ": bad number of time points";
      return false;
    }
    for (int k = 0; k < times; ++k) {
      std::string start, stop;
      if (!Expect(in, "Start", &start, &lineNo, error) ||
          !Expect(in, "Stop", &stop, &lineNo, error))
        return false;
      points.emplace_back(start, stop);
    }
    runIndex = (name == runName) ? runIndex + 1 : 0;
    runName = name;
    if (!points.empty()) {
      const auto& [start, stop] = points[static_cast<size_t>(runIndex) % points.size()];
      name += (start == stop) ? "@" + stop : "[" + start + "," + stop + "]";
    }
    names->push_back(name);
  }
  return true;
}

std::vector<std::string> SplitNames(const std::string& commaList) {
  std::vector<std::string> names;
  std::string item;
  std::istringstream in(commaList);
  while (std::getline(in, item, ',')) names.push_back(item);
  return names;
}

std::string NameOf(const std::vector<std::string>& names, int index) {
  if (index >= 0 && static_cast<size_t>(index) < names.size() && !names[index].empty())
    return names[index];
  return std::to_string(index);
}

}  // namespace velmor_results

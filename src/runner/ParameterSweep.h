// ParameterSweep: the parameter points of a study from its --set options
// (NAME=VALUE[,VALUE...]; several give the product), each value checked
// against the global variable's type, and the simulator's override text
// of each point. Not thread-safe.
#ifndef VELMOR_RUNNER_PARAMETERSWEEP_H
#define VELMOR_RUNNER_PARAMETERSWEEP_H

#include <string>
#include <vector>

#include "StudyInfo.h"

namespace velmor_runner {

// One setting of a global variable at one point.
struct Setting {
  std::string name;
  std::string type;
  std::string value;  // normalised text ("2", "0.25")
};

// A point: one value for each swept variable, in the order of the --set
// options. The study without --set has one empty point.
using ParameterPoint = std::vector<Setting>;

class ParameterSweep {
 public:
  // Parses and checks every --set text against the study. False with
  // `error` set (naming the option) on a malformed text, an unknown name,
  // a name given twice or a value its type cannot hold.
  bool Parse(const std::vector<std::string>& setOptions, const StudyInfo& study,
             std::string* error);

  // The points, the last --set varying fastest.
  const std::vector<ParameterPoint>& Points() const { return points; }
  // The names swept, in --set order.
  const std::vector<std::string>& Names() const { return names; }

 private:
  std::vector<std::string> names;
  std::vector<ParameterPoint> points;
};

// The -O text for a point ("f:ram_size:256:s:num_devices:3"); empty for the
// empty point.
std::string OverrideText(const ParameterPoint& point);

// The normalised text of `text` as a value of `type`; false with `error`
// set when it is not one.
bool NormaliseValue(const std::string& type, const std::string& text, std::string* value,
                    std::string* error);

// The override type letter of a global-variable type; 0 for a type the
// override text cannot set.
char TypeLetter(const std::string& type);

}  // namespace velmor_runner

#endif  // VELMOR_RUNNER_PARAMETERSWEEP_H

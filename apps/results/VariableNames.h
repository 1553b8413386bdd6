// VariableNames: names of reward variables by index, read from a reward
// variable type file or from a comma-separated list. Pure functions.
#ifndef VELMOR_APPS_RESULTS_VARIABLENAMES_H
#define VELMOR_APPS_RESULTS_VARIABLENAMES_H

#include <string>
#include <vector>

namespace velmor_results {

// Parses a reward-variable type file ("Version:1", "NumPV:n", then per
// variable Name/Type/NumTimes and Start/Stop pairs). A variable observed at
// one instant is named "name@time". Returns false with `error` set when the
// text is malformed.
bool ParseTypeFile(const std::string& text, std::vector<std::string>* names, std::string* error);

std::vector<std::string> SplitNames(const std::string& commaList);

// The name of variable `index`, or its index in decimal when unknown.
std::string NameOf(const std::vector<std::string>& names, int index);

}  // namespace velmor_results

#endif  // VELMOR_APPS_RESULTS_VARIABLENAMES_H

// ResultsReader: reads a results file of the simulator (ASCII or binary,
// told apart by the header) into per-reward-variable observation lists.
// Pure functions over byte buffers; thread-compatible.
#ifndef VELMOR_APPS_RESULTS_RESULTSREADER_H
#define VELMOR_APPS_RESULTS_RESULTSREADER_H

#include <map>
#include <string>
#include <vector>

namespace velmor_results {

// The observations of one results file, keyed by reward-variable index.
struct ResultsData {
  std::string format;                               // "ascii" or "binary"
  int experiment = 0;                               // from the file header
  std::map<int, std::vector<double>> observations;  // index -> values
};

// Parses the bytes of one file. On failure returns false and sets `error`
// to a one-line reason naming the byte offset (and line, for ASCII).
bool ParseResults(const std::string& bytes, ResultsData* out, std::string* error);

bool ParseAsciiResults(const std::string& bytes, ResultsData* out, std::string* error);
bool ParseBinaryResults(const std::string& bytes, ResultsData* out, std::string* error);

}  // namespace velmor_results

#endif  // VELMOR_APPS_RESULTS_RESULTSREADER_H

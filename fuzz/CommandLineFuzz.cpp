// Fuzzes the simulator's command line: the input is split at NUL bytes into
// words (at most 64), which are parsed as argv[1..]. Any input must end in
// acceptance or a rejection, never a crash or undefined behaviour.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzQuiet.h"
#include "simulator/CommandLine.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  FuzzQuiet::SilenceStdout();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> words{"sim"};
  std::string word;
  for (size_t i = 0; i < size && words.size() < 65; ++i) {
    if (data[i] == 0) {
      words.push_back(word);
      word.clear();
    } else {
      word += static_cast<char>(data[i]);
    }
  }
  if (!word.empty() && words.size() < 65) words.push_back(word);
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(&w[0]);
  argv.push_back(nullptr);
  FuzzQuiet quiet;
  CommandLineOptions options;
  options.ParseCommandLineOptions(static_cast<int>(words.size()), argv.data());
  return 0;
}

// Helpers for end-to-end runs of the simulator executables: paths, running
// with arguments in a scratch folder, and splitting results files.
#ifndef VELMOR_TESTS_E2E_SIME2EHELPERS_H
#define VELMOR_TESTS_E2E_SIME2EHELPERS_H

#include <unistd.h>

#include <sstream>
#include <string>
#include <vector>

#include "RunProcess.h"

inline std::string TestModelSim() { return std::string(VELMOR_BIN_DIR) + "/velmor_test_model_sim"; }

inline std::string BuiltInSim() {
  return std::string(VELMOR_BIN_DIR) + "/redundant_controller_flash_sim";
}

inline bool Exists(const std::string& path) { return access(path.c_str(), X_OK) == 0; }
inline bool Readable(const std::string& path) { return access(path.c_str(), R_OK) == 0; }

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

inline bool StartsWith(const std::string& s, const std::string& prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}

// The first line starting with prefix, or "" when there is none.
inline std::string LineStarting(const std::string& text, const std::string& prefix) {
  for (const std::string& line : Lines(text)) {
    if (StartsWith(line, prefix)) return line;
  }
  return "";
}

// The PV indices of the observation lines of an ASCII results file (the
// lines after the two header lines), in file order.
inline std::vector<int> AsciiIndices(const std::string& content) {
  std::vector<int> indices;
  std::vector<std::string> lines = Lines(content);
  for (size_t i = 2; i < lines.size(); ++i) indices.push_back(std::stoi(lines[i]));
  return indices;
}

// The exact usage text, as the program prints it on a command-line error.
inline std::string UsageText() {
  return "Valid Options\n"
         "-a <name>: write ASCII output to file <name>\n"
         "-b <name>: write binary output to file <name>\n"
         "-c <num>: Client identification number (default=0)\n"
         "-e <num>: Experiment to run, 'Experiment 1' is num=0 (default = 0)\n"
         "-f <name>: Trace file name (default=<stdout>)\n"
         "-m: Enable Velmor trace \n"
         "-l <num>: Trace Level (1, 2,3,4 [default=1])\n"
         "-x: Enable XML trace \n"
         "-n <num>: Num observations sent in 1 update to SimMgr. (default=1000)\n"
         "-N <num>: Maximum number of batches to run (default=infinite)\n"
         "-p <num>: Communication port of network server (default=10000)\n"
         "-r <num>: Random Number Generator (0 = Lagged Fibonacci[default] 1 = Tausworthe\n"
         "-s <num>: Random Number Seed (31415[default])\n"
         "-t <num>: Simulation Type (1 = Terminating[default] 0 = Steady State)\n"
         "-w: Simulator will wait to send output until socket connection is established.\n"
         "\n";
}

#endif  // VELMOR_TESTS_E2E_SIME2EHELPERS_H

// RunProcess: runs an executable with arguments and captures its standard
// output, standard error and exit status. For tests; not thread-safe.
#ifndef VELMOR_TESTS_SUPPORT_RUNPROCESS_H
#define VELMOR_TESTS_SUPPORT_RUNPROCESS_H

#include <string>
#include <utility>
#include <vector>

// What a finished process left behind.
struct ProcessResult {
  std::string out;  // everything written to standard output
  std::string err;  // everything written to standard error
  int status = -1;  // exit status, or 128 + signal number when killed
};

// Options for one run.
struct ProcessOptions {
  std::string workDir;  // empty: the test's own working directory
  // Environment changes: (name, value) sets the variable; a value of
  // nullptr-equivalent is expressed by listing the name in `unset`.
  std::vector<std::pair<std::string, std::string>> set;
  std::vector<std::string> unset;
  int timeoutSeconds = 120;  // the child is killed after this long
};

// Runs `program` with `args` (not including the program name, which is
// passed as argv[0]). REQUIRES: program names an executable file.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const ProcessOptions& options = ProcessOptions());

// Reads a whole file as bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);

// A fresh empty directory under the system's temporary folder.
std::string MakeTempDir(const std::string& prefix);

#endif  // VELMOR_TESTS_SUPPORT_RUNPROCESS_H

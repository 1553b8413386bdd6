// FuzzQuiet: keeps the fuzzed code's normal output (echo lines, messages)
// out of the fuzzer's log. Fuzz targets only; not thread-safe.
#ifndef VELMOR_FUZZ_FUZZQUIET_H
#define VELMOR_FUZZ_FUZZQUIET_H

#include <fcntl.h>
#include <unistd.h>

#include <iostream>
#include <sstream>

// Sends standard output to /dev/null for the whole process (the fuzzer
// reports on standard error), and std::cerr to a discarded buffer while an
// instance lives.
class FuzzQuiet {
 public:
  static void SilenceStdout() {
    int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
      dup2(null, 1);
      close(null);
    }
  }
  FuzzQuiet() : saved(std::cerr.rdbuf(sink.rdbuf())) {}
  ~FuzzQuiet() { std::cerr.rdbuf(saved); }
  FuzzQuiet(const FuzzQuiet&) = delete;
  FuzzQuiet& operator=(const FuzzQuiet&) = delete;

 private:
  std::ostringstream sink;
  std::streambuf* saved;
};

#endif  // VELMOR_FUZZ_FUZZQUIET_H

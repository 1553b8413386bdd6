// CommandLineOptions: the simulator's options, read from the command line
// with their echo lines, error lines and usage text. Simulation thread only.
#ifndef VELMOR_SIMULATOR_COMMANDLINE_H
#define VELMOR_SIMULATOR_COMMANDLINE_H

#include <cstdint>

// The option fields at their defaults until ParseCommandLineOptions reads
// them. Owns the option texts (new[] copies, released by the destructor).
class CommandLineOptions {
 public:
  CommandLineOptions() = default;
  ~CommandLineOptions();
  CommandLineOptions(const CommandLineOptions&) = delete;  // owns the texts
  CommandLineOptions& operator=(const CommandLineOptions&) = delete;

  // Reads argv[1 .. argc-1], echoing each accepted option on standard
  // output. 0 on success; 1 after printing the error on standard error.
  short ParseCommandLineOptions(int argc, char** argv);
  // The usage text, on standard error.
  static void PrintUsage();

  char* overrideString = nullptr;  // -O text, or null
  int reportSize = 1000;           // -n
  unsigned short port = 10000;     // -p, truncated to 16 bits
  int clientId = 0;                // -c
  int experiment = 0;              // -e
  int isTerminating = 1;           // -t
  char* traceFileName = nullptr;   // -f
  int traceLevel = 1;              // -l
  bool velmorTrace = false;        // -m
  bool xmlTrace = false;           // -x
  int generatorKind = 0;           // -r
  uint32_t seed = 31415;           // -s
  int maxBatches = -1;             // -N; 0 means no limit (set when parsing)
  char* asciiFileName = nullptr;   // -a
  char* binaryFileName = nullptr;  // -b
  bool waitForSocket = false;      // -w

 private:
  bool ApplyOption(const char* word, const char* parameter, bool* traceRequested);
  bool ApplyTextOption(char letter, const char* parameter, bool* traceRequested);
  bool ApplyFlagOption(char letter, const char* parameter);
  bool ApplyNumberOption(char letter, const char* parameter, bool* traceRequested);
};

#endif  // VELMOR_SIMULATOR_COMMANDLINE_H

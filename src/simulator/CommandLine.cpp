// CommandLineOptions: option parsing, echo lines and usage text.
#include "simulator/CommandLine.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "base/Allocate.h"
#include "base/OwnedString.h"
#include "random/LaggedFibonacci.h"

namespace {

constexpr size_t kMaxWordLength = 128;

void ReplaceText(char** field, const char* text) {
  ReleaseOwnedString(*field);
  *field = CopyOwnedString(text);
}

// Reads a decimal integer from the start of text (optional sign, then
// digits; text that does not start with a number reads as 0). Returns false
// when the value lies outside [low, high]; huge values never overflow.
bool ReadNumber(const char* text, long long low, long long high, long long* value) {
  errno = 0;
  char* end = nullptr;
  long long v = std::strtoll(text, &end, 10);
  if (end == text) v = 0;
  if (errno == ERANGE || v < low || v > high) return false;
  *value = v;
  return true;
}

// Whether text is a whole decimal number and nothing else: optional blanks,
// an optional sign, then at least one digit up to the end ("12", "-3",
// "+7"; not "abc", "1e3", "2.5" or "5x").
bool IsWholeNumber(const char* text) {
  const char* p = text;
  while (*p == ' ' || *p == '\t') ++p;
  if (*p == '+' || *p == '-') ++p;
  if (*p < '0' || *p > '9') return false;
  while (*p >= '0' && *p <= '9') ++p;
  return *p == '\0';
}

void Echo(const char* label, long long value) { std::cout << label << value << std::endl; }

void Echo(const char* label, const char* text) { std::cout << label << text << std::endl; }

bool ParameterMissing(char letter) {
  std::cerr << "Expect a parameter after '-" << letter << "'\n" << std::flush;
  return false;
}

bool OutOfRange(char letter, const char* parameter) {
  std::cerr << "ERROR: Number out of range after '-" << letter << "': " << parameter << "\n"
            << std::flush;
  return false;
}

}  // namespace

CommandLineOptions::~CommandLineOptions() {
  ReleaseOwnedString(asciiFileName);
  ReleaseOwnedString(binaryFileName);
  ReleaseOwnedString(traceFileName);
  ReleaseOwnedString(overrideString);
}

short CommandLineOptions::ParseCommandLineOptions(int argc, char** argv) {
  reportSize = 1000;
  maxBatches = 0;
  if (argc == 1) {
    std::cerr << "ERROR: No command line options specified" << std::endl;
    return 1;
  }
  bool traceRequested = false;
  for (int i = 1; i < argc; ++i) {
    const char* word = argv[i];
    if (std::strlen(word) > kMaxWordLength) {
      std::cerr << "ERROR: Command Line Argument Too Long, Limited to " << kMaxWordLength
                << " Characters\n"
                << std::flush;
      return 1;
    }
    if (word[0] != '-') continue;
    const char* parameter = nullptr;
    if (std::strlen(word) == 2) {
      if (i + 1 < argc && argv[i + 1][0] != '-') parameter = argv[++i];
    } else if (word[1] != '\0') {
      parameter = word + 2;
    }
    if (!ApplyOption(word, parameter, &traceRequested)) return 1;
  }
  if (traceRequested && !velmorTrace && !xmlTrace) velmorTrace = true;
  bool laggedFibonacci = generatorKind != 1 && generatorKind != 2;
  if (laggedFibonacci && !LaggedFibonacci::IsValidSeed(seed)) {
    std::cerr << "ERROR: Random Number Seed " << seed
              << " is outside 0 to 2147483645, the range of the Lagged "
                 "Fibonacci generator\n"
              << std::flush;
    return 1;
  }
  return 0;
}

bool CommandLineOptions::ApplyOption(const char* word, const char* parameter,
                                     bool* traceRequested) {
  char letter = word[1];
  switch (letter) {
    case 'a':
    case 'b':
    case 'f':
    case 'O':
      return ApplyTextOption(letter, parameter, traceRequested);
    case 'm':
    case 'x':
    case 'w':
      return ApplyFlagOption(letter, parameter);
    case 'c':
    case 'e':
    case 'l':
    case 'n':
    case 'N':
    case 'p':
    case 'r':
    case 's':
    case 't':
      return ApplyNumberOption(letter, parameter, traceRequested);
    default:
      std::cerr << "ERROR: Unrecognized Command Line option: " << word << "\n" << std::flush;
      return false;
  }
}

bool CommandLineOptions::ApplyTextOption(char letter, const char* parameter, bool* traceRequested) {
  if (letter == 'O') {
    // Without a parameter no override text is set, and nothing is echoed.
    if (parameter == nullptr) return true;
    ReplaceText(&overrideString, parameter);
    Echo("OverrideString is ", parameter);
    return true;
  }
  if (parameter == nullptr) return ParameterMissing(letter);
  if (letter == 'a') {
    ReplaceText(&asciiFileName, parameter);
    Echo("ASCIIFilename: ", parameter);
  } else if (letter == 'b') {
    ReplaceText(&binaryFileName, parameter);
    Echo("BinFilename: ", parameter);
  } else {
    ReplaceText(&traceFileName, parameter);
    *traceRequested = true;
    Echo("TraceFile: ", parameter);
  }
  return true;
}

bool CommandLineOptions::ApplyFlagOption(char letter, const char* parameter) {
  if (parameter != nullptr) {
    std::cerr << "Did not expect a parameter after '-" << letter << "'\n" << std::flush;
    return false;
  }
  if (letter == 'm') {
    velmorTrace = true;
  } else if (letter == 'x') {
    xmlTrace = true;
  } else {
    waitForSocket = true;
    std::cout << "Wait For Socket Enabled" << std::endl;
  }
  return true;
}

bool CommandLineOptions::ApplyNumberOption(char letter, const char* parameter,
                                           bool* traceRequested) {
  if (parameter == nullptr) return ParameterMissing(letter);
  // A parameter that is not a whole number would otherwise read as its
  // leading digits, or as 0 (-N abc running for ever, -e abc experiment 0).
  if (letter != 'n' && !IsWholeNumber(parameter)) {
    std::cerr << "ERROR: Expect a number after '-" << letter << "', got '" << parameter << "'\n"
              << std::flush;
    return false;
  }
  long long value = 0;
  // A seed is a 32-bit pattern: negative values and values up to 2^32 - 1
  // are accepted (and stored modulo 2^32); everything else is a 32-bit int.
  long long high = letter == 's' ? UINT32_MAX : INT32_MAX;
  if (!ReadNumber(parameter, INT32_MIN, high, &value)) {
    return OutOfRange(letter, parameter);
  }
  int asInt = static_cast<int>(static_cast<uint32_t>(value));
  switch (letter) {
    case 'c':
      clientId = asInt;
      Echo("ClientID: ", clientId);
      break;
    case 'e':
      experiment = asInt;
      Echo("Experiment: ", static_cast<uint32_t>(experiment));
      break;
    case 'l':
      traceLevel = asInt;
      *traceRequested = true;
      Echo("TraceLevel: ", traceLevel);
      break;
    case 'n':
      if (!IsWholeNumber(parameter) || asInt < 1) {
        std::cerr << "ERROR: Expect a number of at least 1 after '-n', got '" << parameter << "'\n"
                  << std::flush;
        return false;
      }
      reportSize = asInt;
      Echo("ReportSize: ", reportSize);
      break;
    case 'N':
      maxBatches = asInt;
      Echo("Max Number of Batches: ", maxBatches);
      break;
    case 'p':
      port = static_cast<unsigned short>(static_cast<uint32_t>(asInt) & 0xFFFFu);
      Echo("Port: ", port);
      break;
    case 'r':
      generatorKind = asInt;
      Echo("Random Number Generator: ", generatorKind);
      break;
    case 's':
      seed = static_cast<uint32_t>(value);
      Echo("Random Number Seed: ", seed);
      break;
    default:  // 't'
      isTerminating = asInt;
      Echo("Is Terminating Simulation: ", isTerminating);
      break;
  }
  return true;
}

void CommandLineOptions::PrintUsage() {
  std::cerr << "Valid Options\n"
               "-a <name>: write ASCII output to file <name>\n"
               "-b <name>: write binary output to file <name>\n"
               "-c <num>: Client identification number (default=0)\n"
               "-e <num>: Experiment to run, 'Experiment 1' is num=0 (default = 0)\n"
               "-f <name>: Trace file name (default=<stdout>)\n"
               "-m: Enable Velmor trace \n"
               "-l <num>: Trace Level (1, 2,3,4 [default=1])\n"
               "-x: Enable XML trace \n"
               "-n <num>: Num observations sent in 1 update to SimMgr. "
               "(default=1000)\n"
               "-N <num>: Maximum number of batches to run (default=infinite)\n"
               "-p <num>: Communication port of network server (default=10000)\n"
               "-r <num>: Random Number Generator (0 = Lagged Fibonacci[default] 1 "
               "= Tausworthe\n"
               "-s <num>: Random Number Seed (31415[default])\n"
               "-t <num>: Simulation Type (1 = Terminating[default] 0 = Steady "
               "State)\n"
               "-w: Simulator will wait to send output until socket connection is "
               "established.\n"
            << std::endl;
}

// <model>_pvtypes FILE: writes the reward-variable type file of the model
// this executable is linked with (names, types and time points of its
// reward variables, one node per time point), for tools that read results.
// Status 0 when written, 1 when the file cannot be written, 2 for a usage
// error; "--help" prints the usage and writes nothing.
#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>

#include "reward/PVModel.h"
#include "study/BaseStudyClass.h"

int main(int argc, char** argv) {
  const std::string usage = std::string("usage: ") + argv[0] + " FILE\n";
  if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
    std::cout << usage;
    return 0;
  }
  if (argc != 2 || argv[1][0] == '-' || argv[1][0] == '\0') {
    std::cerr << usage;
    return 2;
  }
  BaseStudyClass* study = GenerateStudy();
  study->SetGVs(0);
  errno = 0;
  const bool written = study->GetPVModel(true)->WritePVTypeFile(argv[1]);
  const int reason = errno;
  DestructStudy();
  if (!written) {
    std::cerr << "ERROR: Unable to write the reward-variable type file '" << argv[1]
              << "': " << (reason != 0 ? std::strerror(reason) : "write failed") << "\n";
    return 1;
  }
  return 0;
}

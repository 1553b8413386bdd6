// <model>_pvtypes FILE: writes the reward-variable type file of the model
// this executable is linked with (names, types and time points of its
// reward variables, one node per time point), for tools that read results.
// <model>_pvtypes --experiments: prints the number of experiments of the
// model's study.
// <model>_pvtypes --study: prints the study (global variables, their types
// and per-experiment values, reward-variable nodes) as JSON on standard
// output, for the study runner.
// Status 0 when done, 1 when the file cannot be written, 2 for a usage
// error; "--help" prints the usage and writes nothing.
#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>

#include "StudyDescription.h"
#include "reward/PVModel.h"
#include "study/BaseStudyClass.h"

int main(int argc, char** argv) {
  const std::string usage = std::string("usage: ") + argv[0] + " FILE | --experiments | --study\n";
  const std::string word = argc == 2 ? argv[1] : "";
  if (word == "--help" || word == "-h") {
    std::cout << usage;
    return 0;
  }
  if (argc != 2 || word.empty() ||
      (word[0] == '-' && word != "--experiments" && word != "--study")) {
    std::cerr << usage;
    return 2;
  }
  if (word == "--study") {
    WriteStudyDescription(std::cout);
    return 0;
  }
  BaseStudyClass* study = GenerateStudy();
  bool written = true;
  int reason = 0;
  if (word == "--experiments") {
    std::cout << study->GetNumExps() << '\n';
  } else {
    study->SetGVs(0);
    errno = 0;
    written = study->GetPVModel(true)->WritePVTypeFile(argv[1]);
    reason = errno;
  }
  DestructStudy();
  if (!written) {
    std::cerr << "ERROR: Unable to write the reward-variable type file '" << argv[1]
              << "': " << (reason != 0 ? std::strerror(reason) : "write failed") << "\n";
    return 1;
  }
  return 0;
}

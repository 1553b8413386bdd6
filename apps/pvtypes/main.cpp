// <model>_pvtypes FILE: writes the reward-variable type file of the model
// this executable is linked with (names, types and time points of its
// reward variables, one node per time point), for tools that read results.
// <model>_pvtypes --experiments: prints the number of experiments of the
// model's study.
// <model>_pvtypes --study: prints the study (global variables, their types
// and per-experiment values, reward-variable nodes) as JSON on standard
// output, for the study runner.
#include <cstring>
#include <iostream>

#include "StudyDescription.h"
#include "reward/PVModel.h"
#include "study/BaseStudyClass.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: " << argv[0] << " FILE | --experiments | --study\n";
    return 2;
  }
  if (std::strcmp(argv[1], "--study") == 0) {
    WriteStudyDescription(std::cout);
    return 0;
  }
  BaseStudyClass* study = GenerateStudy();
  if (std::strcmp(argv[1], "--experiments") == 0) {
    std::cout << study->GetNumExps() << '\n';
  } else {
    study->SetGVs(0);
    study->GetPVModel(true)->WritePVTypeFile(argv[1]);
  }
  DestructStudy();
  return 0;
}

// <model>_pvtypes FILE: writes the reward-variable type file of the model
// this executable is linked with (names, types and time points of its
// reward variables, one node per time point), for tools that read results.
// <model>_pvtypes --experiments: prints the number of experiments of the
// model's study.
#include <cstring>
#include <iostream>

#include "reward/PVModel.h"
#include "study/BaseStudyClass.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: " << argv[0] << " FILE | --experiments\n";
    return 2;
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

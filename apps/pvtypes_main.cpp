// <model>_pvtypes FILE: writes the reward-variable type file of the model
// this executable is linked with (names, types and time points of its
// reward variables, one node per time point), for tools that read results.
#include <iostream>

#include "reward/PVModel.h"
#include "study/BaseStudyClass.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: " << argv[0] << " FILE\n";
    return 2;
  }
  BaseStudyClass* study = GenerateStudy();
  study->SetGVs(0);
  study->GetPVModel(true)->WritePVTypeFile(argv[1]);
  DestructStudy();
  return 0;
}

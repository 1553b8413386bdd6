// The simulator's entry point: one SimulatorClass per process, built from
// the command line, run once and destroyed. The model is whatever model
// library this executable is linked with. The status is 0, 1 when a results
// file could not be written, or 128 + the signal (SIGINT, SIGTERM) that
// ended the run early.
#include <iostream>

#include "simulator/SimulatorClass.h"

int main(int argc, char** argv) {
  SimulatorClass* simulator = new SimulatorClass(argc, argv);
  std::cout << "SIMULATOR::Preparing to run()" << std::endl;
  simulator->Run();
  const int status = simulator->exitStatus;
  if (status != 1) {
    std::cout << "SIMULATOR::MAIN()-GOOD EXIT" << std::endl;
    std::cerr << "SIMULATOR::MAIN()-GOOD EXIT" << std::endl;
  }
  delete simulator;
  return status;
}

// The simulator's entry point: one SimulatorClass per process, built from
// the command line, run once and destroyed. The model is whatever model
// library this executable is linked with.
#include <iostream>

#include "simulator/SimulatorClass.h"

int main(int argc, char** argv) {
  SimulatorClass* simulator = new SimulatorClass(argc, argv);
  std::cout << "SIMULATOR::Preparing to run()" << std::endl;
  simulator->Run();
  std::cout << "SIMULATOR::MAIN()-GOOD EXIT" << std::endl;
  std::cerr << "SIMULATOR::MAIN()-GOOD EXIT" << std::endl;
  delete simulator;
  return 0;
}

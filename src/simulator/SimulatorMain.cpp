#include "simulator/SimulatorMain.h"

#include <iostream>

#include "base/ErrorReports.h"
#include "simulator/SimulatorClass.h"

int SimulatorMain(int argc, char** argv) {
  InstallMemoryExhaustionHandler();  // before the first allocation
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

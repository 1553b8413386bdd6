// The simulator's entry point: one SimulatorClass per process, built from
// the command line, run once and destroyed (SimulatorMain). The model is
// whatever model library this executable is linked with. The status is 0, 1
// when a results file could not be written or the run failed, or 128 + the
// signal (SIGINT, SIGTERM) that ended the run early.
#include "simulator/SimulatorMain.h"

int main(int argc, char** argv) { return SimulatorMain(argc, argv); }

// SimulatorMain: the simulator process's whole life (what main does), so
// that a test can run it as the executable does. Installs the memory
// report first, so that no allocation of the run, the first included, can
// end the process any other way.
#ifndef VELMOR_SIMULATOR_SIMULATORMAIN_H
#define VELMOR_SIMULATOR_SIMULATORMAIN_H

// Builds one SimulatorClass from the command line, runs it once and
// destroys it. Returns the process's status: 0, 1 when a results file could
// not be written, or 128 + the signal (SIGINT, SIGTERM) that ended the run
// early; other failures end the process with status 1 before returning.
int SimulatorMain(int argc, char** argv);

#endif  // VELMOR_SIMULATOR_SIMULATORMAIN_H

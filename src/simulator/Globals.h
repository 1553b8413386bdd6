// Globals: the one reset point of the simulator layer's process-wide values
// (the debug level). Simulation thread only; for tests and for running
// several studies in one process.
#ifndef VELMOR_SIMULATOR_GLOBALS_H
#define VELMOR_SIMULATOR_GLOBALS_H

// Puts every process-wide value of the simulator layer back to its start-up
// state.
void ResetSimulatorGlobals();

#endif  // VELMOR_SIMULATOR_GLOBALS_H

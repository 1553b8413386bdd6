// Globals: the one reset point of the framework layer's process-wide values
// (the action and model id counters and the last firing time). Simulation
// thread only; for tests and for running several studies in one process.
#ifndef VELMOR_FRAMEWORK_GLOBALS_H
#define VELMOR_FRAMEWORK_GLOBALS_H

// Puts every process-wide value of the framework layer back to its start-up
// state.
void ResetFrameworkGlobals();

#endif  // VELMOR_FRAMEWORK_GLOBALS_H

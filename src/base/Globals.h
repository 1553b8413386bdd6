// Globals: the one reset point of the base layer's process-wide values (the
// FastSet counters and the List slot limit). Simulation thread only; for
// tests and for running several studies in one process.
#ifndef VELMOR_BASE_GLOBALS_H
#define VELMOR_BASE_GLOBALS_H

// Puts every process-wide value of the base layer back to its start-up
// state.
void ResetBaseGlobals();

#endif  // VELMOR_BASE_GLOBALS_H

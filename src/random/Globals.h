// Globals: the one reset point of the random layer's process-wide values
// (TheDistribution pointing at TheGenerator, which holds a fresh lagged-
// Fibonacci generator seeded 31415 with nothing drawn). Simulation thread
// only; for tests and for running several studies in one process.
#ifndef VELMOR_RANDOM_GLOBALS_H
#define VELMOR_RANDOM_GLOBALS_H

// Puts every process-wide value of the random layer back to its start-up
// state.
void ResetRandomGlobals();

#endif  // VELMOR_RANDOM_GLOBALS_H

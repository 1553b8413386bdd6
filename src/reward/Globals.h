// Globals: the one reset point of the reward layer's process-wide values (the
// reward-variable id counter). Simulation thread only; for tests and for
// running several studies in one process.
#ifndef VELMOR_REWARD_GLOBALS_H
#define VELMOR_REWARD_GLOBALS_H

// Puts every process-wide value of the reward layer back to its start-up
// state.
void ResetRewardGlobals();

#endif  // VELMOR_REWARD_GLOBALS_H

// Globals: the one reset point of the trace layer's process-wide values (the
// trace level and stream). Simulation thread only; for tests and for running
// several studies in one process.
#ifndef VELMOR_TRACE_GLOBALS_H
#define VELMOR_TRACE_GLOBALS_H

// Puts every process-wide value of the trace layer back to its start-up
// state.
void ResetTraceGlobals();

#endif  // VELMOR_TRACE_GLOBALS_H

// StopSignal: the SIGINT or SIGTERM that asked the process to end its run.
// Process-wide state, set only by the signal handler; the loops and the
// manager link read it and end the run cleanly.
#ifndef VELMOR_OUTPUT_STOPSIGNAL_H
#define VELMOR_OUTPUT_STOPSIGNAL_H

// SIGINT and SIGTERM are recorded instead of ending the process; SIGPIPE is
// ignored (writes to a closed pipe or socket then fail and are handled).
void InstallStopSignalHandlers();

// The SIGINT or SIGTERM received, or 0.
int StopSignalReceived();

#endif  // VELMOR_OUTPUT_STOPSIGNAL_H

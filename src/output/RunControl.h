// RunControl: the state of a run (running, finishing, stopped) and the two
// ways it changes. Simulation thread only.
#ifndef VELMOR_OUTPUT_RUNCONTROL_H
#define VELMOR_OUTPUT_RUNCONTROL_H

// The run's state, shared by the loops, the output side and the manager
// link: the loops finish a run, the output side and the link stop it.
// Invariant: runState only grows: 0 running, 1 finishing (the last report
// is on its way), 2 stopped (nothing more is sent or written).
class RunControl {
 public:
  // The run has its last observations (batch limit, an absorbing state,
  // nothing to measure): they are reported, then the run stops.
  void FinishRun() {
    if (runState == 0) runState = 1;
  }
  // Nothing more is sent or written: the link failed or the manager quit,
  // no manager connected, or the last report has been written.
  void StopRun() { runState = 2; }

  int runState = 0;  // 0 running, 1 finishing, 2 stopped
  // The process's status once the run is over: 0, 1 after a results file
  // could not be written, 128 + the signal that ended the run early.
  int exitStatus = 0;
};

#endif  // VELMOR_OUTPUT_RUNCONTROL_H

// SimulatorClass traced firing: the firing step's trace records, kept out
// of SimStep so that a run without a firing trace pays one test for them.
#include "reward/PVModel.h"
#include "simulator/SimulatorClass.h"
#include "trace/TraceFileContainer.h"

// Each writer filters by its own level: the firing and after records from
// tracelevel::kFirings, the values read and changed from kChanges. Only the
// whole state, which the writers print whenever asked, is decided here.
void SimulatorClass::FireTraced() {
  traceContainer->printFireAction(nextAction, currentTime);
  traceContainer->printPreFireAction(nextAction);
  lastFiredAction = pvModel->FireAction(nextAction, currentTime);
  traceContainer->printPostFireAction(nextAction, lastFiredAction);
  if (traceLevel >= tracelevel::kFullState) traceContainer->printState();
}

void SimulatorClass::TraceInitialState() {
  if (traceFirings && traceLevel >= tracelevel::kChanges) traceContainer->printInitialState();
}

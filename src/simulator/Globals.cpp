// Globals: the simulator layer's reset point.
#include "simulator/Globals.h"

#include "simulator/SimulatorClass.h"

void ResetSimulatorGlobals() { GlobalDebugLevel = 0; }

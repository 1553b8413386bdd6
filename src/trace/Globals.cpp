// Globals: the trace layer's reset point.
#include "trace/Globals.h"

#include <iostream>

#include "trace/TraceFile.h"

void ResetTraceGlobals() {
  TraceLevel = 1;
  trout = &std::cout;
}

// TestModelGlobals: storage of the test model's global variables.
#include "TestModelGlobals.h"

float fail_rate = 1.0f;
float repair_time = 0.5f;

// TestModelGlobals: the global variables of the test model, written by its
// study and read by its activities. Process-wide; simulation thread only.
#ifndef VELMOR_TESTS_TESTMODEL_TESTMODELGLOBALS_H
#define VELMOR_TESTS_TESTMODEL_TESTMODELGLOBALS_H

extern float fail_rate;    // rate of the machine's failure activity
extern float repair_time;  // deterministic delay of the repair activity

#endif  // VELMOR_TESTS_TESTMODEL_TESTMODELGLOBALS_H

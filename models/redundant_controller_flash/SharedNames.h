// SharedNames: the shared-variable name tables of the built-in model's
// composers, process-wide arrays of C strings. Read-only after start-up.
#ifndef VELMOR_MODELS_RCF_SHAREDNAMES_H
#define VELMOR_MODELS_RCF_SHAREDNAMES_H

// {"flash_corrupted"}: shared by the join.
extern char* redundant_controller_flash_modelRJ__SharedNames[1];
// {"devices_available", "flash_corrupted"}: shared by the replicate.
extern char* redundant_controller_flash_modelRJ__flash_rep__SharedNames[2];

#endif  // VELMOR_MODELS_RCF_SHAREDNAMES_H

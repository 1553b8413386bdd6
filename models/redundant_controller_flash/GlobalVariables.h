// GlobalVariables: the built-in model's global variables, process-wide
// scalars written by the study and read by the submodels when they are built
// and when delays and case weights are evaluated. Simulation thread only.
#ifndef VELMOR_MODELS_RCF_GLOBALVARIABLES_H
#define VELMOR_MODELS_RCF_GLOBALVARIABLES_H

extern float flash_size;           // seu case weights
extern short num_devices;          // replicas of the flash replicate
extern short num_replicas;         // tokens per replica; power_cycle bound
extern float power_cycle_rate;     // deterministic delay of power_cycle
extern float ram_size;             // bit_error case weights
extern float random_failure_rate;  // rate of random_failure

#endif  // VELMOR_MODELS_RCF_GLOBALVARIABLES_H

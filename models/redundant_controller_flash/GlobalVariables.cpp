// GlobalVariables: storage of the built-in model's global variables. They
// hold 0 until the study's SetGVs writes an experiment into them.
#include "redundant_controller_flash/GlobalVariables.h"

float flash_size = 0.0f;
short num_devices = 0;
short num_replicas = 0;
float power_cycle_rate = 0.0f;
float ram_size = 0.0f;
float random_failure_rate = 0.0f;

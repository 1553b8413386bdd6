// redundant_controller_flash_studyRangeStudy: the built-in model's range
// study: six global variables over nine experiments, and the factory of its
// reward model. Simulation thread only.
#ifndef VELMOR_MODELS_RCF_STUDYRANGESTUDY_H
#define VELMOR_MODELS_RCF_STUDYRANGESTUDY_H

#include "study/BaseStudyClass.h"

// Knows the globals flash_size, num_devices, num_replicas, power_cycle_rate,
// ram_size and random_failure_rate (in that order) by name and type, holds
// one value column per global (one entry per experiment) and writes an
// experiment's values into the globals.
// Owns its value columns (plain members) and, through the base, the reward
// model last built by GetPVModel; the globals belong to the process.
// Invariant: every column holds kNumExps values, entry e for experiment e.
class redundant_controller_flash_studyRangeStudy : public BaseStudyClass {
 public:
  static constexpr int kNumGVs = 6;
  static constexpr int kNumExps = 9;

  redundant_controller_flash_studyRangeStudy();
  ~redundant_controller_flash_studyRangeStudy() override = default;

  // Destroys the stored reward model, builds a new one (expand flag passed
  // on), stores and returns it.
  PVModel* GetPVModel(bool expandPVs) override;
  // REQUIRES: 0 <= exp < kNumExps.
  void SetGVs(int exp) override;
  // REQUIRES: 0 <= exp < kNumExps. Also leaves exp's values in the globals.
  void PrintGlobalValues(int exp) override;
  // The named global's address, or null (with a message) for an unknown name.
  void* GetGVValue(char* name) override;
  // REQUIRES: value points at a value of the named global's own type.
  void OverrideGVValue(char* name, void* value) override;

  void SetValues_flash_size();
  void SetValues_num_devices();
  void SetValues_num_replicas();
  void SetValues_power_cycle_rate();
  void SetValues_ram_size();
  void SetValues_random_failure_rate();

  // REQUIRES: 0 <= exp < kNumExps.
  float flash_sizeValue(int exp) const { return flash_sizeValues[exp]; }
  short num_devicesValue(int exp) const { return num_devicesValues[exp]; }
  short num_replicasValue(int exp) const { return num_replicasValues[exp]; }
  float power_cycle_rateValue(int exp) const { return power_cycle_rateValues[exp]; }
  float ram_sizeValue(int exp) const { return ram_sizeValues[exp]; }
  float random_failure_rateValue(int exp) const { return random_failure_rateValues[exp]; }

 private:
  // Index of the named global in declaration order, or -1.
  int FindGV(const char* name) const;

  float flash_sizeValues[kNumExps];
  short num_devicesValues[kNumExps];
  short num_replicasValues[kNumExps];
  float power_cycle_rateValues[kNumExps];
  float ram_sizeValues[kNumExps];
  float random_failure_rateValues[kNumExps];
};

#endif  // VELMOR_MODELS_RCF_STUDYRANGESTUDY_H

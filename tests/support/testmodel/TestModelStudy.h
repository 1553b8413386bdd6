// TestModelStudy: the test model's study: two global variables (fail_rate,
// repair_time) over two experiments, and the factory of its reward model.
// Simulation thread only.
#ifndef VELMOR_TESTS_TESTMODEL_TESTMODELSTUDY_H
#define VELMOR_TESTS_TESTMODEL_TESTMODELSTUDY_H

#include "study/BaseStudyClass.h"

// Experiment 0: fail_rate 1.0, repair_time 0.5; experiment 1: fail_rate
// 2.0, repair_time 0.25. Owns, through the base, the last reward model.
class TestModelStudy : public BaseStudyClass {
 public:
  static constexpr int kNumGVs = 2;
  static constexpr int kNumExps = 2;

  TestModelStudy();
  PVModel* GetPVModel(bool expandPVs) override;
  // REQUIRES: 0 <= exp < kNumExps.
  void SetGVs(int exp) override;
  void* GetGVValue(char* name) override;
  void OverrideGVValue(char* name, void* value) override;

 private:
  float failRates[kNumExps];
  float repairTimes[kNumExps];
};

#endif  // VELMOR_TESTS_TESTMODEL_TESTMODELSTUDY_H

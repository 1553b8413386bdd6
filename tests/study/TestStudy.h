// TestStudy: a small study of our own with one global of every override
// type, standing in for a generated study in the study tests.
#ifndef VELMOR_TESTS_STUDY_TESTSTUDY_H
#define VELMOR_TESTS_STUDY_TESTSTUDY_H

#include "study/BaseStudyClass.h"

namespace teststudy {

// The process-wide globals the test study writes.
extern bool flagGV;
extern char letterGV;
extern double doubleGV;
extern float floatGV;
extern int intGV;
extern long longGV;
extern short shortGV;

// Puts every global back to its start value.
void ResetGlobals();

// Seven globals ("flagGV" "bool", "letterGV" "char", "doubleGV" "double",
// "floatGV" "float", "intGV" "int", "longGV" "long", "shortGV" "short"),
// two experiments: shortGV is 1 in experiment 0 and 2 in experiment 1, the
// other globals keep their values. Counts the OverrideGVValue calls.
class TestStudy : public BaseStudyClass {
 public:
  TestStudy();
  // Builds a CellsRewardModel (shortGV replicas), replacing the last one.
  PVModel* GetPVModel(bool expandPVs) override;
  void SetGVs(int exp) override;
  void* GetGVValue(char* name) override;
  void OverrideGVValue(char* name, void* value) override;
  int overrideCalls = 0;
  short shortValues[2] = {1, 2};
};

}  // namespace teststudy

#endif  // VELMOR_TESTS_STUDY_TESTSTUDY_H

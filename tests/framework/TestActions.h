// TestActions: small activities with scripted answers, for framework tests.
#ifndef VELMOR_TESTS_FRAMEWORK_TESTACTIONS_H
#define VELMOR_TESTS_FRAMEWORK_TESTACTIONS_H

#include "framework/Activity.h"
#include "framework/state/Place.h"

// An activity whose enabling, weight and rank are set by the test; it
// counts its Enabled() evaluations and its firings.
class ScriptedActivity : public Activity {
 public:
  explicit ScriptedActivity(const char* activityName, bool enabled = true, double w = 1.0,
                            int r = 0)
      : on(enabled), weight(w), rank(r) {
    ActivityInitialize(activityName, 0, kExponential, kRaceEnabled, 0, 0, false);
  }
  bool Enabled() override {
    ++evaluations;
    return RecordEnabling(on);
  }
  double Weight() override { return weight; }
  int Rank() override { return rank; }
  double SampleDistribution() override { return delay; }
  BaseActionClass* Fire() override {
    ++firings;
    return this;
  }
  void LinkVariables() override {}

  bool on;
  double weight;
  int rank;
  double delay = 2.5;
  int evaluations = 0;
  int firings = 0;
};

// An activity enabled while its place holds a token; firing moves the
// token out. It reads the place through a cached, registered pointer, as
// generated activities do.
class TokenActivity : public Activity {
 public:
  TokenActivity(const char* activityName, Place* p) : place(p) {
    ActivityInitialize(activityName, 0, kExponential, kRaceEnabled, 1, 1, false);
  }
  bool Enabled() override { return RecordEnabling(*mark > 0); }
  BaseActionClass* Fire() override {
    --*mark;
    return this;
  }
  void LinkVariables() override { place->registerPointer(&mark); }

  Place* place;
  short* mark = nullptr;  // cached storage cell of `place`
};

#endif  // VELMOR_TESTS_FRAMEWORK_TESTACTIONS_H

// Small SAN models and composers of our own for the composer tests: a cell
// of three places and two activities, and generated-style Join and Rep
// nodes that share the cell's place "z".
#ifndef VELMOR_TESTS_COMPOSER_COMPOSERTESTMODELS_H
#define VELMOR_TESTS_COMPOSER_COMPOSERTESTMODELS_H

#include "composer/Join.h"
#include "composer/Rep.h"
#include "framework/Activity.h"
#include "framework/SANModel.h"
#include "framework/state/Place.h"

namespace composertest {

// An activity that adds `delta` to one place; always enabled.
class StepActivity : public Activity {
 public:
  StepActivity(const char* activityName, Place* target, short delta);
  bool Enabled() override { return RecordEnabling(true); }
  BaseActionClass* Fire() override;
  void LinkVariables() override {}

 private:
  Place* place;
  short step;
};

// The SAN model "cell": places x, y, z (in that order) and the activities
// named by firstName and secondName (x += 1, y -= 1). Owns them.
class CellSAN : public SANModel {
 public:
  explicit CellSAN(short x = 0, short y = 0, short z = 0, const char* firstName = "inc",
                   const char* secondName = "dec");
  Place x, y, z;
  StepActivity first, second;
};

// A SAN model with no place and one activity named "idle".
class EmptySAN : public SANModel {
 public:
  EmptySAN();
  Place unused;
  StepActivity idle;
};

// Rep "cells" of n CellSANs sharing z, built the way generated code builds
// a replicate; shareZ false builds it without shared variables.
class CellRep : public Rep {
 public:
  explicit CellRep(int n, bool shareZ = true);
  ~CellRep() override;
  CellSAN** cells;  // owned, n entries
  Place* zPlace;    // the replicate's own "z", owned; null when not shared
  int count;
};

// Join "top" of a CellSAN and a CellRep of n replicas, sharing z among all.
class CellJoin : public Join {
 public:
  explicit CellJoin(int n);
  ~CellJoin() override;
  CellSAN* single;
  CellRep* rep;
  Place* zPlace;  // the join's own "z", owned
};

}  // namespace composertest

#endif  // VELMOR_TESTS_COMPOSER_COMPOSERTESTMODELS_H

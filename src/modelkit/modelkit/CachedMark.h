// CachedMark and ModelActivity: the building blocks of generated models'
// activities: a place with a cached pointer to its storage cell, and the
// answers every activity shares unless it overrides them. Simulation thread
// only.
#ifndef VELMOR_MODELKIT_CACHEDMARK_H
#define VELMOR_MODELKIT_CACHEDMARK_H

#include "base/Assert.h"
#include "framework/Activity.h"
#include "framework/state/Place.h"

// One place an activity reads or writes, with a cached pointer to the
// place's storage cell. Link() registers the cache with the place so that it
// follows the place's class when composers share it.
// Does not own the place. The cache's address must not change after Link()
// (it lives inside an activity object that never moves).
struct CachedMark {
  Place* place = nullptr;
  short* mark = nullptr;  // the storage cell of place's sharing class

  void Bind(Place* p) {
    place = p;
    mark = p->getMarkPointer();
  }
  // REQUIRES: Bind was called.
  void Link() {
    VELMOR_ASSERT(place != nullptr, "CachedMark");
    place->registerPointer(&mark);
  }
  short& operator*() const { return *mark; }
};

// Base of every generated activity: rank 1, no reactivation,
// policy 1, and the enabling history kept by Activity::RecordEnabling.
// Owns its one-element distribution-parameter array (a plain member).
class ModelActivity : public Activity {
 public:
  int Rank() override { return 1; }
  bool ReactivationPredicate() override { return false; }
  bool ReactivationFunction() override { return false; }
  double Weight() override { return 1.0; }
  double Rate() override { return 0.0; }

 protected:
  // Stores value as the single distribution parameter and returns the array.
  double* StoreParameter(double value) {
    parameters[0] = value;
    return parameters;
  }

 private:
  double parameters[1] = {0.0};
};

#endif  // VELMOR_MODELKIT_CACHEDMARK_H

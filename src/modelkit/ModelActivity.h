// ModelActivity: the base of a model's activities with the answers most
// activities share; part of the model kit. Simulation thread only.
#ifndef VELMOR_MODELKIT_MODELACTIVITY_H
#define VELMOR_MODELKIT_MODELACTIVITY_H

#include "framework/Activity.h"

// Base of a model's activities: rank 1, no reactivation, weight 1, rate 0,
// and the enabling history kept by Activity::RecordEnabling. A derived
// activity overrides what differs.
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

#endif  // VELMOR_MODELKIT_MODELACTIVITY_H

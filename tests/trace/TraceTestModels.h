// TraceTestModels: small SAN and composed models for the trace writer
// tests, built from the framework the way generated models are.
#ifndef VELMOR_TESTS_TRACETESTMODELS_H
#define VELMOR_TESTS_TRACETESTMODELS_H

#include "composer/Join.h"
#include "framework/Activity.h"
#include "framework/BaseActionClass.h"
#include "framework/BaseModelClass.h"
#include "framework/SANModel.h"
#include "framework/state/Place.h"
#include "reward/PVModel.h"

namespace tracetest {

// Moves one token from `from` to `to`.
class StepActivity : public Activity {
 public:
  StepActivity(const char* activityName, Place* fromPlace, Place* toPlace)
      : from(fromPlace), to(toPlace) {
    ActivityInitialize(activityName, 0, kExponential, kRaceEnabled, 2, 1, false);
  }
  bool Enabled() override { return RecordEnabling(from->getMark() > 0); }
  BaseActionClass* Fire() override {
    from->setMark(static_cast<short>(from->getMark() - 1));
    to->setMark(static_cast<short>(to->getMark() + 1));
    return this;
  }
  void LinkVariables() override {}

 private:
  Place* from;
  Place* to;
};

// A SAN with places p and q (q carries an optional prefix) and the
// activity "move" from p to q: it affects p and q and is enabled by p.
class TwoPlaceSAN : public SANModel {
 public:
  TwoPlaceSAN(const char* modelName, short pMark, short qMark, const char* qPrefix)
      : p("p", pMark), q("q", qMark), move("move", &p, &q) {
    q.SetPrefix(qPrefix);
    BaseStateVariableClass* placeArray[] = {&p, &q};
    Activity* activityArray[] = {&move};
    BaseGroupClass* groupArray[] = {&move};
    initializeSANModelNow(modelName, 2, placeArray, 0, nullptr, 1, activityArray, 1, groupArray);
    AddAffectArc(&p, &move);
    AddAffectArc(&q, &move);
    AddEnableArc(&p, &move);
    move.LinkVariables();
  }

  Place p;
  Place q;
  StepActivity move;
};

// The join "J" of TwoPlaceSAN "m1" (p 3, q 0) and "m2" (p 5, q 1 with
// prefix s), sharing their places p as its own place p. Sharing takes the
// value of the last child joined, so the shared p holds 5.
class SharedJoin : public Join {
 public:
  SharedJoin() : Join("J", 2, 1, SharedNames()) {
    left = new TwoPlaceSAN("m1", 3, 0, "");
    right = new TwoPlaceSAN("m2", 5, 1, "s");
    SetChild(0, left);
    SetChild(1, right);
    SetupActions();
    sharedP = new Place("p");
    addSharedPtr(sharedP, "p");
    sharedP->ShareWith(&left->p);
    addSharingInfo(&left->p, sharedP, left);
    sharedP->ShareWith(&right->p);
    addSharingInfo(&right->p, sharedP, right);
    Setup();
  }
  ~SharedJoin() override {
    // Members of a sharing class must go before their representative.
    delete left;
    delete right;
    delete sharedP;
  }

  TwoPlaceSAN* left;
  TwoPlaceSAN* right;
  Place* sharedP;

 private:
  static char** SharedNames() {
    static char p[] = "p";
    static char* names[] = {p};
    return names;
  }
};

// A reward model without reward variables over a SharedJoin. The reward
// model is constructed first, so its id is 1 and the join's ids are J 2,
// m1 3, m2 4.
class SharedJoinRewardModel : public PVModel {
 public:
  SharedJoinRewardModel() : join(new SharedJoin()) {
    SetTopModel(join);
    DefineName("rewards");
    CreatePVList(0, false);
    Initialize();
  }
  PerformanceVariableNode* createPVNode(int, int) override { return nullptr; }

  SharedJoin* join;  // owned by the reward model
};

}  // namespace tracetest

#endif  // VELMOR_TESTS_TRACETESTMODELS_H

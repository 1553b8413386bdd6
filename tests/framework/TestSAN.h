// TestSAN: a small SAN model built the way generated models are: places,
// activities and a case group as members, then initializeSANModelNow, the
// arcs and LinkVariables.
#ifndef VELMOR_TESTS_FRAMEWORK_TESTSAN_H
#define VELMOR_TESTS_FRAMEWORK_TESTSAN_H

#include "TestActions.h"
#include "framework/PostselectGroup.h"
#include "framework/SANModel.h"
#include "framework/state/Place.h"

// Places p, q, r (marks 1, 0, 2) and read-only place ro (4). Activity
// `move` takes a token from p (enabled by p, affects p and q); activity
// `idle` touches nothing; the cases c1/c2 (affecting r) form `cases`.
// Scheduling units: move, idle, cases.
class TestSAN : public SANModel {
 public:
  explicit TestSAN(const char* modelName = "test")
      : p("p", 1),
        q("q", 0),
        r("r", 2),
        ro("ro", 4),
        move("move", &p),
        idle("idle"),
        c1("c1", true, 0.3),
        c2("c2", true, 0.7) {
    cases.initialize(2, "cases");
    cases.appendGroup(&c1);
    cases.appendGroup(&c2);
    BaseStateVariableClass* placeArray[] = {&p, &q, &r};
    BaseStateVariableClass* readOnly[] = {&ro};
    Activity* activities[] = {&move, &idle, &c1, &c2};
    BaseGroupClass* units[] = {&move, &idle, &cases};
    initializeSANModelNow(modelName, 3, placeArray, 1, readOnly, 4, activities, 3, units);
    AddAffectArc(&p, &move);
    AddAffectArc(&q, &move);
    AddAffectArc(&r, &c1);
    AddAffectArc(&r, &c2);
    AddEnableArc(&p, &move);
    move.LinkVariables();
  }

  Place p, q, r, ro;
  TokenActivity move;
  ScriptedActivity idle, c1, c2;
  PostselectGroup cases;
};

#endif  // VELMOR_TESTS_FRAMEWORK_TESTSAN_H

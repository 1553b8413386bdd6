// TestMachineSAN: construction and behaviour of the test model's submodel.
#include "TestMachineSAN.h"

#include "TestModelGlobals.h"
#include "random/UserDistributions.h"

namespace {

void Add(Place* p, int delta) { p->setMark(static_cast<short>(p->getMark() + delta)); }

}  // namespace

bool TestMachineSAN::failActivity::Enabled() { return RecordEnabling(san->up->getMark() > 0); }
double TestMachineSAN::failActivity::Rate() { return static_cast<double>(fail_rate); }
double TestMachineSAN::failActivity::SampleDistribution() {
  return TheDistribution->Exponential(Rate());
}
BaseActionClass* TestMachineSAN::failActivity::Fire() {
  Add(san->up, -1);
  Add(san->down, 1);
  Add(san->failures, 1);
  return this;
}

bool TestMachineSAN::repairActivity::Enabled() { return RecordEnabling(san->down->getMark() > 0); }
double TestMachineSAN::repairActivity::SampleDistribution() {
  return static_cast<double>(repair_time);
}
BaseActionClass* TestMachineSAN::repairActivity::Fire() {
  Add(san->down, -1);
  Add(san->up, 1);
  Add(san->repairs, 1);
  san->alarmed->setMark(0);
  return this;
}

BaseActionClass* TestMachineSAN::tickActivity_case1::Fire() {
  Add(san->ticks, 1);
  return this;
}
BaseActionClass* TestMachineSAN::tickActivity_case2::Fire() {
  Add(san->ticks, 1);
  Add(san->flips, 1);
  return this;
}

double TestMachineSAN::wearActivity::Rate() { return 0.1 * (1 + san->failures->getMark()); }
double TestMachineSAN::wearActivity::SampleDistribution() {
  sampledFailures = san->failures->getMark();
  return TheDistribution->Exponential(Rate());
}
bool TestMachineSAN::wearActivity::ReactivationFunction() {
  return san->failures->getMark() != sampledFailures;
}
BaseActionClass* TestMachineSAN::wearActivity::Fire() {
  Add(san->wears, 1);
  return this;
}

bool TestMachineSAN::alarmActivity::Enabled() {
  return RecordEnabling(san->down->getMark() > 0 && san->alarmed->getMark() == 0);
}
BaseActionClass* TestMachineSAN::alarmActivity::Fire() {
  san->alarmed->setMark(1);
  return this;
}

TestMachineSAN::TestMachineSAN()
    : up(new Place("up", 1)),
      down(new Place("down", 0)),
      failures(new Place("failures", 0)),
      repairs(new Place("repairs", 0)),
      ticks(new Place("ticks", 0)),
      flips(new Place("flips", 0)),
      wears(new Place("wears", 0)),
      alarmed(new Place("alarmed", 0)) {
  InitializeActivities();
  BaseStateVariableClass* placeArray[kNumPlaces] = {up,    down,  failures, repairs,
                                                    ticks, flips, wears,    alarmed};
  Activity* activityArray[kNumActivities] = {&fail,       &repair, &tick_case1,
                                             &tick_case2, &wear,   &alarm};
  BaseGroupClass* unitArray[kNumGroups] = {&fail, &repair, &tickGroup, &wear, &alarm};
  initializeSANModelNow("machine", kNumPlaces, placeArray, 0, nullptr, kNumActivities,
                        activityArray, kNumGroups, unitArray);
  DeclareArcs();
}

TestMachineSAN::~TestMachineSAN() {
  delete up;
  delete down;
  delete failures;
  delete repairs;
  delete ticks;
  delete flips;
  delete wears;
  delete alarmed;
}

void TestMachineSAN::InitializeActivities() {
  fail.ActivityInitialize("fail", 0, kExponential, kRaceEnabled, 3, 1, false);
  repair.ActivityInitialize("repair", 1, kDeterministic, kRaceEnabled, 4, 1, false);
  tick_case1.ActivityInitialize("tick_case1", 2, kDeterministic, kRaceEnabled, 1, 0, false);
  tick_case2.ActivityInitialize("tick_case2", 2, kDeterministic, kRaceEnabled, 2, 0, false);
  wear.ActivityInitialize("wear", 3, kExponential, kRaceEnabled, 1, 0, false);
  alarm.ActivityInitialize("alarm", 4, kInstantaneous, kRaceEnabled, 1, 2, false);
  MachineActivity* all[kNumActivities] = {&fail, &repair, &tick_case1, &tick_case2, &wear, &alarm};
  for (MachineActivity* a : all) a->san = this;
  tickGroup.initialize(2, "tickGroup");
  tickGroup.appendGroup(&tick_case1);
  tickGroup.appendGroup(&tick_case2);
}

void TestMachineSAN::DeclareArcs() {
  AddAffectArc(up, &fail);
  AddAffectArc(down, &fail);
  AddAffectArc(failures, &fail);
  AddAffectArc(down, &repair);
  AddAffectArc(up, &repair);
  AddAffectArc(repairs, &repair);
  AddAffectArc(alarmed, &repair);
  AddAffectArc(ticks, &tick_case1);
  AddAffectArc(ticks, &tick_case2);
  AddAffectArc(flips, &tick_case2);
  AddAffectArc(wears, &wear);
  AddAffectArc(alarmed, &alarm);

  AddEnableArc(up, &fail);
  AddEnableArc(down, &repair);
  AddEnableArc(failures, &wear);
  AddEnableArc(down, &alarm);
  AddEnableArc(alarmed, &alarm);
}

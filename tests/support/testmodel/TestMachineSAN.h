// TestMachineSAN: the test model's one SAN submodel ("machine"): a machine
// that fails and is repaired, a periodic tick with two cases, a wear
// activity under reactivation watch and an instantaneous alarm of rank 2.
// Simulation thread only.
#ifndef VELMOR_TESTS_TESTMODEL_TESTMACHINESAN_H
#define VELMOR_TESTS_TESTMODEL_TESTMACHINESAN_H

#include "framework/PostselectGroup.h"
#include "framework/SANModel.h"
#include "framework/state/Place.h"
#include "modelkit/ModelActivity.h"

// Owns its places (heap objects), activities and the tick case group
// (members). Places: 0 up (1), 1 down, 2 failures, 3 repairs, 4 ticks,
// 5 flips, 6 wears, 7 alarmed. Scheduling units, in group-id order: fail,
// repair, tickGroup (tick_case1, tick_case2), wear, alarm.
//  - fail: exponential at fail_rate while up > 0; up -1, down +1, failures +1.
//  - repair: deterministic repair_time while down > 0; down -1, up +1,
//    repairs +1, alarmed = 0.
//  - tick: deterministic 1.0, always enabled; case 1 (weight 0.25) ticks +1,
//    case 2 (weight 0.75) ticks +1 and flips +1.
//  - wear: exponential at 0.1 * (1 + failures), always enabled, watched for
//    reactivation: re-sampled when failures changed since its last sample.
//  - alarm: instantaneous, rank 2, while down > 0 and alarmed = 0; alarmed = 1.
class TestMachineSAN : public SANModel {
 public:
  // The model kit's defaults (rank 1, weight 1, no reactivation) and a
  // pointer back to the submodel.
  class MachineActivity : public ModelActivity {
   public:
    void LinkVariables() override {}
    TestMachineSAN* san = nullptr;
  };
  class failActivity : public MachineActivity {
   public:
    bool Enabled() override;
    double Rate() override;
    double SampleDistribution() override;
    BaseActionClass* Fire() override;
  };
  class repairActivity : public MachineActivity {
   public:
    bool Enabled() override;
    double SampleDistribution() override;
    BaseActionClass* Fire() override;
  };
  class tickActivity_case1 : public MachineActivity {
   public:
    bool Enabled() override { return RecordEnabling(true); }
    double Weight() override { return 0.25; }
    double SampleDistribution() override { return 1.0; }
    BaseActionClass* Fire() override;
  };
  class tickActivity_case2 : public tickActivity_case1 {
   public:
    double Weight() override { return 0.75; }
    BaseActionClass* Fire() override;
  };
  class wearActivity : public MachineActivity {
   public:
    bool Enabled() override { return RecordEnabling(true); }
    double Rate() override;
    double SampleDistribution() override;
    bool ReactivationPredicate() override { return true; }
    bool ReactivationFunction() override;
    BaseActionClass* Fire() override;
    short sampledFailures = 0;  // failures when the delay was last sampled
  };
  class alarmActivity : public MachineActivity {
   public:
    bool Enabled() override;
    int Rank() override { return 2; }
    double SampleDistribution() override { return 0.0; }
    BaseActionClass* Fire() override;
  };

  static constexpr int kNumPlaces = 8;
  static constexpr int kNumActivities = 6;
  static constexpr int kNumGroups = 5;

  TestMachineSAN();
  ~TestMachineSAN() override;
  TestMachineSAN(const TestMachineSAN&) = delete;  // owns its places
  TestMachineSAN& operator=(const TestMachineSAN&) = delete;

  Place* up;
  Place* down;
  Place* failures;
  Place* repairs;
  Place* ticks;
  Place* flips;
  Place* wears;
  Place* alarmed;

  failActivity fail;
  repairActivity repair;
  tickActivity_case1 tick_case1;
  tickActivity_case2 tick_case2;
  wearActivity wear;
  alarmActivity alarm;
  PostselectGroup tickGroup;

 private:
  void InitializeActivities();
  void DeclareArcs();
};

#endif  // VELMOR_TESTS_TESTMODEL_TESTMACHINESAN_H

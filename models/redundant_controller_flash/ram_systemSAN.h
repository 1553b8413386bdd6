// ram_systemSAN: the RAM submodel of the built-in model ("ram_system"):
// bit and page errors and random failures corrupt the RAM, a watchdog
// reboot restores it, and an instantaneous failure marks the system failed
// when the RAM and the shared flash are corrupted together.
// Simulation thread only.
#ifndef VELMOR_MODELS_RCF_RAM_SYSTEMSAN_H
#define VELMOR_MODELS_RCF_RAM_SYSTEMSAN_H

#include "framework/PostselectGroup.h"
#include "framework/PreselectGroup.h"
#include "framework/SANModel.h"
#include "framework/state/Place.h"
#include "modelkit/CachedMark.h"
#include "modelkit/ModelActivity.h"

// Owns its four places (heap objects, deleted by the destructor), its seven
// activities, its two case groups and its own preselect group (members).
// Place indices: 0 flash_corrupted, 1 ram_working, 2 ram_corrupted,
// 3 system_failed. Activity indices: 0 failure, 1 watchdog_reboot,
// 2 random_failure, 3/4 bit_error cases, 5/6 page_error cases.
// Scheduling units: watchdog_reboot, random_failure, bit_errorGroup,
// page_errorGroup, failure (group ids 0 to 4).
// Invariant: every activity's cached marks point at the storage cells of
// the places it was bound to, also after those places are shared.
class ram_systemSAN : public SANModel {
 public:
  // flash_corrupted > 0, ram_corrupted > 0, system_failed = 0 -> failed.
  class failureActivity : public ModelActivity {
   public:
    CachedMark flash_corrupted, ram_corrupted, system_failed;
    bool Enabled() override;
    double SampleDistribution() override { return 0.0; }
    double* ReturnDistributionParameters() override { return nullptr; }
    BaseActionClass* Fire() override;
    void LinkVariables() override;
  };

  // Deterministic reboot after 0.00347 while the RAM is corrupted.
  class watchdog_rebootActivity : public ModelActivity {
   public:
    CachedMark ram_working, ram_corrupted;
    bool Enabled() override;
    double SampleDistribution() override { return DeterministicParamValue(); }
    double* ReturnDistributionParameters() override;
    double DeterministicParamValue() { return 0.00347; }
    BaseActionClass* Fire() override;
    void LinkVariables() override;
  };

  // Exponential at random_failure_rate while the RAM is not corrupted.
  class random_failureActivity : public ModelActivity {
   public:
    CachedMark ram_corrupted;
    bool Enabled() override;
    double Rate() override;
    double SampleDistribution() override;
    double* ReturnDistributionParameters() override;
    BaseActionClass* Fire() override;
    void LinkVariables() override;
  };

  // Shared by the bit_error and page_error cases: exponential at a fixed
  // rate while the RAM works; case 2 corrupts it, case 1 does nothing.
  class RamErrorCase : public ModelActivity {
   public:
    CachedMark ram_working;
    bool Enabled() override;
    double SampleDistribution() override;
    double* ReturnDistributionParameters() override;
    void LinkVariables() override;
  };
  class CorruptingRamErrorCase : public RamErrorCase {
   public:
    CachedMark ram_corrupted;
    BaseActionClass* Fire() override;
    void LinkVariables() override;
  };

  class bit_errorActivity_case1 : public RamErrorCase {
   public:
    double Rate() override { return 6.012; }
    double Weight() override;
    BaseActionClass* Fire() override { return this; }
  };
  class bit_errorActivity_case2 : public CorruptingRamErrorCase {
   public:
    double Rate() override { return 6.012; }
    double Weight() override;
  };
  class page_errorActivity_case1 : public RamErrorCase {
   public:
    double Rate() override { return 2.95e-6; }
    double Weight() override { return 0.75; }
    BaseActionClass* Fire() override { return this; }
  };
  class page_errorActivity_case2 : public CorruptingRamErrorCase {
   public:
    double Rate() override { return 2.95e-6; }
    double Weight() override { return 0.25; }
  };

  static constexpr int kNumPlaces = 4;
  static constexpr int kNumActivities = 7;
  static constexpr int kNumGroups = 5;

  ram_systemSAN();
  ram_systemSAN(const ram_systemSAN&) = delete;  // owns its places
  ram_systemSAN& operator=(const ram_systemSAN&) = delete;
  ~ram_systemSAN() override;

  void CustomInitialization() {}
  void assignPlacesToActivitiesInst();
  void assignPlacesToActivitiesTimed();

  Place* flash_corrupted;
  Place* ram_working;
  Place* ram_corrupted;
  Place* system_failed;

  failureActivity failure;
  watchdog_rebootActivity watchdog_reboot;
  random_failureActivity random_failure;
  bit_errorActivity_case1 bit_error_case1;
  bit_errorActivity_case2 bit_error_case2;
  page_errorActivity_case1 page_error_case1;
  page_errorActivity_case2 page_error_case2;

  PostselectGroup bit_errorGroup;
  PostselectGroup page_errorGroup;
  PreselectGroup ImmediateGroup;  // the model's own group; not scheduled

 private:
  void InitializeActivities();
  void InitializeGroups();
  void CreatePlaces();
  void RegisterWithBase();
  void DeclareArcs();
};

#endif  // VELMOR_MODELS_RCF_RAM_SYSTEMSAN_H

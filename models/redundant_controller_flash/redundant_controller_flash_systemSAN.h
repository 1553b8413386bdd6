// redundant_controller_flash_systemSAN: one flash device of the built-in
// model ("redundant_controller_flash_system"): single-event upsets and
// functional interrupts use up the device's replicas, and a power cycle
// restores them. Simulation thread only.
#ifndef VELMOR_MODELS_RCF_REDUNDANT_CONTROLLER_FLASH_SYSTEMSAN_H
#define VELMOR_MODELS_RCF_REDUNDANT_CONTROLLER_FLASH_SYSTEMSAN_H

#include "framework/EmptyGroup.h"
#include "framework/PostselectGroup.h"
#include "framework/SANModel.h"
#include "framework/state/Place.h"
#include "modelkit/CachedMark.h"
#include "modelkit/ModelActivity.h"

// Owns its five places (heap objects, deleted by the destructor), its four
// activities, its case group and its own empty group (members).
// Place indices: 0 devices_available, 1 replicas_available,
// 2 flash_corrupted, 3 seu_events, 4 sefi_events. Activity indices:
// 0/1 seu cases, 2 sefi, 3 power_cycle. Scheduling units: seuGroup, sefi,
// power_cycle (group ids 0 to 2).
// Invariant: every activity's cached marks point at the storage cells of
// the places it was bound to, also after those places are shared.
class redundant_controller_flash_systemSAN : public SANModel {
 public:
  // The seu cases: exponential at 6.44e-7 while replicas remain; case 2
  // (weight proportional to the remaining replicas and flash_size) uses one.
  class SeuCase : public ModelActivity {
   public:
    CachedMark replicas_available;
    bool Enabled() override;
    double Rate() override { return 6.44e-7; }
    double SampleDistribution() override;
    double* ReturnDistributionParameters() override;
    void LinkVariables() override;

   protected:
    double Case2Weight() const;  // replicas_available * flash_size / 512
  };
  class seuActivity_case1 : public SeuCase {
   public:
    double Weight() override { return 1.0 - Case2Weight(); }
    BaseActionClass* Fire() override;
  };
  class seuActivity_case2 : public SeuCase {
   public:
    CachedMark devices_available, flash_corrupted, seu_events;
    double Weight() override { return Case2Weight(); }
    BaseActionClass* Fire() override;
    void LinkVariables() override;
  };

  // Exponential at 0.00274 while replicas remain: empties the device.
  class sefiActivity : public ModelActivity {
   public:
    CachedMark replicas_available, devices_available, flash_corrupted, sefi_events;
    bool Enabled() override;
    double Rate() override { return 0.00274; }
    double SampleDistribution() override;
    double* ReturnDistributionParameters() override;
    BaseActionClass* Fire() override;
    void LinkVariables() override;
  };

  // Deterministic after power_cycle_rate while replicas are missing:
  // restores them, the device and the flash.
  class power_cycleActivity : public ModelActivity {
   public:
    CachedMark replicas_available, devices_available, flash_corrupted;
    bool Enabled() override;
    double SampleDistribution() override { return DeterministicParamValue(); }
    double* ReturnDistributionParameters() override;
    double DeterministicParamValue();
    BaseActionClass* Fire() override;
    void LinkVariables() override;
  };

  static constexpr int kNumPlaces = 5;
  static constexpr int kNumActivities = 4;
  static constexpr int kNumGroups = 3;

  redundant_controller_flash_systemSAN();
  redundant_controller_flash_systemSAN(const redundant_controller_flash_systemSAN&) = delete;
  redundant_controller_flash_systemSAN& operator=(const redundant_controller_flash_systemSAN&) =
      delete;  // owns its places
  ~redundant_controller_flash_systemSAN() override;

  void CustomInitialization() {}
  void assignPlacesToActivitiesInst() {}  // no instantaneous activity
  void assignPlacesToActivitiesTimed();

  Place* devices_available;
  Place* replicas_available;
  Place* flash_corrupted;
  Place* seu_events;
  Place* sefi_events;

  seuActivity_case1 seu_case1;
  seuActivity_case2 seu_case2;
  sefiActivity sefi;
  power_cycleActivity power_cycle;

  PostselectGroup seuGroup;
  EmptyGroup ImmediateGroup;  // the model's own group; not scheduled

 private:
  void InitializeActivities();
  void InitializeGroups();
  void CreatePlaces();
  void RegisterWithBase();
  void DeclareArcs();
};

#endif  // VELMOR_MODELS_RCF_REDUNDANT_CONTROLLER_FLASH_SYSTEMSAN_H

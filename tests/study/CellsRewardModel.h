// CellsRewardModel: a reward model of our own for the study tests: a
// replicate "cells" of teststudy::shortGV one-place SAN models "cell", and
// one instant-of-time variable summing their marks at time 1.
#ifndef VELMOR_TESTS_STUDY_CELLSREWARDMODEL_H
#define VELMOR_TESTS_STUDY_CELLSREWARDMODEL_H

#include "composer/Rep.h"
#include "framework/Activity.h"
#include "framework/SANModel.h"
#include "framework/state/Place.h"
#include "reward/InstantOfTime.h"
#include "reward/PVModel.h"
#include "reward/PerformanceVariableNode.h"

namespace teststudy {

// SAN "cell": one place "x" (initial mark 1) and an activity that adds 1.
class CellSAN : public SANModel {
 public:
  class AddActivity : public Activity {
   public:
    explicit AddActivity(Place* target) : place(target) {
      ActivityInitialize("add", 0, kExponential, kRaceEnabled, 1, 0, false);
    }
    bool Enabled() override { return RecordEnabling(true); }
    BaseActionClass* Fire() override;
    void LinkVariables() override {}

   private:
    Place* place;
  };

  CellSAN();
  Place x;
  AddActivity add;
};

// Rep "cells" of shortGV replicas, read when the replicate is built.
class CellsRep : public Rep {
 public:
  CellsRep();
  ~CellsRep() override;

 private:
  CellSAN** cells;
  int count;
};

// Reward: the worker's cell's mark of x.
class CellWorker : public InstantOfTime {
 public:
  CellWorker() : InstantOfTime(1) { BindModelSlot(0, &cell); }
  double Reward_Function() override { return cell->x.getMark(); }
  CellSAN* cell = nullptr;
};

// Variable "cells_x", one time point (1.0), dependency ("x", "cell").
class CellsNode : public PerformanceVariableNode {
 public:
  explicit CellsNode(int window);
  void CreateWorkerList() override;
};

// The reward model over a new CellsRep.
class CellsRewardModel : public PVModel {
 public:
  explicit CellsRewardModel(bool expand);
  PerformanceVariableNode* createPVNode(int pv, int window) override;
};

}  // namespace teststudy

#endif  // VELMOR_TESTS_STUDY_CELLSREWARDMODEL_H

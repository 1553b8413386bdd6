// CellsRewardModel: the study tests' composed model and reward variable,
// built the way generated code builds them.
#include "CellsRewardModel.h"

#include "TestStudy.h"

namespace teststudy {

BaseActionClass* CellSAN::AddActivity::Fire() {
  place->setMark(static_cast<short>(place->getMark() + 1));
  return this;
}

CellSAN::CellSAN() : x("x", 1), add(&x) {
  BaseStateVariableClass* placeArray[] = {&x};
  Activity* activityArray[] = {&add};
  BaseGroupClass* groupArray[] = {&add};
  initializeSANModelNow("cell", 1, placeArray, 0, nullptr, 1, activityArray, 1, groupArray);
  AddAffectArc(&x, &add);
}

CellsRep::CellsRep() : Rep("cells", shortGV, 0, nullptr), cells(nullptr), count(NumChildren) {
  cells = new CellSAN*[count > 0 ? count : 1];
  for (int i = 0; i < count; i++) {
    cells[i] = new CellSAN();
    SetChild(i, cells[i]);
  }
  SetupActions();
  Setup("cell");
}

CellsRep::~CellsRep() {
  for (int i = 0; i < count; i++) delete cells[i];
  delete[] cells;
}

CellsNode::CellsNode(int window) {
  const double times[] = {1.0};
  Initialize("cells_x", InstantOfTimeReward, 1, times, times, window, 0, 1, 1);
  AddVariableDependency("x", "cell");
}

void CellsNode::CreateWorkerList() {
  for (int i = 0; i < NumberOfWorkers; i++) Workers[i] = new CellWorker();
}

CellsRewardModel::CellsRewardModel(bool expand) {
  SetTopModel(new CellsRep());
  DefineName("cells_rewardPVModel");
  CreatePVList(1, expand);
  Initialize();
}

PerformanceVariableNode* CellsRewardModel::createPVNode(int pv, int window) {
  return pv == 0 ? new CellsNode(window) : nullptr;
}

}  // namespace teststudy

// PVModel: the state with the optional last-action index, the state-index
// operations and the reward-variable type file.
#include <cstring>
#include <fstream>

#include "reward/PVModel.h"

void PVModel::CurrentState(void* buffer) {
  if (TopModel != nullptr) TopModel->CurrentState(buffer);
  if (IndexMode == 1) WriteIndex(buffer, LastActionIndex());
}

int PVModel::StateSize() { return TotalStateSize; }

bool PVModel::CompareState(void* a, void* b) {
  if (TopModel != nullptr && !TopModel->CompareState(a, b)) return false;
  if (IndexMode != 1) return true;
  const unsigned char* indexA = static_cast<const unsigned char*>(a) + ModelStateSize;
  const unsigned char* indexB = static_cast<const unsigned char*>(b) + ModelStateSize;
  return std::memcmp(indexA, indexB, static_cast<size_t>(IndexBytes)) == 0;
}

void PVModel::CreatePVStateIndex() {
  IndexMode = 1;
  IndexTable = ActionTable;
  IndexTableLength = numActions;
  IndexBytes = BytesFor(numActions);
  TotalStateSize = ModelStateSize + IndexBytes;
}

int PVModel::BytesFor(int n) {
  if (n <= 0) return 0;
  if (n <= 255) return 1;
  if (n <= 65535) return 2;
  if (n <= 16777215) return 3;
  return 4;
}

// Position of the last action in the index table plus 1; 0 when it is not
// there (the placeholder).
int PVModel::LastActionIndex() const {
  for (int k = 0; k < IndexTableLength; k++) {
    if (IndexTable[k] == LastAction) return k + 1;
  }
  return 0;
}

// An index outside the table (a damaged state) names the placeholder.
BaseActionClass* PVModel::ActionForIndex(int index) {
  if (index < 1 || index > IndexTableLength) return &NoActionFiredYet;
  return IndexTable[index - 1];
}

// Least significant byte first, right after the model state.
void PVModel::WriteIndex(void* state, int index) const {
  unsigned char* bytes = static_cast<unsigned char*>(state) + ModelStateSize;
  unsigned int value = static_cast<unsigned int>(index);
  for (int b = 0; b < IndexBytes; b++) {
    bytes[b] = static_cast<unsigned char>(value & 0xFFu);
    value >>= 8;
  }
}

int PVModel::StateIndexLookup(const void* state) const {
  const unsigned char* bytes = static_cast<const unsigned char*>(state) + ModelStateSize;
  unsigned int value = 0;
  for (int b = IndexBytes - 1; b >= 0; b--) value = (value << 8) | bytes[b];
  return static_cast<int>(value);
}

void PVModel::GetPVState(void* state) {
  if (IndexMode == 1) WriteIndex(state, LastActionIndex());
}

void PVModel::PutPVState(void* state) {
  NodesChanged();
  if (IndexMode == 1) {
    LastAction = ActionForIndex(StateIndexLookup(state));
    for (int k = 0; k < NumConsidered; k++) Considered[k]->CurrentReward(LastAction);
    return;
  }
  for (int k = 0; k < NumConsidered; k++) {
    Considered[k]->CurrentReward(&NoActionFiredYet);
    Considered[k]->ImpulseValue = 0.0;
  }
}

void PVModel::FireAction(void* state, BaseActionClass* action) {
  NodesChanged();
  action->Fire();
  LastAction = action;
  for (int k = 0; k < NumConsidered; k++) Considered[k]->CurrentReward(action);
  CurrentState(state);
}

void PVModel::AgeAction(char* state, BaseActionClass*) {
  NodesChanged();
  LastAction = ActionForIndex(StateIndexLookup(state));
  for (int k = 0; k < NumConsidered; k++) Considered[k]->CurrentReward(LastAction);
}

bool PVModel::WritePVTypeFile(const char* fileName) {
  std::ofstream out(fileName, std::ios::out | std::ios::trunc);
  if (!out) return false;
  out << "Version:1\n";
  out << "NumPV:" << NumNodes << "\n";
  for (int i = 0; i < NumNodes; i++) {
    const PerformanceVariableNode* node = Nodes[i];
    out << "Name:" << (node->Name != nullptr ? node->Name : "") << "\n";
    out << "Type:" << static_cast<int>(node->Type) << "\n";
    out << "NumTimes:" << node->NumTimePoints << "\n";
    for (int k = 0; k < node->NumTimePoints; k++) {
      out << "Start:" << node->StartTimes[k] << "\n";
      out << "Stop:" << node->StopTimes[k] << "\n";
    }
  }
  out.close();
  return !out.fail();
}

// RewardWorkers: creating and deleting the workers of a reward-variable
// node; part of the model kit. Simulation thread only.
#ifndef VELMOR_MODELKIT_REWARDWORKERS_H
#define VELMOR_MODELKIT_REWARDWORKERS_H

#include "base/Allocate.h"
#include "reward/PerformanceVariableNode.h"

// Fills node->Workers[0 .. NumberOfWorkers-1] with new workers of class W,
// each constructed from args.
// REQUIRES: node->Workers holds NumberOfWorkers slots.
template <class W, class... Args>
void CreateWorkers(PerformanceVariableNode* node, const Args&... args) {
  for (int i = 0; i < node->NumberOfWorkers; i++) node->Workers[i] = Allocate<W>(args...);
}

// Deletes the node's workers (each releases its own name) and clears their
// slots; the slot array stays with the node.
inline void DeleteWorkers(PerformanceVariableNode* node) {
  if (node->Workers == nullptr) return;
  for (int i = 0; i < node->NumberOfWorkers; i++) {
    delete node->Workers[i];
    node->Workers[i] = nullptr;
  }
}

#endif  // VELMOR_MODELKIT_REWARDWORKERS_H

// Cell: one (experiment, parameter point) of a study: its block plan, the
// blocks' seeds, and the pooling of finished blocks in block order with the
// stopping rule checked after each. Not thread-safe.
#ifndef VELMOR_RUNNER_CELL_H
#define VELMOR_RUNNER_CELL_H

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "Accumulator.h"
#include "Estimate.h"
#include "ParameterSweep.h"

namespace velmor_runner {

// How many replications a cell runs and when it stops.
struct StoppingRule {
  long blockSize = 2000;
  long fixedReplications = 0;  // > 0: exactly this many, no target
  long minReplications = 2000;
  long maxReplications = 200000;
  PrecisionTarget target;
};

// A finished block handed to the cell: values[v] are the observations of
// the cell's v-th variable, in order.
struct BlockData {
  int block = 0;
  uint32_t seed = 0;
  long replications = 0;
  double cpuSeconds = 0.0;
  int attempts = 1;
  std::string node;
  std::vector<std::string> arguments;  // the simulator's, without the link's
  std::vector<std::vector<double>> values;
  std::string observationBytes;  // the simulator's observation messages
};

// What the manifest records of a pooled block.
struct PooledBlock {
  int block = 0;
  uint32_t seed = 0;
  long replications = 0;
  double cpuSeconds = 0.0;
  int attempts = 1;
  std::string node;
  std::vector<std::string> arguments;
};

enum class CellState { kRunning, kReached, kCapped, kFixedDone };

// Invariants: blocks 0 .. pooled.size()-1 and no other are in the
// accumulators, added in block order; once state leaves kRunning nothing is
// pooled any more.
class Cell {
 public:
  // REQUIRES: numVariables >= 1, rule.blockSize >= 1.
  Cell(int experiment, int pointIndex, ParameterPoint point, int numVariables,
       const StoppingRule& rule, uint64_t studySeed);

  int Experiment() const { return experiment; }
  int PointIndex() const { return pointIndex; }
  const ParameterPoint& Point() const { return point; }
  int PlannedBlocks() const { return static_cast<int>(seeds.size()); }
  long BlockReplications(int block) const;
  uint32_t BlockSeed(int block) const { return seeds[static_cast<size_t>(block)]; }

  bool Running() const { return state == CellState::kRunning; }
  CellState State() const { return state; }
  // The next block to start, or -1 when none is left to start.
  int TakeNextBlock();
  int LaunchedBlocks() const { return nextLaunch; }
  // Blocks the stopping rule needs whatever the estimates say.
  int MinimumBlocks() const;

  // Takes a finished block; pools every block now next in order and
  // returns them (with their observation bytes, for the block files).
  std::vector<BlockData> Deliver(BlockData data);
  // True when block is still wanted (not past the stopping point).
  bool Wants(int block) const;

  // Pools blocks read back from a finished run, in the order given, and
  // takes the state the run recorded. REQUIRES: nothing pooled yet.
  void Restore(const std::vector<BlockData>& blocks, CellState recorded);

  long PooledReplications() const;
  const std::vector<PooledBlock>& Pooled() const { return pooled; }
  std::vector<Estimate> Estimates() const;
  // The largest relative half-width over the variables with events.
  double WorstRelHalfWidth() const;
  double CpuSeconds() const;

 private:
  void Pool(const BlockData& data);
  void CheckStop();

  int experiment;
  int pointIndex;
  ParameterPoint point;
  StoppingRule rule;
  std::vector<uint32_t> seeds;  // per planned block
  std::vector<Accumulator> accumulators;
  std::vector<PooledBlock> pooled;
  std::map<int, BlockData> waiting;  // finished, not yet next in order
  int nextLaunch = 0;
  CellState state = CellState::kRunning;
};

// The seeds of blocks 0 .. count-1 of one experiment: DeriveBlockSeed, a
// seed already given to an earlier block of the experiment derived again.
std::vector<uint32_t> ExperimentSeeds(uint64_t studySeed, int experiment, int count);

}  // namespace velmor_runner

#endif  // VELMOR_RUNNER_CELL_H

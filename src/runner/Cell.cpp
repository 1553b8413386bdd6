#include "Cell.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "BlockSeeds.h"

namespace velmor_runner {

std::vector<uint32_t> ExperimentSeeds(uint64_t studySeed, int experiment, int count) {
  std::vector<uint32_t> seeds;
  std::set<uint32_t> taken;
  for (int block = 0; block < count; ++block) {
    for (int attempt = 0;; ++attempt) {
      const uint32_t s = DeriveBlockSeed(studySeed, experiment, block, attempt);
      if (taken.insert(s).second) {
        seeds.push_back(s);
        break;
      }
    }
  }
  return seeds;
}

Cell::Cell(int exp, int pointIdx, ParameterPoint settings, int numVariables,
           const StoppingRule& stopping, uint64_t studySeed)
    : experiment(exp),
      pointIndex(pointIdx),
      point(std::move(settings)),
      rule(stopping),
      accumulators(static_cast<size_t>(numVariables)) {
  const long total = rule.fixedReplications > 0 ? rule.fixedReplications : rule.maxReplications;
  const long blocks = (total + rule.blockSize - 1) / rule.blockSize;
  seeds = ExperimentSeeds(studySeed, experiment, static_cast<int>(blocks));
}

long Cell::BlockReplications(int block) const {
  const long total = rule.fixedReplications > 0 ? rule.fixedReplications : rule.maxReplications;
  return std::min(rule.blockSize, total - rule.blockSize * block);
}

int Cell::MinimumBlocks() const {
  if (rule.fixedReplications > 0) return PlannedBlocks();
  const long minimum = std::max(rule.minReplications, 2L);
  return std::min(PlannedBlocks(),
                  static_cast<int>((minimum + rule.blockSize - 1) / rule.blockSize));
}

int Cell::TakeNextBlock() {
  if (!Running() || nextLaunch >= PlannedBlocks()) return -1;
  return nextLaunch++;
}

bool Cell::Wants(int block) const { return Running() && block >= static_cast<int>(pooled.size()); }

std::vector<BlockData> Cell::Deliver(BlockData data) {
  std::vector<BlockData> done;
  if (!Wants(data.block)) return done;
  const int block = data.block;
  waiting.emplace(block, std::move(data));
  for (auto it = waiting.find(static_cast<int>(pooled.size())); Running() && it != waiting.end();
       it = waiting.find(static_cast<int>(pooled.size()))) {
    Pool(it->second);
    done.push_back(std::move(it->second));
    waiting.erase(it);
    CheckStop();
  }
  if (!Running()) waiting.clear();
  return done;
}

void Cell::Pool(const BlockData& data) {
  for (size_t v = 0; v < accumulators.size(); ++v)
    for (double x : data.values[v]) accumulators[v].Add(x);
  pooled.push_back({data.block, data.seed, data.replications, data.cpuSeconds, data.attempts,
                    data.node, data.arguments});
}

void Cell::CheckStop() {
  const long n = PooledReplications();
  if (static_cast<int>(pooled.size()) >= PlannedBlocks()) {
    state = rule.fixedReplications > 0 ? CellState::kFixedDone : CellState::kCapped;
  }
  if (rule.fixedReplications > 0 || n < std::max(rule.minReplications, 2L)) return;
  for (const Estimate& e : Estimates()) {
    if (e.status == TargetStatus::kNotReached) return;
  }
  state = CellState::kReached;
}

void Cell::Restore(const std::vector<BlockData>& blocks, CellState recorded) {
  for (const BlockData& b : blocks) Pool(b);
  nextLaunch = static_cast<int>(pooled.size());
  state = recorded;
}

long Cell::PooledReplications() const {
  long n = 0;
  for (const PooledBlock& b : pooled) n += b.replications;
  return n;
}

std::vector<Estimate> Cell::Estimates() const {
  std::vector<Estimate> out;
  PrecisionTarget target = rule.target;
  if (rule.fixedReplications > 0) target.relative = target.absolute = 0.0;
  for (const Accumulator& a : accumulators) out.push_back(ComputeEstimate(a, target));
  return out;
}

double Cell::WorstRelHalfWidth() const {
  double worst = 0.0;
  for (const Estimate& e : Estimates()) {
    if (e.status != TargetStatus::kNoEvents) worst = std::max(worst, e.relHalfWidth);
  }
  return worst;
}

double Cell::CpuSeconds() const {
  double s = 0.0;
  for (const PooledBlock& b : pooled) s += b.cpuSeconds;
  return s;
}

}  // namespace velmor_runner

// Block pooling order, the stopping rule and block seeds.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "runner/BlockSeeds.h"
#include "runner/Cell.h"

namespace velmor_runner {
namespace {

BlockData Block(int index, std::vector<double> values) {
  BlockData b;
  b.block = index;
  b.replications = static_cast<long>(values.size());
  b.values = {values};
  return b;
}

StoppingRule Rule() {
  StoppingRule rule;
  rule.blockSize = 2;
  rule.minReplications = 2;
  rule.maxReplications = 10;
  rule.target.relative = 0.5;
  return rule;
}

TEST(CellTest, PoolsInBlockOrderAndStopsAtTheFirstBlockMeetingTheTarget) {
  // Blocks {10, 12}: after one block n = 2, mean 11, se 1, t(0.975, 1) =
  // 12.706: relative half-width 1.155 > 0.5. After two, n = 4, variance
  // 4/3, se 0.577, t(0.975, 3) = 3.182: 0.167 <= 0.5, so the cell stops.
  Cell cell(0, 0, {}, 1, Rule(), 1);
  EXPECT_EQ(cell.PlannedBlocks(), 5);
  EXPECT_TRUE(cell.Deliver(Block(1, {10, 12})).empty());  // waits for block 0
  EXPECT_EQ(cell.PooledReplications(), 0);
  std::vector<BlockData> pooled = cell.Deliver(Block(0, {10, 12}));
  ASSERT_EQ(pooled.size(), 2u);
  EXPECT_EQ(pooled[0].block, 0);
  EXPECT_EQ(pooled[1].block, 1);
  EXPECT_EQ(cell.State(), CellState::kReached);
  EXPECT_EQ(cell.PooledReplications(), 4);
  // A block computed past the stopping point is not used.
  EXPECT_FALSE(cell.Wants(2));
  EXPECT_TRUE(cell.Deliver(Block(2, {1000, 0})).empty());
  EXPECT_DOUBLE_EQ(cell.Estimates()[0].mean, 11.0);
}

TEST(CellTest, OrderOfArrivalDoesNotChangeTheBits) {
  // Values whose floating-point sum depends on the order of addition.
  const std::vector<std::vector<double>> blocks = {{1e16, 1}, {-1e16, 3}, {0.1, 0.7}};
  StoppingRule rule = Rule();
  rule.target.relative = 0.0;
  rule.fixedReplications = 6;
  Cell inOrder(0, 0, {}, 1, rule, 1), reversed(0, 0, {}, 1, rule, 1);
  for (int b = 0; b < 3; ++b) inOrder.Deliver(Block(b, blocks[b]));
  for (int b = 2; b >= 0; --b) reversed.Deliver(Block(b, blocks[b]));
  EXPECT_EQ(inOrder.State(), CellState::kFixedDone);
  const Estimate x = inOrder.Estimates()[0], y = reversed.Estimates()[0];
  EXPECT_EQ(std::memcmp(&x.mean, &y.mean, sizeof x.mean), 0);
  EXPECT_EQ(std::memcmp(&x.variance, &y.variance, sizeof x.variance), 0);
}

TEST(CellTest, MinimumAndMaximumReplications) {
  // With a minimum of 6 the target met at n = 4 does not stop the cell.
  StoppingRule rule = Rule();
  rule.minReplications = 6;
  Cell cell(0, 0, {}, 1, rule, 1);
  EXPECT_EQ(cell.MinimumBlocks(), 3);
  cell.Deliver(Block(0, {10, 12}));
  cell.Deliver(Block(1, {10, 12}));
  EXPECT_TRUE(cell.Running());
  cell.Deliver(Block(2, {10, 12}));
  EXPECT_EQ(cell.State(), CellState::kReached);
  // A target out of reach ends at the cap of 10 replications: 5 blocks,
  // the last one short when the cap is not a multiple of the block size.
  rule.target.relative = 1e-9;
  rule.maxReplications = 9;
  Cell capped(0, 0, {}, 1, rule, 1);
  EXPECT_EQ(capped.BlockReplications(4), 1);
  for (int b = 0; b < 4; ++b) capped.Deliver(Block(b, {1, 2}));
  capped.Deliver(Block(4, {3}));
  EXPECT_EQ(capped.State(), CellState::kCapped);
  EXPECT_EQ(capped.Estimates()[0].status, TargetStatus::kNotReached);
}

TEST(BlockSeedsTest, DerivationIsSplitMixAndStaysInRange) {
  // The published first output of SplitMix64 from state 0.
  EXPECT_EQ(SplitMix64(0), 0xE220A8397B1DCDAFull);
  // Seeds differ by experiment and block, lie in 1..2147483645, and
  // depend only on their inputs.
  const std::vector<uint32_t> a = ExperimentSeeds(31415, 0, 500);
  const std::vector<uint32_t> b = ExperimentSeeds(31415, 1, 500);
  std::set<uint32_t> distinct(a.begin(), a.end());
  EXPECT_EQ(distinct.size(), 500u);
  for (size_t k = 0; k < a.size(); ++k) {
    EXPECT_GE(a[k], 1u);
    EXPECT_LE(a[k], kMaxBlockSeed);
    EXPECT_NE(a[k], b[k]);
  }
  EXPECT_EQ(ExperimentSeeds(31415, 0, 3), std::vector<uint32_t>(a.begin(), a.begin() + 3));
  EXPECT_NE(ExperimentSeeds(31416, 0, 1)[0], a[0]);
}

}  // namespace
}  // namespace velmor_runner

// Interval arithmetic of the runner against values worked out by hand or
// taken from standard tables.
#include <gtest/gtest.h>

#include <cmath>

#include "runner/Estimate.h"
#include "runner/Quantiles.h"

namespace velmor_runner {
namespace {

TEST(QuantilesTest, MatchStandardTables) {
  // Two-sided 95% t quantiles from printed tables (df 1, 4, 10, 30) and the
  // normal 97.5% and 99.5% points.
  EXPECT_NEAR(StudentTQuantile(0.975, 1), 12.7062047, 1e-6);
  EXPECT_NEAR(StudentTQuantile(0.975, 4), 2.7764451, 1e-6);
  EXPECT_NEAR(StudentTQuantile(0.975, 10), 2.2281389, 1e-6);
  EXPECT_NEAR(StudentTQuantile(0.995, 30), 2.7499957, 1e-6);
  EXPECT_NEAR(NormalQuantile(0.975), 1.9599640, 1e-6);
  EXPECT_NEAR(NormalQuantile(0.995), 2.5758293, 1e-6);
  EXPECT_NEAR(NormalQuantile(0.025), -1.9599640, 1e-6);
  // For large df, t approaches the normal quantile from above.
  EXPECT_GT(StudentTQuantile(0.975, 100000), NormalQuantile(0.975));
  EXPECT_NEAR(StudentTQuantile(0.975, 100000), NormalQuantile(0.975), 1e-4);
}

Accumulator Of(std::initializer_list<double> values) {
  Accumulator a;
  for (double v : values) a.Add(v);
  return a;
}

TEST(EstimateTest, StudentIntervalForGeneralValues) {
  // 1..5: mean 3, variance 2.5, standard error sqrt(0.5); t(0.975, 4) =
  // 2.7764451, so half-width 1.9632432 and relative half-width 0.6544144.
  PrecisionTarget target;
  target.relative = 0.5;
  Estimate e = ComputeEstimate(Of({1, 2, 3, 4, 5}), target);
  EXPECT_EQ(e.interval, Interval::kStudentT);
  EXPECT_DOUBLE_EQ(e.mean, 3.0);
  EXPECT_DOUBLE_EQ(e.variance, 2.5);
  EXPECT_NEAR(e.halfWidth, 1.9632432, 1e-6);
  EXPECT_NEAR(e.low, 3.0 - 1.9632432, 1e-6);
  EXPECT_NEAR(e.relHalfWidth, 0.6544144, 1e-6);
  EXPECT_EQ(e.status, TargetStatus::kNotReached);
  target.relative = 0.7;
  EXPECT_EQ(ComputeEstimate(Of({1, 2, 3, 4, 5}), target).status, TargetStatus::kReached);
  // An absolute target as well: both must hold.
  target.absolute = 1.0;
  EXPECT_EQ(ComputeEstimate(Of({1, 2, 3, 4, 5}), target).status, TargetStatus::kNotReached);
}

TEST(EstimateTest, WilsonIntervalForZeroOneValues) {
  // 5 of 10 at 95%: z = 1.959964, z^2/n = 0.3841459; centre 0.5, spread
  // z sqrt(0.025 + 0.3841459/40) / 1.3841459 = 0.2634070.
  Accumulator half;
  for (int i = 0; i < 10; ++i) half.Add(i < 5 ? 1.0 : 0.0);
  PrecisionTarget target;
  Estimate e = ComputeEstimate(half, target);
  EXPECT_EQ(e.interval, Interval::kWilson);
  EXPECT_NEAR(e.low, 0.2365930, 1e-6);
  EXPECT_NEAR(e.high, 0.7634070, 1e-6);
  // 1 of 3: a t interval would go below 0; Wilson stays inside [0, 1].
  // centre (1/3 + 0.6402432) / 2.2804863 = 0.4269162.
  e = ComputeEstimate(Of({1, 0, 0}), target);
  EXPECT_GE(e.low, 0.0);
  EXPECT_LE(e.high, 1.0);
  EXPECT_NEAR((e.low + e.high) / 2, 0.4269162, 1e-6);
  // All ones: the upper bound is exactly 1, never above.
  e = ComputeEstimate(Of({1, 1, 1, 1}), target);
  EXPECT_EQ(e.high, 1.0);
  EXPECT_LT(e.low, 1.0);
}

TEST(EstimateTest, NoEventsAndTooFewObservations) {
  // 0 of 20: upper bound z^2 / (n + z^2) = 3.8414588 / 23.8414588.
  Accumulator none;
  for (int i = 0; i < 20; ++i) none.Add(0.0);
  PrecisionTarget target;
  target.relative = 0.1;
  Estimate e = ComputeEstimate(none, target);
  EXPECT_EQ(e.status, TargetStatus::kNoEvents);
  EXPECT_EQ(e.low, 0.0);
  EXPECT_NEAR(e.high, 0.1611251, 1e-6);
  EXPECT_TRUE(std::isinf(e.relHalfWidth));
  // One observation claims nothing.
  e = ComputeEstimate(Of({4}), target);
  EXPECT_EQ(e.status, TargetStatus::kNotReached);
  EXPECT_TRUE(std::isinf(e.halfWidth));
}

}  // namespace
}  // namespace velmor_runner

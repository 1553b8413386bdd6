#include "Estimate.h"

#include <cmath>
#include <limits>

#include "Quantiles.h"

namespace velmor_runner {
namespace {

const double kInf = std::numeric_limits<double>::infinity();

void StudentInterval(Estimate* e, double confidence) {
  const double n = static_cast<double>(e->count);
  const double t = StudentTQuantile(0.5 + 0.5 * confidence, n - 1.0);
  e->low = e->mean - t * e->stdError;
  e->high = e->mean + t * e->stdError;
}

// Wilson's score interval for a proportion p out of n trials:
// (p + z^2/2n +- z sqrt(p(1-p)/n + z^2/4n^2)) / (1 + z^2/n).
void WilsonInterval(Estimate* e, double confidence) {
  const double n = static_cast<double>(e->count);
  const double p = e->mean;
  const double z = NormalQuantile(0.5 + 0.5 * confidence);
  const double z2n = z * z / n;
  const double centre = (p + z2n / 2.0) / (1.0 + z2n);
  const double spread = z * std::sqrt(p * (1.0 - p) / n + z2n / (4.0 * n)) / (1.0 + z2n);
  e->low = std::max(0.0, centre - spread);
  e->high = std::min(1.0, centre + spread);
}

bool WithinTarget(const Estimate& e, const PrecisionTarget& target) {
  if (target.relative > 0.0 && !(e.relHalfWidth <= target.relative)) return false;
  if (target.absolute > 0.0 && !(e.halfWidth <= target.absolute)) return false;
  return true;
}

}  // namespace

Estimate ComputeEstimate(const Accumulator& acc, const PrecisionTarget& target) {
  Estimate e;
  e.count = acc.Count();
  e.mean = acc.Mean();
  e.variance = acc.Variance();
  if (e.count < 2) {
    e.low = -kInf;
    e.high = kInf;
    e.halfWidth = kInf;
    e.relHalfWidth = kInf;
    if (target.relative <= 0.0 && target.absolute <= 0.0) e.status = TargetStatus::kNoTarget;
    return e;
  }
  e.stdError = std::sqrt(e.variance / static_cast<double>(e.count));
  e.interval = acc.AllZeroOne() ? Interval::kWilson : Interval::kStudentT;
  if (e.interval == Interval::kWilson) {
    WilsonInterval(&e, target.confidence);
  } else {
    StudentInterval(&e, target.confidence);
  }
  e.halfWidth = (e.high - e.low) / 2.0;
  e.relHalfWidth = e.mean != 0.0 ? e.halfWidth / std::fabs(e.mean) : kInf;
  if (acc.AllZero()) {
    e.status = TargetStatus::kNoEvents;
  } else if (target.relative <= 0.0 && target.absolute <= 0.0) {
    e.status = TargetStatus::kNoTarget;
  } else {
    e.status = WithinTarget(e, target) ? TargetStatus::kReached : TargetStatus::kNotReached;
  }
  return e;
}

const char* IntervalName(Interval interval) {
  return interval == Interval::kWilson ? "wilson" : "t";
}

const char* StatusName(TargetStatus status) {
  switch (status) {
    case TargetStatus::kReached:
      return "reached";
    case TargetStatus::kNoEvents:
      return "no events";
    case TargetStatus::kNoTarget:
      return "fixed count";
    case TargetStatus::kNotReached:
      break;
  }
  return "not reached";
}

}  // namespace velmor_runner

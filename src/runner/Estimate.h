// Estimate: the interval estimate of one reward variable from its pooled
// observations, and the precision target it is judged against. Pure
// functions; thread-safe.
#ifndef VELMOR_RUNNER_ESTIMATE_H
#define VELMOR_RUNNER_ESTIMATE_H

#include <string>

#include "Accumulator.h"

namespace velmor_runner {

// What a study asks of every variable: a confidence level and a relative
// and/or absolute half-width. A target with neither asks for nothing.
struct PrecisionTarget {
  double confidence = 0.95;
  double relative = 0.0;  // half-width over |mean|; 0: not asked
  double absolute = 0.0;  // half-width; 0: not asked
};

enum class Interval { kStudentT, kWilson };

// Where a variable stands against the target.
enum class TargetStatus {
  kReached,     // every precision asked for holds
  kNotReached,  // not (yet) within the target
  kNoEvents,    // every observation is 0: no interval width can be claimed
  kNoTarget,    // a fixed number of replications: nothing was asked
};

struct Estimate {
  long count = 0;
  double mean = 0.0;
  double variance = 0.0;
  double stdError = 0.0;
  double low = 0.0;
  double high = 0.0;
  double halfWidth = 0.0;     // (high - low) / 2
  double relHalfWidth = 0.0;  // halfWidth / |mean|; infinity when mean is 0
  Interval interval = Interval::kStudentT;
  TargetStatus status = TargetStatus::kNotReached;
};

// Student t for general variables; Wilson's score interval, which never
// leaves [0, 1], for variables whose observations are all 0 or 1. Fewer
// than two observations give an unbounded interval (kNotReached, or kNoTarget
// when the target asks nothing).
Estimate ComputeEstimate(const Accumulator& acc, const PrecisionTarget& target);

const char* IntervalName(Interval interval);  // "t" or "wilson"
const char* StatusName(
    TargetStatus status);  // "reached", "not reached", "no events", "fixed count"

}  // namespace velmor_runner

#endif  // VELMOR_RUNNER_ESTIMATE_H

// Accumulator: running count, mean and sum of squared deviations of one
// reward variable's observations (Welford's update), and whether every
// observation so far was 0 or 1. Not thread-safe.
#ifndef VELMOR_RUNNER_ACCUMULATOR_H
#define VELMOR_RUNNER_ACCUMULATOR_H

namespace velmor_runner {

// Pooling is sequential: the same observations added in the same order give
// the same bits, which is what makes a study reproducible.
class Accumulator {
 public:
  void Add(double value);

  long Count() const { return count; }
  double Mean() const { return mean; }
  // Sample variance, n - 1 in the denominator; 0 for fewer than two values.
  double Variance() const;
  // True while every value added was exactly 0 or 1.
  bool AllZeroOne() const { return zeroOne; }
  // True while every value added was exactly 0 (also when none was added).
  bool AllZero() const { return allZero; }

 private:
  long count = 0;
  double mean = 0.0;
  double m2 = 0.0;  // sum of squared deviations from the running mean
  bool zeroOne = true;
  bool allZero = true;
};

}  // namespace velmor_runner

#endif  // VELMOR_RUNNER_ACCUMULATOR_H

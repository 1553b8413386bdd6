#include "Estimate.h"

#include <cmath>

namespace velmor_results {
namespace {

// t(0.975, df) for df = 1 .. 30, from the standard table.
const double kT975[30] = {12.706, 4.303, 3.182, 2.776, 2.571, 2.447, 2.365, 2.306, 2.262, 2.228,
                          2.201,  2.179, 2.160, 2.145, 2.131, 2.120, 2.110, 2.101, 2.093, 2.086,
                          2.080,  2.074, 2.069, 2.064, 2.060, 2.056, 2.052, 2.048, 2.045, 2.042};

}  // namespace

double StudentT975(long df) {
  if (df <= 30) return kT975[df - 1];
  // Cornish-Fisher expansion around the normal quantile; within 1e-4 of
  // the table for df > 30.
  const double z = 1.959963984540054;
  const double n = static_cast<double>(df);
  const double z3 = z * z * z, z5 = z3 * z * z;
  return z + (z3 + z) / (4 * n) + (5 * z5 + 16 * z3 + 3 * z) / (96 * n * n);
}

Estimate Summarise(const std::vector<double>& values) {
  Estimate e;
  e.count = static_cast<long>(values.size());
  if (e.count == 0) return e;
  // Welford's update: stable for long runs of nearly equal values.
  double mean = 0.0, m2 = 0.0;
  long k = 0;
  for (double v : values) {
    ++k;
    const double delta = v - mean;
    mean += delta / static_cast<double>(k);
    m2 += delta * (v - mean);
  }
  e.mean = mean;
  if (e.count > 1) {
    e.variance = m2 / static_cast<double>(e.count - 1);
    e.halfWidth = StudentT975(e.count - 1) * std::sqrt(e.variance / static_cast<double>(e.count));
  }
  return e;
}

}  // namespace velmor_results

// Estimate: sample mean, sample variance and a 95% confidence interval
// (Student t for small counts) of a list of observations. Pure functions.
#ifndef VELMOR_APPS_RESULTS_ESTIMATE_H
#define VELMOR_APPS_RESULTS_ESTIMATE_H

#include <vector>

namespace velmor_results {

struct Estimate {
  long count = 0;
  double mean = 0.0;
  double variance = 0.0;   // sample variance (n - 1 in the denominator); 0 for n < 2
  double halfWidth = 0.0;  // of the 95% interval; 0 for n < 2
};

// Two-sided 95% quantile of Student's t with `df` degrees of freedom.
// REQUIRES: df >= 1.
double StudentT975(long df);

Estimate Summarise(const std::vector<double>& values);

}  // namespace velmor_results

#endif  // VELMOR_APPS_RESULTS_ESTIMATE_H

// Quantiles: quantiles of the standard normal and of Student's t
// distribution, computed from the distribution functions to about 1e-12.
// Pure functions; thread-safe.
#ifndef VELMOR_RUNNER_QUANTILES_H
#define VELMOR_RUNNER_QUANTILES_H

namespace velmor_runner {

// Regularised incomplete beta function I_x(a, b).
// REQUIRES: a > 0, b > 0, 0 <= x <= 1.
double RegularizedBeta(double a, double b, double x);

// P(T <= t) for Student's t with df degrees of freedom. REQUIRES: df > 0.
double StudentTCdf(double t, double df);

// The p-quantile of the standard normal distribution. REQUIRES: 0 < p < 1.
double NormalQuantile(double p);

// The p-quantile of Student's t with df degrees of freedom.
// REQUIRES: 0.5 <= p < 1, df > 0.
double StudentTQuantile(double p, double df);

}  // namespace velmor_runner

#endif  // VELMOR_RUNNER_QUANTILES_H

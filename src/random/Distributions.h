// Distributions: turns the uniforms of one owned generator into samples of
// the delay distributions. Not thread-safe (the generator is stateful).
#ifndef VELMOR_RANDOM_DISTRIBUTIONS_H
#define VELMOR_RANDOM_DISTRIBUTIONS_H

#include "random/RandomNumberGenerator.h"

// Owns its generator (deleted with it or when replaced). Each sampling
// operation draws u = rnd() values in the documented number and order; runs
// are reproducible only because that order is fixed. Parameters are not
// checked (callers pass meaningful values: positive rates, 0 < p < 1, ...),
// except that parameters on which an operation could never finish (a count
// of 2^53 or more, a normal that can never be non-negative, a gamma shape
// that no draw accepts) give NaN without drawing; the simulator stops a run
// on a delay that is not a number.
// Invariant: generator is never null after construction.
class Distributions {
 public:
  // A new, unseeded LaggedFibonacci.
  Distributions();
  Distributions(const Distributions&) = delete;  // owns its generator
  Distributions& operator=(const Distributions&) = delete;
  ~Distributions();

  RandomNumberGenerator* GetGenerator() const { return generator; }
  // Deletes the current generator and takes ownership of replacement.
  // REQUIRES: replacement is non-null and not the current generator.
  void SetGenerator(RandomNumberGenerator* replacement);

  // One draw: -ln(u) / rate.
  double Exponential(double rate);
  // No draw.
  double Deterministic(double value) { return value; }
  // One draw: floor(ln(u) / ln(1 - p)).
  double Geometric(double p);
  // One draw each.
  double Weibull(double shape, double scale);
  double ConditionalWeibull(double shape, double scale, double age);
  // Polar method, pairs of draws; only non-negative results are returned.
  double Normal(double mean, double variance);
  // exp of a polar-method normal of the logarithm's mean and variance.
  double Lognormal(double mu, double variance);
  // floor(k) draws; k below 1 draws nothing and gives 0.
  double Erlang(double k, double b);
  // One draw unless low equals high.
  double Triangular(double low, double high, double mode);
  // beta times a standard gamma sample (Cheng GB, one exponential draw, or
  // Ahrens-Dieter GS as alpha is above, at or below 1). NaN alpha: NaN.
  double Gamma(double alpha, double beta);
  // x / (x + y), x of shape a drawn before y of shape b.
  double Beta(double a, double b);
  // One draw.
  double Uniform(double low, double high);
  // One draw per trial i = 0, 1, ... while i < n.
  double Binomial(double n, double p);
  // One draw per term i = 0, 1, ... while i < r.
  double NegativeBinomial(double r, double p);
  // pairs holds n (rate, weight) pairs. Draws the branch, then the delay.
  // REQUIRES: n >= 1.
  double HyperExponential(int n, const double* pairs);
  // One draw per stage, in order. REQUIRES: n >= 0.
  double HypoExponential(int n, const double* rates);
  // One draw: a * u^(-1/b).
  double Pareto(double a, double b);

 private:
  double StandardGamma(double alpha);
  double GammaCheng(double alpha);
  double GammaAhrensDieter(double alpha);
  // Steps 1-3 of the polar method: mean + sqrt(variance) * q1 * w.
  double PolarNormal(double mean, double variance);
  double rnd() { return generator->rnd(); }

  RandomNumberGenerator* generator;  // the uniform source; owned
};

#endif  // VELMOR_RANDOM_DISTRIBUTIONS_H

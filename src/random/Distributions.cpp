#include "random/Distributions.h"

#include <cfloat>
#include <cmath>
#include <limits>
#include <new>

#include "base/Allocate.h"
#include "base/Assert.h"
#include "base/ErrorReports.h"
#include "random/LaggedFibonacci.h"

namespace {
constexpr double kLn4 = 1.3862943611198906;
constexpr double kOnePlusLn4_5 = 2.504077396776274;
constexpr double kE = 2.718281828459045;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// From 2^53 on, adding 1 to a double no longer changes it: a loop counting
// stages or trials up to such a count (or to infinity) would never end.
constexpr double kLargestCount = 9007199254740992.0;  // 2^53
// The polar method's |q1 * w| is sqrt(-2 ln s) * |q1| / sqrt(s) <= sqrt(-2 ln s),
// and s is at least the smallest positive double (about e^-744.4), so no
// draw lies more than 38.6 standard deviations from the mean.
constexpr double kWidestPolarDeviation = 39.0;

bool CountTooLarge(double count) { return count >= kLargestCount; }
}  // namespace

Distributions::Distributions() : generator(Allocate<LaggedFibonacci>()) {}

Distributions::~Distributions() { delete generator; }

void Distributions::SetGenerator(RandomNumberGenerator* replacement) {
  VELMOR_ASSERT(replacement != nullptr && replacement != generator, "Distributions");
  delete generator;
  generator = replacement;
}

double Distributions::Exponential(double rate) { return -std::log(rnd()) / rate; }

double Distributions::Geometric(double p) {
  return std::floor(std::log(rnd()) / std::log(1.0 - p));
}

double Distributions::Weibull(double shape, double scale) {
  return scale * std::pow(-std::log(rnd()), 1.0 / shape);
}

double Distributions::ConditionalWeibull(double shape, double scale, double age) {
  double survived = std::exp(-std::pow(age / scale, shape));
  return scale * std::pow(-std::log(rnd() * survived), 1.0 / shape) - age;
}

double Distributions::PolarNormal(double mean, double variance) {
  double q1;
  double s;
  do {
    q1 = 2.0 * rnd() - 1.0;
    double q2 = 2.0 * rnd() - 1.0;
    s = q1 * q1 + q2 * q2;
    // s == 0 (both uniforms exactly 0.5) would give 0/0; draw again.
  } while (s > 1.0 || s == 0.0);
  double w = std::sqrt(-2.0 * std::log(s) / s);
  return mean + std::sqrt(variance) * q1 * w;
}

double Distributions::Normal(double mean, double variance) {
  // No pair can give a non-negative value: drawing again would never end.
  if (!(mean + kWidestPolarDeviation * std::sqrt(variance) >= 0.0)) return kNaN;
  double x;
  do {
    x = PolarNormal(mean, variance);
  } while (x < 0.0);
  return x;
}

double Distributions::Lognormal(double mu, double variance) {
  return std::exp(PolarNormal(mu, variance));
}

double Distributions::Erlang(double k, double b) {
  if (k < 1.0) return 0.0;
  if (CountTooLarge(k)) return kNaN;
  // The product of the uniforms is the published form; once it underflows
  // (many stages) the sum of their logarithms, the same quantity, is used.
  double product = 1.0;
  double logSum = 0.0;
  for (double stage = 1.0; stage <= k; stage += 1.0) {
    double u = rnd();
    product *= u;
    logSum += std::log(u);
  }
  double logProduct = product >= DBL_MIN ? std::log(product) : logSum;
  return -(b / k) * logProduct;
}

double Distributions::Triangular(double low, double high, double mode) {
  if (low == high) return low;
  double f = (mode - low) / (high - low);
  double u = rnd();
  double t = u <= f ? std::sqrt(u * f) : 1.0 - std::sqrt((1.0 - f) * (1.0 - u));
  return low + (high - low) * t;
}

double Distributions::GammaCheng(double alpha) {
  double a = 1.0 / std::sqrt(2.0 * alpha - 1.0);
  double b = alpha - kLn4;
  double c = alpha + 1.0 / a;
  while (true) {
    double u1 = rnd();
    double u2 = rnd();
    double v = a * std::log(u1 / (1.0 - u1));
    double x = alpha * std::exp(v);
    double z = u1 * u1 * u2;
    double r = b + c * v - x;
    if (r + kOnePlusLn4_5 - 4.5 * z >= 0.0) return x;
    if (std::log(z) <= r) return x;
  }
}

double Distributions::GammaAhrensDieter(double alpha) {
  double b = (kE + alpha) / kE;
  // alpha at or below -e makes b and every p non-positive; just above it the
  // smallest y, b^(1/alpha), is already too large for e^-y to accept. Either
  // way no draw is ever accepted.
  if (!(b > 0.0) || (alpha < 0.0 && std::exp(-std::pow(b, 1.0 / alpha)) == 0.0)) return kNaN;
  while (true) {
    double p = b * rnd();
    if (p <= 1.0) {
      double y = std::pow(p, 1.0 / alpha);
      if (rnd() <= std::exp(-y)) return y;
    } else {
      double y = -std::log((b - p) / alpha);
      if (rnd() <= std::pow(y, alpha - 1.0)) return y;
    }
  }
}

double Distributions::StandardGamma(double alpha) {
  if (std::isnan(alpha)) return alpha;
  // An infinite shape makes Cheng's r not a number: nothing is ever accepted.
  if (std::isinf(alpha) && alpha > 0.0) return kNaN;
  if (alpha > 1.0) return GammaCheng(alpha);
  if (alpha == 1.0) return -std::log(rnd());
  return GammaAhrensDieter(alpha);
}

double Distributions::Gamma(double alpha, double beta) { return beta * StandardGamma(alpha); }

double Distributions::Beta(double a, double b) {
  double x = StandardGamma(a);
  double y = StandardGamma(b);
  return x / (x + y);
}

double Distributions::Uniform(double low, double high) { return low + rnd() * (high - low); }

double Distributions::Binomial(double n, double p) {
  if (CountTooLarge(n)) return kNaN;
  double successes = 0.0;
  for (double i = 0.0; i < n; i += 1.0) {
    if (rnd() <= p) successes += 1.0;
  }
  return successes;
}

double Distributions::NegativeBinomial(double r, double p) {
  if (CountTooLarge(r)) return kNaN;
  double sum = 0.0;
  double lnFailure = std::log(1.0 - p);
  for (double i = 0.0; i < r; i += 1.0) sum += std::floor(std::log(rnd()) / lnFailure);
  return sum;
}

double Distributions::HyperExponential(int n, const double* pairs) {
  VELMOR_ASSERT(n >= 1, "Distributions");
  double u1 = rnd();
  double total = 0.0;
  for (int i = 0; i < n; i++) total += pairs[2 * i + 1];
  int chosen = n - 1;
  double running = 0.0;
  for (int i = 0; i < n; i++) {
    running += pairs[2 * i + 1];
    if (u1 < running / total) {
      chosen = i;
      break;
    }
  }
  return -std::log(rnd()) / pairs[2 * chosen];
}

double Distributions::HypoExponential(int n, const double* rates) {
  double sum = 0.0;
  for (int i = 0; i < n; i++) sum += -std::log(rnd()) / rates[i];
  return sum;
}

double Distributions::Pareto(double a, double b) {
  return std::exp(std::log(a) - std::log(rnd()) / b);
}

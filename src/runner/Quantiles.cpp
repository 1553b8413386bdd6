#include "Quantiles.h"

#include <cmath>

namespace velmor_runner {
namespace {

// Continued fraction of the incomplete beta function (modified Lentz).
double BetaFraction(double a, double b, double x) {
  const double tiny = 1e-300;
  double c = 1.0, d = 1.0 - (a + b) * x / (a + 1.0);
  if (std::fabs(d) < tiny) d = tiny;
  d = 1.0 / d;
  double h = d;
  for (int m = 1; m <= 10000; ++m) {
    const double m2 = 2.0 * m;
    double aa = m * (b - m) * x / ((a + m2 - 1.0) * (a + m2));
    d = 1.0 + aa * d;
    c = 1.0 + aa / c;
    if (std::fabs(d) < tiny) d = tiny;
    if (std::fabs(c) < tiny) c = tiny;
    d = 1.0 / d;
    h *= d * c;
    aa = -(a + m) * (a + b + m) * x / ((a + m2) * (a + m2 + 1.0));
    d = 1.0 + aa * d;
    c = 1.0 + aa / c;
    if (std::fabs(d) < tiny) d = tiny;
    if (std::fabs(c) < tiny) c = tiny;
    d = 1.0 / d;
    const double step = d * c;
    h *= step;
    if (std::fabs(step - 1.0) < 1e-15) break;
  }
  return h;
}

// The x with f(x) = target for an increasing f on [lo, hi], by bisection.
template <typename F>
double Invert(F f, double target, double lo, double hi) {
  while (f(hi) < target) hi *= 2.0;
  for (int i = 0; i < 200 && hi - lo > 1e-14 * (1.0 + std::fabs(lo)); ++i) {
    const double mid = 0.5 * (lo + hi);
    (f(mid) < target ? lo : hi) = mid;
  }
  return 0.5 * (lo + hi);
}

}  // namespace

double RegularizedBeta(double a, double b, double x) {
  if (x <= 0.0) return 0.0;
  if (x >= 1.0) return 1.0;
  const double front = std::exp(std::lgamma(a + b) - std::lgamma(a) - std::lgamma(b) +
                                a * std::log(x) + b * std::log1p(-x));
  if (x < (a + 1.0) / (a + b + 2.0)) return front * BetaFraction(a, b, x) / a;
  return 1.0 - front * BetaFraction(b, a, 1.0 - x) / b;
}

double StudentTCdf(double t, double df) {
  const double tail = 0.5 * RegularizedBeta(0.5 * df, 0.5, df / (df + t * t));
  return t >= 0.0 ? 1.0 - tail : tail;
}

double NormalQuantile(double p) {
  auto cdf = [](double z) { return 0.5 * std::erfc(-z / std::sqrt(2.0)); };
  if (p < 0.5) return -Invert(cdf, 1.0 - p, 0.0, 8.0);
  return Invert(cdf, p, 0.0, 8.0);
}

double StudentTQuantile(double p, double df) {
  return Invert([df](double t) { return StudentTCdf(t, df); }, p, 0.0, 16.0);
}

}  // namespace velmor_runner

// Fixed-seed statistical checks of the sampling operations on the default
// generator: the sample mean (and, where cheap, the variance) must lie
// within five standard errors of the exact moments worked out in the
// comments. With a fixed seed these tests are deterministic.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "random/Distributions.h"
#include "random/LaggedFibonacci.h"

namespace {

constexpr int kSamples = 200000;

struct Moments {
  double mean;
  double variance;
};

class DistributionStatisticsTest : public ::testing::Test {
 protected:
  DistributionStatisticsTest() {
    LaggedFibonacci::readPosition = 0;
    dist.GetGenerator()->srnd(20240601);
  }
  Moments Sample(const std::function<double()>& draw) {
    double sum = 0.0;
    double sumSquares = 0.0;
    for (int i = 0; i < kSamples; i++) {
      double x = draw();
      sum += x;
      sumSquares += x * x;
    }
    double mean = sum / kSamples;
    return {mean, sumSquares / kSamples - mean * mean};
  }
  // Checks the mean against its exact value with the exact variance, and
  // the sample variance within 2 % (samples are large, moments finite).
  void ExpectMoments(const std::function<double()>& draw, double mean, double variance) {
    Moments m = Sample(draw);
    EXPECT_NEAR(mean, m.mean, 5 * std::sqrt(variance / kSamples));
    EXPECT_NEAR(variance, m.variance, 0.02 * variance);
  }

  Distributions dist;
};

TEST_F(DistributionStatisticsTest, Exponential) {
  // Rate 4: mean 1/4, variance 1/16.
  ExpectMoments([&] { return dist.Exponential(4.0); }, 0.25, 0.0625);
}

TEST_F(DistributionStatisticsTest, UniformAndTriangular) {
  // Uniform(2, 6): mean 4, variance 16/12.
  ExpectMoments([&] { return dist.Uniform(2.0, 6.0); }, 4.0, 16.0 / 12);
  // Triangular(a=0, b=3, c=1): mean (a+b+c)/3 = 4/3, variance
  // (a²+b²+c²-ab-ac-bc)/18 = (9 + 1 - 3)/18 = 7/18.
  ExpectMoments([&] { return dist.Triangular(0.0, 3.0, 1.0); }, 4.0 / 3, 7.0 / 18);
}

TEST_F(DistributionStatisticsTest, NormalFarFromZeroIsUntruncated) {
  // Mean 10, variance 4: zero lies 5 sd below, truncation is negligible.
  ExpectMoments([&] { return dist.Normal(10.0, 4.0); }, 10.0, 4.0);
}

TEST_F(DistributionStatisticsTest, NormalTruncatedAtZero) {
  // Mean 0, variance 1 truncated to x >= 0: the half-normal, mean
  // sqrt(2/pi) = 0.7978845608, variance 1 - 2/pi = 0.3633802276.
  ExpectMoments([&] { return dist.Normal(0.0, 1.0); }, 0.7978845608028654, 0.36338022763241865);
}

TEST_F(DistributionStatisticsTest, Lognormal) {
  // mu 0, sigma² 0.25: mean exp(0.125) = 1.1331484531, variance
  // (exp(0.25) - 1) exp(0.25) = 0.3646958...
  double variance = (std::exp(0.25) - 1.0) * std::exp(0.25);
  ExpectMoments([&] { return dist.Lognormal(0.0, 0.25); }, std::exp(0.125), variance);
}

TEST_F(DistributionStatisticsTest, GammaInAllThreeRegimes) {
  // Gamma(alpha, beta): mean alpha beta, variance alpha beta².
  ExpectMoments([&] { return dist.Gamma(2.5, 2.0); }, 5.0, 10.0);
  ExpectMoments([&] { return dist.Gamma(1.0, 3.0); }, 3.0, 9.0);
  ExpectMoments([&] { return dist.Gamma(0.4, 1.0); }, 0.4, 0.4);
}

TEST_F(DistributionStatisticsTest, BetaAndErlang) {
  // Beta(2, 3): mean 2/5, variance ab/((a+b)²(a+b+1)) = 6/150 = 0.04.
  ExpectMoments([&] { return dist.Beta(2.0, 3.0); }, 0.4, 0.04);
  // Erlang with k = 3 stages of mean b/k: mean b = 6, variance k (b/k)² = 12.
  ExpectMoments([&] { return dist.Erlang(3.0, 6.0); }, 6.0, 12.0);
}

TEST_F(DistributionStatisticsTest, WeibullAndPareto) {
  // Weibull shape 2, scale 1: mean Γ(1.5) = sqrt(pi)/2, variance
  // Γ(2) - Γ(1.5)² = 1 - pi/4.
  const double pi = 3.141592653589793;
  ExpectMoments([&] { return dist.Weibull(2.0, 1.0); }, std::sqrt(pi) / 2, 1.0 - pi / 4);
  // Pareto scale 1, shape 5: mean 5/4, variance 5/(16 * 3) = 5/48.
  ExpectMoments([&] { return dist.Pareto(1.0, 5.0); }, 1.25, 5.0 / 48);
}

TEST_F(DistributionStatisticsTest, CountingDistributions) {
  // Binomial(10, 0.3): mean 3, variance 2.1.
  ExpectMoments([&] { return dist.Binomial(10.0, 0.3); }, 3.0, 2.1);
  // Geometric failures before success, p = 0.25: mean (1-p)/p = 3,
  // variance (1-p)/p² = 12; NegativeBinomial with r = 2 doubles both.
  ExpectMoments([&] { return dist.Geometric(0.25); }, 3.0, 12.0);
  ExpectMoments([&] { return dist.NegativeBinomial(2.0, 0.25); }, 6.0, 24.0);
}

TEST_F(DistributionStatisticsTest, HyperAndHypoExponential) {
  // Hyper: weights 1 and 3 of rates 1 and 5. Mean 1/4 * 1 + 3/4 * 1/5 = 0.4;
  // second moment 1/4 * 2 + 3/4 * 2/25 = 0.56, variance 0.56 - 0.16 = 0.4.
  const double pairs[] = {1.0, 1.0, 5.0, 3.0};
  ExpectMoments([&] { return dist.HyperExponential(2, pairs); }, 0.4, 0.4);
  // Hypo: rates 1 and 2, mean 1 + 1/2, variance 1 + 1/4.
  const double rates[] = {1.0, 2.0};
  ExpectMoments([&] { return dist.HypoExponential(2, rates); }, 1.5, 1.25);
}

}  // namespace

// The contract every uniform generator keeps, run over all three: a seed
// fixes the stream, the values lie in [0, 1], and a fixed-seed sample looks
// uniform and uncorrelated.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "random/LaggedFibonacci.h"
#include "random/MersenneTwister.h"
#include "random/RandomNumberGenerator.h"
#include "random/Tausworthe.h"

namespace {

struct GeneratorKind {
  std::string name;
  std::function<RandomNumberGenerator*()> make;
};

std::ostream& operator<<(std::ostream& out, const GeneratorKind& kind) { return out << kind.name; }

class GeneratorContractTest : public ::testing::TestWithParam<GeneratorKind> {
 protected:
  // A fresh generator seeded with seed; the lagged-Fibonacci read position
  // (process-wide) is put back to its start-up value first.
  std::unique_ptr<RandomNumberGenerator> Seeded(unsigned long seed) {
    LaggedFibonacci::readPosition = 0;
    std::unique_ptr<RandomNumberGenerator> generator(GetParam().make());
    generator->srnd(seed);
    return generator;
  }
  std::vector<double> Draw(RandomNumberGenerator* generator, int n) {
    std::vector<double> values;
    for (int i = 0; i < n; i++) values.push_back(generator->rnd());
    return values;
  }
};

TEST_P(GeneratorContractTest, SameSeedGivesSameStreamAcrossBlockBoundaries) {
  // 1500 draws cross the lagged-Fibonacci refill (100) and the twister's
  // regeneration (624) several times.
  std::vector<double> first = Draw(Seeded(4242).get(), 1500);
  std::vector<double> second = Draw(Seeded(4242).get(), 1500);
  EXPECT_EQ(first, second);
}

TEST_P(GeneratorContractTest, DifferentSeedsGiveDifferentStreams) {
  std::vector<double> a = Draw(Seeded(1).get(), 50);
  std::vector<double> b = Draw(Seeded(2).get(), 50);
  int equal = 0;
  for (int i = 0; i < 50; i++) equal += a[i] == b[i];
  EXPECT_LT(equal, 2);
}

TEST_P(GeneratorContractTest, ValuesStayInTheUnitInterval) {
  auto generator = Seeded(31415);
  for (int i = 0; i < 200000; i++) {
    double u = generator->rnd();
    ASSERT_GE(u, 0.0) << "draw " << i;
    ASSERT_LE(u, 1.0) << "draw " << i;
  }
}

TEST_P(GeneratorContractTest, FixedSeedSampleHasUniformMomentsAndBins) {
  // For n uniforms the mean has standard error sqrt(1/12/n) and the
  // variance about sqrt(1/180/n); we allow five standard errors. The
  // chi-square statistic over 100 equal bins has 99 degrees of freedom;
  // 160 lies beyond its 99.99th percentile (about 148).
  const int n = 200000;
  auto generator = Seeded(31415);
  std::vector<int> bins(100, 0);
  double sum = 0.0;
  double sumSquares = 0.0;
  for (int i = 0; i < n; i++) {
    double u = generator->rnd();
    sum += u;
    sumSquares += u * u;
    bins[std::min(99, static_cast<int>(u * 100))]++;
  }
  double mean = sum / n;
  double variance = sumSquares / n - mean * mean;
  EXPECT_NEAR(0.5, mean, 5 * std::sqrt(1.0 / 12 / n));
  EXPECT_NEAR(1.0 / 12, variance, 5 * std::sqrt(1.0 / 180 / n));
  double chiSquare = 0.0;
  for (int count : bins) chiSquare += (count - n / 100.0) * (count - n / 100.0) / (n / 100.0);
  EXPECT_LT(chiSquare, 160.0);
}

TEST_P(GeneratorContractTest, SuccessiveValuesAreUncorrelated) {
  // Lag-1 and lag-37 correlations of n uniforms have standard error about
  // 1/sqrt(n); five of them is the bound. Lag 37 is the short lag of the
  // lagged-Fibonacci recurrence.
  const int n = 200000;
  std::vector<double> u = Draw(Seeded(27182).get(), n);
  for (int lag : {1, 37, 100}) {
    double sum = 0.0;
    for (int i = lag; i < n; i++) sum += (u[i] - 0.5) * (u[i - lag] - 0.5);
    double correlation = sum / (n - lag) * 12.0;
    EXPECT_LT(std::fabs(correlation), 5.0 / std::sqrt(n)) << "lag " << lag;
  }
}

INSTANTIATE_TEST_SUITE_P(
    AllGenerators, GeneratorContractTest,
    ::testing::Values(GeneratorKind{"LaggedFibonacci", [] { return new LaggedFibonacci(); }},
                      GeneratorKind{"Tausworthe", [] { return new Tausworthe(); }},
                      GeneratorKind{"MersenneTwister", [] { return new MersenneTwister(); }}),
    [](const ::testing::TestParamInfo<GeneratorKind>& param) { return param.param.name; });

TEST(RandomNumberGeneratorTest, BaseYieldsZeroAndIgnoresSeeds) {
  std::unique_ptr<RandomNumberGenerator> base(new RandomNumberGenerator());
  base->srnd(5);
  EXPECT_EQ(0.0, base->rnd());
}

}  // namespace

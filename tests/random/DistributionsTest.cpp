// Distributions with scripted uniforms: the exact number and order of the
// draws of each operation and the value it makes of them. Expected values
// are worked out by hand from the formulas, in the comments.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <limits>

#include "ScriptedGenerator.h"
#include "random/Distributions.h"

namespace {

constexpr double kLn2 = 0.69314718055994530942;  // ln 2
constexpr double kTolerance = 1e-12;

class DistributionsTest : public ::testing::Test {
 protected:
  DistributionsTest() : scripted(new ScriptedGenerator()) { dist.SetGenerator(scripted); }
  void Script(std::initializer_list<double> values) { scripted->Script(values); }
  std::size_t Draws() const { return scripted->Draws(); }

  Distributions dist;
  ScriptedGenerator* scripted;  // owned by dist
};

TEST_F(DistributionsTest, ExponentialUsesOneDraw) {
  Script({0.25});
  // -ln(1/4) / 2 = 2 ln 2 / 2 = ln 2.
  EXPECT_NEAR(kLn2, dist.Exponential(2.0), kTolerance);
  EXPECT_EQ(1u, Draws());
}

TEST_F(DistributionsTest, DeterministicDrawsNothing) {
  Script({});
  EXPECT_EQ(7.5, dist.Deterministic(7.5));
  EXPECT_EQ(0u, Draws());
}

TEST_F(DistributionsTest, GeometricFloorsTheLogRatio) {
  Script({0.2});
  // ln(0.2) / ln(0.5) = 2.3219...; floor 2.
  EXPECT_EQ(2.0, dist.Geometric(0.5));
  EXPECT_EQ(1u, Draws());
}

TEST_F(DistributionsTest, WeibullAndConditionalWeibull) {
  Script({std::exp(-4.0)});
  // scale 3 * (4)^(1/2) = 6.
  EXPECT_NEAR(6.0, dist.Weibull(2.0, 3.0), kTolerance);
  Script({0.5});
  // Shape 1 is memoryless: e = exp(-1/2); 2 * (ln 2 + 1/2) - 1 = 2 ln 2.
  EXPECT_NEAR(2 * kLn2, dist.ConditionalWeibull(1.0, 2.0, 1.0), kTolerance);
  EXPECT_EQ(1u, Draws());
}

TEST_F(DistributionsTest, NormalRejectsPairsOutsideTheCircle) {
  // Pair (1, 1): q = (1, 1), s = 2 > 1, rejected. Pair (0.75, 0.5): q1 = 0.5,
  // q2 = 0, s = 1/4, w = sqrt(-2 ln(1/4) / (1/4)) = sqrt(16 ln 2);
  // x = 1 + sqrt(4) * 0.5 * w = 1 + sqrt(16 ln 2).
  Script({1.0, 1.0, 0.75, 0.5});
  EXPECT_NEAR(1.0 + std::sqrt(16 * kLn2), dist.Normal(1.0, 4.0), kTolerance);
  EXPECT_EQ(4u, Draws());
}

TEST_F(DistributionsTest, NormalDrawsAgainUntilNonNegative) {
  // Pair (0.25, 0.5): q1 = -0.5, x = -1 - 0.5 sqrt(16 ln 2) < 0, drawn again.
  // Pair (0.75, 0.5): x = -1 + 0.5 sqrt(16 ln 2) = 0.665... >= 0.
  Script({0.25, 0.5, 0.75, 0.5});
  EXPECT_NEAR(-1.0 + 0.5 * std::sqrt(16 * kLn2), dist.Normal(-1.0, 1.0), kTolerance);
  EXPECT_EQ(4u, Draws());
}

TEST_F(DistributionsTest, NormalRedrawsTheDegenerateCentrePair) {
  // u1 = u2 = 0.5 gives s = 0 and 0/0 in w; the pair is drawn again.
  Script({0.5, 0.5, 0.75, 0.5});
  double x = dist.Normal(0.0, 1.0);
  EXPECT_FALSE(std::isnan(x));
  EXPECT_NEAR(0.5 * std::sqrt(16 * kLn2), x, kTolerance);
  EXPECT_EQ(4u, Draws());
}

TEST_F(DistributionsTest, LognormalKeepsNegativeNormals) {
  // As the second normal case, without the redraw: exp(-1 - 0.5 sqrt(16 ln 2)).
  Script({0.25, 0.5});
  EXPECT_NEAR(std::exp(-1.0 - 0.5 * std::sqrt(16 * kLn2)), dist.Lognormal(-1.0, 1.0), kTolerance);
  EXPECT_EQ(2u, Draws());
}

TEST_F(DistributionsTest, ErlangDrawsWholeStagesButDividesByK) {
  // k = 3.7: three draws; -(2 / 3.7) ln(1/8) = 6 ln 2 / 3.7.
  Script({0.5, 0.5, 0.5});
  EXPECT_NEAR(6 * kLn2 / 3.7, dist.Erlang(3.7, 2.0), kTolerance);
  EXPECT_EQ(3u, Draws());
  Script({});
  EXPECT_EQ(0.0, dist.Erlang(0.9, 2.0));
  EXPECT_EQ(0u, Draws());
}

TEST(DistributionsErlangTest, ManyStagesDoNotUnderflowToInfinity) {
  // 2000 halves multiply to 2^-2000, below the smallest double; the sample
  // is still -(b / 2000) * 2000 ln(1/2) = b ln 2. An empty, non-strict
  // script yields 0.5 at every draw.
  Distributions dist;
  ScriptedGenerator* source = new ScriptedGenerator();
  dist.SetGenerator(source);
  EXPECT_NEAR(3.0 * kLn2, dist.Erlang(2000.0, 3.0), 1e-9);
  EXPECT_EQ(2000u, source->Draws());
}

TEST_F(DistributionsTest, TriangularBranchesOnTheModeFraction) {
  Script({});
  EXPECT_EQ(2.0, dist.Triangular(2.0, 2.0, 2.0));
  EXPECT_EQ(0u, Draws());
  // low 2, high 6, mode 4: f = 1/2. u = 1/8 <= f: t = sqrt(1/16) = 1/4, 2 + 4/4 = 3.
  Script({0.125});
  EXPECT_NEAR(3.0, dist.Triangular(2.0, 6.0, 4.0), kTolerance);
  // u = 7/8 > f: t = 1 - sqrt(1/2 * 1/8) = 3/4, 2 + 4 * 3/4 = 5.
  Script({0.875});
  EXPECT_NEAR(5.0, dist.Triangular(2.0, 6.0, 4.0), kTolerance);
  EXPECT_EQ(1u, Draws());
}

TEST_F(DistributionsTest, GammaShapeOneIsAScaledExponentialWithOneDraw) {
  Script({0.5});
  EXPECT_NEAR(2 * kLn2, dist.Gamma(1.0, 2.0), kTolerance);
  EXPECT_EQ(1u, Draws());
}

TEST_F(DistributionsTest, GammaNaNShapeDrawsNothing) {
  Script({});
  EXPECT_TRUE(std::isnan(dist.Gamma(std::numeric_limits<double>::quiet_NaN(), 1.0)));
  EXPECT_EQ(0u, Draws());
}

TEST_F(DistributionsTest, GammaAboveOneRejectsThenAccepts) {
  // alpha 2: a' = 1/sqrt 3, b' = 2 - ln 4, c' = 2 + sqrt 3.
  // (0.9, 0.99): v = ln 9 / sqrt 3 = 1.2686, x = 2 e^v = 7.112, z = 0.8019,
  // r = b' + c' v - x = -1.764; r + d' - 4.5 z = -2.87 < 0 and ln z = -0.22
  // > r: rejected. (0.5, 0.5): v = 0, x = 2, z = 1/8, r = -ln 4,
  // r + d' - 4.5/8 = 0.555 >= 0: accepted, so the sample is 3 * 2.
  Script({0.9, 0.99, 0.5, 0.5});
  EXPECT_NEAR(6.0, dist.Gamma(2.0, 3.0), kTolerance);
  EXPECT_EQ(4u, Draws());
}

TEST_F(DistributionsTest, GammaBelowOneTakesBothBranches) {
  // alpha 1/2: b = (e + 1/2) / e = 1.18394.
  // u1 = 0.5: p = 0.59197 <= 1, y = p^2 = 0.35043; u2 = 0.9 > e^-y = 0.704:
  // rejected. u1 = 0.95: p = 1.12474 > 1, y = -ln((b - p) / 0.5) = 2.1337;
  // u2 = 0.1 <= y^-0.5 = 0.6846: accepted.
  const double e = 2.718281828459045;
  const double b = (e + 0.5) / e;
  Script({0.5, 0.9, 0.95, 0.1});
  EXPECT_NEAR(-std::log((b - b * 0.95) / 0.5), dist.Gamma(0.5, 1.0), kTolerance);
  EXPECT_EQ(4u, Draws());
  // u1 = 0.5 again and u2 = 0.1 <= 0.704: y = (b / 2)^2, times scale 3.
  Script({0.5, 0.1});
  EXPECT_NEAR(3.0 * (b / 2) * (b / 2), dist.Gamma(0.5, 3.0), kTolerance);
}

TEST_F(DistributionsTest, BetaDrawsTheFirstShapeFirst) {
  // Shapes 1 and 1: x = -ln(1/2) = ln 2, then y = -ln(1/4) = 2 ln 2; 1/3.
  Script({0.5, 0.25});
  EXPECT_NEAR(1.0 / 3.0, dist.Beta(1.0, 1.0), kTolerance);
  EXPECT_EQ(2u, Draws());
}

TEST_F(DistributionsTest, UniformAndPareto) {
  Script({0.25});
  EXPECT_NEAR(3.0, dist.Uniform(2.0, 6.0), kTolerance);
  // 2 * (1/4)^(-1/2) = 4.
  Script({0.25});
  EXPECT_NEAR(4.0, dist.Pareto(2.0, 2.0), kTolerance);
}

TEST_F(DistributionsTest, BinomialMakesOneTrialPerWholeOrPartialStep) {
  // n = 2.5: trials i = 0, 1, 2; u <= p counts (0.5 counts, 0.6 not, 0.1 does).
  Script({0.5, 0.6, 0.1});
  EXPECT_EQ(2.0, dist.Binomial(2.5, 0.5));
  EXPECT_EQ(3u, Draws());
}

TEST_F(DistributionsTest, NegativeBinomialSumsGeometricTerms) {
  // floor(ln 0.2 / ln 0.5) = floor(2.32) = 2; floor(ln 0.3 / ln 0.5) = 1.
  Script({0.2, 0.3});
  EXPECT_EQ(3.0, dist.NegativeBinomial(2.0, 0.5));
  EXPECT_EQ(2u, Draws());
}

TEST_F(DistributionsTest, HyperExponentialPicksByCumulativeWeight) {
  const double pairs[] = {1.0, 1.0, 5.0, 3.0};  // (rate 1, weight 1), (rate 5, weight 3)
  Script({0.2, 0.5});                           // 0.2 < 1/4: first pair; -ln(1/2) / 1
  EXPECT_NEAR(kLn2, dist.HyperExponential(2, pairs), kTolerance);
  EXPECT_EQ(2u, Draws());
  Script({0.25, 0.5});  // 0.25 is not below 1/4: second pair
  EXPECT_NEAR(kLn2 / 5, dist.HyperExponential(2, pairs), kTolerance);
  Script({1.0, 0.5});  // no pair qualifies: the last one
  EXPECT_NEAR(kLn2 / 5, dist.HyperExponential(2, pairs), kTolerance);
}

TEST_F(DistributionsTest, HypoExponentialSumsStagesInOrder) {
  // -ln(1/2) / 1 + -ln(1/4) / 2 = 2 ln 2; the stages taken in the other
  // order would give ln 2 / 2 + 2 ln 2 = 2.5 ln 2.
  const double rates[] = {1.0, 2.0};
  Script({0.5, 0.25});
  EXPECT_NEAR(2 * kLn2, dist.HypoExponential(2, rates), kTolerance);
  EXPECT_EQ(2u, Draws());
}

// Parameters on which the sampling loop could never finish give NaN with no
// draw, so the run stops on a delay that is not a number instead of spinning.
// Without that the loops below would run for ever; the alarm ends the binary.
TEST_F(DistributionsTest, ParametersThatCouldNeverFinishGiveNaNWithoutDrawing) {
  const double inf = std::numeric_limits<double>::infinity();
  const double twoTo53 = 9007199254740992.0;
  const double e = 2.718281828459045;
  alarm(20);
  struct Case {
    const char* name;
    double value;
  };
  // Gamma: alpha = -3 < -e gives b < 0, so p^(1/alpha) is NaN and nothing is
  // accepted; alpha = -e + 1e-12 gives b = 3.7e-13 and a smallest y of
  // b^(-1/e) = 3.6e4, whose e^-y is 0. Erlang, Binomial, NegativeBinomial:
  // i + 1 == i from 2^53 on. Normal: mean -inf, or -40 standard deviations,
  // further than any polar draw reaches (sqrt(-2 ln 4.9e-324) = 38.6).
  for (const Case& c :
       {Case{"Gamma(-3)", dist.Gamma(-3.0, 1.0)},
        Case{"Gamma(-e+1e-12)", dist.Gamma(-e + 1e-12, 1.0)},
        Case{"Erlang(2^53)", dist.Erlang(twoTo53, 1.0)}, Case{"Erlang(inf)", dist.Erlang(inf, 1.0)},
        Case{"Binomial(2^53)", dist.Binomial(twoTo53, 0.5)},
        Case{"Binomial(inf)", dist.Binomial(inf, 0.5)},
        Case{"NegativeBinomial(inf)", dist.NegativeBinomial(inf, 0.5)},
        Case{"NegativeBinomial(2^53)", dist.NegativeBinomial(twoTo53, 0.5)},
        Case{"Normal(-inf, 1)", dist.Normal(-inf, 1.0)},
        Case{"Normal(-1, 0)", dist.Normal(-1.0, 0.0)},
        Case{"Normal(-40, 1)", dist.Normal(-40.0, 1.0)}}) {
    EXPECT_TRUE(std::isnan(c.value)) << c.name << " gave " << c.value;
  }
  alarm(0);
  EXPECT_EQ(0u, Draws());
}

TEST(DistributionsDeathTest, HyperExponentialNeedsAPair) {
  Distributions dist;
  EXPECT_DEATH(dist.HyperExponential(0, nullptr), "Assertion failed: n >= 1, file Distributions");
}

}  // namespace

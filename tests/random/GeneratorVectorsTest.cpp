// Exact draws of the three generators for known seeds, from independently
// worked-out vectors (the generators' reference figures), and their
// behaviour at extreme seeds.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "RandomFixture.h"
#include "random/LaggedFibonacci.h"
#include "random/MersenneTwister.h"
#include "random/Tausworthe.h"
#include "random/UserDistributions.h"

namespace {

std::vector<double> Draw(RandomNumberGenerator* generator, int n) {
  std::vector<double> values;
  for (int i = 0; i < n; i++) values.push_back(generator->rnd());
  return values;
}

using LaggedFibonacciTest = RandomFixture;

TEST_F(LaggedFibonacciTest, DefaultStartupStreamMatchesReferenceBits) {
  // Start-up seeds 31415 and the simulator seeds 31415 again before any draw.
  RandomNumberGenerator* generator = TheDistribution->GetGenerator();
  generator->srnd(31415);
  std::vector<double> expected = {0x1.0cb1c2a79d104p-2, 0x1.78dfaf5406800p-9, 0x1.6bd70388b6d00p-5,
                                  0x1.b1b3638bac3eep-1, 0x1.85f36972a1484p-2, 0x1.890b6c17c451cp-1,
                                  0x1.4429c4e310118p-1, 0x1.660a99043f954p-2, 0x1.36d6ec6bea4b8p-2,
                                  0x1.c2ea910b7087ep-1};
  EXPECT_EQ(expected, Draw(generator, 10));
}

TEST_F(LaggedFibonacciTest, ExplicitSeedAfterStartupMatchesReferenceBits) {
  RandomNumberGenerator* generator = TheDistribution->GetGenerator();
  generator->srnd(12345);
  std::vector<double> expected = {0x1.0788a2039aa3ep-1, 0x1.01488e63b9adcp-2, 0x1.b0f6332a18626p-1,
                                  0x1.aff5724b47a46p-1, 0x1.388c3d1bdef28p-3};
  EXPECT_EQ(expected, Draw(generator, 5));
}

TEST_F(LaggedFibonacciTest, PublishedCheckValueAfterLongRuns) {
  // The routine's published self-check: ran_u[0] after 2009 blocks of 1009,
  // and after 1009 blocks of 2009, from seed 310952.
  static double block[2009];
  ranf_start(310952);
  for (int i = 0; i < 2009; i++) ranf_array(block, 1009);
  EXPECT_EQ(0.27452626307394156768, ran_u[0]);
  ranf_start(310952);
  for (int i = 0; i < 1009; i++) ranf_array(block, 2009);
  EXPECT_EQ(0.27452626307394156768, ran_u[0]);
}

TEST_F(LaggedFibonacciTest, SeedingKeepsTheReadPosition) {
  // After 3 draws a re-seed with 31415 continues at element 3 of the new
  // block: the fourth reference value of the default stream.
  RandomNumberGenerator* generator = TheDistribution->GetGenerator();
  generator->srnd(12345);
  Draw(generator, 3);
  generator->srnd(31415);
  EXPECT_EQ(3, LaggedFibonacci::readPosition);
  EXPECT_EQ(0x1.b1b3638bac3eep-1, generator->rnd());
}

TEST_F(LaggedFibonacciTest, StreamIsTheSecondBlockThenEachFollowingBlock) {
  // srnd = ranf_start plus two blocks; rnd then refills one block per 100
  // draws. Built here from the published routines directly.
  static double blocks[4][100];
  ranf_start(777);
  for (auto& block : blocks) ranf_array(block, 100);
  LaggedFibonacci generator;
  generator.srnd(777);
  std::vector<double> drawn = Draw(&generator, 300);
  for (int i = 0; i < 300; i++) ASSERT_EQ(blocks[1 + i / 100][i % 100], drawn[i]) << "draw " << i;
}

TEST_F(LaggedFibonacciTest, ObjectsShareOneStateAndReadPosition) {
  // Reference blocks straight from the published routines.
  static double block500[100];
  static double block600[100];
  static double next600[100];
  ranf_start(500);
  ranf_array(block500, 100);
  ranf_array(block500, 100);
  ranf_start(600);
  ranf_array(block600, 100);
  ranf_array(block600, 100);
  ranf_array(next600, 100);

  LaggedFibonacci first;
  LaggedFibonacci second;
  first.srnd(500);
  EXPECT_EQ(block500[0], first.rnd());
  second.srnd(600);  // re-seeds the common state; the position stays at 1
  EXPECT_EQ(block600[1], second.rnd());
  EXPECT_EQ(block500[2], first.rnd());  // each object reads its own block
  for (int i = 3; i < 100; i++) first.rnd();
  EXPECT_EQ(next600[0], first.rnd());  // but refills from the common state
}

TEST_F(LaggedFibonacciTest, ExtremeValidSeedsFinishAndStayInRange) {
  for (long long seed : {0LL, 1LL, kMaxLaggedFibonacciSeed}) {
    LaggedFibonacci generator;
    generator.srnd(static_cast<unsigned long>(seed));
    for (int i = 0; i < 250; i++) {
      double u = generator.rnd();
      ASSERT_GE(u, 0.0);
      ASSERT_LT(u, 1.0);
    }
  }
}

TEST(LaggedFibonacciSeedTest, ValidSeedsRunFromZeroToTwoToThe31MinusThree) {
  EXPECT_TRUE(LaggedFibonacci::IsValidSeed(0));
  EXPECT_TRUE(LaggedFibonacci::IsValidSeed(2147483645));
  EXPECT_FALSE(LaggedFibonacci::IsValidSeed(2147483646));
  EXPECT_FALSE(LaggedFibonacci::IsValidSeed(-1));
  EXPECT_FALSE(LaggedFibonacci::IsValidSeed(4294967296LL + 5));
  EXPECT_EQ(2147483645LL, kMaxLaggedFibonacciSeed);
}

TEST(LaggedFibonacciDeathTest, SeedsOutsideTheRangeStopInsteadOfHanging) {
  LaggedFibonacci generator;
  EXPECT_DEATH(generator.srnd(2147483646UL), "Assertion failed: .*file LaggedFibonacci");
  EXPECT_DEATH(generator.srnd(static_cast<unsigned long>(-1L)),
               "Assertion failed: .*file LaggedFibonacci");
  EXPECT_DEATH(ranf_start(-5), "Assertion failed: .*file LaggedFibonacci");
}

TEST(TauswortheTest, SeedMatchesReferenceBits) {
  Tausworthe generator;
  generator.srnd(31415);
  std::vector<double> expected = {0x1.ead32c43d5a66p-4, 0x1.71eb39f2e3d67p-1, 0x1.6d53c442daa79p-5,
                                  0x1.62bb2022c5764p-2, 0x1.035fd0c606bfap-1};
  EXPECT_EQ(expected, Draw(&generator, 5));
}

TEST(TauswortheTest, ZeroStateIsAFixedPoint) {
  // Seed 0x80000000 loses its only bit to the 31-bit mask in the first step.
  for (unsigned long seed : {0UL, 0x80000000UL}) {
    Tausworthe generator;
    generator.srnd(seed);
    for (int i = 0; i < 20; i++) ASSERT_EQ(0.0, generator.rnd()) << "seed " << seed;
  }
}

TEST(TauswortheTest, CanReturnExactlyOne) {
  // Output 1.0 needs the next state 0x7fffffff. Inverting b ^ (b >> 18)
  // (one application suffices for 31 bits) gives b = 0x7fffe000; inverting
  // s ^ (s << 13) on 31 bits gives s = b ^ (b << 13) ^ (b << 26) = 0x3ffe000.
  Tausworthe generator;
  generator.srnd(0x3ffe000UL);
  EXPECT_EQ(1.0, generator.rnd());
}

TEST(MersenneTwisterTest, SeedMatchesReferenceBits) {
  MersenneTwister generator;
  generator.srnd(31415);
  std::vector<double> expected = {0x1.4aa8bc7d00000p-1, 0x1.f86c314f00000p-1, 0x1.59b06dc700000p-1,
                                  0x1.4ec680d800000p-4, 0x1.f1001ccb00000p-1};
  EXPECT_EQ(expected, Draw(&generator, 5));
}

TEST(MersenneTwisterTest, UnseededStreamIsTheStreamOfItsDefaultSeed) {
  MersenneTwister unseeded;
  std::vector<double> expected = {0x1.c98cd31a00000p-2, 0x1.969f66d200000p-2, 0x1.0919781d00000p-1,
                                  0x1.130630a600000p-2, 0x1.ff608dfc00000p-3};
  EXPECT_EQ(expected, Draw(&unseeded, 5));
  MersenneTwister seeded;
  seeded.srnd(18671867);
  Draw(&seeded, 5);
  EXPECT_EQ(Draw(&seeded, 2000), Draw(&unseeded, 2000));
}

TEST(MersenneTwisterTest, IntegerStreamEqualsTheStandardLibraryTwister) {
  // std::mt19937 is an independent MT19937; the standard fixes its 10000th
  // output for the default seed 5489 at 4123659995.
  for (unsigned long seed : {5489UL, 31415UL, 0UL, 0xffffffffUL}) {
    MersenneTwister ours;
    ours.srnd(seed);
    std::mt19937 reference(static_cast<std::uint32_t>(seed));
    for (int i = 0; i < 10000; i++) {
      std::uint32_t mine = ours.rnd_int32();
      ASSERT_EQ(reference(), mine) << "seed " << seed << " draw " << i;
      if (seed == 5489UL && i == 9999) {
        EXPECT_EQ(4123659995u, mine);
      }
    }
  }
}

TEST(MersenneTwisterTest, DoublesAreCentredOnTheIntegerOutputs) {
  // rnd() = (k + 0.5) * 2^-32 for the twin generator's integer k.
  MersenneTwister forDoubles;
  MersenneTwister forIntegers;
  forDoubles.srnd(8);
  forIntegers.srnd(8);
  for (int i = 0; i < 1000; i++) {
    ASSERT_EQ((forIntegers.rnd_int32() + 0.5) / 4294967296.0, forDoubles.rnd());
  }
}

}  // namespace

#include "random/LaggedFibonacci.h"

#include "base/Assert.h"

namespace {

constexpr int KK = 100;                                   // the long lag
constexpr int LL = 37;                                    // the short lag
constexpr int TT = 70;                                    // guaranteed separation between streams
constexpr double kUlp = (1.0 / (1L << 30)) / (1L << 22);  // 2^-52

// The fractional part of x + y, for x and y in [0, 1).
inline double ModSum(double x, double y) {
  double sum = x + y;
  return sum - static_cast<int>(sum);
}

// Steps a to c of one round: square the polynomial held in u/ul.
void SquareStep(double u[], double ul[]) {
  for (int j = KK - 1; j > 0; j--) {
    ul[j + j] = ul[j];
    u[j + j] = u[j];
  }
  for (int j = KK + KK - 2; j > KK - LL; j -= 2) {
    ul[KK + KK - 1 - j] = 0.0;
    u[KK + KK - 1 - j] = u[j] - ul[j];
  }
  for (int j = KK + KK - 2; j >= KK; j--) {
    if (ul[j] == 0.0) continue;
    ul[j - (KK - LL)] = kUlp - ul[j - (KK - LL)];
    u[j - (KK - LL)] = ModSum(u[j - (KK - LL)], u[j]);
    ul[j - KK] = kUlp - ul[j - KK];
    u[j - KK] = ModSum(u[j - KK], u[j]);
  }
}

// Step d: multiply the polynomial by z.
void MultiplyByZ(double u[], double ul[]) {
  for (int j = KK; j > 0; j--) {
    ul[j] = ul[j - 1];
    u[j] = u[j - 1];
  }
  ul[0] = ul[KK];
  u[0] = u[KK];
  if (ul[KK] != 0.0) {
    ul[LL] = kUlp - ul[LL];
    u[LL] = ModSum(u[LL], u[KK]);
  }
}

}  // namespace

double ran_u[KK];
int LaggedFibonacci::readPosition = 0;

void ranf_array(double aa[], int n) {
  VELMOR_ASSERT(n >= KK, "LaggedFibonacci");
  int i;
  int j;
  for (j = 0; j < KK; j++) aa[j] = ran_u[j];
  for (; j < n; j++) aa[j] = ModSum(aa[j - KK], aa[j - LL]);
  for (i = 0; i < LL; i++, j++) ran_u[i] = ModSum(aa[j - KK], aa[j - LL]);
  for (; i < KK; i++, j++) ran_u[i] = ModSum(aa[j - KK], ran_u[i - LL]);
}

void ranf_start(int seed) {
  VELMOR_ASSERT(LaggedFibonacci::IsValidSeed(seed), "LaggedFibonacci");
  double u[KK + KK - 1];
  double ul[KK + KK - 1];
  double ss = 2.0 * kUlp * (seed + 2);
  int j;
  for (j = 0; j < KK; j++) {
    u[j] = ss;
    ul[j] = 0.0;
    ss += ss;
    if (ss >= 1.0) ss -= 1.0 - 2 * kUlp;
  }
  for (; j < KK + KK - 1; j++) u[j] = ul[j] = 0.0;
  u[1] += kUlp;
  ul[1] = kUlp;
  int s = seed;
  int t = TT - 1;
  while (t != 0) {
    SquareStep(u, ul);
    if (s & 1) MultiplyByZ(u, ul);
    if (s != 0) {
      s >>= 1;
    } else {
      t--;
    }
  }
  for (j = 0; j < LL; j++) ran_u[j + KK - LL] = u[j];
  for (; j < KK; j++) ran_u[j - LL] = u[j];
}

LaggedFibonacci::LaggedFibonacci() : buffer() {}

double LaggedFibonacci::rnd() {
  if (readPosition == kBlock) {
    readPosition = 0;
    ranf_array(buffer, kBlock);
  }
  return buffer[readPosition++];
}

void LaggedFibonacci::srnd(unsigned long seed) {
  VELMOR_ASSERT(seed <= static_cast<unsigned long>(kMaxLaggedFibonacciSeed), "LaggedFibonacci");
  ranf_start(static_cast<int>(seed));
  ranf_array(buffer, kBlock);
  ranf_array(buffer, kBlock);
}

#include "Accumulator.h"

namespace velmor_runner {

void Accumulator::Add(double value) {
  ++count;
  const double delta = value - mean;
  mean += delta / static_cast<double>(count);
  m2 += delta * (value - mean);
  if (value != 0.0 && value != 1.0) zeroOne = false;
  if (value != 0.0) allZero = false;
}

double Accumulator::Variance() const {
  return count > 1 ? m2 / static_cast<double>(count - 1) : 0.0;
}

}  // namespace velmor_runner

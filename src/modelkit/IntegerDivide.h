// IntegerDivide: integer division and remainder as a generated model takes
// them when the divisor is not a constant; part of the model kit. A zero
// divisor, or the one quotient no integer holds (the least integer by -1),
// stops the run with a message naming the expression, instead of the
// hardware trap that would kill the simulator.
#ifndef VELMOR_MODELKIT_INTEGERDIVIDE_H
#define VELMOR_MODELKIT_INTEGERDIVIDE_H

#include <cstdlib>
#include <iostream>
#include <limits>

// Writes the message and ends the run with status 1.
[[noreturn]] inline void VelmorStopArithmetic(const char* what, const char* where) {
  std::cerr << "ERROR: " << what << " at " << where << "\n" << std::flush;
  std::exit(1);
}

// a / b as C++ computes it for integers; where names the expression
// ("m.vm:12:7").
template <typename A, typename B>
inline auto VelmorDivide(A a, B b, const char* where) -> decltype(a / b) {
  using Q = decltype(a / b);
  if (b == 0) VelmorStopArithmetic("division by zero", where);
  if (b == -1 && a == std::numeric_limits<Q>::min()) {
    VelmorStopArithmetic("division overflows an integer", where);
  }
  return a / b;
}

// a % b as C++ computes it for integers.
template <typename A, typename B>
inline auto VelmorRemainder(A a, B b, const char* where) -> decltype(a % b) {
  if (b == 0) VelmorStopArithmetic("remainder by zero", where);
  if (b == -1) return 0;
  return a % b;
}

#endif  // VELMOR_MODELKIT_INTEGERDIVIDE_H

// IntegerOf: the integer a generated model takes of a rounded real (floor,
// ceil); part of the model kit. A value no int can hold, or not a number,
// stops the run with a message naming the expression, instead of the
// undefined conversion.
#ifndef VELMOR_MODELKIT_INTEGEROF_H
#define VELMOR_MODELKIT_INTEGEROF_H

#include <climits>
#include <cstdlib>
#include <iostream>

// value as an int; where names the expression ("floor at m.vm:12:7").
inline int VelmorIntegerOf(double value, const char* where) {
  if (!(value >= static_cast<double>(INT_MIN) && value <= static_cast<double>(INT_MAX))) {
    std::cerr << "ERROR: " << where << " is " << value << ", outside the range of an integer\n"
              << std::flush;
    std::exit(1);
  }
  return static_cast<int>(value);
}

#endif  // VELMOR_MODELKIT_INTEGEROF_H

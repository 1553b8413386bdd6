// ElementIndex: the run-time check of a computed index into an array
// place; part of the model kit. Simulation thread only.
#ifndef VELMOR_MODELKIT_ELEMENTINDEX_H
#define VELMOR_MODELKIT_ELEMENTINDEX_H

#include <cstdlib>
#include <iostream>

// Index i of an array place of n elements, read by who (an activity or a
// reward variable). An index outside 0 to n - 1 would reach past the
// array: the run stops with an error instead, as it does for a negative
// delay.
inline int ElementIndex(long long i, int n, const char* who, const char* place) {
  if (i < 0 || i >= n) {
    std::cerr << "ERROR: " << who << " uses element " << i << " of " << place << ", which has "
              << "elements 0 to " << n - 1 << "\n"
              << std::flush;
    std::exit(1);
  }
  return static_cast<int>(i);
}

#endif  // VELMOR_MODELKIT_ELEMENTINDEX_H

// Place: the SAN place, a shareable short whose value is the token count
// (the mark). Simulation thread only.
#ifndef VELMOR_FRAMEWORK_STATE_PLACE_H
#define VELMOR_FRAMEWORK_STATE_PLACE_H

#include "framework/state/SharableSV.h"

// A SharableSV<short> with a mark pointer registered in its pointer list,
// so the mark always reaches the storage cell of the sharing class.
// Ownership and invariants as SharableSV<short>.
class Place : public SharableSV<short> {
 public:
  Place();
  explicit Place(const char* name);
  Place(const char* name, short initialMark);

  short getMark() const { return *mark; }
  void setMark(short m) { *mark = m; }
  // The storage cell, for activities that cache it (register the cache
  // with registerPointer so that it follows sharing).
  short* getMarkPointer() const { return mark; }
  void test() {}

 protected:
  short* mark;  // always the class's storage cell
};

#endif  // VELMOR_FRAMEWORK_STATE_PLACE_H

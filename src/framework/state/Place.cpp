// Place: the mark pointer registered beside the value pointer.
#include "framework/state/Place.h"

Place::Place() : Place("default", 0) {}

Place::Place(const char* placeName) : Place(placeName, 0) {}

Place::Place(const char* placeName, short initialMark) : SharableSV<short>(), mark(nullptr) {
  registerPointer(&mark, nullptr);
  SetName(placeName);
  *mark = initialMark;
}

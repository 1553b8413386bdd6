// TypedPlace and CachedValue: a place holding a value of a type other than
// the token count (int, char, double, float), and an activity's cached
// pointer to its storage cell; part of the model kit. Simulation thread
// only.
#ifndef VELMOR_MODELKIT_TYPEDPLACE_H
#define VELMOR_MODELKIT_TYPEDPLACE_H

#include "base/Assert.h"
#include "framework/state/SharableSV.h"

// A SharableSV<T> with a name and an initial value. Composers share it
// with places of the same T only. Ownership and invariants as
// SharableSV<T>.
template <class T>
class TypedPlace : public SharableSV<T> {
 public:
  explicit TypedPlace(const char* placeName, T initial = T()) : SharableSV<T>() {
    this->SetName(placeName);
    this->setValue(initial);
  }
};

// One typed place an activity reads or writes, as CachedMark for token
// places: Link() registers the cache so that it follows sharing. Does not
// own the place; its address must not change after Link().
template <class T>
struct CachedValue {
  SharableSV<T>* place = nullptr;
  T* cell = nullptr;

  void Bind(SharableSV<T>* p) {
    place = p;
    cell = p->getValuePointer();
  }
  // REQUIRES: Bind was called.
  void Link() {
    VELMOR_ASSERT(place != nullptr, "CachedValue");
    place->registerPointer(&cell);
  }
  T& operator*() const { return *cell; }
};

#endif  // VELMOR_MODELKIT_TYPEDPLACE_H

// CachedMark: a place an activity reads or writes, with a cached pointer to
// the place's storage cell; part of the model kit every model is built from.
// Simulation thread only.
#ifndef VELMOR_MODELKIT_CACHEDMARK_H
#define VELMOR_MODELKIT_CACHEDMARK_H

#include "base/Assert.h"
#include "framework/state/Place.h"

// One place an activity reads or writes, with a cached pointer to the
// place's storage cell. Link() registers the cache with the place so that it
// follows the place's class when composers share it.
// Does not own the place. The cache's address must not change after Link()
// (it lives inside an activity object that never moves).
struct CachedMark {
  Place* place = nullptr;
  short* mark = nullptr;  // the storage cell of place's sharing class

  void Bind(Place* p) {
    place = p;
    mark = p->getMarkPointer();
  }
  // REQUIRES: Bind was called.
  void Link() {
    VELMOR_ASSERT(place != nullptr, "CachedMark");
    place->registerPointer(&mark);
  }
  short& operator*() const { return *mark; }
};

#endif  // VELMOR_MODELKIT_CACHEDMARK_H

// Globals: the base layer's reset point.
#include "base/Globals.h"

#include <climits>

#include "base/FastSet.h"
#include "base/List.h"

void ResetBaseGlobals() {
  FastSet::number1 = 0;
  FastSet::number2 = 0;
  list_internal::slotLimit = INT_MAX;
}

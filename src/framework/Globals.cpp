// Globals: the framework layer's reset point.
#include "framework/Globals.h"

#include "framework/BaseActionClass.h"
#include "framework/BaseModelClass.h"

void ResetFrameworkGlobals() {
  BaseActionClass::MaxID = 0;
  BaseModelClass::globalModelId = 0;
  BaseModelClass::LastActionTime = 0.0;
}

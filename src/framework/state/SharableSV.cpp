// SharableSV: the one instance the system uses is built here.
#include "framework/state/SharableSV.h"

template class SharableSV<short>;

#include "base/List.h"

namespace list_internal {

int slotLimit = INT_MAX;

const AllocationSite kGrowthSite{
    "!! Crtical error in List<C>::append(List*) do to insufficient memory...exiting"};

void GrowthFailed() { MemoryAllocationError(kGrowthSite.report, kGrowthSite.thenGeneric); }

}  // namespace list_internal

template class List<BaseGroupClass>;
template class List<BaseModelClass>;
template class List<BaseActionClass>;
template class List<BaseStateVariableClass>;

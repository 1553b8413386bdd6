#include "base/List.h"

namespace list_internal {

int slotLimit = INT_MAX;

void GrowthFailed() {
  std::fputs("!! Crtical error in ", stderr);
  std::fputs("List<C>::append(List*)", stderr);
  std::fputs(" do to insufficient memory...exiting", stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
  MemoryAllocationError();
}

}  // namespace list_internal

template class List<BaseGroupClass>;
template class List<BaseModelClass>;
template class List<BaseActionClass>;
template class List<BaseStateVariableClass>;

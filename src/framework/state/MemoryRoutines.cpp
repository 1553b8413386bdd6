// MemoryRoutines: native, packed copies between typed storage and bytes.
#include "framework/state/MemoryRoutines.h"

#include <cstring>

template <class T>
void writeArray(T* src, void* dst, int n) {
  if (n > 0) std::memcpy(dst, src, sizeof(T) * static_cast<size_t>(n));
}

template <class T>
void readArray(T* dst, void* src, int n) {
  if (n > 0) std::memcpy(dst, src, sizeof(T) * static_cast<size_t>(n));
}

template <class T>
void writeMemory(T value, void* dst) {
  std::memcpy(dst, &value, sizeof(T));
}

template <class T>
void readMemory2(void* src, T* dst) {
  std::memcpy(dst, src, sizeof(T));
}

#define VELMOR_INSTANTIATE_MEMORY_ROUTINES(T)  \
  template void writeArray<T>(T*, void*, int); \
  template void readArray<T>(T*, void*, int);  \
  template void writeMemory<T>(T, void*);      \
  template void readMemory2<T>(void*, T*);

VELMOR_INSTANTIATE_MEMORY_ROUTINES(bool)
VELMOR_INSTANTIATE_MEMORY_ROUTINES(char)
VELMOR_INSTANTIATE_MEMORY_ROUTINES(short)
VELMOR_INSTANTIATE_MEMORY_ROUTINES(int)
VELMOR_INSTANTIATE_MEMORY_ROUTINES(float)
VELMOR_INSTANTIATE_MEMORY_ROUTINES(double)

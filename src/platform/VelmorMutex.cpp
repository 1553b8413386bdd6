// VelmorMutex: built on the standard mutex.
#include "platform/VelmorMutex.h"

#include <atomic>
#include <cstdio>

namespace {
std::atomic<int> mutexCounter{0};
}  // namespace

VelmorMutex::VelmorMutex() { std::snprintf(name, sizeof name, "mutex%d", ++mutexCounter); }

void VelmorMutex::Get() { lock.lock(); }

void VelmorMutex::Release() { lock.unlock(); }

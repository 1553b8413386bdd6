// VelmorThread: built on the standard thread (POSIX threads underneath).
#include "platform/VelmorThread.h"

#include <chrono>

VelmorThread::VelmorThread(Function threadFunction, void* threadArgument)
    : function(threadFunction), argument(threadArgument), started(false), exitValue(0) {}

VelmorThread::~VelmorThread() { WaitUntilDone(); }

VelmorThread::Handle VelmorThread::Start() {
  if (started) return thread.native_handle();
  started = true;
  thread = std::thread([this] { exitValue = function(argument); });
  return thread.native_handle();
}

void VelmorThread::Sleep(int milliseconds) {
  if (milliseconds > 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
}

void VelmorThread::WaitUntilDone() {
  if (thread.joinable()) thread.join();
}

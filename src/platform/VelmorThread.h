// VelmorThread: one thread running one function on one argument.
// Start, WaitUntilDone and Sleep may be called from any thread; one thread
// at a time drives a given VelmorThread object.
#ifndef VELMOR_PLATFORM_VELMORTHREAD_H
#define VELMOR_PLATFORM_VELMORTHREAD_H

#include <cstdint>
#include <thread>

// Holds the thread function, its argument and, once started, the thread.
// Does not own the argument. The destructor waits for a started thread
// that nobody waited for, so a thread never outlives its object.
class VelmorThread {
 public:
  using Function = uint32_t (*)(void* argument);
  using Handle = std::thread::native_handle_type;

  VelmorThread(Function function, void* argument);
  ~VelmorThread();
  VelmorThread(const VelmorThread&) = delete;  // owns a running thread
  VelmorThread& operator=(const VelmorThread&) = delete;

  // Runs the function on the argument on a new thread at once; returns
  // the platform handle. A second Start starts nothing.
  Handle Start();
  // Suspends the calling thread for milliseconds.
  static void Sleep(int milliseconds);
  // Waits without time-out until the thread has ended. Does nothing when
  // the thread was never started or has been waited for already.
  void WaitUntilDone();
  // The function's result; meaningful after WaitUntilDone.
  uint32_t ExitValue() const { return exitValue; }

 private:
  Function function;
  void* argument;
  std::thread thread;
  bool started;
  uint32_t exitValue;
};

#endif  // VELMOR_PLATFORM_VELMORTHREAD_H

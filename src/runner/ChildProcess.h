// ChildProcess: a child process in a process group of its own, with its
// standard output and error on non-blocking pipes. The child is killed when
// the runner dies (parent-death signal), so a runner that is itself killed
// leaves no simulator behind. Not thread-safe.
#ifndef VELMOR_RUNNER_CHILDPROCESS_H
#define VELMOR_RUNNER_CHILDPROCESS_H

#include <sys/types.h>

#include <string>
#include <vector>

namespace velmor_runner {

// Changes to the environment a child starts with.
struct EnvironmentChanges {
  std::vector<std::string> set;    // "NAME=value"
  std::vector<std::string> unset;  // names
};

// Owns the process (killed and reaped by the destructor when still running)
// and the two pipe ends.
class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;  // owns a process and descriptors
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts argv[0] (a path) with argv. False with `error` set when the
  // pipes or the process cannot be made; an executable that cannot be run
  // shows as exit status 127 with the reason on its standard error.
  bool Start(const std::vector<std::string>& argv, const EnvironmentChanges& env,
             std::string* error);
  // Appends what is available on standard output / error; false at end of
  // stream (the descriptor is then closed and becomes -1).
  bool ReadStdout(std::string* into);
  bool ReadStderr(std::string* into);
  // Reaps the child without waiting; true once it has ended.
  bool TryReap();
  // Sends sig to the child's whole process group (while not yet reaped).
  void Signal(int sig);
  // SIGKILL to the group, then waits for the child.
  void KillAndReap();

  int StdoutFd() const { return outFd; }
  int StderrFd() const { return errFd; }
  bool Running() const { return pid > 0 && !reaped; }
  int WaitStatus() const { return waitStatus; }  // valid once reaped
  pid_t Pid() const { return pid; }

 private:
  bool ReadFd(int* fd, std::string* into);
  void CloseFds();

  pid_t pid = -1;
  bool reaped = false;
  int waitStatus = 0;
  int outFd = -1;
  int errFd = -1;
};

// "exit status 3", "killed by signal 9 (Killed)".
std::string DescribeStatus(int waitStatus);

// Runs argv to completion, collecting both streams; returns the wait status
// (0: exit status 0), or -1 when it could not be started.
int RunToCompletion(const std::vector<std::string>& argv, std::string* out, std::string* err);

}  // namespace velmor_runner

#endif  // VELMOR_RUNNER_CHILDPROCESS_H

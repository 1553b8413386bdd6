#include "ChildProcess.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace velmor_runner {
namespace {

void SetNonBlocking(int fd) { fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK); }

// In the child, after fork: only async-signal-safe calls, then exec.
[[noreturn]] void ExecChild(const std::vector<char*>& args, pid_t parent, int outW, int errW) {
  setpgid(0, 0);
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != parent) _exit(127);
  signal(SIGINT, SIG_DFL);
  signal(SIGTERM, SIG_DFL);
  signal(SIGPIPE, SIG_DFL);
  dup2(outW, 1);
  dup2(errW, 2);
  int devNull = open("/dev/null", O_RDONLY);
  if (devNull >= 0) dup2(devNull, 0);
  execv(args[0], args.data());
  const char* reason = strerror(errno);
  (void)!write(2, "cannot run ", 11);
  (void)!write(2, args[0], strlen(args[0]));
  (void)!write(2, ": ", 2);
  (void)!write(2, reason, strlen(reason));
  (void)!write(2, "\n", 1);
  _exit(127);
}

}  // namespace

ChildProcess::~ChildProcess() {
  if (Running()) KillAndReap();
  CloseFds();
}

bool ChildProcess::Start(const std::vector<std::string>& argv, const EnvironmentChanges& env,
                         std::string* error) {
  int outPipe[2], errPipe[2];
  if (pipe2(outPipe, O_CLOEXEC) != 0) {
    *error = std::string("cannot make a pipe: ") + strerror(errno);
    return false;
  }
  if (pipe2(errPipe, O_CLOEXEC) != 0) {
    *error = std::string("cannot make a pipe: ") + strerror(errno);
    close(outPipe[0]);
    close(outPipe[1]);
    return false;
  }
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  // The environment is changed around fork so that the child needs no
  // allocation; the parent's own copy is restored right after.
  std::vector<std::pair<std::string, std::string>> saved;
  auto remember = [&saved](const std::string& name) {
    const char* old = getenv(name.c_str());
    saved.emplace_back(name, old != nullptr ? std::string("=") + old : "");
  };
  for (const std::string& name : env.unset) {
    remember(name);
    unsetenv(name.c_str());
  }
  for (const std::string& entry : env.set) {
    const std::string name = entry.substr(0, entry.find('='));
    remember(name);
    setenv(name.c_str(), entry.substr(name.size() + 1).c_str(), 1);
  }
  const pid_t parent = getpid();
  pid = fork();
  if (pid == 0) ExecChild(args, parent, outPipe[1], errPipe[1]);
  for (auto it = saved.rbegin(); it != saved.rend(); ++it) {
    if (it->second.empty()) {
      unsetenv(it->first.c_str());
    } else {
      setenv(it->first.c_str(), it->second.c_str() + 1, 1);
    }
  }
  close(outPipe[1]);
  close(errPipe[1]);
  if (pid < 0) {
    *error = std::string("cannot start a process: ") + strerror(errno);
    close(outPipe[0]);
    close(errPipe[0]);
    return false;
  }
  setpgid(pid, pid);  // also here, so a signal sent at once reaches the group
  outFd = outPipe[0];
  errFd = errPipe[0];
  SetNonBlocking(outFd);
  SetNonBlocking(errFd);
  reaped = false;
  return true;
}

bool ChildProcess::ReadFd(int* fd, std::string* into) {
  if (*fd < 0) return false;
  char buffer[4096];
  for (;;) {
    ssize_t got = read(*fd, buffer, sizeof buffer);
    if (got > 0) {
      into->append(buffer, static_cast<size_t>(got));
      continue;
    }
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return true;
    close(*fd);
    *fd = -1;
    return false;
  }
}

bool ChildProcess::ReadStdout(std::string* into) { return ReadFd(&outFd, into); }
bool ChildProcess::ReadStderr(std::string* into) { return ReadFd(&errFd, into); }

bool ChildProcess::TryReap() {
  if (pid <= 0 || reaped) return true;
  int status = 0;
  pid_t r = waitpid(pid, &status, WNOHANG);
  if (r == pid) {
    reaped = true;
    waitStatus = status;
    // Anything the child left in its group (a wrapper's children) goes too.
    kill(-pid, SIGKILL);
  }
  return reaped;
}

void ChildProcess::Signal(int sig) {
  if (Running()) kill(-pid, sig);
}

void ChildProcess::KillAndReap() {
  if (!Running()) return;
  kill(-pid, SIGKILL);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  reaped = true;
  waitStatus = status;
}

void ChildProcess::CloseFds() {
  if (outFd >= 0) close(outFd);
  if (errFd >= 0) close(errFd);
  outFd = errFd = -1;
}

std::string DescribeStatus(int waitStatus) {
  if (WIFEXITED(waitStatus)) return "exit status " + std::to_string(WEXITSTATUS(waitStatus));
  if (WIFSIGNALED(waitStatus)) {
    const int sig = WTERMSIG(waitStatus);
    return "killed by signal " + std::to_string(sig) + " (" + strsignal(sig) + ")";
  }
  return "wait status " + std::to_string(waitStatus);
}

int RunToCompletion(const std::vector<std::string>& argv, std::string* out, std::string* err) {
  ChildProcess child;
  std::string error;
  if (!child.Start(argv, EnvironmentChanges(), &error)) {
    *err = error;
    return -1;
  }
  bool outOpen = true, errOpen = true;
  while (outOpen || errOpen) {
    pollfd fds[2] = {{child.StdoutFd(), POLLIN, 0}, {child.StderrFd(), POLLIN, 0}};
    poll(fds, 2, 1000);
    if (outOpen) outOpen = child.ReadStdout(out);
    if (errOpen) errOpen = child.ReadStderr(err);
  }
  while (!child.TryReap()) poll(nullptr, 0, 10);
  return child.WaitStatus();
}

}  // namespace velmor_runner

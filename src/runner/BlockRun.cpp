#include "BlockRun.h"

#include <errno.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

namespace velmor_runner {
namespace {

const size_t kTailBytes = 2000;  // stderr kept for a failure message

std::string Tail(const std::string& text) {
  std::string t = text.size() > kTailBytes ? "..." + text.substr(text.size() - kTailBytes) : text;
  while (!t.empty() && (t.back() == '\n' || t.back() == '\r')) t.pop_back();
  return t;
}

// The value after `key` up to the end of its line, when a whole line holds it.
bool FindLineValue(const std::string& text, const std::string& key, std::string* value) {
  size_t at = text.find(key);
  if (at == std::string::npos) return false;
  size_t end = text.find('\n', at);
  if (end == std::string::npos) return false;
  *value = text.substr(at + key.size(), end - at - key.size());
  return true;
}

}  // namespace

BlockRun::BlockRun(BlockSpec blockSpec, int numVariables, std::vector<int> wanted,
                   double timeoutSeconds, bool atLeast)
    : spec(blockSpec),
      variables(std::move(wanted)),
      countsAtLeast(atLeast),
      timeout(timeoutSeconds),
      stream(numVariables) {}

BlockRun::~BlockRun() {
  if (child.Running()) {
    child.KillAndReap();
    if (launcher != nullptr) launcher->Cancel(tag);
  }
  CloseSocket();
}

bool BlockRun::Start(const Launcher& how, const std::vector<std::string>& simulatorArgs,
                     std::string* error) {
  launcher = &how;
  tag = "velmor-" + std::to_string(getpid()) + "-c" + std::to_string(spec.cell) + "-b" +
        std::to_string(spec.block) + "-a" + std::to_string(spec.attempt);
  LaunchCommand command = how.Command(simulatorArgs, tag);
  return child.Start(command.argv, command.env, error);
}

void BlockRun::AddPollFds(std::vector<pollfd>* fds) const {
  if (child.StdoutFd() >= 0) fds->push_back({child.StdoutFd(), POLLIN, 0});
  if (child.StderrFd() >= 0) fds->push_back({child.StderrFd(), POLLIN, 0});
  if (socketFd >= 0) fds->push_back({socketFd, POLLIN, 0});
}

void BlockRun::Advance(double now) {
  if (finished) return;
  if (lastActivity == 0.0) lastActivity = now;
  ReadStdout(now);
  if (!stderrDone) stderrDone = !child.ReadStderr(&stderrText);
  if (stderrText.size() > 4 * kTailBytes) stderrText.erase(0, stderrText.size() - kTailBytes);
  if (socketFd >= 0) ReadSocket(now);
  if (child.TryReap()) {
    // The process is gone: whatever it wrote is in the pipes and socket.
    ReadStdout(now);
    if (socketFd >= 0) ReadSocket(now);
    if (!stderrDone) stderrDone = !child.ReadStderr(&stderrText);
    Conclude();
    return;
  }
  // A job waiting in the cluster's queue is not silent: the clock starts
  // when its task names its node.
  const bool queued = launcher != nullptr && launcher->NamesItsNode() && job.empty();
  if (queued) lastActivity = now;
  if (stopReason.empty() && !queued && now - lastActivity > timeout) {
    Stop("sent nothing for " + std::to_string(static_cast<long>(timeout)) + " s");
  }
}

void BlockRun::ReadStdout(double now) {
  if (stdoutDone) return;
  const size_t before = stdoutText.size();
  stdoutDone = !child.ReadStdout(&stdoutText);
  if (stdoutText.size() != before) lastActivity = now;
  std::string value;
  if (launcher != nullptr && launcher->NamesItsNode() && job.empty() &&
      FindLineValue(stdoutText, "VELMOR_NODE=", &value)) {
    const size_t space = value.find(' ');
    node = value.substr(0, space);
    job = space == std::string::npos ? "-" : value.substr(space + 1);
    if (job.empty()) job = "-";
  }
  if (!sawPort && FindLineValue(stdoutText, "REGISTER:  Port: [", &value)) {
    sawPort = true;
    const int port = std::atoi(value.c_str());
    std::string error;
    if (port <= 0 || port > 65535 || !ConnectTo(node, port, &error)) {
      Stop("could not connect to its port " + value + (error.empty() ? "" : ": " + error));
    }
  }
  // Only the announcement matters; keep the text short.
  if (sawPort && stdoutText.size() > 4 * kTailBytes)
    stdoutText.erase(0, stdoutText.size() - kTailBytes);
}

bool BlockRun::ConnectTo(const std::string& host, int port, std::string* error) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0 || !found) {
    *error = "cannot resolve " + host;
    return false;
  }
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  bool ok = fd >= 0 && connect(fd, found->ai_addr, found->ai_addrlen) == 0;
  if (!ok) *error = strerror(errno);
  freeaddrinfo(found);
  if (!ok) {
    if (fd >= 0) close(fd);
    return false;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
  socketFd = fd;
  return true;
}

void BlockRun::ReadSocket(double now) {
  char buffer[65536];
  for (;;) {
    ssize_t got = recv(socketFd, buffer, sizeof buffer, 0);
    if (got > 0) {
      lastActivity = now;
      if (!stream.Feed(buffer, static_cast<size_t>(got))) {
        Stop("sent a malformed message: " + stream.Error());
        return;
      }
      continue;
    }
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
    socketDone = true;
    CloseSocket();
    return;
  }
}

void BlockRun::Stop(const std::string& why) {
  if (finished) return;
  if (stopReason.empty()) stopReason = why;
  if (socketFd >= 0) {
    const char quit = 2;
    (void)!send(socketFd, &quit, 1, MSG_NOSIGNAL);
  }
  if (launcher != nullptr && launcher->NamesItsNode()) {
    launcher->Cancel(tag);
  }
  child.KillAndReap();
  Conclude();
}

void BlockRun::Conclude() {
  CloseSocket();
  finished = true;
  const int status = child.WaitStatus();
  std::string reason = stopReason;
  if (reason.empty() && !(WIFEXITED(status) && WEXITSTATUS(status) == 0)) {
    reason = "ended with " + DescribeStatus(status);
  }
  if (reason.empty() && !sawPort) reason = "ended without announcing its port";
  if (reason.empty() && stream.Partial()) reason = "ended in the middle of a message";
  if (reason.empty()) {
    for (int v : variables) {
      const long got = static_cast<long>(stream.Values()[static_cast<size_t>(v)].size());
      if (got < spec.replications || (got > spec.replications && !countsAtLeast)) {
        reason = "ended after " + std::to_string(got) + " of " + std::to_string(spec.replications) +
                 " replications";
        break;
      }
    }
  }
  succeeded = reason.empty();
  if (!succeeded) {
    const std::string err = Tail(stderrText);
    failure =
        reason + (err.empty() ? "; its standard error was empty" : "; its standard error:\n" + err);
  }
}

void BlockRun::CloseSocket() {
  if (socketFd >= 0) close(socketFd);
  socketFd = -1;
}

}  // namespace velmor_runner

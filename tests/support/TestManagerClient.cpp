// TestManagerClient and ChildProcess: POSIX sockets, fork and exec.
#include "TestManagerClient.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

int MillisLeft(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

bool WaitReadable(int fd, int timeoutMs) {
  pollfd entry{fd, POLLIN, 0};
  int ready;
  do {
    ready = poll(&entry, 1, timeoutMs);
  } while (ready < 0 && errno == EINTR);
  return ready > 0;
}

}  // namespace

uint32_t ReadUInt32BE(const unsigned char* b) {
  return (static_cast<uint32_t>(b[0]) << 24) | (static_cast<uint32_t>(b[1]) << 16) |
         (static_cast<uint32_t>(b[2]) << 8) | static_cast<uint32_t>(b[3]);
}

uint16_t ReadUInt16BE(const unsigned char* b) { return static_cast<uint16_t>((b[0] << 8) | b[1]); }

double ReadDoubleBE(const unsigned char* b) {
  uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits = (bits << 8) | b[i];
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

TestManagerClient::~TestManagerClient() { Close(); }

bool TestManagerClient::Connect(int port, int timeoutMs) {
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    Close();
    descriptor = socket(AF_INET, SOCK_STREAM, 0);
    if (descriptor < 0) return false;
    sockaddr_in address;
    std::memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(descriptor, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
      return true;
    }
    if (MillisLeft(deadline) == 0) {
      Close();
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

bool TestManagerClient::ReadExact(unsigned char* out, size_t n, int timeoutMs) {
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  size_t got = 0;
  while (got < n) {
    if (!WaitReadable(descriptor, MillisLeft(deadline))) return false;
    ssize_t result = recv(descriptor, out + got, n - got, 0);
    if (result < 0 && errno == EINTR) continue;
    if (result <= 0) return false;
    got += static_cast<size_t>(result);
  }
  return true;
}

bool TestManagerClient::ReadMessage(std::vector<unsigned char>* message, int timeoutMs) {
  unsigned char head[4];
  if (!ReadExact(head, 4, timeoutMs)) return false;
  const uint32_t length = ReadUInt32BE(head);
  // The CPU-time message's length field counts only the bytes after it.
  const size_t total = length == 12 ? 16 : length;
  if (total < 4 || total > (64u << 20)) return false;
  message->assign(head, head + 4);
  message->resize(total);
  return ReadExact(message->data() + 4, total - 4, timeoutMs);
}

bool TestManagerClient::WaitForClose(int timeoutMs) {
  if (!WaitReadable(descriptor, timeoutMs)) return false;
  unsigned char byte;
  ssize_t result = recv(descriptor, &byte, 1, 0);
  return result == 0 || (result < 0 && errno == ECONNRESET);
}

bool TestManagerClient::SendBytes(const std::string& bytes) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    ssize_t result = send(descriptor, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (result < 0 && errno == EINTR) continue;
    if (result <= 0) return false;
    sent += static_cast<size_t>(result);
  }
  return true;
}

void TestManagerClient::Close() {
  if (descriptor >= 0) close(descriptor);
  descriptor = -1;
}

ChildProcess::~ChildProcess() {
  if (pid > 0) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
  if (outputPipe >= 0) close(outputPipe);
}

bool ChildProcess::Start(const std::string& program, const std::vector<std::string>& args,
                         const std::string& workDir, const std::string& stderrPath,
                         const std::vector<std::string>& extraEnvironment) {
  // Everything the child needs is built before fork: after it only
  // async-signal-safe calls are made.
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;  // extra entries first: they win a lookup
  for (const std::string& e : extraEnvironment) {
    envp.push_back(const_cast<char*>(e.c_str()));
  }
  for (char** e = environ; *e != nullptr; ++e) envp.push_back(*e);
  envp.push_back(nullptr);
  int fds[2];
  if (pipe(fds) != 0) return false;
  pid = fork();
  if (pid < 0) return false;
  if (pid == 0) {
    dup2(fds[1], STDOUT_FILENO);
    int err = open(stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (err >= 0) dup2(err, STDERR_FILENO);
    close(fds[0]);
    if (chdir(workDir.c_str()) != 0) _exit(126);
    execve(program.c_str(), argv.data(), envp.data());
    _exit(127);
  }
  close(fds[1]);
  launched = pid;
  outputPipe = fds[0];
  return true;
}

bool ChildProcess::ReadSome(int timeoutMs) {
  if (outputPipe < 0 || !WaitReadable(outputPipe, timeoutMs)) return false;
  char chunk[4096];
  ssize_t result = read(outputPipe, chunk, sizeof chunk);
  if (result < 0 && errno == EINTR) return true;
  if (result <= 0) {
    close(outputPipe);
    outputPipe = -1;
    return false;
  }
  output.append(chunk, static_cast<size_t>(result));
  return true;
}

bool ChildProcess::WaitForLine(const std::string& needle, int timeoutMs, std::string* line) {
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    size_t end;
    while ((end = output.find('\n', scanned)) != std::string::npos) {
      std::string candidate = output.substr(scanned, end - scanned);
      scanned = end + 1;
      if (candidate.find(needle) != std::string::npos) {
        *line = candidate;
        return true;
      }
    }
    if (!ReadSome(MillisLeft(deadline))) return false;
  }
}

int ChildProcess::Finish(int timeoutMs) {
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (outputPipe >= 0 && MillisLeft(deadline) > 0) {
    ReadSome(MillisLeft(deadline));
  }
  for (;;) {
    int status = 0;
    pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) {
      pid = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    if (MillisLeft(deadline) == 0) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
      pid = -1;
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

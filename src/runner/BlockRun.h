// BlockRun: one attempt at one block: the simulator process, its manager
// link (this side connects to the port it announces) and everything it
// sent. Driven by the Manager's poll loop. Not thread-safe.
#ifndef VELMOR_RUNNER_BLOCKRUN_H
#define VELMOR_RUNNER_BLOCKRUN_H

#include <poll.h>

#include <memory>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "Launcher.h"
#include "MessageStream.h"

namespace velmor_runner {

// What the runner asks of one block.
struct BlockSpec {
  int cell = 0;   // index of the (experiment, point) cell
  int block = 0;  // index of the block within its cell
  uint32_t seed = 0;
  long replications = 0;
  int attempt = 1;  // 1, or 2 for the rerun
};

// Owns the process, the connection and the decoded stream.
// Invariant: the connection is opened only to the port that this block's
// own process announced.
class BlockRun {
 public:
  // `variables` are the indices whose observation counts must reach
  // spec.replications for the block to count as complete: exactly, or at
  // least when `atLeast` (a steady-state run, where a variable with shorter
  // batches completes more of them).
  BlockRun(BlockSpec spec, int numVariables, std::vector<int> variables, double timeoutSeconds,
           bool atLeast = false);
  ~BlockRun();
  BlockRun(const BlockRun&) = delete;  // owns a process and a socket
  BlockRun& operator=(const BlockRun&) = delete;

  bool Start(const Launcher& launcher, const std::vector<std::string>& simulatorArgs,
             std::string* error);
  // Adds the descriptors to wait on.
  void AddPollFds(std::vector<pollfd>* fds) const;
  // Reads whatever is ready and advances; `now` in seconds (monotonic).
  void Advance(double now);
  bool Finished() const { return finished; }
  // Once finished: true when the process exited 0 after every observation.
  bool Succeeded() const { return succeeded; }
  // Once finished and failed: what went wrong, with the stderr tail.
  const std::string& Failure() const { return failure; }
  // Stops the block (quit on the link, then the process group is killed);
  // it finishes as failed with `why`.
  void Stop(const std::string& why);

  const BlockSpec& Spec() const { return spec; }
  const MessageStream& Stream() const { return stream; }
  double CpuSeconds() const { return stream.CpuSeconds(); }
  const std::string& Node() const { return node; }

 private:
  void ReadStdout(double now);
  void ReadSocket(double now);
  bool ConnectTo(const std::string& host, int port, std::string* error);
  void Conclude();
  void CloseSocket();

  BlockSpec spec;
  std::vector<int> variables;
  bool countsAtLeast = false;
  double timeout;
  const Launcher* launcher = nullptr;
  ChildProcess child;
  MessageStream stream;
  int socketFd = -1;
  bool socketDone = false;
  bool stdoutDone = false;
  bool stderrDone = false;
  std::string stdoutText;
  std::string stderrText;
  std::string node = "127.0.0.1";
  std::string job;  // the cluster's job id, once the block names it
  std::string tag;  // unique name of the block's process or job
  bool sawPort = false;
  double lastActivity = 0.0;
  bool finished = false;
  bool succeeded = false;
  std::string failure;
  std::string stopReason;
};

}  // namespace velmor_runner

#endif  // VELMOR_RUNNER_BLOCKRUN_H

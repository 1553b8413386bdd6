// TestManagerClient: a simulation manager of our own for tests. It talks
// to the simulator over plain POSIX sockets (not through the simulator's
// socket class) and decodes the big-endian fields byte by byte, so tests
// check the wire format independently of the encoders under test.
// ChildProcess runs an executable with its standard output on a pipe.
// Not thread-safe: one thread drives each object.
#ifndef VELMOR_TESTS_SUPPORT_TESTMANAGERCLIENT_H
#define VELMOR_TESTS_SUPPORT_TESTMANAGERCLIENT_H

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

// Big-endian field readers, written out byte by byte.
uint32_t ReadUInt32BE(const unsigned char* bytes);
uint16_t ReadUInt16BE(const unsigned char* bytes);
double ReadDoubleBE(const unsigned char* bytes);

// One TCP connection to 127.0.0.1. Every read has a hard time-out.
class TestManagerClient {
 public:
  TestManagerClient() = default;
  ~TestManagerClient();
  TestManagerClient(const TestManagerClient&) = delete;  // owns a descriptor
  TestManagerClient& operator=(const TestManagerClient&) = delete;

  // Connects to 127.0.0.1:port, retrying refused attempts until timeoutMs.
  bool Connect(int port, int timeoutMs);
  // Reads exactly n bytes; false on time-out, error or end of stream.
  bool ReadExact(unsigned char* out, size_t n, int timeoutMs);
  // Reads one simulator message (length field included): 10 a control
  // reply, 12 a CPU-time message (16 bytes in all), else an observation.
  bool ReadMessage(std::vector<unsigned char>* message, int timeoutMs);
  // True when the simulator closed the connection within timeoutMs (with
  // no further bytes pending).
  bool WaitForClose(int timeoutMs);
  bool SendBytes(const std::string& bytes);
  void Close();

 private:
  int descriptor = -1;
};

// A child process whose standard output is read through a pipe and whose
// standard error goes to a file.
class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess();                             // kills and reaps a child still running
  ChildProcess(const ChildProcess&) = delete;  // owns a process
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts program with args (argv[0] is program) in workDir, with the
  // extra environment entries "NAME=value" added.
  bool Start(const std::string& program, const std::vector<std::string>& args,
             const std::string& workDir, const std::string& stderrPath,
             const std::vector<std::string>& extraEnvironment);
  // Reads standard output until a complete line containing needle has
  // arrived; stores it in line. False on time-out or end of output.
  bool WaitForLine(const std::string& needle, int timeoutMs, std::string* line);
  // Reads the rest of standard output and waits for the exit; returns the
  // exit status, or -1 when the process had to be killed after timeoutMs.
  int Finish(int timeoutMs);
  const std::string& Output() const { return output; }
  // The process id of the started child, also after Finish.
  pid_t Pid() const { return launched; }

 private:
  bool ReadSome(int timeoutMs);  // false at end of output or time-out

  pid_t pid = -1;       // -1 once reaped
  pid_t launched = -1;  // the child started
  int outputPipe = -1;
  std::string output;  // standard output read so far
  size_t scanned = 0;  // WaitForLine has looked at output up to here
};

#endif  // VELMOR_TESTS_SUPPORT_TESTMANAGERCLIENT_H

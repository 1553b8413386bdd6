// VelmorSocket: a blocking IPv4 TCP socket behind a small class.
// Not thread-safe: one thread uses a socket at a time. Diagnostics go to
// standard error, one line each, and are remembered as the last error.
#ifndef VELMOR_PLATFORM_VELMORSOCKET_H
#define VELMOR_PLATFORM_VELMORSOCKET_H

#include <string>

// Wraps one socket descriptor (or none). The socket is never made
// non-blocking: Send, Recv, RecvBlock and Accept block. Sends never raise
// SIGPIPE; a send on a connection the peer closed returns a negative value.
// Owns its descriptor; copying is deleted (two owners would close it twice).
// Invariant: descriptor is -1 or an open descriptor owned by this object.
class VelmorSocket {
 public:
  // With create, opens an IPv4 stream socket ("error in socket creation"
  // on failure); without, holds no descriptor until Accept fills it.
  explicit VelmorSocket(bool create);
  ~VelmorSocket();
  VelmorSocket(const VelmorSocket&) = delete;  // owns a descriptor
  VelmorSocket& operator=(const VelmorSocket&) = delete;

  // Once per process: starts the platform's socket library where one
  // exists. On POSIX there is none; the call only sets the flag.
  static void InitializeSocketLibrary();
  static bool SocketLibraryInitialized();

  // Binds to 0.0.0.0 (every address) and the low 16 bits of port (0: the
  // system chooses).
  // Address-in-use fails silently (no line, last error unchanged) so that a
  // caller can walk on to the next port; see LastBindInUse.
  bool Bind(int port);
  // As Bind, on 127.0.0.1 alone when loopbackOnly is true.
  bool Bind(int port, bool loopbackOnly);
  // True when the last failed Bind failed because the address was in use.
  bool LastBindInUse() const { return lastBindInUse; }
  // The local port the socket is bound to, or -1 when it cannot be read.
  int BoundPort() const;
  bool Listen(int backlog);
  // Waits for one connection; stores the new descriptor (-1 on failure)
  // in into, closing whatever into held before.
  bool Accept(VelmorSocket& into);
  bool Connect(const char* host, int port);
  // True when the socket is readable (data, end of stream or an error
  // pending) within milliseconds; 0 polls, a negative value waits forever.
  bool Select(int milliseconds);
  // Sends all length bytes; returns length, or a value <= 0 on failure.
  int Send(const char* data, int length);
  // One receive: bytes received, 0 when the peer closed, negative on error.
  int Recv(char* buffer, int length);
  // Receives until length bytes arrived or the connection fails or closes;
  // returns the number of bytes received.
  int RecvBlock(char* buffer, int length);
  // As above, but also stops once the text received so far ends with
  // terminator. REQUIRES: buffer holds length + 1 bytes (a NUL is stored
  // behind the bytes received after each receive). Returns 0 when
  // length <= 0.
  int RecvBlock(char* buffer, int length, const char* terminator);
  // Shuts the connection down both ways and closes the descriptor.
  // Returns the close result, or -1 when there was no descriptor.
  int Close();
  // The last error text this socket printed, or nullptr.
  const char* GetErrorString() const;
  bool IsOpen() const { return descriptor >= 0; }

 private:
  void ReportError(const std::string& text, const std::string& detail);

  int descriptor;
  bool hasError;          // lastError holds a text
  std::string lastError;  // the last printed message, without numbers
  bool lastBindInUse;
};

#endif  // VELMOR_PLATFORM_VELMORSOCKET_H

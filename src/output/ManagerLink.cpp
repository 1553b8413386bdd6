// ManagerLink: waiting for the manager's connection, registration, and the
// manager's one-byte commands.
#include "output/ManagerLink.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "base/Allocate.h"
#include "output/RunControl.h"
#include "output/SimMgrMessages.h"
#include "output/StopSignal.h"
#include "platform/VelmorSocket.h"

namespace {

constexpr int kListenBacklog = 100;
constexpr int kPortCount = 65536;
// How long the manager may take to send the rest of a redirect text.
constexpr int kRedirectTextWaitMillis = 60000;

// The manager's wait may be shortened (never lengthened) for a run by the
// environment variable VELMOR_SIMMGR_WAIT_MS, in milliseconds.
// A value that is not a whole number of milliseconds is ignored.
int EffectiveTimeout(int timeoutMillis) {
  const char* text = std::getenv("VELMOR_SIMMGR_WAIT_MS");
  if (text == nullptr || timeoutMillis <= 0) return timeoutMillis;
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || errno == ERANGE) return timeoutMillis;
  if (value >= 0 && value < timeoutMillis) return static_cast<int>(value);
  return timeoutMillis;
}

// VELMOR_SIMMGR_LOOPBACK=1 makes the simulator listen on 127.0.0.1 only;
// by default it listens on every address, as remote managers need.
bool LoopbackOnly() {
  const char* text = std::getenv("VELMOR_SIMMGR_LOOPBACK");
  return text != nullptr && std::strcmp(text, "1") == 0;
}

// Milliseconds on the monotonic clock.
long long NowMillis() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Sends one control reply; false when the send failed.
bool SendControlReply(VelmorSocket* socket, int marker, int code) {
  char reply[kControlReplySize];
  EncodeControlReply(marker, code, static_cast<int32_t>(getpid()), reply);
  return socket->Send(reply, kControlReplySize) > 0;
}

// Binds listenSocket to port or the next free one, wrapping within 16
// bits. A failure other than address-in-use ends the walk. On success port
// holds the port actually bound (the system's choice for port 0).
bool BindFromPort(VelmorSocket* socket, unsigned short* port) {
  for (int tries = 0; tries < kPortCount; ++tries) {
    if (socket->Bind(*port, LoopbackOnly())) {
      const int bound = socket->BoundPort();
      if (bound >= 0) *port = static_cast<unsigned short>(bound);
      return true;
    }
    if (!socket->LastBindInUse()) return false;
    *port = static_cast<unsigned short>((*port + 1) & 0xFFFF);
  }
  return false;
}

// Reads a redirect text up to and including ";;" into text (at most max
// bytes). A manager that stops sending before the terminator, or has not
// sent the whole text within waitMillis of the command (one deadline for the
// whole text, however the bytes trickle in), gets no redirect: text is left
// empty, so a slow or silent peer can never hold the simulation up for long.
void ReceiveRedirectText(VelmorSocket* socket, char* text, int max, int waitMillis) {
  int received = 0;
  text[0] = '\0';
  const long long deadline = NowMillis() + waitMillis;
  while (received < max) {
    const long long left = deadline - NowMillis();
    if (left <= 0 || !socket->Select(static_cast<int>(left))) break;
    const int result = socket->Recv(text + received, max - received);
    if (result <= 0) break;
    received += result;
    text[received] = '\0';
    if (received >= 2 && text[received - 2] == ';' && text[received - 1] == ';') return;
  }
  text[0] = '\0';
}

// Command 3: read "name;number;;", reply, hand the request to the driver,
// then drop the link.
void HandleRedirect(ManagerLink& link, VelmorSocket* socket, RunControl& run,
                    RedirectHandler& redirect) {
  char text[kRedirectTextMax + 1];
  ReceiveRedirectText(socket, text, kRedirectTextMax, EffectiveTimeout(kRedirectTextWaitMillis));
  if (!SendControlReply(socket, kControlMarker, kReplyRedirect)) run.StopRun();
  redirect.ApplyRedirect(ParseRedirectText(text));
  if (socket == link.simMgrSocket) {
    delete link.simMgrSocket;  // closes the connection
    link.simMgrSocket = nullptr;
  } else {
    socket->Close();
  }
}

}  // namespace

ManagerLink::~ManagerLink() { ReleaseManagerLink(); }

VelmorSocket* ManagerLink::WaitForSimMgrConnection(int timeoutMillis, unsigned short* port,
                                                   RunControl& run) {
  delete listenSocket;
  listenSocket = Allocate<VelmorSocket>(true);
  if (!listenSocket->IsOpen() || !BindFromPort(listenSocket, port)) {
    return nullptr;
  }
  // Listen before announcing the port: a manager that connects as soon as
  // it reads the line must find the socket ready, not refuse it.
  listenSocket->Listen(kListenBacklog);
  std::cout << "REGISTER:  Port: [" << *port << "]" << std::endl;
  VelmorSocket* connection = Allocate<VelmorSocket>(false);
  bool connected = false;
  int timeout = EffectiveTimeout(timeoutMillis);
  // Every pass waits acceptPollMillis and counts as that long, however long
  // it really took; only a wait shortened for tests below one pass makes
  // the pass shorter.
  int pass = acceptPollMillis;
  if (timeout != timeoutMillis && timeout > 0 && timeout < pass) pass = timeout;
  for (;;) {
    if (connected) return connection;
    // A SIGINT or SIGTERM ends the wait too: the run then ends cleanly.
    if (run.runState != 0 || StopSignalReceived() != 0) break;
    if (!(timeout > 0 || timeout == -1)) break;
    const bool timed = timeout > 0;
    if (listenSocket->Select(pass) && listenSocket->Accept(*connection)) {
      if (!SendControlReply(connection, kControlMarker, kReplyRegister)) run.StopRun();
      connected = true;
    }
    if (timed) timeout -= pass;
  }
  delete connection;
  return nullptr;
}

int ManagerLink::ListenToSimMgr(VelmorSocket* socket, RunControl& run, RedirectHandler& redirect) {
  if (socket == nullptr) return 0;
  if (!socket->Select(listenPollMillis)) {
    if (socket->GetErrorString() != nullptr) {
      std::cout << "Error reading socket 'select'... Exiting." << std::endl;
      run.StopRun();
    }
    return 0;
  }
  char command = 0;
  if (socket->RecvBlock(&command, 1) != 1) {
    if (socket->GetErrorString() != nullptr) {
      std::cout << "Error reading socket 'read'... Exiting." << std::endl;
      run.StopRun();
    }
    return 0;
  }
  switch (static_cast<unsigned char>(command)) {
    case kCommandIdentify:
      if (!SendControlReply(socket, kControlMarker, kReplyRegister)) run.StopRun();
      break;
    case kCommandQuit:
      std::cout << "SOCKET::Quit" << std::endl;
      SendControlReply(socket, kQuitMarker, kReplyQuit);
      run.StopRun();
      break;
    case kCommandRedirect:
      HandleRedirect(*this, socket, run, redirect);
      break;
    default:
      std::cerr << "!! Invalid Response Received by Client " << std::endl;
      std::cerr << "!! Simulation" << std::endl;
      break;
  }
  return static_cast<unsigned char>(command);
}

int ManagerLink::ListenToSimMgrLoop(VelmorSocket* socket, RunControl& run,
                                    RedirectHandler& redirect) {
  while (run.runState == 0 && socket != nullptr) {
    const bool isLink = socket == simMgrSocket;
    ListenToSimMgr(socket, run, redirect);
    if (isLink && simMgrSocket == nullptr) break;  // redirected: it is gone
    if (!socket->IsOpen()) break;
  }
  return 0;
}

int ManagerLink::SocketThreadFunc(unsigned short* port, RunControl& run,
                                  RedirectHandler& redirect) {
  while (run.runState == 0) {
    simMgrSocket = WaitForSimMgrConnection(-1, port, run);
    // Without a time-out, no connection means the port could not be bound
    // or the run was stopped: either way there is nothing to wait for.
    if (simMgrSocket == nullptr) break;
    ListenToSimMgrLoop(simMgrSocket, run, redirect);
    break;
  }
  return 0;
}

void ManagerLink::ReleaseManagerLink() {
  delete simMgrSocket;
  simMgrSocket = nullptr;
  delete listenSocket;
  listenSocket = nullptr;
}

// Fuzzes the manager's command stream as the simulator reads it over its
// link (command bytes, redirect texts included): each input is sent by a
// peer on 127.0.0.1 that then closes its sending side, and the link reads
// commands until it drops the connection. Any stream must end with the link
// closed, never a crash, a hang or undefined behaviour.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzQuiet.h"
#include "output/ManagerLink.h"
#include "output/RunControl.h"
#include "output/SimMgrMessages.h"
#include "platform/VelmorSocket.h"

namespace {

// Accepts redirects without acting on them (the driver's handler opens
// files; the link's own reading is what is fuzzed here).
class IgnoreRedirect : public RedirectHandler {
 public:
  void ApplyRedirect(const RedirectRequest& request) override {
    if (request.hasFileName && request.fileName.empty()) __builtin_trap();
  }
};

VelmorSocket* listener = nullptr;

// A peer socket connected to the listener, or -1.
int ConnectPeer() {
  int peer = socket(AF_INET, SOCK_STREAM, 0);
  if (peer < 0) return -1;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(listener->BoundPort()));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(peer, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
    close(peer);
    return -1;
  }
  // Closing with a reset leaves no TIME_WAIT behind: millions of runs would
  // otherwise use up the local ports.
  linger noWait{1, 0};
  setsockopt(peer, SOL_SOCKET, SO_LINGER, &noWait, sizeof(noWait));
  return peer;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  FuzzQuiet::SilenceStdout();
  setenv("VELMOR_SIMMGR_WAIT_MS", "20", 1);  // an unfinished redirect text waits briefly
  listener = new VelmorSocket(true);
  if (!listener->Bind(0) || !listener->Listen(4)) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096) return 0;  // beyond any command and text
  int peer = ConnectPeer();
  // Ports still held by earlier runs: wait for them rather than report a
  // fault of the harness as one of the link.
  for (int tries = 0; peer < 0 && tries < 200; ++tries) {
    usleep(10000);
    peer = ConnectPeer();
  }
  if (peer < 0) std::abort();
  ManagerLink link;
  link.simMgrSocket = new VelmorSocket(false);
  if (!listener->Accept(*link.simMgrSocket)) std::abort();
  if (size > 0 && send(peer, data, size, 0) != static_cast<ssize_t>(size)) std::abort();
  shutdown(peer, SHUT_WR);
  FuzzQuiet quiet;
  RunControl run;
  IgnoreRedirect redirect;
  link.listenPollMillis = 20;
  for (int commands = 0; commands < 5000 && run.runState == 0 && link.simMgrSocket != nullptr;
       ++commands) {
    if (link.ListenToSimMgr(link.simMgrSocket, run, redirect) == 0) break;
  }
  close(peer);
  return 0;
}

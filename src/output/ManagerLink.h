// ManagerLink: the simulator's side of the link to a simulation manager:
// waiting for the manager's connection (with the port walk and the
// registration), and the manager's one-byte commands. Simulation thread
// only (or the one socket thread that runs SocketThreadFunc).
#ifndef VELMOR_OUTPUT_MANAGERLINK_H
#define VELMOR_OUTPUT_MANAGERLINK_H

class RunControl;
class VelmorSocket;
struct RedirectRequest;

// Receives the manager's redirect command (command 3), once its text has
// arrived and been answered, before the link is dropped. The driver applies
// it to its results files and batch limit.
class RedirectHandler {
 public:
  virtual ~RedirectHandler() = default;
  virtual void ApplyRedirect(const RedirectRequest& request) = 0;
};

// Owns: simMgrSocket (the connection, or null) and listenSocket (the
// listening socket of the last wait, or null).
// Invariant: a redirect deletes simMgrSocket when it came over that link.
class ManagerLink {
 public:
  ManagerLink() = default;
  ~ManagerLink();                            // ReleaseManagerLink
  ManagerLink(const ManagerLink&) = delete;  // owns the sockets
  ManagerLink& operator=(const ManagerLink&) = delete;

  // Binds *port or the next free port, announces it ("REGISTER:  Port:
  // [n]", *port then holds the port bound), and waits up to timeoutMillis
  // (-1: for ever; shortened by VELMOR_SIMMGR_WAIT_MS) in passes of
  // acceptPollMillis while the run is running and no SIGINT or SIGTERM came
  // (StopSignal). Returns the registered connection (caller owns it), or
  // null.
  VelmorSocket* WaitForSimMgrConnection(int timeoutMillis, unsigned short* port, RunControl& run);
  // Reads and carries out one command when one arrives within
  // listenPollMillis. Returns the command byte, or 0 when none came.
  int ListenToSimMgr(VelmorSocket* socket, RunControl& run, RedirectHandler& redirect);
  // ListenToSimMgr while the run is running and the link stays open.
  int ListenToSimMgrLoop(VelmorSocket* socket, RunControl& run, RedirectHandler& redirect);
  // Waits for a manager without a time-out, then listens to it.
  int SocketThreadFunc(unsigned short* port, RunControl& run, RedirectHandler& redirect);
  // Releases simMgrSocket and listenSocket.
  void ReleaseManagerLink();

  VelmorSocket* simMgrSocket = nullptr;
  VelmorSocket* listenSocket = nullptr;
  int acceptPollMillis = 2000;
  int listenPollMillis = 0;
};

#endif  // VELMOR_OUTPUT_MANAGERLINK_H

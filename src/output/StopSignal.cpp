#include "output/StopSignal.h"

#include <signal.h>

#include <csignal>
#include <cstring>

namespace {

volatile std::sig_atomic_t stopSignal = 0;  // SIGINT or SIGTERM once received

extern "C" void OnStopSignal(int signal) { stopSignal = signal; }

}  // namespace

void InstallStopSignalHandlers() {
  std::signal(SIGPIPE, SIG_IGN);
  struct sigaction action;
  std::memset(&action, 0, sizeof action);
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

int StopSignalReceived() { return stopSignal; }

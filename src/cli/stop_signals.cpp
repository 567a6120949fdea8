#include "cli/stop_signals.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>

#include "cli/usage.h"

namespace gw::cli {
namespace {

std::atomic<int> gStopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free,
              "a signal handler may only touch lock-free atomics");

// Runs inside the signal: only an atomic exchange and _exit, both safe there.
extern "C" void OnStopSignal(int signal) {
  if (gStopSignal.exchange(signal) != 0) {
    ::_exit(kExitSignalBase + signal);
  }
}

}  // namespace

void InstallStopSignals() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  // Reads and writes in progress go on rather than fail: the article being written is finished.
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGINT, &action, nullptr);
  ::sigaction(SIGTERM, &action, nullptr);
}

int StopSignal() {
  return gStopSignal.load();
}

void SetStopSignal(int signal) {
  gStopSignal.store(signal);
}

}  // namespace gw::cli

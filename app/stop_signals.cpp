// stop_signals.cpp: records a stop signal for the event loop to act on.
// Ending the show exits through the toolkit's and the sound layer's exit
// handlers, which a signal handler must not run.
#include "app/stop_signals.h"

#include <signal.h>

#include <array>
#include <csignal>

namespace {

constexpr std::array stop_signal_numbers{SIGINT, SIGTERM, SIGHUP};

volatile std::sig_atomic_t stop_signal_arrived = 0;

void record_stop(int /*signal_number*/) { stop_signal_arrived = 1; }

bool is_ignored(int signal_number) {
  struct sigaction current {};
  return sigaction(signal_number, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

}  // namespace

void catch_stop_signals() {
  struct sigaction action {};
  action.sa_handler = record_stop;
  sigemptyset(&action.sa_mask);
  // Interrupted calls carry on; the handler then gives way to the default,
  // so a second signal ends a show that has stopped answering.
  action.sa_flags = SA_RESTART | SA_RESETHAND;
  for (const int signal_number : stop_signal_numbers) {
    if (!is_ignored(signal_number)) sigaction(signal_number, &action, nullptr);
  }
}

bool stop_requested() { return stop_signal_arrived != 0; }

#include "platform/end_signals.h"

#include <csignal>
#include <initializer_list>

namespace {
volatile std::sig_atomic_t Signalled = 0;
void Note(int) { Signalled = 1; }
}  // namespace

void CatchEndSignals() {
  struct sigaction action {};
  action.sa_handler = Note;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: a wait for the next event ends at once and the loop sees
  // the signal.
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}

bool EndSignalled() { return Signalled != 0; }

// Quitting on a signal: a flag set by the handler, tested by the loops.
#include "game/quit_signal.h"

#include <initializer_list>

volatile sig_atomic_t quit_signalled = 0;

namespace {

// Only sets the flag: everything else waits for the main thread, which may be
// inside Xlib or OpenGL when the signal comes.
void note_quit_signal(int)
{
  quit_signalled = 1;
}

}  // namespace

void watch_quit_signals()
{
  struct sigaction action = {};
  action.sa_handler = note_quit_signal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal_number : {SIGTERM, SIGINT, SIGHUP})
    sigaction(signal_number, &action, nullptr);
}

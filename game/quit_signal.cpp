// The signals the game answers: a quit flag set by the handler and tested by
// the loops, and the two signals of a failed write ignored.
#include "game/quit_signal.h"

#include <allegro.h>
#include <cstdio>
#include <initializer_list>
#include <sys/wait.h>
#include <unistd.h>

volatile sig_atomic_t quit_signalled = 0;

namespace {

constexpr int MESSAGE_POLL_MS = 10;  // how often the wait for a message box looks for a quit signal

// Only sets the flag: everything else waits for the main thread, which may be
// inside Xlib or OpenGL when the signal comes.
void note_quit_signal(int)
{
  quit_signalled = 1;
}

}  // namespace

void ignore_write_signals()
{
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
}

void watch_quit_signals()
{
  struct sigaction action = {};
  action.sa_handler = note_quit_signal;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: a quit signal also ends whatever system call the main
  // thread waits in (Allegro's other threads block the three signals), so
  // that it comes back to a loop that sees the flag.
  action.sa_flags = 0;
  for (int signal_number : {SIGTERM, SIGINT, SIGHUP})
    sigaction(signal_number, &action, nullptr);
}

void show_message_until_quit(const char *text)
{
  // Allegro waits for its xmessage box until it is clicked, whatever signal
  // comes. So the message is shown by a child process, in a process group of
  // its own with its box, which a quit signal ends as a whole.
  std::fflush(nullptr);  // nothing buffered here is written twice
  pid_t shower = fork();
  if (shower == 0) {
    setpgid(0, 0);
    allegro_message("%s", text);
    std::fflush(stdout);  // without xmessage, Allegro prints the message there
    _exit(0);
  }
  if (shower < 0) {
    allegro_message("%s", text);
    return;
  }
  setpgid(shower, shower);  // both sides, whichever runs first
  while (waitpid(shower, nullptr, WNOHANG) == 0) {
    if (quit_signalled) {
      kill(-shower, SIGTERM);
      waitpid(shower, nullptr, 0);
      return;
    }
    usleep(MESSAGE_POLL_MS * 1000);
  }
}

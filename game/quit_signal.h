// Quitting on a signal: SIGTERM, SIGINT and SIGHUP ask the game to end the
// way ESC does, so it shuts down in order and gives the desktop its mode back.
#pragma once

#include <csignal>

// 1 once SIGTERM, SIGINT or SIGHUP has arrived; the loops test it.
extern volatile sig_atomic_t quit_signalled;

// Replaces Allegro's handlers of the three signals with one that only sets
// quit_signalled. Call right after allegro_init, which installs them.
void watch_quit_signals();

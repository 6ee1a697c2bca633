// The signals the game answers: SIGTERM, SIGINT and SIGHUP ask it to end the
// way ESC does, so it shuts down in order and gives the desktop its mode
// back; SIGPIPE and SIGXFSZ are ignored, so that a write to a closed pipe or
// past a file size limit is a failed write like any other.
#pragma once

#include <csignal>

// 1 once SIGTERM, SIGINT or SIGHUP has arrived; the loops test it.
extern volatile sig_atomic_t quit_signalled;

// Makes a write to a closed pipe (pilko 2>&1 | head -n 1) or past a file
// size limit fail with EPIPE or EFBIG, which every writer of the game
// checks, instead of ending the game on the spot. Call first thing.
void ignore_write_signals();

// Replaces Allegro's handlers of the three quit signals with one that only
// sets quit_signalled. Call right after allegro_init, which installs them.
void watch_quit_signals();

// Shows text with allegro_message, which under X waits for the player to
// click OK in an xmessage box; a quit signal ends the wait and the box.
void show_message_until_quit(const char *text);

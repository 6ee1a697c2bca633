// The real game in a scripted session on the current display: start-up
// times, the processor time and memory it takes while played.
#pragma once

#include "bench/results.h"

// Where the game and the swap-logging library are.
struct session_setup {
  const char *pilko;     // the game binary
  const char *data_dir;  // its working directory
  const char *swap_log;  // the preloaded library that logs buffer swaps
};

// Starts the game, goes through logo and title to a game, plays every
// camera, walks, jumps and skips a level with TAB+END, then quits.
void run_game_session(const session_setup &setup, session_figures &figures);

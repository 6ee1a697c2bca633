// The game's command line: a small table of options read before start-up.
#pragma once

#include "game/graphics_mode.h"

// What read_options returns when the game should start as usual.
constexpr int START_GAME = -1;

// What the command line asked of the game; with no option, the game as designed.
struct player_choices {
  screen_request screen;          // --window, --window-size: a window and its size
  const char *level = nullptr;    // --level: a level number or a level file
  const char *record = nullptr;   // --record: where to write each game's keys
  const char *replay = nullptr;   // --replay: a recording to play back
  const char *edit = nullptr;     // --edit: a level file to edit instead of playing
};

// What the command line chose; read_options fills it in.
extern player_choices choices;

// Reads the command line. START_GAME when there is nothing to do but play;
// otherwise the option has done all there is to do (help, version: exit 0)
// or the line was wrong (usage on stderr: exit 2), and the result is the exit
// status for main to return.
int read_options(int argc, char **argv);

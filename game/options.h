// The game's command line: a small table of options read before start-up.
#pragma once

// What read_options returns when the game should start as usual.
constexpr int START_GAME = -1;

// Reads the command line. START_GAME when there is nothing to do but play;
// otherwise the option has done all there is to do (help, version: exit 0)
// or the line was wrong (usage on stderr: exit 2), and the result is the exit
// status for main to return.
int read_options(int argc, char **argv);

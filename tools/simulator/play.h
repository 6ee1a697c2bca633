// Playing one level from key runs through the game's own world update,
// without a display or sound, as the game plays it: 3 lives, camera preset 2,
// the level-complete pause once no drop is left, the game over when a revival
// spends the last life. Used by pilko-sim and by level-compiler verify.
#pragma once

#include "tools/simulator/key_script.h"

#include <cstdio>
#include <string>
#include <vector>

// What to print while playing; with log null nothing is printed.
struct play_options {
  FILE *log;
  bool trajectory;  // every tick's position, not only the events
  bool enemies;     // every enemy's position each tick
};

// The last death of a play: when, why and where.
struct death_record {
  long tick;        // 0: the hero never died
  std::string cause;  // "lava floor", "lava block" or "enemy N"
  std::string place;  // "cell (x, y), world (x, y)"
};

// How a play ended.
struct play_result {
  long ticks;
  int drops_left;
  int lives;
  bool completed;   // no drop was left
  long completed_tick;
  bool game_over;   // the last life was spent
  std::string hero_place;
  death_record last_death;
};

// Starts Allegro without a display or sound; false (with a message on
// stderr) when it cannot.
bool start_headless();
// A new game on the map file at path, as the title screen starts one;
// false, with "tool: path: message" on stderr, when the map cannot be used.
bool start_game(const char *path);
// Plays the runs of keys from the start of the level to the end of the
// script, the end of the level or the game over.
play_result play_runs(const std::vector<key_run> &runs, const play_options &options);

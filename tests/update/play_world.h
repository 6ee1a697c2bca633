// A world for tick tests: a flat level built in the game's own globals, keys
// held in Allegro's key array, and the effects the real world_update plays.
#pragma once

#include <gtest/gtest.h>
#include <allegro.h>
#include <initializer_list>

#include "game/world.h"

// Starts Allegro without a display (once) and lays out a flat stone floor of
// height 0 with no drops, walls or enemies; the hero stands at its start
// (4, 4), heading 0, with 3 lives, camera preset 2, no key held.
void start_flat_level();

// Sets the height and kind of cell (x, y).
void set_cell(int x, int y, float height, int kind = KIND_STONE_FLOOR);
// Lays a drop on cell (x, y).
void place_drop(int x, int y);
// Puts an enemy into the next slot at the centre of cell (x, y), at that
// cell's height, moving in direction.
void place_enemy(int x, int y, int direction);

// Holds exactly these keys (Allegro scancodes) from now on.
void hold(std::initializer_list<int> keys);
// Lets every key go.
void release_keys();

// Runs world_update once; returns the number of the tick it ran (from 1).
int tick();
// Runs world_update n times.
void ticks(int n);

// How often sample was played in every tick so far, and in tick number t.
int played(SAMPLE *sample);
int played_in(SAMPLE *sample, int t);
// The number of the last tick in which sample was played; 0 if never.
int last_played(SAMPLE *sample);

// Tick tests, one fixture per behaviour, each on a fresh flat level.
class PlayTest : public ::testing::Test {
protected:
  void SetUp() override { start_flat_level(); }
  void TearDown() override { release_keys(); }
};

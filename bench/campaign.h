// The shipped levels with their solutions, replayed through the real world
// update to give the hero places that frames are measured at.
#pragma once

#include "world/world.h"
#include "replay/replay.h"

#include <string>
#include <vector>

// Everything of the world state that the frame draws and the update changes
// while a level is played (the level map itself stays as loaded).
struct world_snapshot {
  float hero_x, hero_y, hero_z;
  int32_t hero_heading, hero_dead, hero_airborne, lives, drops_left;
  float hero_vz;
  enemy enemies[MAX_ENEMIES];
  int32_t drop_grid[GRID_SIZE][GRID_SIZE];
};

// One shipped level: its map, its solution and places along the solution.
struct campaign_level {
  int number;                   // from 1, as the game numbers maps
  std::string map_path;         // the compiled map in the data folder
  std::vector<key_run> script;  // the solution
  long solution_ticks;          // ticks until the last drop is collected
  std::vector<world_snapshot> places;  // evenly spaced along the solution
};

// Reads every level listed (level files, in order), its compiled map in
// data_dir and its solution, and replays the solution, keeping up to
// max_places places. False with a message when a file is missing.
bool load_campaign(const std::vector<std::string> &level_files, const std::string &data_dir,
                   int max_places, std::vector<campaign_level> &levels);

// Starts a level as a new game starts level 1: camera 2, 3 lives, its map.
bool start_level(const campaign_level &level);
// Puts a place's state back into the world.
void restore_snapshot(const world_snapshot &place);

// Map files made by tests: a level built in memory and written in the map
// file's byte layout (32-bit little-endian values), apart from the level
// library's own writer so that the loader is checked against a second one.
#pragma once

#include "tests/support/files.h"
#include "world/map_format.h"

#include <string>
#include <vector>

constexpr float TEST_WALL_HEIGHT = 3.0f;  // too high to climb or jump

struct test_map {
  int start_x = 1, start_y = 1;
  float height[GRID_SIZE][GRID_SIZE] = {};
  int drop_marker[GRID_SIZE][GRID_SIZE] = {};  // DROP_MARKER_DROP = a drop lies here
  int kind[GRID_SIZE][GRID_SIZE] = {};
  struct enemy_record { int x, y, direction; };
  std::vector<enemy_record> enemies;

  test_map();  // no drops anywhere
};

// The bytes of a map file for the level.
std::vector<unsigned char> map_bytes(const test_map &map);
// A level enclosed by walls, all of one kind, without drops or enemies; the
// hero on (2, 2), facing +x.
test_map walled_level(int kind = KIND_METAL);

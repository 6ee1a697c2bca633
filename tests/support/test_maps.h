// Files made by tests: a level built in memory and written in the map
// file's byte layout (32-bit little-endian values).
#pragma once

#include "tools/asset-kit/files.h"

#include <string>
#include <vector>

struct test_map {
  int start_x = 1, start_y = 1;
  float height[25][25] = {};
  int drop_marker[25][25] = {};  // 0 = a drop lies here
  int kind[25][25] = {};
  struct enemy_record { int x, y, direction; };
  std::vector<enemy_record> enemies;

  test_map();  // no drops anywhere
};

// The bytes of a map file for the level.
std::vector<unsigned char> map_bytes(const test_map &map);
// A fresh temporary folder for one test's files.
std::string temp_folder();

// Levels for tests that run the simulator or the game on a map file.
#pragma once

#include "tests/support/test_maps.h"

constexpr float TEST_WALL_HEIGHT = 3.0f;  // too high to climb or jump
constexpr int TEST_KIND_GRASS = 0, TEST_KIND_STONE = 1, TEST_KIND_METAL = 3, TEST_KIND_LAVA = 4;

// A level enclosed by walls, all of this kind, no drops or enemies, the hero on (2, 2) facing +x.
inline test_map walled_level(int kind = TEST_KIND_METAL)
{
  test_map map;
  map.start_x = map.start_y = 2;
  for (int x = 0; x < GRID_SIZE; x++)
    for (int y = 0; y < GRID_SIZE; y++) {
      map.kind[x][y] = kind;
      map.height[x][y] = x % (GRID_SIZE - 1) == 0 || y % (GRID_SIZE - 1) == 0 ? TEST_WALL_HEIGHT : 0.0f;
    }
  return map;
}

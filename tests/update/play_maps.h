// Levels for tests that run the simulator or the game on a map file.
#pragma once

#include "tests/support/test_maps.h"

constexpr float TEST_WALL_HEIGHT = 3.0f;  // too high to climb or jump
constexpr int TEST_KIND_GRASS = 0, TEST_KIND_STONE = 1, TEST_KIND_METAL = 3, TEST_KIND_LAVA = 4;

// A level enclosed by walls, floor and walls of the given kind, no drops, no
// enemies, the hero starting on cell (2, 2) and facing +x.
test_map walled_level(int kind = TEST_KIND_METAL);

// Levels for tests that run the simulator or the game on a map file.
#include "tests/update/play_maps.h"

test_map walled_level(int kind)
{
  test_map map;
  map.start_x = 2;
  map.start_y = 2;
  for (int x = 0; x < 25; x++)
    for (int y = 0; y < 25; y++)
      map.kind[x][y] = kind;
  for (int i = 0; i < 25; i++)
    for (int edge : {0, 24})
      map.height[edge][i] = map.height[i][edge] = TEST_WALL_HEIGHT;
  return map;
}

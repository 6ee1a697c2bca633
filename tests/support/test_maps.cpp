// Map files made by tests.
#include "tests/support/test_maps.h"
#include "base/base.h"

test_map::test_map()
{
  for (auto &column : drop_marker)
    for (int &marker : column)
      marker = 1;
}

std::vector<unsigned char> map_bytes(const test_map &map)
{
  std::vector<unsigned char> bytes;
  put_le32(bytes, (uint32_t)map.start_x);
  put_le32(bytes, (uint32_t)map.start_y);
  for (int x = 0; x < GRID_SIZE; x++)
    for (int y = 0; y < GRID_SIZE; y++) {
      put_le_float(bytes, map.height[x][y]);
      put_le32(bytes, (uint32_t)map.drop_marker[x][y]);
      put_le32(bytes, (uint32_t)map.kind[x][y]);
    }
  put_le32(bytes, (uint32_t)map.enemies.size());
  for (const auto &e : map.enemies) {
    put_le32(bytes, (uint32_t)e.x);
    put_le32(bytes, (uint32_t)e.y);
    put_le32(bytes, (uint32_t)e.direction);
  }
  return bytes;
}

test_map walled_level(int kind)
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

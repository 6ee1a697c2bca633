// Map files made by tests.
#include "tests/support/test_maps.h"
#include "level/level.h"

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
    for (int y = 0; y < GRID_SIZE; y++)
      for (uint32_t field : {height_bits_of(map.height[x][y]), (uint32_t)map.drop_marker[x][y], (uint32_t)map.kind[x][y]})
        put_le32(bytes, field);
  put_le32(bytes, (uint32_t)map.enemies.size());
  for (const auto &e : map.enemies)
    for (int field : {e.x, e.y, e.direction})
      put_le32(bytes, (uint32_t)field);
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

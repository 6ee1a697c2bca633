// The map loader: byte layout, drops, enemies, and damaged files.
#include <gtest/gtest.h>
#include "game/map_load.h"
#include "game/world.h"
#include "tests/support/test_maps.h"

#include <cstring>

namespace {

class MapLoad : public ::testing::Test {
protected:
  std::string folder = temp_folder();

  // Resets the world the way a game does before it loads a map.
  int load(const std::vector<unsigned char> &bytes)
  {
    reset_world();
    return load_map(write_file(folder + "/map.map", bytes).c_str());
  }

  // Puts a previous level's drops in place, to see whether a load keeps them.
  void leave_previous_drops()
  {
    test_map previous;
    previous.drop_marker[5][6] = 0;
    previous.drop_marker[7][8] = 0;
    ASSERT_EQ(load(map_bytes(previous)), 1);
    ASSERT_EQ(drops_left, 2);
  }

  void expect_rejected_and_cleared(const std::vector<unsigned char> &bytes)
  {
    leave_previous_drops();
    EXPECT_EQ(load(bytes), 0);
    EXPECT_EQ(enemy_count, 0);
    for (int cx = 0; cx < GRID_SIZE; cx++)
      for (int cy = 0; cy < GRID_SIZE; cy++) {
        EXPECT_EQ(level_map[cx][cy].height, 0.0f);
        EXPECT_EQ(level_map[cx][cy].kind, 0);
      }
    EXPECT_EQ(drops_left, 2);  // the previous level's count stays
    EXPECT_EQ(drop_grid[5][6], 1);
    EXPECT_EQ(hero_x, 4.0f);  // as reset_world left it: nothing read
    EXPECT_EQ(start_x, 4);
    for (const enemy &e : enemies)
      EXPECT_EQ(e.direction, NO_ENEMY);
  }
};

}  // namespace

TEST_F(MapLoad, ReadsEveryFieldAtItsOffset)
{
  test_map map;
  map.start_x = 3;
  map.start_y = 5;
  map.height[1][2] = 1.75f;
  map.drop_marker[1][2] = 0;
  map.kind[1][2] = KIND_METAL;
  map.height[24][24] = -0.5f;
  map.kind[24][24] = 9;  // kinds outside 0..5 are stored as read
  map.enemies = {{6, 7, 1}, {1, 2, 7}};
  std::vector<unsigned char> bytes = map_bytes(map);
  ASSERT_EQ(bytes.size(), 7512u + 24u);

  // The cell (1, 2) record and the enemy count sit where the format says.
  float height;
  std::memcpy(&height, &bytes[332], 4);
  EXPECT_EQ(height, 1.75f);
  EXPECT_EQ(bytes[336], 0);
  EXPECT_EQ(bytes[340], KIND_METAL);
  EXPECT_EQ(bytes[7508], 2);
  EXPECT_EQ(bytes[7512], 6);

  ASSERT_EQ(load(bytes), 1);
  EXPECT_EQ(start_x, 6);
  EXPECT_EQ(start_y, 10);
  EXPECT_EQ(hero_x, 6.0f);
  EXPECT_EQ(hero_y, 10.0f);
  EXPECT_EQ(hero_z, 0.0f);  // the first tick lifts the hero onto its cell
  EXPECT_EQ(level_map[1][2].height, 1.75f);
  EXPECT_EQ(level_map[1][2].kind, KIND_METAL);
  EXPECT_EQ(level_map[24][24].kind, 9);
  EXPECT_EQ(level_map[24][24].height, -0.5f);
  EXPECT_EQ(drops_left, 1);
  EXPECT_EQ(drop_grid[1][2], 1);

  EXPECT_EQ(enemy_count, 2);
  EXPECT_EQ(enemies[0].x, 12.0f);
  EXPECT_EQ(enemies[0].y, 14.0f);
  EXPECT_EQ(enemies[0].direction, 1);
  EXPECT_EQ(enemies[0].speed, 0.2f);
  // An enemy takes the height of its start cell, read before the enemies.
  EXPECT_EQ(enemies[1].z, 1.75f);
  EXPECT_EQ(enemies[1].direction, 7);  // directions are stored as read
  for (int i = 2; i < MAX_ENEMIES; i++)
    EXPECT_EQ(enemies[i].direction, NO_ENEMY);
}

TEST_F(MapLoad, CountsDrops)
{
  test_map everywhere;
  for (auto &column : everywhere.drop_marker)
    for (int &marker : column)
      marker = 0;
  ASSERT_EQ(load(map_bytes(everywhere)), 1);
  EXPECT_EQ(drops_left, 625);

  test_map nowhere;
  nowhere.drop_marker[0][0] = 2;  // any non-zero marker means no drop
  ASSERT_EQ(load(map_bytes(nowhere)), 1);
  EXPECT_EQ(drops_left, 0);
  EXPECT_EQ(drop_grid[0][0], 0);
}

TEST_F(MapLoad, NoEnemiesIsTheShortestMap)
{
  test_map map;
  std::vector<unsigned char> bytes = map_bytes(map);
  EXPECT_EQ(bytes.size(), 7512u);
  ASSERT_EQ(load(bytes), 1);
  EXPECT_EQ(enemy_count, 0);
}

TEST_F(MapLoad, IgnoresBytesAfterTheLastEnemy)
{
  test_map map;
  map.enemies = {{2, 2, 0}};
  std::vector<unsigned char> bytes = map_bytes(map);
  bytes.resize(bytes.size() + 100, 0xff);
  EXPECT_EQ(load(bytes), 1);
  EXPECT_EQ(enemy_count, 1);
}

TEST_F(MapLoad, MissingFileClearsTheLevelButKeepsTheDrops)
{
  leave_previous_drops();
  reset_world();
  EXPECT_EQ(load_map((folder + "/no-such.map").c_str()), 0);
  EXPECT_EQ(level_map[5][6].height, 0.0f);
  EXPECT_EQ(enemy_count, 0);
  EXPECT_EQ(drops_left, 2);
  EXPECT_EQ(drop_grid[7][8], 1);
}

TEST_F(MapLoad, RejectsShortFile)
{
  test_map map;
  std::vector<unsigned char> bytes = map_bytes(map);
  bytes.resize(7000);
  expect_rejected_and_cleared(bytes);
  expect_rejected_and_cleared({});
}

TEST_F(MapLoad, RejectsFileShorterThanItsEnemies)
{
  test_map map;
  map.enemies = {{2, 2, 0}, {3, 3, 0}};
  std::vector<unsigned char> bytes = map_bytes(map);
  bytes.resize(bytes.size() - 1);
  expect_rejected_and_cleared(bytes);
}

TEST_F(MapLoad, RejectsEnemyCountOutsideTheSlots)
{
  test_map map;
  for (int i = 0; i < 11; i++)
    map.enemies.push_back({2, 2, 0});
  expect_rejected_and_cleared(map_bytes(map));

  test_map negative;
  std::vector<unsigned char> bytes = map_bytes(negative);
  bytes[7508] = bytes[7509] = bytes[7510] = bytes[7511] = 0xff;  // -1
  expect_rejected_and_cleared(bytes);
}

TEST_F(MapLoad, RejectsStartCellsOffTheGrid)
{
  for (auto cell : {std::pair<int, int>{25, 0}, {0, -1}}) {
    test_map map;
    map.start_x = cell.first;
    map.start_y = cell.second;
    expect_rejected_and_cleared(map_bytes(map));
  }
  test_map enemy_off;
  enemy_off.enemies = {{3, 3, 0}, {0, 25, 0}};
  expect_rejected_and_cleared(map_bytes(enemy_off));
}

TEST_F(MapLoad, TenEnemiesFillEverySlot)
{
  test_map map;
  for (int i = 0; i < 10; i++)
    map.enemies.push_back({i + 2, 3, i % 4});
  ASSERT_EQ(load(map_bytes(map)), 1);
  EXPECT_EQ(enemy_count, 10);
  EXPECT_EQ(enemies[9].x, 22.0f);
}

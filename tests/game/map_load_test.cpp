// The map loader: byte layout, drops, enemies, and damaged files.
#include <gtest/gtest.h>
#include "world/map_load.h"
#include "world/world.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_maps.h"

#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class MapLoad : public ::testing::Test {
protected:
  scratch_folder scratch;
  std::string folder = scratch.path;

  // Resets the world the way a game does before it loads a map.
  int load(const std::vector<unsigned char> &bytes)
  {
    reset_world();
    std::string path = folder + "/map.map";
    EXPECT_TRUE(write_file(path, bytes)) << path;
    return load_map(path.c_str());
  }

  // Loads a level with two drops, so that later loads show what they keep.
  void load_two_drop_level()
  {
    test_map previous;
    previous.drop_marker[5][6] = previous.drop_marker[7][8] = 0;
    previous.height[5][6] = 1.0f;
    previous.enemies = {{2, 2, 0}};
    ASSERT_EQ(load(map_bytes(previous)), 1);
    ASSERT_EQ(drops_left, 2);
  }

  // After a load that failed: the level is cleared, the drops and the hero
  // are as the previous level and reset_world left them.
  void expect_level_cleared_drops_kept()
  {
    EXPECT_EQ(enemy_count, 0);
    const map_cell cleared = {0, 0, 0.0f};
    for (int x = 0; x < GRID_SIZE; x++)
      for (int y = 0; y < GRID_SIZE; y++)
        ASSERT_EQ(std::memcmp(&level_map[x][y], &cleared, sizeof cleared), 0);
    EXPECT_EQ(drops_left, 2);
    EXPECT_EQ(drop_grid[5][6], 1);
    EXPECT_EQ(hero_x, 4.0f);
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
  map.kind[24][24] = 9;  // kinds outside 0..5 are stored as read
  for (int i = 0; i < MAX_ENEMIES; i++)
    map.enemies.push_back({i + 2, 3, i % 4});
  map.enemies[1] = {1, 2, 7};  // directions are stored as read too
  std::vector<unsigned char> bytes = map_bytes(map);
  ASSERT_EQ(bytes.size(), 7512u + 12u * MAX_ENEMIES);

  float height;
  std::memcpy(&height, &bytes[332], 4);
  EXPECT_EQ(height, 1.75f);
  EXPECT_EQ(bytes[336], 0);
  EXPECT_EQ(bytes[340], KIND_METAL);
  EXPECT_EQ(bytes[7508], MAX_ENEMIES);
  EXPECT_EQ(bytes[7512], 2);

  bytes.resize(bytes.size() + 100, 0xff);  // bytes after the last enemy are not read
  ASSERT_EQ(load(bytes), 1);
  EXPECT_EQ(start_x, 6);
  EXPECT_EQ(start_y, 10);
  EXPECT_EQ(hero_x, 6.0f);
  EXPECT_EQ(hero_y, 10.0f);
  EXPECT_EQ(hero_z, 0.0f);  // the first tick lifts the hero onto its cell
  EXPECT_EQ(level_map[1][2].height, 1.75f);
  EXPECT_EQ(level_map[1][2].kind, KIND_METAL);
  EXPECT_EQ(level_map[24][24].kind, 9);
  EXPECT_EQ(drops_left, 1);
  EXPECT_EQ(drop_grid[1][2], 1);
  EXPECT_EQ(enemy_count, MAX_ENEMIES);
  EXPECT_EQ(enemies[0].x, 4.0f);
  EXPECT_EQ(enemies[0].y, 6.0f);
  EXPECT_EQ(enemies[0].speed, 0.2f);
  EXPECT_EQ(enemies[1].direction, 7);
  EXPECT_EQ(enemies[1].z, 1.75f);  // the grid is read before the enemies
  EXPECT_EQ(enemies[9].x, 22.0f);
}

TEST_F(MapLoad, CountsDropsAndLeavesUnusedSlotsFree)
{
  test_map everywhere;
  for (auto &column : everywhere.drop_marker)
    for (int &marker : column)
      marker = 0;
  ASSERT_EQ(load(map_bytes(everywhere)), 1);
  EXPECT_EQ(drops_left, 625);

  test_map nowhere;  // no enemies: the shortest map, 7512 bytes
  nowhere.drop_marker[0][0] = 2;  // any non-zero marker means no drop
  ASSERT_EQ(map_bytes(nowhere).size(), 7512u);
  ASSERT_EQ(load(map_bytes(nowhere)), 1);
  EXPECT_EQ(drops_left, 0);
  EXPECT_EQ(drop_grid[0][0], 0);
  EXPECT_EQ(enemy_count, 0);
  for (const enemy &e : enemies)
    EXPECT_EQ(e.direction, NO_ENEMY);
}

TEST_F(MapLoad, MissingFileClearsTheLevelButKeepsTheDrops)
{
  load_two_drop_level();
  reset_world();
  EXPECT_EQ(load_map((folder + "/no-such.map").c_str()), 0);
  expect_level_cleared_drops_kept();
  EXPECT_EQ(map_load_missing(), 1);
}

// A damaged map is refused like a missing one, and nothing of it is used.
TEST_F(MapLoad, RejectsDamagedFiles)
{
  auto with_enemies = [](int count) {
    test_map map;
    for (int i = 0; i < count; i++)
      map.enemies.push_back({2, 2, 0});
    return map_bytes(map);
  };
  auto with_start = [](int x, int y) {
    test_map map;
    map.start_x = x;
    map.start_y = y;
    return map_bytes(map);
  };
  std::vector<unsigned char> short_grid = map_bytes(test_map{});
  short_grid.resize(7000);
  std::vector<unsigned char> short_enemies = with_enemies(2);
  short_enemies.pop_back();
  std::vector<unsigned char> negative_count = with_enemies(0);
  std::memset(&negative_count[7508], 0xff, 4);
  test_map enemy_off;
  enemy_off.enemies = {{3, 3, 0}, {0, 25, 0}};

  const struct {
    std::vector<unsigned char> bytes;
    const char *reason;  // as the game names it
  } damaged[] = {
    {{}, "empty file"},
    {short_grid, "too short: 7000 bytes of at least 7512"},
    {short_enemies, "too short: 7535 bytes of at least 7536 for 2 enemies"},
    {with_enemies(11), "bad enemy count 11 (0 to 10)"},
    {negative_count, "bad enemy count -1 (0 to 10)"},
    {with_start(25, 0), "start cell (25, 0) off the grid"},
    {with_start(0, -1), "start cell (0, -1) off the grid"},
    {map_bytes(enemy_off), "enemy 2's cell (0, 25) off the grid"},
  };
  for (const auto &file : damaged) {
    SCOPED_TRACE(file.reason);
    load_two_drop_level();
    EXPECT_EQ(load(file.bytes), 0);
    expect_level_cleared_drops_kept();
    EXPECT_STREQ(map_load_problem(), file.reason);
    EXPECT_EQ(map_load_missing(), 0);
  }
}

// A folder or a FIFO in a map's place is refused at once, never waited on.
TEST_F(MapLoad, RefusesWhatIsNotARegularFile)
{
  std::string fifo = folder + "/fifo.map";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  const struct {
    std::string path;
    const char *problem;
  } refused[] = {{folder, "a folder, not a file"}, {fifo, "not a regular file"}};
  for (const auto &c : refused) {
    SCOPED_TRACE(c.path);
    load_two_drop_level();
    reset_world();
    EXPECT_EQ(load_map(c.path.c_str()), 0);
    expect_level_cleared_drops_kept();
    EXPECT_STREQ(map_load_problem(), c.problem);
    EXPECT_EQ(map_load_missing(), 0);
  }
}

TEST_F(MapLoad, UnreadableFileSaysPermissionDenied)
{
  if (geteuid() == 0)
    GTEST_SKIP() << "root reads any file";
  std::string path = folder + "/locked.map";
  ASSERT_TRUE(write_file(path, map_bytes(test_map{})));
  ASSERT_EQ(chmod(path.c_str(), 0), 0);
  EXPECT_EQ(load_map(path.c_str()), 0);
  EXPECT_STREQ(map_load_problem(), "Permission denied");
}

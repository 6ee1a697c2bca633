// The map loader: every field where the game reads it, and every file it
// must refuse, each refused with its reason and nothing of it used.
#include <gtest/gtest.h>
#include "tests/support/files.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_maps.h"
#include "world/map_load.h"
#include "world/world.h"

#include <cstring>
#include <sys/stat.h>

namespace {

TEST(MapLoad, ReadsEveryFieldWhereTheGameUsesIt)
{
  scratch_folder folder;
  test_map map;
  map.start_x = 3, map.start_y = 5;
  map.height[1][2] = 1.75f, map.kind[1][2] = KIND_METAL, map.drop_marker[1][2] = DROP_MARKER_DROP;
  map.drop_marker[0][0] = 2;  // any other marker means no drop
  map.kind[24][24] = 9;       // kinds and directions outside the named ones are kept as read
  for (int i = 0; i < MAX_ENEMIES; i++)
    map.enemies.push_back({i + 2, 3, i % 4});
  map.enemies[1] = {1, 2, 7};
  std::vector<unsigned char> bytes = map_bytes(map);
  bytes.resize(bytes.size() + 100, 0xff);  // nothing after the last enemy is read
  write_file(folder.file("map.map"), bytes);
  reset_world();
  ASSERT_EQ(load_map(folder.file("map.map").c_str()), 1) << map_load_problem();
  EXPECT_EQ(std::vector<float>({(float)start_x, (float)start_y, hero_x, hero_y, hero_z}),
            std::vector<float>({6, 10, 6, 10, 0}));  // the first tick lifts the hero onto its cell
  EXPECT_EQ(std::vector<float>({level_map[1][2].height, (float)level_map[1][2].kind, (float)level_map[24][24].kind,
                                 (float)drops_left, (float)drop_grid[1][2], (float)drop_grid[0][0]}),
            std::vector<float>({1.75f, KIND_METAL, 9, 1, 1, 0}));
  ASSERT_EQ(enemy_count, MAX_ENEMIES);
  EXPECT_EQ(std::vector<float>({enemies[0].x, enemies[0].y, enemies[0].speed, enemies[9].x, (float)enemies[1].direction}),
            std::vector<float>({4, 6, 0.2f, 22, 7}));
  EXPECT_EQ(enemies[1].z, 1.75f) << "an enemy stands at its cell's height";
}

// What load_map makes of the file at path in a process of a player (not
// root), after a level with two drops: "loaded", or "missing" or the reason
// it gives, then whether the level was cleared and the drops left alone.
std::string load_as_player(const std::string &path, const std::string &two_drops)
{
  test_map previous;
  previous.drop_marker[5][6] = previous.drop_marker[7][8] = DROP_MARKER_DROP;
  previous.enemies = {{2, 2, 0}};
  write_file(two_drops, map_bytes(previous));
  EXPECT_EQ(load_map(two_drops.c_str()), 1);
  reset_world();  // as the game does before it loads the next map
  return as_player([&] {
    int loaded = load_map(path.c_str());
    bool cleared = enemy_count == 0 && level_map[9][9].kind == 0 && level_map[0][0].height == 0;
    bool kept = drops_left == 2 && drop_grid[5][6] == 1 && hero_x == 4.0f && enemies[0].direction == NO_ENEMY;
    std::string said = loaded ? "loaded" : map_load_missing() ? "missing" : map_load_problem();
    return said + (loaded || (cleared && kept) ? "" : ", not cleared");
  });
}

// A damaged map is refused like a missing one, and nothing of it is used;
// only a map that is not there at all counts as missing (the campaign's end).
TEST(MapLoad, RefusesWhatIsNoMapWithItsReason)
{
  scratch_folder scratch;
  ASSERT_EQ(chmod(scratch.path.c_str(), 0755), 0);  // the player may look inside
  auto enemies = [](std::vector<test_map::enemy_record> list, long cut = 0) {
    test_map map;
    map.enemies = list;
    std::vector<unsigned char> bytes = map_bytes(map);
    bytes.resize(bytes.size() - cut);
    return bytes;
  };
  auto start = [](int x, int y) { test_map map; map.start_x = x, map.start_y = y; return map_bytes(map); };
  std::vector<unsigned char> negative = enemies({}), eleven = enemies({});
  std::memset(&negative[MAP_ENEMY_COUNT_OFFSET], 0xff, 4);
  eleven[MAP_ENEMY_COUNT_OFFSET] = 11;
  const struct {
    const char *name;
    std::vector<unsigned char> bytes;
    const char *said;
  } files[] = {
      {"empty", {}, "empty file"},
      {"cut in the grid", enemies({}, 512), "too short: 7000 bytes of at least 7512"},
      {"cut in the enemies", enemies({{2, 2, 0}, {3, 3, 0}}, 1), "too short: 7535 bytes of at least 7536 for 2 enemies"},
      {"eleven enemies", eleven, "bad enemy count 11 (0 to 10)"},
      {"minus one enemy", negative, "bad enemy count -1 (0 to 10)"},
      {"start x 25", start(25, 0), "start cell (25, 0) off the grid"},
      {"start y -1", start(0, -1), "start cell (0, -1) off the grid"},
      {"enemy off the grid", enemies({{3, 3, 0}, {0, 25, 0}}), "enemy 2's cell (0, 25) off the grid"},
      {"ten enemies", enemies(std::vector<test_map::enemy_record>(10, {24, 24, 0})), "loaded"},
      {"unreadable", start(1, 1), "Permission denied"},
      {"a folder", {}, "a folder, not a file"},
      {"a FIFO", {}, "not a regular file"},
      {"not there", {}, "missing"},
  };
  for (const auto &f : files) {
    std::string path = scratch.file(f.name), name = f.name;
    bool made = name == "a folder" ? mkdir(path.c_str(), 0755) == 0
              : name == "a FIFO"   ? mkfifo(path.c_str(), 0644) == 0
              : name == "not there" || (write_file(path, f.bytes) && chmod(path.c_str(), name == "unreadable" ? 0 : 0644) == 0);
    ASSERT_TRUE(made) << f.name;
    EXPECT_EQ(load_as_player(path, scratch.file("two-drops.map")), f.said) << f.name;
  }
}

}  // namespace

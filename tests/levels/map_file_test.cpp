// The map file the compiler writes: every value at its byte offset, and round trips that keep every byte.
#include "tests/levels/level_tools.h"
#include "world/map_format.h"

#include <iterator>
#include <random>
#include <sys/stat.h>

namespace {

std::string little_endian(const std::vector<uint32_t> &words)
{
  std::string bytes;
  for (uint32_t word : words)
    for (int i = 0; i < 4; i++)
      bytes += (char)(word >> (8 * i));
  return bytes;
}

// A map the game's loader accepts, of random words: heights of every kind of float (NaNs, zeros of
// both signs, infinities, subnormals), far more distinct cells than legend symbols, any kind,
// marker and enemy direction.
std::string random_map(unsigned seed)
{
  std::mt19937 random(seed);
  const uint32_t odd[] = {0, 1, 2, 5, 0x80000000, 0x7f800000, 0xff800000, 0x7fc00000, 0x7fa00001, 0xffc12345};
  auto word = [&] { return random() % 3 ? odd[random() % 10] : (uint32_t)random(); };
  auto cell = [&] { return (uint32_t)(random() % GRID_SIZE); };
  std::vector<uint32_t> words = {cell(), cell()};
  for (int i = 0; i < 3 * GRID_SIZE * GRID_SIZE; i++)
    words.push_back(word());
  uint32_t enemies = random() % (MAX_ENEMIES + 1);
  words.push_back(enemies);
  for (uint32_t i = 0; i < enemies; i++)
    words.insert(words.end(), {cell(), cell(), word()});
  return little_endian(words);
}

}  // namespace

TEST(MapFile, PutsEveryFieldAtItsOffset)
{
  room level;  // a metal cell 1.25 high at (1, 2) carrying a drop, the hero at (11, 12), two enemies
  level.start = "start 11 12";
  level.legend[3] = "  =  metal  1.25";
  level.cell(1, 2) = '=';
  level.drop(1, 2) = '*';
  level.extra = {"enemy 14 10 +y", "enemy 10 13 -x"};
  ASSERT_EQ(compile_text("layout", level).status, 0);
  std::string map = file_text(scratch_path("layout.map"));
  EXPECT_EQ(map.substr(0, 8), little_endian({11, 12}));
  EXPECT_EQ(map.substr(332, 12), little_endian({0x3fa00000, 0, 3}));  // 1.25 high, a drop, metal
  EXPECT_EQ(map.substr(7508), little_endian({2, 14, 10, 2, 10, 13, 3}));  // count; x, y, +y; x, y, -x
}

TEST(RoundTrip, MapsKeepEveryByteThroughText)
{
  ASSERT_EQ(compile_text("authored", room()).status, 0);
  std::vector<std::string> maps = {file_text(scratch_path("authored.map"))};
  for (unsigned seed = 1; seed <= 12; seed++)
    maps.push_back(random_map(seed));
  for (size_t i = 0; i < maps.size(); i++) {
    std::string map = scratch_path("trip" + std::to_string(i) + ".map");
    std::string text = scratch_path("trip" + std::to_string(i) + ".level");
    write_file(map, maps[i]);
    EXPECT_EQ(run_compiler("decompile " + map + " " + text).output, "");
    EXPECT_EQ(run_compiler("compile " + text + " " + map + " --unchecked").status, 0);
    EXPECT_TRUE(file_text(map) == maps[i]) << "map " << i << " changed";
  }
  EXPECT_EQ(run_compiler("check " + scratch_path("trip0.level")).output,  // the room decompiled
            scratch_path("trip0.level") + ": checked: 1 drop, 1 enemy; the hero reaches 25 of 625 cells\n");

  std::string eleven = maps[1];  // a count of 11 enemies, and a file cut short
  eleven.resize(MAP_ENEMIES_OFFSET + 11 * MAP_RECORD_SIZE, 0);
  eleven[MAP_ENEMY_COUNT_OFFSET] = 11;
  for (const std::string &bad : {eleven, eleven.substr(0, 7000)}) {
    write_file(scratch_path("bad.map"), bad);
    tool_result result = run_compiler("decompile " + scratch_path("bad.map"));
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.output.find("not a map file"), std::string::npos) << result.output;
  }
}

// The index of levels beside a map comes from outside: nothing in it may change the map that
// its text compiles back to, nor keep that text from compiling.
TEST(RoundTrip, IndexBesideTheMapCannotChangeIt)
{
  ASSERT_EQ(compile_text("indexed", room()).status, 0);
  const std::string map = file_text(scratch_path("indexed.map"));
  const struct {
    const char *what, *index, *name;
  } indexes[] = {
    {"a carriage return in a name", "1 First Steps\renemy 10 10 +x\renemy 12 12 -y\n", "name First Steps\n"},
    {"reserved legend symbols", "1 Room\n  *  grass  0\n  ?  stone  5\n  |  metal  2\n", "name Room\n"},
    {"escape sequences in a name", "1 \x1b]0;owned\x07\x1b[2J\n  .  grass  0\n", "name map1\n"},
  };
  for (size_t i = 0; i < std::size(indexes); i++) {
    SCOPED_TRACE(indexes[i].what);
    std::string folder = scratch_path("index" + std::to_string(i));
    mkdir(folder.c_str(), 0755);
    write_file(folder + "/map1.map", map);
    write_file(folder + "/levels.txt", std::string(indexes[i].index));
    tool_result decompiled = run_compiler("decompile " + folder + "/map1.map " + folder + "/back.level");
    ASSERT_EQ(decompiled.status, 0) << decompiled.output;
    std::string text = file_text(folder + "/back.level");
    EXPECT_NE(text.find(indexes[i].name), std::string::npos) << text;
    ASSERT_EQ(run_compiler("compile " + folder + "/back.level " + folder + "/back.map").status, 0) << text;
    EXPECT_TRUE(file_text(folder + "/back.map") == map) << text;
  }
}

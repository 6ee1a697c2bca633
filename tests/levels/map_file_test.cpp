// The map file the compiler writes: every value at its byte offset, read back
// the same by the game's own loader, and round trips that keep every byte.
#include "tests/levels/level_tools.h"
#include "game/map_load.h"
#include "game/world.h"

#include <random>

namespace {

uint32_t word_at(const std::string &bytes, long offset)
{
  uint32_t word = 0;
  for (int i = 0; i < 4; i++)
    word |= (uint32_t)(unsigned char)bytes.at(offset + i) << (8 * i);
  return word;
}

void put_word(std::string &bytes, long offset, uint32_t word)
{
  for (int i = 0; i < 4; i++)
    bytes[offset + i] = (char)(word >> (8 * i));
}

// The test room with a metal cell 1.25 high at (1, 2) carrying a drop, the
// hero at (11, 12) and two enemies.
std::string layout_text()
{
  test_level level;
  level.start = "start 11 12";
  level.legend[3] = "  =  metal  1.25";
  level.grid[1][2] = '=';
  level.drops[1][2] = true;
  level.extra = {"enemy 14 10 +y", "enemy 10 13 -x"};
  return level.text();
}

// A map the game's loader accepts, of random values: heights of every kind of
// float (NaNs, zeros of both signs, infinities, subnormals) and more of them
// than there are legend symbols, any kind and marker, any enemy direction.
std::string random_map(unsigned seed)
{
  std::mt19937 random(seed);
  int enemies = random() % (MAX_ENEMIES + 1);
  std::string bytes(MAP_ENEMIES_OFFSET + MAP_RECORD_SIZE * enemies, 0);
  const uint32_t odd_heights[] = {0x00000000, 0x80000000, 0x7f800000, 0xff800000, 0x7fc00000,
                                  0x7fa00001, 0xffc12345, 0x00000001, 0x3e99999a, 0x40000000};
  put_word(bytes, 0, random() % GRID_SIZE);
  put_word(bytes, 4, random() % GRID_SIZE);
  for (long record = MAP_CELLS_OFFSET; record < MAP_ENEMY_COUNT_OFFSET; record += MAP_RECORD_SIZE) {
    uint32_t pick = random() % 4;
    put_word(bytes, record, pick == 0 ? (uint32_t)random() : odd_heights[random() % 10]);
    put_word(bytes, record + 4, pick == 1 ? (uint32_t)random() : random() % 2);
    put_word(bytes, record + 8, pick == 2 ? (uint32_t)random() : random() % 6);
  }
  put_word(bytes, MAP_ENEMY_COUNT_OFFSET, enemies);
  for (int i = 0; i < enemies; i++) {
    long record = MAP_ENEMIES_OFFSET + MAP_RECORD_SIZE * i;
    put_word(bytes, record, random() % GRID_SIZE);
    put_word(bytes, record + 4, random() % GRID_SIZE);
    put_word(bytes, record + 8, i % 2 ? random() % 4 : (uint32_t)random());
  }
  return bytes;
}

// Decompiles the map to name.level and compiles that back; returns the bytes.
std::string through_text(const std::string &name, const std::string &map)
{
  std::string in = scratch_path(name + ".map"), text = scratch_path(name + ".level");
  write_text(in, map);
  tool_result decompiled = run_compiler("decompile " + in + " " + text);
  EXPECT_EQ(decompiled.status, 0) << decompiled.output;
  tool_result compiled = run_compiler("compile " + text + " " + in + " --unchecked");
  EXPECT_EQ(compiled.status, 0) << compiled.output;
  return read_text(in);
}

}  // namespace

TEST(MapFile, PutsEveryFieldAtItsOffsetAsTheGamesLoaderReadsIt)
{
  ASSERT_EQ(compile_text("layout", layout_text()).status, 0);
  std::string map = read_text(scratch_path("layout.map"));
  ASSERT_EQ(map.size(), 7512u + 2 * 12u);
  const std::pair<long, uint32_t> words[] = {
      {0, 11}, {4, 12},                          // start x, y
      {332, 0x3fa00000}, {336, 0}, {340, 3},     // cell (1, 2): height 1.25, drop, metal
      {7508, 2},                                 // enemy count, then the records
      {7512, 14}, {7516, 10}, {7520, 2},         // +y
      {7524, 10}, {7528, 13}, {7532, 3}};        // -x
  for (const auto &word : words)
    EXPECT_EQ(word_at(map, word.first), word.second) << "at byte " << word.first;

  reset_world();
  ASSERT_EQ(load_map(scratch_path("layout.map").c_str()), 1);
  EXPECT_EQ(start_x, 22);
  EXPECT_EQ(start_y, 24);
  EXPECT_EQ(level_map[1][2].height, 1.25f);
  EXPECT_EQ(level_map[1][2].kind, KIND_METAL);
  EXPECT_EQ(drops_left, 2);
  ASSERT_EQ(enemy_count, 2);
  EXPECT_EQ(enemies[1].x, 20.0f);
  EXPECT_EQ(enemies[1].y, 26.0f);
  EXPECT_EQ(enemies[1].direction, TOWARD_MINUS_X);
}

TEST(RoundTrip, AuthoredAndRandomMapsKeepEveryByteThroughText)
{
  ASSERT_EQ(compile_text("authored", layout_text()).status, 0);
  EXPECT_TRUE(through_text("decompiled", read_text(scratch_path("authored.map"))) ==
              read_text(scratch_path("authored.map")));
  EXPECT_EQ(run_compiler("check " + scratch_path("decompiled.level")).status, 0);
  for (unsigned seed = 1; seed <= 12; seed++) {
    std::string map = random_map(seed);
    EXPECT_TRUE(through_text("random-" + std::to_string(seed), map) == map) << "seed " << seed;
  }
}

TEST(RoundTrip, DecompileRejectsAFileTheGameWouldNotLoad)
{
  std::string map = random_map(5);
  map.resize(MAP_ENEMIES_OFFSET + 11 * MAP_RECORD_SIZE, 0);  // room for the eleven it claims
  put_word(map, MAP_ENEMY_COUNT_OFFSET, 11);
  for (const std::string &bad : {map, map.substr(0, 7000)}) {
    write_text(scratch_path("bad.map"), bad);
    tool_result result = run_compiler("decompile " + scratch_path("bad.map"));
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.output.find("not a map file"), std::string::npos) << result.output;
  }
}

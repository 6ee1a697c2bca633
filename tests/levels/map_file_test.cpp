// The map file the compiler writes: every value at its byte offset, read
// back the same by the game's own loader, and round trips between map and
// text that keep every byte.
#include "tests/levels/level_tools.h"
#include "game/map_load.h"
#include "game/world.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace {

uint32_t word_at(const std::vector<unsigned char> &bytes, long offset)
{
  uint32_t word = 0;
  for (int i = 0; i < 4; i++)
    word |= (uint32_t)bytes.at(offset + i) << (8 * i);
  return word;
}

float float_at(const std::vector<unsigned char> &bytes, long offset)
{
  uint32_t word = word_at(bytes, offset);
  float value;
  std::memcpy(&value, &word, sizeof value);
  return value;
}

void put_word(std::vector<unsigned char> &bytes, long offset, uint32_t word)
{
  for (int i = 0; i < 4; i++)
    bytes[offset + i] = (unsigned char)(word >> (8 * i));
}

// The test room with a raised metal cell at (1, 2) carrying a drop, the hero
// at (3, 5) and two enemies.
test_level layout_level()
{
  test_level level;
  level.start = "start 11 12";
  level.legend.push_back("  =  metal  1.25");
  level.grid[1][2] = '=';
  level.drops[1][2] = true;
  level.extra = {"enemy 14 10 +y", "enemy 10 13 -x"};
  return level;
}

// A map of random values that the game's loader accepts: heights of every
// kind of float (NaNs, zeros of both signs, infinities, subnormals), any
// kind and marker, enemies with any direction.
std::vector<unsigned char> random_map(unsigned seed)
{
  std::mt19937 random(seed);
  int enemies = random() % (MAX_ENEMIES + 1);
  std::vector<unsigned char> bytes(MAP_ENEMIES_OFFSET + MAP_RECORD_SIZE * enemies);
  const uint32_t odd_heights[] = {0x00000000, 0x80000000, 0x7f800000, 0xff800000, 0x7fc00000,
                                  0x7fa00001, 0xffc12345, 0x00000001, 0x3e99999a, 0x40000000};
  put_word(bytes, 0, random() % GRID_SIZE);
  put_word(bytes, 4, random() % GRID_SIZE);
  for (long cell = 0; cell < GRID_SIZE * GRID_SIZE; cell++) {
    long record = MAP_CELLS_OFFSET + cell * MAP_RECORD_SIZE;
    uint32_t pick = random() % 4;
    uint32_t height = pick == 0 ? (uint32_t)random() : odd_heights[random() % 10];
    put_word(bytes, record, height);
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

// Decompiles the map file to text and compiles that text back; returns the
// bytes of the second map.
std::vector<unsigned char> through_text(const std::string &name, const std::vector<unsigned char> &map)
{
  std::string in = scratch_path(name + ".map"), text = scratch_path(name + ".level");
  std::string out = scratch_path(name + "-again.map");
  write_text(in, std::string(map.begin(), map.end()));
  tool_result decompiled = run_compiler("decompile " + in + " " + text);
  EXPECT_EQ(decompiled.status, 0) << decompiled.output;
  tool_result compiled = run_compiler("compile " + text + " " + out + " --unchecked");
  EXPECT_EQ(compiled.status, 0) << compiled.output;
  return read_bytes(out);
}

}  // namespace

TEST(MapFile, PutsEveryFieldAtItsOffset)
{
  ASSERT_EQ(compile_text("layout", layout_level().text()).status, 0);
  std::vector<unsigned char> map = read_bytes(scratch_path("layout.map"));
  ASSERT_EQ(map.size(), 7512u + 2 * 12u);
  EXPECT_EQ(word_at(map, 0), 11u);  // start x
  EXPECT_EQ(word_at(map, 4), 12u);  // start y
  EXPECT_EQ(float_at(map, 332), 1.25f);  // cell (1, 2): height, marker, kind
  EXPECT_EQ(word_at(map, 336), 0u);
  EXPECT_EQ(word_at(map, 340), 3u);
  EXPECT_EQ(float_at(map, 320), 3.0f);   // cell (1, 1), stone wall, no drop
  EXPECT_EQ(word_at(map, 324), 1u);
  EXPECT_EQ(word_at(map, 328), 1u);
  EXPECT_EQ(word_at(map, 7508), 2u);    // enemy count, then the records
  EXPECT_EQ(word_at(map, 7512), 14u);
  EXPECT_EQ(word_at(map, 7516), 10u);
  EXPECT_EQ(word_at(map, 7520), 2u);    // +y
  EXPECT_EQ(word_at(map, 7524), 10u);
  EXPECT_EQ(word_at(map, 7528), 13u);
  EXPECT_EQ(word_at(map, 7532), 3u);    // -x
}

TEST(MapFile, ReadsBackTheSameThroughTheGamesLoader)
{
  ASSERT_EQ(compile_text("loaded", layout_level().text()).status, 0);
  reset_world();
  ASSERT_EQ(load_map(scratch_path("loaded.map").c_str()), 1);
  EXPECT_EQ(start_x, 22);
  EXPECT_EQ(start_y, 24);
  EXPECT_EQ(level_map[1][2].height, 1.25f);
  EXPECT_EQ(level_map[1][2].kind, KIND_METAL);
  EXPECT_EQ(level_map[13][13].kind, KIND_GRASS);
  EXPECT_EQ(drops_left, 2);
  EXPECT_EQ(drop_grid[13][13], 1);
  EXPECT_EQ(drop_grid[1][2], 1);
  ASSERT_EQ(enemy_count, 2);
  EXPECT_EQ(enemies[1].x, 20.0f);
  EXPECT_EQ(enemies[1].y, 26.0f);
  EXPECT_EQ(enemies[1].direction, TOWARD_MINUS_X);
  EXPECT_EQ(enemies[2].direction, NO_ENEMY);
}

TEST(RoundTrip, MapToTextToMapKeepsEveryByte)
{
  for (unsigned seed = 1; seed <= 12; seed++) {
    std::vector<unsigned char> map = random_map(seed);
    EXPECT_TRUE(through_text("random-" + std::to_string(seed), map) == map) << "seed " << seed;
  }
}

TEST(RoundTrip, MapWithMoreBlocksThanSymbolsKeepsEveryByte)
{
  // 625 different heights: more than there are legend symbols.
  std::vector<unsigned char> map = random_map(99);
  for (long cell = 0; cell < GRID_SIZE * GRID_SIZE; cell++) {
    long record = MAP_CELLS_OFFSET + cell * MAP_RECORD_SIZE;
    float height = 0.01f * cell;
    uint32_t bits;
    std::memcpy(&bits, &height, sizeof bits);
    put_word(map, record, bits);
    put_word(map, record + 4, 1);
  }
  EXPECT_TRUE(through_text("many-blocks", map) == map);
  EXPECT_NE(read_text(scratch_path("many-blocks.level")).find("\ncell "), std::string::npos);
}

TEST(RoundTrip, TextToMapToTextToMapIsStable)
{
  ASSERT_EQ(compile_text("stable", layout_level().text()).status, 0);
  std::vector<unsigned char> map = read_bytes(scratch_path("stable.map"));
  EXPECT_TRUE(through_text("stable-1", map) == map);
  // The decompiled text is a fixed point: written again, it is the same
  // (but for the name, which comes from the file's name).
  std::string first = read_text(scratch_path("stable-1.level"));
  through_text("stable-2", read_bytes(scratch_path("stable-1-again.map")));
  std::string second = read_text(scratch_path("stable-2.level"));
  EXPECT_EQ(first.substr(first.find("\nstart")), second.substr(second.find("\nstart")));
  // It passes the checker as the original does.
  EXPECT_EQ(run_compiler("check " + scratch_path("stable-1.level")).status, 0);
}

TEST(RoundTrip, DecompileRejectsAFileTheGameWouldNotLoad)
{
  std::vector<unsigned char> map = random_map(5);
  put_word(map, MAP_ENEMY_COUNT_OFFSET, 11);
  write_text(scratch_path("eleven.map"), std::string(map.begin(), map.end()));
  tool_result result = run_compiler("decompile " + scratch_path("eleven.map"));
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.output.find("not a map file"), std::string::npos) << result.output;

  write_text(scratch_path("short.map"), std::string(map.begin(), map.begin() + 7000));
  EXPECT_EQ(run_compiler("decompile " + scratch_path("short.map")).status, 1);
}

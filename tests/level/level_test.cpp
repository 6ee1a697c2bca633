// The level library: levels made to break one rule each, refused (or warned
// about) at the line and column of the fault with what would fix it; the
// checker's rules as the three settings apply them; and the map file, every
// value at its offset and every byte kept through the text.
#include <gtest/gtest.h>
#include "level/level.h"
#include "tests/level/room.h"
#include "tests/support/files.h"
#include "tests/support/scratch_folder.h"

#include <algorithm>
#include <random>

namespace {

struct level_case {
  const char *name;
  void (*edit)(room &);
  int line, column;     // where the message points; 0 for a level that passes quietly
  const char *message;  // "error: ..." or "warning: ..." words it starts with
  int messages;         // how many the report holds in all
  level_rules how = level_rules::normal;
};

const level_case cases[] = {
    {"start-y-off", [](room &r) { r.start = "start 11 25"; }, 2, 10, "error: the start y = 25", 1},
    {"start-x-off", [](room &r) { r.start = "start -1 11"; }, 2, 7, "error: the start x = -1", 1},
    {"start-lava", [](room &r) { r.cell(11, 11) = '~'; }, 2, 7, "error: the hero starts on lava", 1},
    {"enemy-x-off", [](room &r) { r.extra.push_back("enemy 30 12 +y"); }, extra_line(1), 7,
     "error: enemy 2 starts at x = 30", 1},
    {"enemy-y-off", [](room &r) { r.extra.push_back("enemy 12 -2 +y"); }, extra_line(1), 10,
     "error: enemy 2 starts at y = -2", 1},
    {"ten-enemies", [](room &r) { for (int i = 1; i < 10; i++)
                                    r.extra.push_back("enemy " + std::to_string(10 + i % 5) + " " +
                                                      std::to_string(14 - i / 5) + " +x"); }, 0, 0, "", 0},
    {"two-on-a-cell", [](room &r) { r.extra.push_back("enemy 14 10 -y"); }, extra_line(1), 1,
     "warning: enemy 2 starts on (14, 10) like enemy 1: move one of them", 1},
    {"odd-direction", [](room &r) { r.extra[0] = "enemy 14 10 2147483647"; }, extra_line(0), 13,
     "error: enemy 1's direction 2147483647 is none of the four a map holds: use +x, -x, +y or -y", 1},
    {"direction-4", [](room &r) { r.extra[0] = "enemy 14 10 4"; }, extra_line(0), 13, "error: enemy 1's direction 4", 1},
    {"endless-fall", [](room &r) { r.legend[2] = "  ~  lava  -inf"; r.cell(10, 10) = '~'; r.cell(10, 11) = '~'; },
     7, 12, "error: the height -inf of (10, 10) is not a number from -100 to 100", 1},
    {"deep-floor", [](room &r) { r.legend[0] = "  .  grass  -1e30"; }, 5, 13,
     "error: the height -1e+30 of (10, 10) is not a number from -100 to 100", 1},
    {"height-limit", [](room &r) { r.legend[1] = "  #  stone  100"; r.legend[0] = "  .  grass  -100"; }, 0, 0, "", 0},
    {"eleven-enemies", [](room &r) { r.extra.resize(11, "enemy 10 14 +x"); }, extra_line(10), 1,
     "error: a level has at most 10 enemies", 9},
    {"no-drops", [](room &r) { r.drop(13, 13) = ' '; }, 9, 1, "error: the level has no drop", 1},
    // A way out from the room to the edge along x = 12, through a metal gate at (12, 15).
    {"gate-2.0", [](room &r) { r.rows[12].replace(4, 20, ". . . . . . . . . = "); }, row_line(12),
     cell_column(14), "error: the hero can jump from (12, 14), 0 high, over (12, 15), 2 high, onto edge cell "
     "(12, 24): lower (12, 14) or move it away from the wall, or raise the wall above 2 (more than 2 above 0)", 1},
    {"open-edge", [](room &r) { r.rows[12].replace(4, 20, ". . . . . . . . . . "); }, row_line(12),
     cell_column(24), "error: the hero can walk onto edge cell (12, 24): raise the wall above 2", 1},
    // Unchecked, the checker's errors are warnings; strict, its warnings are errors.
    {"open-edge-unchecked", [](room &r) { r.rows[12].replace(4, 20, ". . . . . . . . . . "); }, row_line(12),
     cell_column(24), "warning: the hero can walk onto edge cell (12, 24)", 1, level_rules::unchecked},
    {"drop-on-lava", [](room &r) { r.cell(10, 14) = '~'; r.drop(10, 14) = '*'; }, row_line(10), cell_column(14),
     "warning: the drop on (10, 14) lies on lava", 1},
    {"drop-on-lava-strict", [](room &r) { r.cell(10, 14) = '~'; r.drop(10, 14) = '*'; }, row_line(10),
     cell_column(14), "error: the drop on (10, 14) lies on lava", 1, level_rules::strict},
    {"gate-2.01", [](room &r) { r.legend[3] = "  =  metal  2.01";
                                r.rows[12].replace(4, 20, ". . . . . . . . . = "); }, 0, 0, "", 0},
    // A block 1.5 high carries a jump onto walls 3.0 high: the block is named, not the edge.
    {"block-in-room", [](room &r) { r.legend[1] = "  #  stone  3"; r.legend[3] = "  =  stone  1.5";
                                    r.cell(12, 12) = '='; }, row_line(12), cell_column(12),
     "error: the hero can jump from (12, 12), 1.5 high, over (9, 12), 3 high, onto 45 edge cells, (0, 0) first: "
     "lower (12, 12) or move it away from the wall, or raise the wall above 3.5 (more than 2 above 1.5)", 4},
    // A jump from a block 1 high over two lava cells meets a wall 2.95 high on its way down.
    {"far-wall", [](room &r) { r.legend[3] = "  =  metal  1"; r.legend.push_back("  w  metal  2.95");
                               r.rows[12].replace(4, 20, ". . . . . . . . w ~ "); r.cell(12, 13) = '~';
                               r.cell(12, 12) = '='; }, 0, 0, "", 0},
    {"enemy-run-x", [](room &r) { r.extra.push_back("enemy 3 5 +x"); }, extra_line(1), 1,
     "error: enemy 2 on (3, 5) would patrol off the grid toward +x", 1},
    {"enemy-run-y", [](room &r) { r.extra.push_back("enemy 3 5 -y"); }, extra_line(1), 1,
     "error: enemy 2 on (3, 5) would patrol off the grid toward +y", 1},  // both ends run off; +y is named
    {"enemy-on-start", [](room &r) { r.extra.push_back("enemy 11 11 -x"); }, extra_line(1), 1,
     "error: enemy 2 starts on the hero's start cell", 1},
    // A jump gets onto a block 1.8 high, but not onto one 2.0 high.
    {"block-1.8", [](room &r) { r.legend[3] = "  =  metal  1.8"; r.cell(13, 13) = '='; }, 0, 0, "", 0},
    {"block-2.0", [](room &r) { r.cell(13, 13) = '='; }, row_line(13), cell_column(13),
     "warning: no walk or jump reaches the drop on (13, 13)", 1},
    // An enemy's run ends at any change of height, a lower cell too; it warns when it crosses the start.
    {"run-over-start", [](room &r) { r.extra.push_back("enemy 11 14 -y"); }, extra_line(1), 1,
     "warning: enemy 2's run crosses the hero's start cell", 1},
    {"run-ends-on-start", [](room &r) { r.extra.push_back("enemy 11 14 -y"); r.cell(11, 10) = '='; }, extra_line(1), 1,
     "warning: enemy 2's run crosses the hero's start cell", 1},
    {"run-ends-lower", [](room &r) { r.legend[3] = "  =  metal  0.5"; r.cell(12, 11) = r.cell(13, 11) = '=';
                                     r.extra.push_back("enemy 13 11 -x"); }, 0, 0, "", 0},
    // Mistakes of form.
    {"unknown-symbol", [](room &r) { r.cell(12, 12) = 'Q'; }, row_line(12), cell_column(12),
     "error: symbol 'Q' is not in the legend: add it there", 1},
    {"symbol-once", [](room &r) { for (int y = 0; y < 25; y++) r.cell(20, y) = 'Q'; }, row_line(20),
     cell_column(0), "error: symbol 'Q' is not in the legend: add it there", 1},
    {"short-row", [](room &r) { r.rows[20] = "20 |# # # # #"; }, row_line(20), 15,
     "error: row x = 20 has 5 cells; every row has 25", 1},
    {"nul-byte", [](room &r) { r.legend[2] = std::string("  ~  la\0a  0", 13); r.extra[0] = "enemy 14 10 up"; },
     extra_line(0), 13, "error: unknown direction 'up'", 2},  // after "unknown kind 'la\x00a'" on line 7
    {"row-order", [](room &r) { std::swap(r.rows[7], r.rows[8]); }, row_line(8), 1,
     "error: this row is labelled x = 7 but the row for x = 8 comes here", 1},
    {"row-missing", [](room &r) { r.rows[7] = "# no row here"; }, 9, 1,
     "error: the grid has 24 rows; it needs 25, from x = 24 at the top to x = 0 (missing: x = 7)", 1},
    {"row-extra", [](room &r) { r.rows[7] += "\n" + r.rows[7]; }, 9, 1,
     "error: the grid has 26 rows; it needs 25, from x = 24 at the top to x = 0", 1},
    {"huge-row-label", [](room &r) { r.rows[7].replace(0, 2, "99999999999999999999"); }, row_line(7), 1,
     "error: row label 99999999999999999999 is off the grid", 1},
    {"start-past-int32", [](room &r) { r.start = "start 4294967307 11"; }, 2, 7,
     "error: the start cell is two whole numbers, x then y", 1},
    {"no-name", [](room &r) { r.name = "# no name here"; }, 1, 1, "error: the level has no name: add a line", 1},
    {"bad-kind", [](room &r) { r.legend[1] = "  #  marble  3"; }, 6, 6,
     "error: unknown kind 'marble': use grass, stone, hero, metal, lava, enemy", 1},
    {"escape-bytes", [](room &r) { r.legend[1] = "  #  \x1b[2Jstone  3"; }, 6, 6,
     "error: unknown kind '\\x1b[2Jstone'", 1},
    {"bad-height", [](room &r) { r.legend[1] = "  #  stone  high"; }, 6, 13, "error: 'high' is not a height", 1},
    {"symbol-twice", [](room &r) { r.legend.push_back("  #  metal  4"); }, 9, 3,
     "error: symbol '#' is already in the legend (line 6)", 1},
    {"no-cell-line", [](room &r) { r.cell(12, 12) = '?'; }, row_line(12), cell_column(12),
     "error: cell (12, 12) is '?' but no 'cell 12 12 ...' line gives it", 1},
    // Comments, a '#' inside the name, rows without their trailing blank or with a comment after.
    {"comments", [](room &r) { r.name = "# a comment first\nname Room  # part of the name";
                               r.rows[0].pop_back(); r.rows[1] += "    # a comment after the row"; }, 0, 0, "", 0},
};

TEST(Checker, RefusesEachMistakeAtItsPlace)
{
  for (const level_case &c : cases) {
    room level;
    c.edit(level);
    level_data data;
    level_summary summary;
    std::string report;
    bool compiled = compile_level_text(level.text(), "room.level", c.how, data, summary, report);
    std::string at = "room.level:" + std::to_string(c.line) + ":" + std::to_string(c.column) + ": " + c.message;
    EXPECT_EQ(compiled, std::string(c.message).compare(0, 6, "error:") != 0) << c.name << "\n" << report;
    EXPECT_TRUE(c.line ? report.find(at) != std::string::npos : report.empty())
        << c.name << ": " << at << "\nis not what is in:\n" << report;
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), c.messages) << c.name << "\n" << report;
  }
}


// A map the game's loader accepts, of random words: heights of every kind of float (NaNs, zeros of
// both signs, infinities, subnormals), far more distinct cells than legend symbols, any kind,
// marker and enemy direction.
byte_buffer random_map(unsigned seed)
{
  std::mt19937 random(seed);
  const uint32_t odd[] = {0, 1, 2, 5, 0x80000000, 0x7f800000, 0xff800000, 0x7fc00000, 0x7fa00001, 0xffc12345};
  auto word = [&] { return random() % 3 ? odd[random() % 10] : (uint32_t)random(); };
  auto cell = [&] { return (uint32_t)(random() % GRID_SIZE); };
  byte_buffer bytes;
  put_le32(bytes, cell());
  put_le32(bytes, cell());
  for (int i = 0; i < 3 * GRID_SIZE * GRID_SIZE; i++)
    put_le32(bytes, word());
  uint32_t enemies = seed % (MAX_ENEMIES + 1);
  put_le32(bytes, enemies);
  for (uint32_t i = 0; i < 3 * enemies; i++)
    put_le32(bytes, i % 3 == 2 ? word() : cell());
  return bytes;
}

TEST(MapFile, KeepsEveryByteThroughText)
{
  for (unsigned seed = 1; seed <= 12; seed++) {
    byte_buffer map = random_map(seed);
    level_data level, again;
    level_sources sources;
    diagnostics messages;
    std::string error;
    ASSERT_TRUE(decode_map(map, level, error)) << error;
    ASSERT_TRUE(parse_level_text(write_level_text(level), again, sources, messages)) << seed;
    EXPECT_TRUE(encode_map(again) == map) << "map " << seed << " changed";
  }
}

TEST(MapFile, PutsEveryValueOfAnyTextAtItsOffsetAndRefusesWhatIsNoMap)
{
  room level;  // a metal cell 1.25 high at (1, 2) carrying a drop, the hero at (11, 12), two enemies
  level.start = "start 11 12";
  level.legend[3] = "  =  metal  1.25";
  level.cell(1, 2) = '=';
  level.drop(1, 2) = '*';
  level.extra = {"enemy 14 10 +y", "enemy 10 13 -x"};
  level_data data;
  level_summary summary;
  std::string report, error;
  std::string text = "\xef\xbb\xbf" + level.text();  // a byte order mark and lines ending in CR alone
  std::replace(text.begin(), text.end(), '\n', '\r');
  ASSERT_TRUE(compile_level_text(text, "room.level", level_rules::normal, data, summary, report)) << report;
  byte_buffer map = encode_map(data);
  const std::pair<long, uint32_t> words[] = {{0, 11}, {4, 12}, {332, 0x3fa00000}, {336, 0}, {340, KIND_METAL},
                                             {7508, 2}, {7512, 14}, {7516, 10}, {7520, 2}, {7532, 3}};
  for (auto [offset, value] : words)
    EXPECT_EQ(get_le32(map, offset), value) << "at " << offset;
  byte_buffer eleven = map, cut(map.begin(), map.begin() + 7000);
  set_le32(eleven, MAP_ENEMY_COUNT_OFFSET, 11);
  eleven.resize(map_file_size(11));
  EXPECT_FALSE(decode_map(eleven, data, error));
  EXPECT_EQ(error, "the enemy count 11 is not within 0 to 10");
  EXPECT_FALSE(decode_map(cut, data, error));
  EXPECT_EQ(error, "too short for a map (7000 bytes, a map has at least 7512)");
  set_le32(map, MAP_ENEMY_COUNT_OFFSET, 10);
  EXPECT_FALSE(decode_map(map, data, error));
  EXPECT_EQ(error, "too short for its 10 enemies");
}

// The index of levels beside a map comes from outside: nothing in it may change the map that the
// text written back with its words compiles to, nor keep that text from compiling.
TEST(MapFile, IndexBesideTheMapCannotChangeIt)
{
  level_data level;
  level_summary summary;
  std::string report, error;
  ASSERT_TRUE(compile_level_text(room().text(), "room.level", level_rules::normal, level, summary, report));
  const byte_buffer map = encode_map(level);
  const struct { const char *what, *index, *name; } indexes[] = {
      {"a carriage return in a name", "1 First Steps\renemy 10 10 +x\renemy 12 12 -y\n", "name First Steps\n"},
      {"reserved legend symbols", "1 Room\n  *  grass  0\n  ?  stone  5\n  |  metal  2\n", "name Room\n"},
      {"escape sequences in a name", "1 \x1b]0;owned\x07\x1b[2J\n  .  grass  0\n", "name map1\n"},
  };
  for (const auto &index : indexes) {
    scratch_folder folder;
    write_file(folder.file("levels.txt"), std::string(index.index));
    legend_hints hints;
    ASSERT_TRUE(decode_map(map, level, error)) << error;
    level.name = index_entry_for_map(folder.file("map1.map"), hints);
    std::string text = write_level_text(level, hints);
    EXPECT_NE(text.find(index.name), std::string::npos) << index.what << "\n" << text;
    ASSERT_TRUE(compile_level_text(text, "back.level", level_rules::unchecked, level, summary, report)) << report;
    EXPECT_TRUE(encode_map(level) == map) << index.what << "\n" << text;
  }
}

}  // namespace

// Levels made to break one rule each, through the real compiler: refused (or warned about) at the line
// and column of the fault, with what would fix it.
#include "tests/levels/level_tools.h"

#include <algorithm>

namespace {

struct level_case {
  const char *name;
  void (*edit)(room &);
  int line, column;     // where the message points; 0 for a level that passes quietly
  const char *message;  // "error: ..." or "warning: ..." words it starts with
};

const level_case cases[] = {
    {"start-y-off", [](room &r) { r.start = "start 11 25"; }, 2, 10, "error: the start y = 25"},
    {"start-x-off", [](room &r) { r.start = "start -1 11"; }, 2, 7, "error: the start x = -1"},
    {"start-lava", [](room &r) { r.cell(11, 11) = '~'; }, 2, 7, "error: the hero starts on lava"},
    {"enemy-x-off", [](room &r) { r.extra.push_back("enemy 30 12 +y"); }, extra_line(1), 7,
     "error: enemy 2 starts at x = 30"},
    {"enemy-y-off", [](room &r) { r.extra.push_back("enemy 12 -2 +y"); }, extra_line(1), 10,
     "error: enemy 2 starts at y = -2"},
    {"ten-enemies", [](room &r) { for (int i = 1; i < 10; i++)
                                    r.extra.push_back("enemy " + std::to_string(10 + i % 5) + " " +
                                                      std::to_string(14 - i / 5) + " +x"); }, 0, 0, ""},
    {"two-on-a-cell", [](room &r) { r.extra.push_back("enemy 14 10 -y"); }, extra_line(1), 1,
     "warning: enemy 2 starts on (14, 10) like enemy 1: move one of them"},
    {"odd-direction", [](room &r) { r.extra[0] = "enemy 14 10 2147483647"; }, extra_line(0), 13,
     "error: enemy 1's direction 2147483647 is none of the four a map holds: use +x, -x, +y or -y"},
    {"endless-fall", [](room &r) { r.legend[2] = "  ~  lava  -inf"; r.cell(10, 10) = '~'; r.cell(10, 11) = '~'; },
     7, 12, "error: the height -inf of (10, 10) is not a number from -100 to 100"},
    {"deep-floor", [](room &r) { r.legend[0] = "  .  grass  -1e30"; }, 5, 13,
     "error: the height -1e+30 of (10, 10) is not a number from -100 to 100"},
    {"eleven-enemies", [](room &r) { r.extra.resize(11, "enemy 10 14 +x"); }, extra_line(10), 1,
     "error: a level has at most 10 enemies"},
    {"no-drops", [](room &r) { r.drop(13, 13) = ' '; }, 9, 1, "error: the level has no drop"},
    // A way out from the room to the edge along x = 12, through a metal gate at (12, 15).
    {"gate-2.0", [](room &r) { r.rows[12].replace(4, 20, ". . . . . . . . . = "); }, row_line(12),
     cell_column(14), "error: the hero can jump from (12, 14), 0 high, over (12, 15), 2 high, onto edge cell "
     "(12, 24): lower (12, 14) or move it away from the wall, or raise the wall above 2 (more than 2 above 0)"},
    {"open-edge", [](room &r) { r.rows[12].replace(4, 20, ". . . . . . . . . . "); }, row_line(12),
     cell_column(24), "error: the hero can walk onto edge cell (12, 24): raise the wall above 2"},
    {"gate-2.01", [](room &r) { r.legend[3] = "  =  metal  2.01";
                                r.rows[12].replace(4, 20, ". . . . . . . . . = "); }, 0, 0, ""},
    // A block 1.5 high carries a jump onto walls 3.0 high: the block is named, not the edge.
    {"block-in-room", [](room &r) { r.legend[1] = "  #  stone  3"; r.legend[3] = "  =  stone  1.5";
                                    r.cell(12, 12) = '='; }, row_line(12), cell_column(12),
     "error: the hero can jump from (12, 12), 1.5 high, over (9, 12), 3 high, onto 45 edge cells, (0, 0) first: "
     "lower (12, 12) or move it away from the wall, or raise the wall above 3.5 (more than 2 above 1.5)"},
    {"enemy-run-x", [](room &r) { r.extra.push_back("enemy 3 5 +x"); }, extra_line(1), 1,
     "error: enemy 2 on (3, 5) would patrol off the grid toward +x"},
    {"enemy-run-y", [](room &r) { r.extra.push_back("enemy 3 5 -y"); }, extra_line(1), 1,
     "error: enemy 2 on (3, 5) would patrol off the grid toward +y"},  // both ends run off; +y is named
    {"enemy-on-start", [](room &r) { r.extra.push_back("enemy 11 11 -x"); }, extra_line(1), 1,
     "error: enemy 2 starts on the hero's start cell"},
    // A jump gets onto a block 1.8 high, but not onto one 2.0 high.
    {"block-1.8", [](room &r) { r.legend[3] = "  =  metal  1.8"; r.cell(13, 13) = '='; }, 0, 0, ""},
    {"block-2.0", [](room &r) { r.cell(13, 13) = '='; }, row_line(13), cell_column(13),
     "warning: no walk or jump reaches the drop on (13, 13)"},
    {"run-over-start", [](room &r) { r.extra.push_back("enemy 11 14 -y"); }, extra_line(1), 1,
     "warning: enemy 2's run crosses the hero's start cell"},
    // Mistakes of form.
    {"unknown-symbol", [](room &r) { r.cell(12, 12) = 'Q'; }, row_line(12), cell_column(12),
     "error: symbol 'Q' is not in the legend: add it there"},
    {"short-row", [](room &r) { r.rows[20] = "20 |# # # # #"; }, row_line(20), 15,
     "error: row x = 20 has 5 cells; every row has 25"},
    {"nul-byte", [](room &r) { r.legend[2] = std::string("  ~  la\0a  0", 13); r.extra[0] = "enemy 14 10 up"; },
     extra_line(0), 13, "error: unknown direction 'up'"},  // after "unknown kind 'la\x00a'" on line 7
    {"row-order", [](room &r) { std::swap(r.rows[7], r.rows[8]); }, row_line(8), 1,
     "error: this row is labelled x = 7 but the row for x = 8 comes here"},
    {"huge-row-label", [](room &r) { r.rows[7].replace(0, 2, "99999999999999999999"); }, row_line(7), 1,
     "error: row label 99999999999999999999 is off the grid"},
    {"no-name", [](room &r) { r.name = "# no name here"; }, 1, 1, "error: the level has no name: add a line"},
    {"bad-kind", [](room &r) { r.legend[1] = "  #  marble  3"; }, 6, 6,
     "error: unknown kind 'marble': use grass, stone, hero, metal, lava, enemy"},
    {"bad-height", [](room &r) { r.legend[1] = "  #  stone  high"; }, 6, 13, "error: 'high' is not a height"},
    {"symbol-twice", [](room &r) { r.legend.push_back("  #  metal  4"); }, 9, 3,
     "error: symbol '#' is already in the legend (line 6)"},
    {"bad-direction", [](room &r) { r.extra[0] = "enemy 14 10 up"; }, extra_line(0), 13,
     "error: unknown direction 'up': use +x, -x, +y or -y"},
    {"no-cell-line", [](room &r) { r.cell(12, 12) = '?'; }, row_line(12), cell_column(12),
     "error: cell (12, 12) is '?' but no 'cell 12 12 ...' line gives it"},
    // Comments, a '#' inside the name, rows without their trailing blank or with a comment after.
    {"comments", [](room &r) { r.name = "# a comment first\nname Room  # part of the name";
                               r.rows[0].pop_back(); r.rows[1] += "    # a comment after the row"; },
     0, 0, ""},
};

// One mistake, each with the one message it gives: no message repeated at every later use.
const level_case single_messages[] = {
    {"kind-once", [](room &r) { r.legend[1] = "  #  marble  3"; }, 6, 6, "error: unknown kind 'marble'"},
    {"symbol-once", [](room &r) { for (int y = 0; y < 25; y++) r.cell(20, y) = 'Q'; }, row_line(20),
     cell_column(0), "error: symbol 'Q' is not in the legend: add it there"},
    {"row-missing", [](room &r) { r.rows[7] = "# no row here"; }, 9, 1,
     "error: the grid has 24 rows; it needs 25, from x = 24 at the top to x = 0 (missing: x = 7)"},
    {"row-extra", [](room &r) { r.rows[7] += "\n" + r.rows[7]; }, 9, 1,
     "error: the grid has 26 rows; it needs 25, from x = 24 at the top to x = 0"},
    // Bytes a terminal would act on come out escaped; a NUL cuts off neither its line nor later errors.
    {"escape-bytes", [](room &r) { r.legend[1] = "  #  \x1b[2Jstone  3"; }, 6, 6,
     "error: unknown kind '\\x1b[2Jstone'"},
};

}  // namespace

TEST(Checker, OneMistakeGivesOneMessage)
{
  for (const level_case &c : single_messages) {
    room level;
    c.edit(level);
    tool_result result = compile_text(c.name, level);
    EXPECT_EQ(result.status, 1) << c.name;
    std::string at = scratch_path(c.name) + ".level:" + std::to_string(c.line) + ":" + std::to_string(c.column) +
                     ": " + c.message;
    EXPECT_EQ(result.output.compare(0, at.size(), at), 0) << at << "\nis not what is in:\n" << result.output;
    EXPECT_EQ(std::count(result.output.begin(), result.output.end(), '\n'), 1) << result.output;
  }
}

TEST(Checker, RejectsEachMistakeAtItsPlace)
{
  for (const level_case &c : cases) {
    room level;
    c.edit(level);
    tool_result result = compile_text(c.name, level);
    bool error = std::string(c.message).compare(0, 6, "error:") == 0;
    EXPECT_EQ(result.status, error ? 1 : 0) << c.name << "\n" << result.output;
    std::string at = scratch_path(c.name) + ".level:" + std::to_string(c.line) + ":";
    at += std::to_string(c.column) + ": " + c.message;
    EXPECT_TRUE(c.line ? result.output.find(at) != std::string::npos : result.output.empty())
        << at << "\nis not what is in:\n" << result.output;
    EXPECT_TRUE(!error || file_text(scratch_path(std::string(c.name) + ".map")).empty()) << c.name;
  }
}

// Levels made to break one rule each, through the real compiler: refused (or
// warned about) at the line and column of the fault, with what would fix it.
#include "tests/levels/level_tools.h"

namespace {

struct level_case {
  const char *name;
  void (*edit)(test_level &);
  int line, column;     // where the message points; 0 for a level that passes quietly
  const char *message;  // "error: ..." or "warning: ..." words it starts with
};

std::string wall_row(int x)
{
  std::string row = (x < 10 ? " " : "") + std::to_string(x) + " |";
  for (int y = 0; y < 25; y++)
    row += "# ";
  return row.substr(0, row.size() - 1);  // the trailing blank an editor strips
}

// A gate of metal this high in a gap of walls 5.0 high: the only way out.
void gate(test_level &l, const char *height)
{
  l.legend[1] = "  #  stone  5";
  l.legend[3] = std::string("  =  metal  ") + height;
  for (int y = 16; y < 25; y++)
    l.grid[12][y] = '.';
  l.grid[12][15] = '=';
}

// Compiles each case: a passing one prints nothing, a refused one writes no map.
void expect_messages(const std::vector<level_case> &cases)
{
  for (const level_case &c : cases) {
    test_level level;
    c.edit(level);
    tool_result result = compile_text(c.name, level.text());
    bool error = std::string(c.message).compare(0, 6, "error:") == 0;
    EXPECT_EQ(result.status, error ? 1 : 0) << c.name << "\n" << result.output;
    std::string at = scratch_path(std::string(c.name) + ".level") + ":" + std::to_string(c.line) + ":" +
                     std::to_string(c.column) + ": " + c.message;
    if (c.line == 0)
      EXPECT_EQ(result.output, "") << c.name;
    else
      EXPECT_NE(result.output.find(at), std::string::npos) << at << "\nnot in:\n" << result.output;
    EXPECT_TRUE(!error || read_text(scratch_path(std::string(c.name) + ".map")).empty()) << c.name;
  }
}

}  // namespace

TEST(Checker, RejectsEachBrokenRuleAtItsLineAndColumn)
{
  expect_messages({
      {"room", [](test_level &) {}, 0, 0, ""},
      {"start-y-off", [](test_level &l) { l.start = "start 11 25"; }, 2, 10, "error: the start y = 25"},
      {"start-x-off", [](test_level &l) { l.start = "start -1 11"; }, 2, 7, "error: the start x = -1"},
      {"start-lava", [](test_level &l) { l.grid[11][11] = '~'; }, 2, 7, "error: the hero starts on lava"},
      {"enemy-x-off", [](test_level &l) { l.extra.push_back("enemy 30 12 +y"); }, extra_line(1), 7,
       "error: enemy 2 starts at x = 30"},
      {"enemy-y-off", [](test_level &l) { l.extra.push_back("enemy 12 -2 +y"); }, extra_line(1), 10,
       "error: enemy 2 starts at y = -2"},
      {"ten-enemies", [](test_level &l) { l.extra.resize(10, "enemy 10 14 +x"); }, 0, 0, ""},
      {"eleven-enemies", [](test_level &l) { l.extra.resize(11, "enemy 10 14 +x"); }, extra_line(10), 1,
       "error: a level has at most 10 enemies"},
      {"no-drops", [](test_level &l) { l.drops[13][13] = false; }, 9, 1, "error: the level has no drop"},
      {"gap", [](test_level &l) { for (int y = 15; y < 25; y++) l.grid[12][y] = '.'; },
       row_line(12), cell_column(24), "error: the hero can get onto edge cell (12, 24)"},
      {"gate-2.0", [](test_level &l) { gate(l, "2"); }, row_line(12), cell_column(24),
       "error: the hero can get onto edge cell (12, 24)"},
      {"gate-2.01", [](test_level &l) { gate(l, "2.01"); }, 0, 0, ""},
      // A block 1.5 high in the room carries a jump across the floor onto the 3.0 walls.
      {"block-in-room", [](test_level &l) { l.legend[3] = "  =  stone  1.5"; l.grid[12][12] = '='; },
       9, 1, "error: the hero can reach "},  // more edge cells than are named one by one
      {"enemy-run-x", [](test_level &l) { l.extra.push_back("enemy 3 5 +x"); }, extra_line(1), 1,
       "error: enemy 2 on (3, 5) would patrol off the grid toward +x"},
      {"enemy-run-y", [](test_level &l) { l.extra.push_back("enemy 3 5 -y"); }, extra_line(1), 1,
       "error: enemy 2 on (3, 5) would patrol off the grid toward +y"},  // both ends run off; +y is named
      {"enemy-on-start", [](test_level &l) { l.extra.push_back("enemy 11 11 -x"); }, extra_line(1), 1,
       "error: enemy 2 starts on the hero's start cell"},
      {"drop-on-wall", [](test_level &l) { l.drops[5][5] = true; }, row_line(5), cell_column(5),
       "warning: no walk or jump reaches the drop on (5, 5)"},
      // A jump gets onto a block 1.8 high, but not onto one 2.0 high.
      {"block-1.8", [](test_level &l) { l.legend[1] = "  #  stone  5"; l.legend[3] = "  =  metal  1.8";
                                        l.grid[13][13] = '='; },
       0, 0, ""},
      {"block-2.0", [](test_level &l) { l.legend[1] = "  #  stone  5"; l.grid[13][13] = '='; },
       row_line(13), cell_column(13), "warning: no walk or jump reaches the drop on (13, 13)"},
      {"run-over-start", [](test_level &l) { l.extra.push_back("enemy 11 14 -y"); }, extra_line(1), 1,
       "warning: enemy 2's run crosses the hero's start cell"},
  });
}

TEST(LevelText, RejectsEachMistakeOfFormAtItsLineAndColumn)
{
  expect_messages({
      {"unknown-symbol", [](test_level &l) { l.grid[12][12] = 'Q'; }, row_line(12), cell_column(12),
       "error: symbol 'Q' is not in the legend: add it there"},
      {"short-row", [](test_level &l) { l.rows[20] = "20 |# # # # #"; }, row_line(20), 15,
       "error: row x = 20 has 5 cells; every row has 25"},
      {"row-order", [](test_level &l) { l.rows[7] = wall_row(8); }, row_line(7), 1,
       "error: this row is labelled x = 8 but the row for x = 7 comes here"},
      {"no-name", [](test_level &l) { l.name = "# no name here"; }, 1, 1,
       "error: the level has no name: add a line 'name"},
      {"bad-kind", [](test_level &l) { l.legend[1] = "  #  marble  3"; }, 6, 6,
       "error: unknown kind 'marble': use grass, stone, hero, metal, lava, enemy"},
      {"bad-height", [](test_level &l) { l.legend[1] = "  #  stone  high"; }, 6, 13,
       "error: 'high' is not a height"},
      {"symbol-twice", [](test_level &l) { l.legend.push_back("  #  metal  4"); }, 9, 3,
       "error: symbol '#' is already in the legend (line 6)"},
      {"bad-direction", [](test_level &l) { l.extra[0] = "enemy 14 10 up"; }, extra_line(0), 13,
       "error: unknown direction 'up': use +x, -x, +y or -y"},
      {"no-cell-line", [](test_level &l) { l.grid[12][12] = '?'; }, row_line(12), cell_column(12),
       "error: cell (12, 12) is '?' but no 'cell 12 12 ...' line gives it"},
      // Comments, a '#' inside the name, rows without their trailing blank or with a comment after.
      {"comments", [](test_level &l) { l.name = "# a comment first\nname Room  # part of the name";
                                       l.rows[0] = wall_row(0);
                                       l.rows[1] = wall_row(1) + "    # a comment after the row"; },
       0, 0, ""},
  });
}

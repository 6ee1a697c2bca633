// Mistakes of form in a level's text: each is reported where it is, with
// what would fix it, and no map is written.
#include "tests/levels/level_tools.h"

#include <gtest/gtest.h>

namespace {

void expect_error(const char *name, const std::string &text, int line, int column, const char *words)
{
  tool_result result = compile_text(name, text);
  EXPECT_EQ(result.status, 1);
  std::string at = scratch_path(std::string(name) + ".level") + ":" + std::to_string(line) + ":" +
                   std::to_string(column) + ": error: ";
  size_t found = result.output.find(at);
  ASSERT_NE(found, std::string::npos) << "expected an error at " << line << ":" << column << ", got:\n"
                                      << result.output;
  EXPECT_NE(result.output.find(words, found), std::string::npos) << result.output;
  EXPECT_TRUE(read_bytes(scratch_path(std::string(name) + ".map")).empty());
}

}  // namespace

TEST(LevelText, RejectsASymbolMissingFromTheLegend)
{
  test_level level;
  level.grid[12][12] = 'Q';
  expect_error("unknown-symbol", level.text(), level.line_of_row(12), test_level::column_of_cell(12),
               "add it there");
}

TEST(LevelText, RejectsAShortRow)
{
  test_level level;
  std::string text = level.text();
  std::string full = "20 |# # # # # # # # # # # # # # # # # # # # # # # # #";
  size_t at = text.find(full);
  ASSERT_NE(at, std::string::npos);
  text.replace(at, full.size(), "20 |# # # # #");
  expect_error("short-row", text, level.line_of_row(20), 15, "every row has 25");
}

TEST(LevelText, RejectsRowsOutOfOrder)
{
  test_level level;
  std::string text = level.text();
  size_t at = text.find("\n 7 |");
  text.replace(at, 5, "\n 8 |");
  expect_error("row-order", text, level.line_of_row(7), 1, "the row for x = 7 comes here");
}

TEST(LevelText, RejectsAMissingName)
{
  test_level level;
  level.name = "# no name here";
  expect_error("no-name", level.text(), 1, 1, "add a line 'name");
}

TEST(LevelText, RejectsAnUnknownKind)
{
  test_level level;
  level.legend[1] = "  #  marble  3";
  expect_error("bad-kind", level.text(), 6, 6, "use grass, stone, hero, metal, lava, enemy");
}

TEST(LevelText, RejectsAHeightThatIsNotANumber)
{
  test_level level;
  level.legend[1] = "  #  stone  high";
  expect_error("bad-height", level.text(), 6, 13, "is not a height");
}

TEST(LevelText, RejectsASymbolDefinedTwice)
{
  test_level level;
  level.legend.push_back("  #  metal  4");
  expect_error("twice", level.text(), 7, 3, "already in the legend (line 6)");
}

TEST(LevelText, RejectsAnUnknownDirection)
{
  test_level level;
  level.extra[0] = "enemy 14 10 up";
  expect_error("bad-direction", level.text(), level.line_of_extra(0), 13, "use +x, -x, +y or -y");
}

TEST(LevelText, RejectsAQuestionMarkCellWithoutItsCellLine)
{
  test_level level;
  level.grid[12][12] = '?';
  expect_error("no-cell-line", level.text(), level.line_of_row(12), test_level::column_of_cell(12),
               "no 'cell 12 12 ...' line");
}

TEST(LevelText, TakesAQuestionMarkCellFromItsCellLine)
{
  test_level level;
  level.grid[12][12] = '?';
  level.extra.push_back("cell 12 12 kind 9 height 0.25 marker 7");
  tool_result result = compile_text("cell-line", level.text());
  ASSERT_EQ(result.status, 0) << result.output;
  std::vector<unsigned char> map = read_bytes(scratch_path("cell-line.map"));
  long record = 8 + (25 * 12 + 12) * 12;
  EXPECT_EQ(map[record + 4], 7);  // marker
  EXPECT_EQ(map[record + 8], 9);  // kind
}

TEST(LevelText, AcceptsCommentsAndARowWithItsTrailingBlankStripped)
{
  test_level level;
  level.name = "# a comment first\nname Test Room  # not a comment: part of the name";
  std::string text = level.text();
  // Editors strip the blank after a row's last cell; a row may end in a comment.
  size_t at = text.find("# \n");
  ASSERT_NE(at, std::string::npos);
  text.replace(at, 3, "#\n");
  at = text.find("# \n");
  text.replace(at, 3, "#    # a comment after the row\n");
  tool_result result = compile_text("comments", text);
  EXPECT_EQ(result.status, 0) << result.output;
}

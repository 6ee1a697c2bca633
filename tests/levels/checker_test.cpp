// The checker, through the real compiler: each rule rejects a level made to
// break it, at the line and column of the fault, and the sound level passes.
#include "tests/levels/level_tools.h"

#include <gtest/gtest.h>

namespace {

// "name.level:line:column: error: " as the compiler prints it.
std::string where(const std::string &name, int line, int column, const char *severity = "error")
{
  return scratch_path(name + ".level") + ":" + std::to_string(line) + ":" + std::to_string(column) +
         ": " + severity + ": ";
}

// Compiles the level and expects it refused with an error at line:column.
void expect_error_at(const char *name, const test_level &level, int line, int column)
{
  tool_result result = compile_text(name, level.text());
  EXPECT_EQ(result.status, 1) << result.output;
  EXPECT_NE(result.output.find(where(name, line, column)), std::string::npos)
      << "expected an error at " << line << ":" << column << ", got:\n" << result.output;
}

}  // namespace

TEST(Checker, AcceptsAWalledRoomWithADrop)
{
  tool_result result = compile_text("room", test_level().text());
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.output, "");
}

TEST(Checker, RejectsAStartOffTheGrid)
{
  test_level level;
  level.start = "start 11 25";
  expect_error_at("start-off", level, 2, 10);
  level.start = "start -1 11";
  expect_error_at("start-negative", level, 2, 7);
}

TEST(Checker, RejectsAStartOnLava)
{
  test_level level;
  level.legend.push_back("  ~  lava  0");
  level.grid[11][11] = '~';
  expect_error_at("start-lava", level, 2, 7);
}

TEST(Checker, RejectsAnEnemyOffTheGrid)
{
  test_level level;
  level.extra.push_back("enemy 30 12 +y");
  expect_error_at("enemy-off-x", level, level.line_of_extra(1), 7);
  level.extra.back() = "enemy 12 -2 +y";
  expect_error_at("enemy-off-y", level, level.line_of_extra(1), 10);
}

TEST(Checker, RejectsAnEleventhEnemy)
{
  test_level level;
  for (int i = 0; i < 9; i++)
    level.extra.push_back("enemy 10 14 +x");
  ASSERT_EQ(compile_text("ten-enemies", level.text()).status, 0);
  level.extra.push_back("enemy 10 14 +x");
  expect_error_at("eleven-enemies", level, level.line_of_extra(10), 1);
}

TEST(Checker, RejectsALevelWithoutDrops)
{
  test_level level;
  level.drops[13][13] = false;
  expect_error_at("no-drops", level, level.line_of_row(24) - 1, 1);
}

TEST(Checker, RejectsAGapInTheWall)
{
  test_level level;
  for (int y = 15; y < 25; y++)
    level.grid[12][y] = '.';
  expect_error_at("gap", level, level.line_of_row(12), test_level::column_of_cell(24));
}

TEST(Checker, RejectsAGateLowEnoughToJump)
{
  // Walls 5.0 high, so that from the top of the gate only the way on leads out.
  test_level level;
  level.legend[1] = "  #  stone  5";
  for (int y = 16; y < 25; y++)
    level.grid[12][y] = '.';
  level.grid[12][15] = '=';
  level.legend.push_back("  =  metal  2");
  expect_error_at("gate-2.0", level, level.line_of_row(12), test_level::column_of_cell(24));
  level.legend.back() = "  =  metal  2.01";
  EXPECT_EQ(compile_text("gate-2.01", level.text()).status, 0);
}

TEST(Checker, RejectsAWallReachedByAJumpFromABlockAcrossTheFloor)
{
  // Each jump climbs at most 2.0, but a block 1.5 high in the middle of the
  // room lets a jump carry the hero across the floor onto the walls, 3.0 high.
  test_level level;
  level.grid[12][12] = 's';
  level.legend.push_back("  s  stone  1.5");
  tool_result result = compile_text("steps", level.text());
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.output.find("can get onto edge cell"), std::string::npos) << result.output;
  // Without the block the same walls hold.
  level.grid[12][12] = '.';
  EXPECT_EQ(compile_text("no-steps", level.text()).status, 0);
}

TEST(Checker, RejectsAnEnemyRunningOffTheGrid)
{
  // On the wall, stone from x = 0 to 24: no change of height ends the run.
  test_level level;
  level.extra.push_back("enemy 3 5 +x");
  expect_error_at("enemy-run", level, level.line_of_extra(1), 1);
  level.extra.back() = "enemy 3 5 -y";
  expect_error_at("enemy-run-y", level, level.line_of_extra(1), 1);
}

TEST(Checker, RejectsAnEnemyOnTheHerosStart)
{
  test_level level;
  level.extra.push_back("enemy 11 11 -x");
  expect_error_at("enemy-on-start", level, level.line_of_extra(1), 1);
}

TEST(Checker, WarnsOfADropNoJumpReaches)
{
  test_level level;
  level.drops[5][5] = true;  // on top of the wall, 3.0 up
  tool_result result = compile_text("high-drop", level.text());
  EXPECT_EQ(result.status, 0);
  EXPECT_NE(result.output.find(where("high-drop", level.line_of_row(5), test_level::column_of_cell(5),
                                     "warning")),
            std::string::npos)
      << result.output;
}

TEST(Checker, ReachesADropOnABlockAJumpGetsOnto)
{
  test_level level;
  level.legend[1] = "  #  stone  5";
  level.grid[13][13] = 'h';
  level.legend.push_back("  h  metal  1.8");
  tool_result result = compile_text("block-drop", level.text());
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.output, "");
}

TEST(Checker, WarnsOfADropOnABlockTooHighToLandOn)
{
  // A jump's top lets the hero past a 2.0 edge, but not far enough over it
  // to come down on the block.
  test_level level;
  level.legend[1] = "  #  stone  5";
  level.grid[13][13] = 'h';
  level.legend.push_back("  h  metal  2");
  tool_result result = compile_text("too-high", level.text());
  EXPECT_EQ(result.status, 0);
  EXPECT_NE(result.output.find("warning: no walk or jump reaches the drop on (13, 13)"), std::string::npos)
      << result.output;
}

TEST(Checker, WarnsOfAnEnemyRunOverTheStart)
{
  test_level level;
  level.extra.push_back("enemy 11 14 -y");
  tool_result result = compile_text("run-over-start", level.text());
  EXPECT_EQ(result.status, 0);
  EXPECT_NE(result.output.find(where("run-over-start", level.line_of_extra(1), 1, "warning")),
            std::string::npos)
      << result.output;
}

TEST(Checker, UncheckedCompileWritesALevelThatBreaksARule)
{
  test_level level;
  level.drops[13][13] = false;
  tool_result result = compile_text("unchecked", level.text(), "--unchecked");
  EXPECT_EQ(result.status, 0);
  EXPECT_NE(result.output.find("warning: the level has no drop"), std::string::npos) << result.output;
  EXPECT_EQ(read_bytes(scratch_path("unchecked.map")).size(), 7512u + 12u);
}

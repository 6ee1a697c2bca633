// The console's writing rules and its cursor blink, on the row texts drawing would draw.
#include "font/vector_internal.h"

#include <gtest/gtest.h>
#include <string>

namespace {

class ConsoleTest : public ::testing::Test {
 protected:
  void SetUp() override
  {
    font_init();
    font_option_disable(FONT_OPTION_CURSOR);  // plain row texts
  }
  void TearDown() override { font_shutdown(); }
};

std::string row(int r)
{
  char text[CONSOLE_ROW_BUFFER];
  console_compose_row(r, text);
  return text;
}

// Rows 0..n-1 and the cursor, as "row0|row1|...@column,row".
std::string screen(int rows)
{
  std::string s;
  for (int r = 0; r < rows; r++)
    s += row(r) + "|";
  int column, cursor_row;
  console_get_cursor(&column, &cursor_row);
  return s + "@" + std::to_string(column) + "," + std::to_string(cursor_row);
}

std::string size()
{
  int columns, rows;
  console_get_size(&columns, &rows);
  return std::to_string(columns) + "x" + std::to_string(rows);
}

// Successive draws of cursor row 0: S where the underscore shows, h where not.
std::string blink(int draws)
{
  std::string pattern;
  for (int i = 0; i < draws; i++)
    pattern += row(0) == "_" ? 'S' : 'h';
  return pattern;
}

}  // namespace

TEST_F(ConsoleTest, SizeIsSetFreshAndRefusedBeyondTheRowBuffer)
{
  EXPECT_EQ(size(), "40x20");
  console_print("hello\nworld");
  console_set_size(10, 3);
  EXPECT_EQ(size(), "10x3");
  EXPECT_EQ(screen(3), "|||@0,0");
  console_print("keep");
  int refused[][2] = {{512, 5}, {0, 5}, {-3, 5}, {10, 0}, {10, -1}, {100000, 1}};
  for (auto &bad : refused)
    console_set_size(bad[0], bad[1]);
  EXPECT_EQ(size(), "10x3");
  EXPECT_EQ(screen(1), "keep|@4,0");
  console_set_size(CONSOLE_MAX_COLUMNS, 2);
  std::string widest(CONSOLE_MAX_COLUMNS, 'w');
  console_print(widest.c_str());
  EXPECT_EQ(screen(1), widest + "|@0,1");
}

TEST_F(ConsoleTest, LinesWrapNewlinesEndThemAndTheBottomRowScrolls)
{
  console_print(std::string(40, 'x').c_str());
  EXPECT_EQ(screen(0), "@0,1");  // a full line wraps at once
  console_print("\nAB\nD");       // so this newline leaves row 1 empty
  EXPECT_EQ(screen(4), std::string(40, 'x') + "||AB|D|@1,3");
  console_set_size(8, 3);
  console_print("one\ntwo\nthree\n");
  EXPECT_EQ(screen(3), "two|three||@0,2");
  console_print("four56789");  // wrapping on the last row scrolls too
  EXPECT_EQ(screen(3), "three|four5678|9|@1,2");
}

TEST_F(ConsoleTest, OnlyPrintableBytesAndNewlineCount)
{
  console_print("ok");
  const char ignored[] = {'\r', '\t', '\b', 0, 0x1F, (char)0x80, (char)0xE9, (char)0xFF};
  console_write(ignored, sizeof ignored);
  for (char c : ignored)
    console_put_char((unsigned char)c);
  console_write("zzz", 0);
  EXPECT_EQ(screen(2), "ok||@2,0");
  console_put_char(127);
  console_put_char(256 + 'z');  // only the low 8 bits count
  console_write("ab\0cd", 5);
  EXPECT_EQ(screen(1), "ok\x7fz" "abcd|@8,0");
  console_clear();
  EXPECT_EQ(screen(2), "||@0,0");
  font_shutdown();  // no buffer: everything is ignored
  console_print("nothing");
  EXPECT_EQ(size() + screen(1), "0x0|@0,0");
  font_init();
}

TEST_F(ConsoleTest, CursorBlinksIntoTheFirstEmptyCellOfItsRow)
{
  font_init();  // cursor on
  EXPECT_EQ(blink(43), std::string(10, 'S') + std::string(11, 'h') + std::string(11, 'S') + std::string(11, 'h'));
  console_set_blink_period(0);  // ignored: the next phase comes as due
  console_set_blink_period(-4);
  EXPECT_EQ(blink(1), "S");
  console_set_blink_period(3);  // restarts shown
  EXPECT_EQ(blink(11), "SSShhhhSSSS");
  console_print("ab\ncd");
  console_set_blink_period(5);
  EXPECT_EQ(row(0), "ab");  // not the cursor row, and no blink step
  EXPECT_EQ(row(1), "cd_");
}

TEST_F(ConsoleTest, CursorOffDrawsNoUnderscoreAndStopsTheCounter)
{
  font_init();
  EXPECT_EQ(blink(9), std::string(9, 'S'));
  font_option_disable(FONT_OPTION_CURSOR);
  EXPECT_EQ(blink(50), std::string(50, 'h'));
  font_option_enable(FONT_OPTION_CURSOR);
  EXPECT_EQ(blink(3), "Shh") << "counting goes on where it stopped";
}

// The text console's writing rules and its cursor blink, checked on the row
// texts that drawing would draw.
#include "font/vector_internal.h"

#include <gtest/gtest.h>
#include <string>

namespace {

class ConsoleTest : public ::testing::Test {
 protected:
  void SetUp() override
  {
    font_init();
    font_option_disable(FONT_OPTION_CURSOR);  // rows without the underscore
  }
  void TearDown() override { font_shutdown(); }
};

std::string row_text(int row)
{
  char text[CONSOLE_ROW_BUFFER];
  console_compose_row(row, text);
  return text;
}

void expect_cursor(int column, int row)
{
  int c, r;
  console_get_cursor(&c, &r);
  EXPECT_EQ(c, column);
  EXPECT_EQ(r, row);
}

// Draws of the cursor row: whether each one shows the underscore.
std::string blink_pattern(int draws)
{
  std::string pattern;
  for (int i = 0; i < draws; i++)
    pattern += row_text(0) == "_" ? 'S' : 'h';
  return pattern;
}

}  // namespace

// ---- Size ---------------------------------------------------------------------------

TEST_F(ConsoleTest, InitMakesAnEmpty40By20Console)
{
  int columns, rows;
  console_get_size(&columns, &rows);
  EXPECT_EQ(columns, 40);
  EXPECT_EQ(rows, 20);
  for (int r = 0; r < rows; r++)
    EXPECT_EQ(row_text(r), "");
  expect_cursor(0, 0);
}

TEST_F(ConsoleTest, SetSizeDiscardsContentsAndHomesCursor)
{
  console_print("hello\nworld");
  console_set_size(10, 3);
  int columns, rows;
  console_get_size(&columns, &rows);
  EXPECT_EQ(columns, 10);
  EXPECT_EQ(rows, 3);
  EXPECT_EQ(row_text(0), "");
  EXPECT_EQ(row_text(1), "");
  expect_cursor(0, 0);
}

TEST_F(ConsoleTest, SizesBeyondTheRowBufferAreRefused)
{
  console_print("keep");
  int refused[][2] = {{512, 5}, {0, 5}, {-3, 5}, {10, 0}, {10, -1}, {100000, 1}};
  for (auto &size : refused) {
    console_set_size(size[0], size[1]);
    int columns, rows;
    console_get_size(&columns, &rows);
    EXPECT_EQ(columns, 40) << size[0] << " x " << size[1];
    EXPECT_EQ(rows, 20) << size[0] << " x " << size[1];
  }
  EXPECT_EQ(row_text(0), "keep");
  expect_cursor(4, 0);
}

TEST_F(ConsoleTest, WidestRowFillsTheRowBufferExactly)
{
  console_set_size(CONSOLE_MAX_COLUMNS, 2);
  std::string full(CONSOLE_MAX_COLUMNS, 'w');
  console_print(full.c_str());
  EXPECT_EQ(row_text(0), full);
  expect_cursor(0, 1);
}

// ---- Writing ------------------------------------------------------------------------

TEST_F(ConsoleTest, FullLineWrapsAtOnceAndNewlineThenGivesEmptyLine)
{
  console_print(std::string(40, 'x').c_str());
  expect_cursor(0, 1);
  console_print("\n");
  expect_cursor(0, 2);
  EXPECT_EQ(row_text(0), std::string(40, 'x'));
  EXPECT_EQ(row_text(1), "");
}

TEST_F(ConsoleTest, NewlineStartsTheNextRow)
{
  console_print("AB\nD");
  EXPECT_EQ(row_text(0), "AB");
  EXPECT_EQ(row_text(1), "D");
  expect_cursor(1, 1);
}

TEST_F(ConsoleTest, NewlineOnLastRowScrollsUp)
{
  console_set_size(8, 3);
  console_print("one\ntwo\nthree");
  expect_cursor(5, 2);
  console_print("\n");
  EXPECT_EQ(row_text(0), "two");
  EXPECT_EQ(row_text(1), "three");
  EXPECT_EQ(row_text(2), "");
  expect_cursor(0, 2);
  console_print("four56789");  // wraps on the last row: scrolls again
  EXPECT_EQ(row_text(0), "three");
  EXPECT_EQ(row_text(1), "four5678");
  EXPECT_EQ(row_text(2), "9");
  expect_cursor(1, 2);
}

TEST_F(ConsoleTest, BytesOutsidePrintableAndNewlineChangeNothing)
{
  console_print("ok");
  const char ignored[] = {'\r', '\t', '\b', 0x01, 0x1F, (char)0x80, (char)0xE9, (char)0xFF};
  console_write(ignored, sizeof ignored);
  for (char c : ignored)
    console_put_char((unsigned char)c);
  console_put_char(0);
  EXPECT_EQ(row_text(0), "ok");
  EXPECT_EQ(row_text(1), "");
  expect_cursor(2, 0);
  console_put_char(127);
  console_put_char(256 + 'z');  // only the low 8 bits count
  EXPECT_EQ(row_text(0), "ok\x7fz");
}

TEST_F(ConsoleTest, WriteTakesExactlyLengthBytesIncludingNuls)
{
  console_write("abc", 0);
  expect_cursor(0, 0);
  console_write("ab\0cd", 5);  // the NUL is ignored like any control byte
  EXPECT_EQ(row_text(0), "abcd");
  expect_cursor(4, 0);
}

TEST_F(ConsoleTest, ClearEmptiesCellsAndHomesCursor)
{
  console_print("a\nb\nc");
  console_clear();
  for (int r = 0; r < 3; r++)
    EXPECT_EQ(row_text(r), "");
  expect_cursor(0, 0);
}

TEST_F(ConsoleTest, ConsoleWithoutBufferIgnoresEverything)
{
  font_shutdown();
  console_print("nothing");
  console_put_char('x');
  EXPECT_EQ(row_text(0), "");
  expect_cursor(0, 0);
  font_init();
}

// ---- Cursor -------------------------------------------------------------------------

TEST_F(ConsoleTest, CursorShows10ThenAlternates11)
{
  font_init();  // the blink as it starts
  std::string expected = std::string(10, 'S') + std::string(11, 'h') + std::string(11, 'S') +
                         std::string(11, 'h');
  EXPECT_EQ(blink_pattern(43), expected);
}

TEST_F(ConsoleTest, BlinkPeriodRestartsShownAndIgnoresNonPositive)
{
  font_option_enable(FONT_OPTION_CURSOR);
  blink_pattern(12);  // somewhere in the hidden phase
  console_set_blink_period(0);
  console_set_blink_period(-4);
  EXPECT_EQ(blink_pattern(1), "h");
  console_set_blink_period(3);
  EXPECT_EQ(blink_pattern(11), "SSShhhhSSSS");
}

TEST_F(ConsoleTest, CursorGoesIntoFirstEmptyCellOfItsRowOnly)
{
  console_print("ab\ncd");
  font_option_enable(FONT_OPTION_CURSOR);
  EXPECT_EQ(row_text(0), "ab");  // not the cursor row: no blink step either
  EXPECT_EQ(row_text(1), "cd_");
  console_set_size(3, 2);
  console_print("xy");
  console_set_blink_period(5);
  EXPECT_EQ(row_text(0), "xy_");
}

TEST_F(ConsoleTest, CursorOffDrawsNoUnderscoreAndStopsTheCounter)
{
  font_init();
  EXPECT_EQ(blink_pattern(9), std::string(9, 'S'));
  font_option_disable(FONT_OPTION_CURSOR);
  for (int i = 0; i < 50; i++)
    EXPECT_EQ(row_text(0), "");
  font_option_enable(FONT_OPTION_CURSOR);
  // Counting resumes where it stopped: one more shown, then hidden.
  EXPECT_EQ(blink_pattern(3), "Shh");
}

// The text console: a grid of character cells written from a cursor, with
// wrapping and scrolling, drawn row by row in a vector font with a blinking
// underscore cursor.
#include "font/vector_internal.h"

#include <GL/gl.h>
#include <cstdlib>
#include <cstring>

namespace {

constexpr uint8_t BLINK_SHOWN = 1;
constexpr uint8_t BLINK_HIDDEN = 2;
constexpr char EMPTY_CELL = 0;
constexpr char NEWLINE = '\n';
constexpr char CURSOR_MARK = '_';
constexpr int FIRST_PRINTABLE = 32;  // codes 32..127 are stored; signed bytes above 31
constexpr float ROW_STEP = -2.0f;    // each row is drawn this far below the last

// Console state; 0 x 0 with no buffer until font_init sizes it.
int console_width = 0;
int console_height = 0;
char *console_buffer = nullptr;  // width x height cells, row by row; owned here
int cursor_column = 0;
int cursor_row = 0;
int console_font = 0;
int blink_period = 0;
int blink_counter = 0;
uint8_t blink_phase = BLINK_HIDDEN;

char *row_cells(int row)
{
  return console_buffer + (size_t)row * console_width;
}

// Moves every row up by one and empties the last; the cursor stays on it.
void scroll_up()
{
  std::memmove(row_cells(0), row_cells(1), (size_t)(console_height - 1) * console_width);
  std::memset(row_cells(console_height - 1), EMPTY_CELL, console_width);
  cursor_row = console_height - 1;
}

void write_byte(char b)
{
  if (!console_buffer)
    return;
  if ((signed char)b >= FIRST_PRINTABLE)
    row_cells(cursor_row)[cursor_column++] = b;
  else if (b == NEWLINE)
    cursor_column = console_width;
  else
    return;  // control codes and bytes 128..255 change nothing
  if (cursor_column >= console_width) {
    cursor_column = 0;
    if (++cursor_row >= console_height)
      scroll_up();
  }
}

// One step of the blink: true while the cursor is shown.
bool blink_step()
{
  if (--blink_counter < 0) {
    blink_counter = blink_period;
    blink_phase = blink_phase == BLINK_SHOWN ? BLINK_HIDDEN : BLINK_SHOWN;
  }
  return blink_phase == BLINK_SHOWN;
}

}  // namespace

void console_set_size(int columns, int rows)
{
  // A wider row would overflow the row buffer that drawing builds.
  if (columns < 1 || columns > CONSOLE_MAX_COLUMNS || rows < 1)
    return;
  char *buffer = (char *)std::malloc((size_t)columns * rows);
  if (!buffer)
    return;  // keep the old console rather than have none
  std::free(console_buffer);
  console_buffer = buffer;
  console_width = columns;
  console_height = rows;
  console_clear();
}

void console_release()
{
  std::free(console_buffer);
  console_buffer = nullptr;
  console_width = 0;
  console_height = 0;
  cursor_column = 0;
  cursor_row = 0;
}

void console_clear()
{
  if (console_buffer)
    std::memset(console_buffer, EMPTY_CELL, (size_t)console_width * console_height);
  cursor_column = 0;
  cursor_row = 0;
}

void console_print(const char *text)
{
  for (; text && *text; text++)
    write_byte(*text);
}

void console_write(const char *bytes, int length)
{
  for (int i = 0; bytes && i < length; i++)
    write_byte(bytes[i]);
}

void console_put_char(int character)
{
  write_byte((char)(character & 0xFF));
}

int console_set_font(int slot)
{
  if (!vector_font_get(slot))
    return -1;
  console_font = slot;
  return 0;
}

void console_set_blink_period(int period)
{
  if (period <= 0)
    return;
  blink_period = period;
  blink_counter = period;
  blink_phase = BLINK_SHOWN;
}

void console_compose_row(int row, char text[CONSOLE_ROW_BUFFER])
{
  text[0] = '\0';
  if (!console_buffer || row < 0 || row >= console_height)
    return;
  std::memcpy(text, row_cells(row), console_width);
  text[console_width] = '\0';
  if (font_option_cursor != FONT_OPTION_ON || row != cursor_row)
    return;
  if (!blink_step())
    return;
  // The cursor goes into the first empty cell; a full row shows none.
  size_t used = std::strlen(text);
  if (used < (size_t)console_width) {
    text[used] = CURSOR_MARK;
    text[used + 1] = '\0';
  }
}

void console_draw()
{
  if (!console_buffer)
    return;
  char text[CONSOLE_ROW_BUFFER];
  for (int row = 0; row < console_height; row++) {
    console_compose_row(row, text);
    int remembered = vector_current_font;
    vector_current_font = console_font;
    vector_draw_string(text, vector_draw_symbol_solid);
    vector_current_font = remembered;
    glTranslatef(0.0f, ROW_STEP, 0.0f);
  }
}

void console_get_cursor(int *column, int *row)
{
  *column = cursor_column;
  *row = cursor_row;
}

void console_get_size(int *columns, int *rows)
{
  *columns = console_width;
  *rows = console_height;
}

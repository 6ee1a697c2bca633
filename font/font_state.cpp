// The font library's state: start-up, shutdown, the option switches and the
// library-wide settings with their values at program start.
#include "font/vector_internal.h"

namespace {

constexpr uint8_t DEFAULT_ANCHOR = VECTOR_ANCHOR_CENTRE;
constexpr int CONSOLE_START_COLUMNS = 40;
constexpr int CONSOLE_START_ROWS = 20;
constexpr int CURSOR_START_BLINK_PERIOD = 10;  // draws of the cursor row per phase

// The option byte behind a code, or null for a code that names none.
uint8_t *option_for_code(int code)
{
  switch (code) {
    case FONT_OPTION_MESSAGES: return &font_option_messages;
    case FONT_OPTION_TEXTURING: return &font_option_texturing;
    case FONT_OPTION_CONTOURING: return &font_option_contouring;
    case FONT_OPTION_CURSOR: return &font_option_cursor;
    default: return nullptr;
  }
}

}  // namespace

// Values at program start; font_init sets some of them again.
uint8_t font_option_messages = FONT_OPTION_OFF;
uint8_t font_option_texturing = FONT_OPTION_OFF;
uint8_t font_option_contouring = FONT_OPTION_OFF;
uint8_t font_option_cursor = FONT_OPTION_OFF;
uint8_t text_anchor = DEFAULT_ANCHOR;
float symbol_spacing = 0.2f;
float space_size = 2.0f;
float symbol_depth = 0.2f;
float contour_color[4] = {0.0f, 0.0f, 0.0f, 0.0f};

void font_init()
{
  vector_fonts_reset();
  bitmap_fonts_reset();
  font_option_messages = FONT_OPTION_OFF;
  font_option_texturing = FONT_OPTION_OFF;
  font_option_contouring = FONT_OPTION_OFF;
  text_anchor = DEFAULT_ANCHOR;
  vector_set_contour_color(0.0f, 0.0f, 0.0f, 0.0f);
  console_set_size(CONSOLE_START_COLUMNS, CONSOLE_START_ROWS);
  font_option_cursor = FONT_OPTION_ON;
  console_set_blink_period(CURSOR_START_BLINK_PERIOD);
}

void font_shutdown()
{
  console_release();
  vector_fonts_unload_all();
  bitmap_fonts_unload_all();
}

void font_option_enable(int option)
{
  if (uint8_t *value = option_for_code(option))
    *value = FONT_OPTION_ON;
}

void font_option_disable(int option)
{
  if (uint8_t *value = option_for_code(option))
    *value = FONT_OPTION_OFF;
}

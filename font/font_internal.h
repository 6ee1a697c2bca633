// State and hooks shared between the font library's own units; not for the
// game or the tools (they use font/font.h).
#pragma once

#include "font/font.h"

// Library-wide options: 1 for on, 2 for off.
constexpr uint8_t FONT_OPTION_ON = 1;
constexpr uint8_t FONT_OPTION_OFF = 2;

// Bitmap side of font_init: every slot free, no current bitmap font.
void bitmap_fonts_reset();
// Bitmap side of font_shutdown: unloads slots 0 to 255 in turn.
void bitmap_fonts_unload_all();

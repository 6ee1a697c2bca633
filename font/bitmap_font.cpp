// Stand-in until the font library lands: bitmap fonts.
#include "font/font.h"

int bitmap_font_load(const char *) { return 0; }
int bitmap_font_set_current(int) { return 0; }
void bitmap_text_begin() {}
void bitmap_text_end() {}
void bitmap_draw_string(const char *) {}

#include "font/font_internal.h"
void bitmap_fonts_reset() {}
void bitmap_fonts_unload_all() {}

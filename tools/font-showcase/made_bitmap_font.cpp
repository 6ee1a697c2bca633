// A bitmap font drawn with Allegro's built-in text font.
#include "made_bitmap_font.h"

#include "font/font_write.h"

#include <allegro.h>

namespace {

constexpr int PICTURE_SIZE = 256;  // square picture, a power of two for GL
constexpr int CELLS_PER_ROW = 16;  // 16 x 16 cells, one per character code
constexpr int CELL_SIZE = PICTURE_SIZE / CELLS_PER_ROW;
constexpr int GLYPH_SIZE = 8;      // Allegro's text font is 8 x 8 pixels
constexpr int GLYPH_MARGIN = (CELL_SIZE - GLYPH_SIZE) / 2;  // keeps filtering off the neighbours
constexpr int CHANNELS = 3;

}  // namespace

int write_made_bitmap_font(const char *path)
{
  BITMAP *picture = create_bitmap_ex(32, PICTURE_SIZE, PICTURE_SIZE);
  if (!picture)
    return -1;
  clear_to_color(picture, makecol32(0, 0, 0));
  bitmap_glyph_rect glyphs[256] = {};
  for (int code = ' '; code < 127; code++) {
    int left = code % CELLS_PER_ROW * CELL_SIZE + GLYPH_MARGIN;
    int top = code / CELLS_PER_ROW * CELL_SIZE + GLYPH_MARGIN;
    char text[2] = {(char)code, 0};
    textout_ex(picture, font, text, left, top, makecol32(255, 255, 255), -1);
    // Texture coordinates count rows from the picture's bottom edge.
    glyphs[code] = {(float)left / PICTURE_SIZE, (float)(PICTURE_SIZE - top - GLYPH_SIZE) / PICTURE_SIZE,
                    (float)GLYPH_SIZE / PICTURE_SIZE, (float)GLYPH_SIZE / PICTURE_SIZE};
  }
  sgi_picture sgi = {PICTURE_SIZE, PICTURE_SIZE, CHANNELS, {}, true};
  sgi.planes.resize((size_t)CHANNELS * PICTURE_SIZE * PICTURE_SIZE);
  for (int c = 0; c < CHANNELS; c++) {
    for (int row = 0; row < PICTURE_SIZE; row++) {
      for (int x = 0; x < PICTURE_SIZE; x++) {
        int pixel = getpixel(picture, x, PICTURE_SIZE - 1 - row);  // bottom row first
        int value = c == 0 ? getr32(pixel) : c == 1 ? getg32(pixel) : getb32(pixel);
        sgi.planes[((size_t)c * PICTURE_SIZE + row) * PICTURE_SIZE + x] = (uint8_t)value;
      }
    }
  }
  destroy_bitmap(picture);
  return bmf_write(path, "Allegro 8x8", glyphs, sgi);
}

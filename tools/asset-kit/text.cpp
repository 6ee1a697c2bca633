// Text rendered with FreeType.
#include "tools/asset-kit/text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>

struct text_face {
  FT_Library library;
  FT_Face face;
};

namespace {

constexpr int FIXED_SHIFT = 6;  // FreeType's 26.6 fixed-point fractions

int round_fixed(long v)
{
  return static_cast<int>((v + (1 << (FIXED_SHIFT - 1))) >> FIXED_SHIFT);
}

}  // namespace

// Draws one glyph shaded from top (at the ascent) to bottom (at the
// baseline); returns its advance.
static int draw_glyph_shaded(picture &pic, text_face *face, unsigned long code, int x,
                             int baseline, rgb top, rgb bottom)
{
  const int ascent = text_ascent(face);
  glyph_image g = render_glyph(face, code);
  for (int row = 0; row < g.rows; ++row) {
    int y = baseline - g.top + row;
    rgb colour = mix(top, bottom, clamp01(float(y - (baseline - ascent)) / ascent));
    for (int col = 0; col < g.width; ++col)
      blend_pixel(pic, x + g.left + col, y, colour, g.coverage[row * g.width + col] / 255.0f);
  }
  return g.advance;
}

text_face *open_text_face(const char *path, int pixel_height, int pixel_width)
{
  text_face *tf = new text_face{};
  if (FT_Init_FreeType(&tf->library) != 0) {
    delete tf;
    return nullptr;
  }
  if (FT_New_Face(tf->library, path, 0, &tf->face) != 0 ||
      FT_Set_Pixel_Sizes(tf->face, pixel_width, pixel_height) != 0) {
    FT_Done_FreeType(tf->library);
    delete tf;
    return nullptr;
  }
  return tf;
}

void close_text_face(text_face *face)
{
  if (!face)
    return;
  FT_Done_Face(face->face);
  FT_Done_FreeType(face->library);
  delete face;
}

glyph_image render_glyph(text_face *face, unsigned long code)
{
  glyph_image g = {};
  // Light hinting keeps the designed shapes and snaps only vertically,
  // which reads best at the small sizes of a status line.
  if (FT_Load_Char(face->face, code, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0)
    return g;
  FT_GlyphSlot slot = face->face->glyph;
  g.width = static_cast<int>(slot->bitmap.width);
  g.rows = static_cast<int>(slot->bitmap.rows);
  g.left = slot->bitmap_left;
  g.top = slot->bitmap_top;
  g.advance = round_fixed(slot->advance.x);
  g.coverage.resize(static_cast<size_t>(g.width) * g.rows);
  for (int y = 0; y < g.rows; ++y)
    for (int x = 0; x < g.width; ++x)
      g.coverage[y * g.width + x] = slot->bitmap.buffer[y * slot->bitmap.pitch + x];
  return g;
}

int text_ascent(text_face *face)
{
  return round_fixed(face->face->size->metrics.ascender);
}

int text_descent(text_face *face)
{
  return -round_fixed(face->face->size->metrics.descender);
}

int text_width(text_face *face, const char *text)
{
  int width = 0;
  for (const char *p = text; *p; ++p)
    width += render_glyph(face, static_cast<unsigned char>(*p)).advance;
  return width;
}

int draw_glyph(picture &pic, text_face *face, unsigned long code, int x, int baseline, rgb colour)
{
  draw_glyph_shaded(pic, face, code, x, baseline, colour, colour);
  return render_glyph(face, code).advance;
}

void draw_text(picture &pic, text_face *face, const char *text, int x, int baseline,
               rgb top, rgb bottom)
{
  int pen = x;
  for (const char *p = text; *p; ++p)
    pen += draw_glyph_shaded(pic, face, static_cast<unsigned char>(*p), pen, baseline, top, bottom);
}

// Text rendered with FreeType from a TrueType font, for pictures and for
// the bitmap font tool.
#pragma once

#include "tools/asset-kit/picture.h"

#include <vector>

// An open font at one pixel size (opaque).
struct text_face;

// Opens a font file at the given pixel height (and width, when glyphs are
// to be stretched; 0 keeps them in proportion); null when it cannot.
text_face *open_text_face(const char *path, int pixel_height, int pixel_width = 0);
void close_text_face(text_face *face);

// One rendered glyph: an 8-bit coverage bitmap (top row first), where its
// top left corner sits relative to the pen on the baseline, and how far the
// pen moves on (all in whole pixels).
struct glyph_image {
  int width, rows;
  int left, top;  // from the pen: right, and up from the baseline
  int advance;
  std::vector<unsigned char> coverage;
};
glyph_image render_glyph(text_face *face, unsigned long code);  // a Unicode code point

// Height of the tallest glyph above the baseline, and depth below it, for
// the face's size (from the font's own metrics).
int text_ascent(text_face *face);
int text_descent(text_face *face);
// Width in pixels of a line of text.
int text_width(text_face *face, const char *text);

// Draws one glyph (any Unicode code point) with its pen at (x, baseline)
// in one colour; returns its advance.
int draw_glyph(picture &pic, text_face *face, unsigned long code, int x, int baseline, rgb colour);

// Draws text (bytes taken as Latin-1) with its baseline at y and its pen starting at x, shaded from
// the top colour (at the ascent) to the bottom colour (at the baseline).
void draw_text(picture &pic, text_face *face, const char *text, int x, int baseline,
               rgb top, rgb bottom);

// bitmap-font-maker: renders a TrueType font with FreeType into a BMF
// bitmap font for the game's status line: white glyphs on black in a
// run-length encoded SGI picture, with rectangles measured from each glyph.
// Usage: bitmap-font-maker --help
#include "font/font_write.h"
#include "tools/asset-kit/command_line.h"
#include "tools/asset-kit/text.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

// The picture is a power of two on both sides, as every OpenGL 1.1 texture
// must be.
constexpr int PICTURE_WIDTH = 512;
constexpr int PICTURE_HEIGHT = 256;

// The status line scales a glyph rectangle of (w, h) picture fractions to
// w * 3.5 * 640 / 6 by h * 3.5 * 480 / 8 screen pixels.
constexpr float SCREEN_X_PER_FRACTION = 3.5f * 640 / 6;
constexpr float SCREEN_Y_PER_FRACTION = 3.5f * 480 / 8;
// Screen pixels per texel: about 0.73 across and 0.82 up, so the picture is
// shown a little smaller than it is and stays sharp (enlarging would blur).
constexpr float SCREEN_X_PER_TEXEL = SCREEN_X_PER_FRACTION / PICTURE_WIDTH;
constexpr float SCREEN_Y_PER_TEXEL = SCREEN_Y_PER_FRACTION / PICTURE_HEIGHT;

// Glyph size in texels (the em height). With DejaVu Sans this gives a line
// of 23 texels, 19 pixels on screen.
constexpr int EM_TEXELS = 19;
// Glyphs are rendered wider by the ratio of the two texel sizes, so they
// keep their designed proportions on screen.
const int EM_TEXELS_ACROSS =
    static_cast<int>(std::lround(EM_TEXELS * SCREEN_Y_PER_TEXEL / SCREEN_X_PER_TEXEL));

// Black texels kept between glyphs so linear filtering never pulls a
// neighbour's edge into a glyph.
constexpr int PADDING = 2;

// The characters in the font: printable ASCII and the printable half of
// Latin-1; every other code keeps an empty rectangle and draws nothing.
bool is_printable(int code)
{
  return (code >= 32 && code <= 126) || (code >= 160 && code <= 255);
}

// The picture as coverage, top row first, while glyphs are placed.
struct atlas {
  std::vector<unsigned char> coverage;
  int pen_x, pen_y;  // top left of the next free place
};

// Places one glyph: its rectangle spans the pen advance (and any ink that
// reaches past it) across and the font's whole line up, so every glyph
// shares the baseline. Returns false when the picture is full.
bool place_glyph(atlas &a, const glyph_image &g, int ascent, int line, bitmap_glyph_rect &rect)
{
  const int ink_left = std::min(0, g.left);
  const int width = std::max(g.advance, g.left + g.width) - ink_left;
  if (a.pen_x + width + PADDING > PICTURE_WIDTH) {
    a.pen_x = PADDING;
    a.pen_y += line + PADDING;
  }
  if (a.pen_y + line + PADDING > PICTURE_HEIGHT)
    return false;
  for (int row = 0; row < g.rows; ++row)
    for (int col = 0; col < g.width; ++col) {
      int x = a.pen_x + g.left - ink_left + col;
      int y = a.pen_y + ascent - g.top + row;
      if (y >= a.pen_y && y < a.pen_y + line)
        a.coverage[y * PICTURE_WIDTH + x] = g.coverage[row * g.width + col];
    }
  // Rectangles count from the bottom left corner of the picture.
  rect.x = float(a.pen_x) / PICTURE_WIDTH;
  rect.y = float(PICTURE_HEIGHT - a.pen_y - line) / PICTURE_HEIGHT;
  rect.width = float(width) / PICTURE_WIDTH;
  rect.height = float(line) / PICTURE_HEIGHT;
  a.pen_x += width + PADDING;
  return true;
}

// The atlas as one SGI plane, bottom row first as SGI stores it.
sgi_picture to_sgi(const atlas &a)
{
  sgi_picture pic = {PICTURE_WIDTH, PICTURE_HEIGHT, 1, {}, true};
  pic.planes.resize(static_cast<size_t>(PICTURE_WIDTH) * PICTURE_HEIGHT);
  for (int y = 0; y < PICTURE_HEIGHT; ++y)
    for (int x = 0; x < PICTURE_WIDTH; ++x)
      pic.planes[(PICTURE_HEIGHT - 1 - y) * PICTURE_WIDTH + x] = a.coverage[y * PICTURE_WIDTH + x];
  return pic;
}

struct arguments {
  const char *font = nullptr, *output = nullptr;
};
arguments args;

const tool_usage usage = {
  "bitmap-font-maker",
  "Renders a TrueType font into the bitmap font of the game's status line.",
  {{nullptr, nullptr, {
    operand("FONT.ttf", "the TrueType font to render", &args.font),
    operand("OUTPUT.emf", "the bitmap font file to write", &args.output),
  }}},
};

// Renders the font and writes it; returns the exit status.
int make_font()
{
  text_face *face = open_text_face(args.font, EM_TEXELS, EM_TEXELS_ACROSS);
  if (!face)
    return file_error(args.font, "cannot open the font");
  const int ascent = text_ascent(face);
  const int line = ascent + text_descent(face);
  atlas a = {std::vector<unsigned char>(static_cast<size_t>(PICTURE_WIDTH) * PICTURE_HEIGHT, 0),
             PADDING, PADDING};
  bitmap_glyph_rect glyphs[256] = {};
  for (int code = 0; code < 256; ++code) {
    if (!is_printable(code))
      continue;
    if (!place_glyph(a, render_glyph(face, static_cast<unsigned char>(code)), ascent, line,
                     glyphs[code])) {
      close_text_face(face);
      return file_error(args.font, "the glyphs do not fit a " + std::to_string(PICTURE_WIDTH) +
                                       " x " + std::to_string(PICTURE_HEIGHT) + " picture");
    }
  }
  close_text_face(face);
  if (bmf_write(args.output, "tolvane", glyphs, to_sgi(a)) != 0)
    return file_error(args.output, "cannot write");
  return 0;
}

}  // namespace

int main(int argc, char **argv)
{
  return run_tool(usage, argc, argv, make_font);
}

// The status-line font: a BMF file whose run-length encoded SGI picture our
// decoder and ImageMagick read alike, with one proportional rectangle per
// printable character, sized for a crisp line that fits the screen.
#include <gtest/gtest.h>
#include "font/font.h"
#include "tests/assets/asset_files.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr long BMF_GLYPHS_OFFSET = 99;     // after the magic and the name
constexpr long BMF_PICTURE_OFFSET = 4195;  // after the 256 rectangles
// The status line shows a rectangle (w, h) as w * 3.5 * 640 / 6 by
// h * 3.5 * 480 / 8 screen pixels, with 0.52 text units between its texts.
constexpr float SCREEN_X_PER_UNIT = 3.5f * 640 / 6;
constexpr float SCREEN_Y_PER_UNIT = 3.5f * 480 / 8;
constexpr float TEXT_GAP = 0.52f;
constexpr float SHORTEST_LINE = 16, TALLEST_LINE = 20;  // pixels on screen
constexpr int SCREEN_WIDTH = 640;

class StatusFont : public ::testing::Test {
protected:
  std::string path = data_file("graphics/tolvane.emf");
  bitmap_glyph_rect glyphs[256] = {};
  unsigned char *rgba = nullptr;
  int width = 0, height = 0, channels = 0;

  void SetUp() override
  {
    FILE *f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr) << path;
    char magic[3];
    ASSERT_EQ(std::fread(magic, 1, 3, f), 3u);
    ASSERT_EQ(std::memcmp(magic, "BMF", 3), 0);
    std::fseek(f, BMF_GLYPHS_OFFSET, SEEK_SET);
    ASSERT_EQ(std::fread(glyphs, sizeof glyphs[0], 256, f), 256u);  // little-endian machine
    std::fseek(f, BMF_PICTURE_OFFSET, SEEK_SET);
    rgba = bmf_image_read_rgba(f, &width, &height, &channels);
    std::fclose(f);
    ASSERT_NE(rgba, nullptr);
  }
  void TearDown() override { std::free(rgba); }

  // The red byte of the texel at (x, y), y = 0 at the bottom row.
  int texel(int x, int y) const { return rgba[(y * width + x) * 4]; }

  // Screen width of a text drawn with the font.
  float screen_width(const char *text) const
  {
    float units = 0;
    for (const char *p = text; *p; ++p)
      units += glyphs[static_cast<unsigned char>(*p)].width + bitmap_glyph_gap;
    return units * SCREEN_X_PER_UNIT;
  }
};

}  // namespace

TEST_F(StatusFont, PictureIsRunLengthEncodedAndDecodesAsInImageMagick)
{
  std::vector<unsigned char> file = read_bytes(path);
  ASSERT_GT(file.size(), static_cast<size_t>(BMF_PICTURE_OFFSET + 512));
  EXPECT_EQ(file[BMF_PICTURE_OFFSET + 2], 1) << "the picture is not run-length encoded";
  EXPECT_TRUE(is_power_of_two(width) && is_power_of_two(height));

  std::string folder = make_temp_folder();
  std::string sgi = folder + "/font.sgi";
  FILE *out = std::fopen(sgi.c_str(), "wb");
  ASSERT_NE(out, nullptr);
  std::fwrite(file.data() + BMF_PICTURE_OFFSET, 1, file.size() - BMF_PICTURE_OFFSET, out);
  std::fclose(out);
  std::string peer = command_output("convert 'sgi:" + sgi + "' -depth 8 rgb:- 2>/dev/null");
  remove_folder(folder);
  ASSERT_EQ(peer.size(), static_cast<size_t>(width) * height * 3);
  int mismatches = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      // ImageMagick lists the top row first; our decoder the bottom row.
      const unsigned char *p = reinterpret_cast<const unsigned char *>(&peer[((height - 1 - y) * width + x) * 3]);
      const unsigned char *q = &rgba[(y * width + x) * 4];
      if (p[0] != q[0] || p[1] != q[1] || p[2] != q[2])
        ++mismatches;
    }
  EXPECT_EQ(mismatches, 0);
}

TEST_F(StatusFont, GlyphsAreWhiteOnBlack)
{
  int coloured = 0, lit = 0;
  for (int i = 0; i < width * height; ++i) {
    const unsigned char *p = &rgba[i * 4];
    coloured += p[0] != p[1] || p[1] != p[2];
    lit += p[0] > 0;
  }
  EXPECT_EQ(coloured, 0);
  EXPECT_GT(lit, 0);
  EXPECT_LT(lit, width * height / 2) << "the background is not black";
  EXPECT_EQ(texel(0, 0), 0);
}

TEST_F(StatusFont, EveryPrintableCharacterHasAnInkedRectangle)
{
  for (int code = 0; code < 256; ++code) {
    const bitmap_glyph_rect &g = glyphs[code];
    if (code < 32 || code == 127) {
      EXPECT_EQ(g.width, 0.0f) << "control code " << code;
      continue;
    }
    if (code > 126)
      continue;
    ASSERT_GT(g.width, 0.0f) << "'" << char(code) << "'";
    ASSERT_GT(g.height, 0.0f) << "'" << char(code) << "'";
    EXPECT_GE(g.x, 0.0f);
    EXPECT_GE(g.y, 0.0f);
    EXPECT_LE(g.x + g.width, 1.0f);
    EXPECT_LE(g.y + g.height, 1.0f);
    int x0 = int(g.x * width + 0.5f), x1 = int((g.x + g.width) * width + 0.5f);
    int y0 = int(g.y * height + 0.5f), y1 = int((g.y + g.height) * height + 0.5f);
    int ink = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x)
        ink += texel(x, y) > 0;
    if (code == ' ')
      EXPECT_EQ(ink, 0);
    else
      EXPECT_GT(ink, 0) << "'" << char(code) << "' has no ink in its rectangle";
  }
}

TEST_F(StatusFont, RectanglesKeepABlackBorderSoFilteringDoesNotBleed)
{
  for (int code = 33; code < 256; ++code) {
    const bitmap_glyph_rect &g = glyphs[code];
    if (g.width == 0)
      continue;
    int x0 = int(g.x * width + 0.5f), x1 = int((g.x + g.width) * width + 0.5f);
    int y0 = int(g.y * height + 0.5f), y1 = int((g.y + g.height) * height + 0.5f);
    int lit = 0;
    for (int x = x0 - 1; x <= x1; ++x)
      lit += (y0 > 0 && texel(x, y0 - 1) > 0) + (y1 < height && texel(x, y1) > 0);
    for (int y = y0; y < y1; ++y)
      lit += (x0 > 0 && texel(x0 - 1, y) > 0) + (x1 < width && texel(x1, y) > 0);
    EXPECT_EQ(lit, 0) << "ink touches the rectangle of code " << code;
  }
}

TEST_F(StatusFont, TextIsProportionalOnOneBaseline)
{
  EXPECT_LT(glyphs['i'].width * 2, glyphs['W'].width);
  EXPECT_LT(glyphs['.'].width, glyphs['0'].width);
  for (int code = 33; code < 127; ++code)
    EXPECT_EQ(glyphs[code].height, glyphs['A'].height) << "'" << char(code) << "'";
}

TEST_F(StatusFont, LineIsSixteenToTwentyPixelsTallAndFitsTheScreen)
{
  float line = glyphs['A'].height * SCREEN_Y_PER_UNIT;
  EXPECT_GE(line, SHORTEST_LINE);
  EXPECT_LE(line, TALLEST_LINE);
  float total = screen_width("Lives: 3 | Drops: 123") + TEXT_GAP * SCREEN_X_PER_UNIT +
                screen_width("pilko.games ");
  EXPECT_LT(total, SCREEN_WIDTH);
  // Letters keep their shape: an 'H' about as wide on screen as drawn.
  float h_aspect = glyphs['H'].width * SCREEN_X_PER_UNIT / line;
  EXPECT_GT(h_aspect, 0.5f);
  EXPECT_LT(h_aspect, 0.9f);
}

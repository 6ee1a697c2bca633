// The status-line font: a BMF file whose run-length encoded SGI picture decodes alike in our
// decoder and ImageMagick, with proportional rectangles sized for a crisp line that fits.
#include <gtest/gtest.h>
#include "font/font.h"
#include "tests/assets/asset_files.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr long GLYPHS_AT = 99, PICTURE_AT = 4195;  // after the name; after 256 rectangles
// A rectangle (w, h) shows as w * 3.5 * 640 / 6 by h * 3.5 * 480 / 8 screen pixels.
constexpr float X_PIXELS = 3.5f * 640 / 6, Y_PIXELS = 3.5f * 480 / 8;

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
    char magic[3] = {};
    std::fread(magic, 1, 3, f);
    ASSERT_EQ(std::memcmp(magic, "BMF", 3), 0);
    std::fseek(f, GLYPHS_AT, SEEK_SET);
    ASSERT_EQ(std::fread(glyphs, sizeof glyphs[0], 256, f), 256u);  // little-endian machine
    std::fseek(f, PICTURE_AT, SEEK_SET);
    rgba = bmf_image_read_rgba(f, &width, &height, &channels);
    std::fclose(f);
    ASSERT_NE(rgba, nullptr);
  }
  void TearDown() override { std::free(rgba); }

  int texel(int x, int y) const { return rgba[(y * width + x) * 4]; }  // red, y = 0 at bottom
  float screen_width(const char *text) const
  {
    float units = 0;
    for (const char *p = text; *p; ++p)
      units += glyphs[static_cast<unsigned char>(*p)].width + bitmap_glyph_gap;
    return units * X_PIXELS;
  }
};

}  // namespace

TEST_F(StatusFont, PictureIsWhiteOnBlackRleSgiDecodedAsInImageMagick)
{
  std::vector<unsigned char> file = read_bytes(path);
  ASSERT_GT(file.size(), size_t(PICTURE_AT + 512));
  EXPECT_EQ(file[PICTURE_AT + 2], 1) << "the picture is not run-length encoded";
  EXPECT_TRUE(is_power_of_two(width) && is_power_of_two(height));
  std::string peer = command_output("tail -c +" + std::to_string(PICTURE_AT + 1) + " '" + path +
                                    "' | convert sgi:- -depth 8 rgb:- 2>/dev/null");
  ASSERT_EQ(peer.size(), size_t(width) * height * 3);
  int mismatches = 0, coloured = 0, lit = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      // ImageMagick lists the top row first; our decoder the bottom row.
      const unsigned char *p =
          reinterpret_cast<const unsigned char *>(&peer[((height - 1 - y) * width + x) * 3]);
      const unsigned char *q = &rgba[(y * width + x) * 4];
      mismatches += p[0] != q[0] || p[1] != q[1] || p[2] != q[2];
      coloured += q[0] != q[1] || q[1] != q[2];
      lit += q[0] > 0;
    }
  EXPECT_EQ(mismatches, 0);
  EXPECT_EQ(coloured, 0) << "glyphs are not white";
  EXPECT_TRUE(lit > 0 && lit < width * height / 2) << "not white glyphs on black";
}

TEST_F(StatusFont, PrintableCharactersHaveInkedRectanglesWithABlackBorder)
{
  for (int code = 0; code < 256; ++code) {
    const bitmap_glyph_rect &g = glyphs[code];
    if (code < 32 || code == 127) {
      EXPECT_EQ(g.width, 0.0f) << "control code " << code;
    }
    if (code < 32 || code >= 127)
      continue;
    ASSERT_TRUE(g.width > 0 && g.height > 0) << "'" << char(code) << "'";
    ASSERT_TRUE(g.x >= 0 && g.y >= 0 && g.x + g.width <= 1 && g.y + g.height <= 1) << code;
    int x0 = int(g.x * width + 0.5f), x1 = int((g.x + g.width) * width + 0.5f);
    int y0 = int(g.y * height + 0.5f), y1 = int((g.y + g.height) * height + 0.5f);
    int ink = 0, border = 0;  // the border keeps filtering from bleeding in neighbours
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x)
        ink += texel(x, y) > 0;
    for (int x = x0 - 1; x <= x1; ++x)
      border += (y0 > 0 && x >= 0 && x < width && texel(x, y0 - 1) > 0) +
                (y1 < height && x >= 0 && x < width && texel(x, y1) > 0);
    for (int y = y0; y < y1; ++y)
      border += (x0 > 0 && texel(x0 - 1, y) > 0) + (x1 < width && texel(x1, y) > 0);
    EXPECT_EQ(ink > 0, code != ' ') << "'" << char(code) << "' ink in its rectangle: " << ink;
    EXPECT_EQ(border, 0) << "ink touches the rectangle of '" << char(code) << "'";
  }
}

TEST_F(StatusFont, TextIsProportionalCrispAndFitsTheScreen)
{
  EXPECT_LT(glyphs['i'].width * 2, glyphs['W'].width);
  EXPECT_LT(glyphs['.'].width, glyphs['0'].width);
  for (int code = 33; code < 127; ++code)
    EXPECT_EQ(glyphs[code].height, glyphs['A'].height) << "'" << char(code) << "' off the line";
  float line = glyphs['A'].height * Y_PIXELS;
  EXPECT_TRUE(line >= 16 && line <= 20) << line << " pixels tall";
  // The status line's two texts, 0.52 units apart, fit across 640 pixels.
  EXPECT_LT(screen_width("Lives: 3 | Drops: 123") + 0.52f * X_PIXELS + screen_width("pilko.games "),
            640);
  float h_aspect = glyphs['H'].width * X_PIXELS / line;  // letters keep their shape
  EXPECT_TRUE(h_aspect > 0.5f && h_aspect < 0.9f) << h_aspect;
}

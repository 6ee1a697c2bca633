// The vector font maker: the font it ships loads with the game's reader, its
// glyphs are sound shapes, and its output depends on its input only.
#include "font_files.h"
#include "font/font.h"

#include <gtest/gtest.h>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

constexpr int FIRST_PRINTABLE = 32, LAST_PRINTABLE = 126;

// Twice the signed area of triangle (a, b, c) of a symbol.
float cross(const vector_symbol *s, int a, int b, int c)
{
  const float *v = s->vertices;
  return (v[2 * b] - v[2 * a]) * (v[2 * c + 1] - v[2 * a + 1]) -
         (v[2 * b + 1] - v[2 * a + 1]) * (v[2 * c] - v[2 * a]);
}

// The filled area that the contours enclose: outlines and holes turn
// opposite ways, so their signed areas add up to the ink.
float contour_area(const vector_symbol *s)
{
  float twice = 0;
  int first = 0;
  for (int k = 0; k < s->contour_count; k++) {
    int last = s->contour_ends[k];
    for (int v = first; v <= last; v++) {
      int next = v == last ? first : v + 1;
      twice += s->vertices[2 * v] * s->vertices[2 * next + 1] - s->vertices[2 * next] * s->vertices[2 * v + 1];
    }
    first = last + 1;
  }
  return std::fabs(twice) / 2;
}

int run(const std::string &command)
{
  return std::system(command.c_str());
}

class VectorFontMakerTest : public ::testing::Test {
 protected:
  void SetUp() override { font_init(); }
  void TearDown() override { font_shutdown(); }
  temp_folder folder;
};

}  // namespace

TEST_F(VectorFontMakerTest, ShippedFontHasASoundSymbolForEveryPrintableCharacter)
{
  int slot = vector_font_load(SHIPPED_VECTOR_FONT);
  ASSERT_EQ(slot, 0) << SHIPPED_VECTOR_FONT;
  const vector_font *font = vector_font_get(slot);
  EXPECT_EQ(font->symbol_count, LAST_PRINTABLE - FIRST_PRINTABLE + 1);
  for (int code = FIRST_PRINTABLE; code <= LAST_PRINTABLE; code++) {
    const vector_symbol *s = font->symbols[code];
    ASSERT_NE(s, nullptr) << "code " << code;
    if (code == ' ') {
      EXPECT_EQ(s->vertex_count, 0);
      continue;
    }
    ASSERT_GE(s->vertex_count, 3) << (char)code;
    ASSERT_GE(s->contour_count, 1) << (char)code;
    ASSERT_GE(s->triangle_count, 1) << (char)code;
    EXPECT_GE(s->min_x, -1.0f) << (char)code;
    EXPECT_LE(s->max_x, 1.0f) << (char)code;
    EXPECT_GE(s->min_y, -1.0f) << (char)code;
    EXPECT_LE(s->max_y, 1.0f) << (char)code;
    float filled = 0;
    for (int t = 0; t < s->triangle_count; t++) {
      float c = cross(s, s->triangles[3 * t], s->triangles[3 * t + 1], s->triangles[3 * t + 2]);
      EXPECT_LT(c, 0.0f) << (char)code << " triangle " << t << " must turn clockwise";
      filled += -c / 2;
    }
    // The triangles cover the shape exactly once: no gaps, no overlaps.
    float outlined = contour_area(s);
    EXPECT_NEAR(filled, outlined, 0.01f * outlined + 1e-4f) << (char)code;
  }
  EXPECT_EQ(font->symbols[FIRST_PRINTABLE - 1], nullptr);
  EXPECT_EQ(font->symbols[LAST_PRINTABLE + 1], nullptr);
}

TEST_F(VectorFontMakerTest, GlyphsKeepTheirShapes)
{
  ASSERT_EQ(vector_font_load(SHIPPED_VECTOR_FONT), 0);
  const vector_font *font = vector_font_get(0);
  // Outlines and holes: counted from the letters' shapes.
  EXPECT_EQ(font->symbols['l']->contour_count, 1);
  EXPECT_EQ(font->symbols['O']->contour_count, 2);
  EXPECT_EQ(font->symbols['B']->contour_count, 3);
  EXPECT_EQ(font->symbols['i']->contour_count, 2);
  EXPECT_EQ(font->symbols['%']->contour_count, 5);
  // One scale for all: capitals share a height, descenders go lower.
  EXPECT_FLOAT_EQ(font->symbols['H']->max_y, font->symbols['E']->max_y);
  EXPECT_FLOAT_EQ(font->symbols['H']->min_y, font->symbols['x']->min_y);
  EXPECT_LT(font->symbols['g']->min_y, font->symbols['H']->min_y);
  EXPECT_GT(font->symbols['W']->max_x - font->symbols['W']->min_x,
            font->symbols['i']->max_x - font->symbols['i']->min_x);
}

TEST_F(VectorFontMakerTest, SameInputGivesTheSameBytes)
{
  std::string first = folder.file("one.glf"), second = folder.file("two.glf");
  ASSERT_EQ(run(std::string(VECTOR_FONT_MAKER) + " " + TRUETYPE_SOURCE + " " + first), 0);
  ASSERT_EQ(run(std::string(VECTOR_FONT_MAKER) + " " + TRUETYPE_SOURCE + " " + second), 0);
  std::vector<unsigned char> a = read_file(first), b = read_file(second);
  ASSERT_FALSE(a.empty());
  EXPECT_TRUE(a == b);
  EXPECT_TRUE(a == read_file(SHIPPED_VECTOR_FONT));
}

TEST_F(VectorFontMakerTest, RefusesAFileThatIsNoFont)
{
  std::string bogus = write_bytes(folder, "bogus.ttf", {'n', 'o', 't', ' ', 'a', ' ', 'f', 'o', 'n', 't'});
  std::string out = folder.file("out.glf");
  std::string log = folder.file("log.txt");
  EXPECT_NE(run(std::string(VECTOR_FONT_MAKER) + " " + bogus + " " + out + " 2>" + log), 0);
  EXPECT_TRUE(read_file(out).empty());
  std::vector<unsigned char> message = read_file(log);
  std::string text(message.begin(), message.end());
  EXPECT_EQ(text, bogus + ": cannot read the font\n");
  EXPECT_NE(run(std::string(VECTOR_FONT_MAKER) + " 2>/dev/null"), 0) << "needs its two arguments";
}

// The vector font maker: its shipped font loads, its glyphs are sound shapes, its output is repeatable.
#include "font_files.h"
#include "font/font.h"

#include <gtest/gtest.h>
#include <cmath>
#include <cstdlib>

namespace {

// Twice the signed area of a symbol's triangle t.
float triangle_cross(const vector_symbol *s, int t)
{
  const float *v = s->vertices;
  int a = s->triangles[3 * t], b = s->triangles[3 * t + 1], c = s->triangles[3 * t + 2];
  return (v[2 * b] - v[2 * a]) * (v[2 * c + 1] - v[2 * a + 1]) - (v[2 * b + 1] - v[2 * a + 1]) * (v[2 * c] - v[2 * a]);
}

// The area the contours enclose: outlines and holes turn opposite ways, so
// their signed areas add up to the ink.
float contour_area(const vector_symbol *s)
{
  float twice = 0;
  for (int k = 0, first = 0; k < s->contour_count; first = s->contour_ends[k++] + 1) {
    for (int v = first; v <= s->contour_ends[k]; v++) {
      int next = v == s->contour_ends[k] ? first : v + 1;
      twice += s->vertices[2 * v] * s->vertices[2 * next + 1] - s->vertices[2 * next] * s->vertices[2 * v + 1];
    }
  }
  return std::fabs(twice) / 2;
}

int make_font(const std::string &arguments)
{
  return std::system((std::string(VECTOR_FONT_MAKER) + " " + arguments).c_str());
}

class VectorFontMaker : public ::testing::Test {
 protected:
  void SetUp() override
  {
    font_init();
    ASSERT_EQ(vector_font_load(SHIPPED_VECTOR_FONT), 0) << SHIPPED_VECTOR_FONT;
    font = vector_font_get(0);
  }
  void TearDown() override { font_shutdown(); }
  const vector_font *font = nullptr;
};

}  // namespace

TEST_F(VectorFontMaker, EveryPrintableCharacterIsATriangulatedShapeOfTheRightProportions)
{
  EXPECT_EQ(font->symbol_count, 95);
  EXPECT_EQ(font->symbols[' ']->vertex_count, 0);
  for (int code = '!'; code <= '~'; code++) {
    SCOPED_TRACE((char)code);
    const vector_symbol *s = font->symbols[code];
    ASSERT_NE(s, nullptr);
    ASSERT_TRUE(s->vertex_count >= 3 && s->contour_count >= 1 && s->triangle_count >= 1);
    EXPECT_TRUE(s->min_x >= -1 && s->max_x <= 1 && s->min_y >= -1 && s->max_y <= 1);
    float filled = 0;
    for (int t = 0; t < s->triangle_count; t++) {
      float cross = triangle_cross(s, t);
      EXPECT_LT(cross, 0) << "triangle " << t << " is flat or turns anticlockwise";
      filled -= cross / 2;
    }
    // The triangles cover the shape once: no gaps, no overlaps.
    EXPECT_NEAR(filled, contour_area(s), 0.01f * contour_area(s));
  }
  EXPECT_EQ(font->symbols[31], nullptr);
  EXPECT_EQ(font->symbols[127], nullptr);
  for (const char *c = "l1O2B3i2%5"; *c; c += 2)  // character, then its number of contours
    EXPECT_EQ(font->symbols[(int)c[0]]->contour_count, c[1] - '0') << c[0];
  EXPECT_FLOAT_EQ(font->symbols['H']->max_y, font->symbols['E']->max_y);  // one scale for all
  EXPECT_FLOAT_EQ(font->symbols['H']->min_y, font->symbols['x']->min_y);  // one baseline
  EXPECT_LT(font->symbols['g']->min_y, font->symbols['H']->min_y);
  EXPECT_GT(font->symbols['W']->max_x - font->symbols['W']->min_x, font->symbols['i']->max_x - font->symbols['i']->min_x);
}

TEST(VectorFontMakerRun, SameInputGivesTheShippedBytesAndNoFontIsRefused)
{
  temp_folder folder;
  std::string a = folder.file("a.glf"), b = folder.file("b.glf");
  ASSERT_EQ(make_font(std::string(TRUETYPE_SOURCE) + " " + a), 0);
  ASSERT_EQ(make_font(std::string(TRUETYPE_SOURCE) + " " + b), 0);
  ASSERT_FALSE(read_file(a).empty());
  EXPECT_TRUE(read_file(a) == read_file(b));
  EXPECT_TRUE(read_file(a) == read_file(SHIPPED_VECTOR_FONT));
  std::string bogus = write_bytes(folder, "bogus.ttf", {'n', 'o', 'p', 'e'});
  std::string out = folder.file("out.glf"), log = folder.file("log.txt");
  EXPECT_NE(make_font(bogus + " " + out + " 2>" + log), 0);
  EXPECT_TRUE(read_file(out).empty());
  std::vector<unsigned char> message = read_file(log);
  EXPECT_EQ(std::string(message.begin(), message.end()), bogus + ": cannot read the font\n");
  EXPECT_NE(make_font("2>/dev/null"), 0) << "needs its two arguments";
}

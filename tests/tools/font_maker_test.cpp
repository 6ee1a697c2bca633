// The vector font maker: its output is the shipped font, and every printable character in it
// is well formed.
#include "tests/font/font_files.h"

namespace {

// The font file the maker makes from the TrueType source (made once).
std::string made_font_file()
{
  static font_folder folder;
  static std::string made = [] {
    std::string path = folder.file("made.glf");
    std::string command = std::string(VECTOR_FONT_MAKER) + " " + TRUETYPE_SOURCE + " " + path;
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return path;
  }();
  return made;
}

// That font loaded into slot 0 (once).
const vector_font *made_font()
{
  static const vector_font *font = [] {
    font_init();
    EXPECT_EQ(vector_font_load(made_font_file().c_str()), 0);
    return vector_font_get(0);
  }();
  return font;
}

}  // namespace

TEST(VectorFontMaker, MakesTheShippedFont)
{
  std::vector<unsigned char> made = file_bytes(made_font_file());
  ASSERT_FALSE(made.empty());
  EXPECT_TRUE(made == file_bytes(SHIPPED_VECTOR_FONT)) << "the shipped font differs";
}

TEST(VectorFontMaker, HasEveryPrintableCharacter)
{
  ASSERT_NE(made_font(), nullptr);
  const vector_symbol *const *sym = made_font()->symbols;
  EXPECT_EQ(made_font()->symbol_count, 95);
  ASSERT_NE(sym[' '], nullptr);
  EXPECT_EQ(sym[' ']->vertex_count, 0) << "space draws nothing";
}

TEST(VectorFontMaker, EveryGlyphIsWellFormed)
{
  ASSERT_NE(made_font(), nullptr);
  for (int code = '!'; code <= '~'; code++) {
    SCOPED_TRACE((char)code);
    const vector_symbol *s = made_font()->symbols[code];
    ASSERT_NE(s, nullptr);
    EXPECT_GE(s->vertex_count, 3);
    EXPECT_GE(s->contour_count, 1);
    EXPECT_GE(s->triangle_count, 1);
    EXPECT_GE(s->min_x, -1);
    EXPECT_LE(s->max_x, 1);
    EXPECT_GE(s->min_y, -1);
    EXPECT_LE(s->max_y, 1);
  }
}

TEST(VectorFontMaker, TrianglesCoverEachGlyphOnce)
{
  ASSERT_NE(made_font(), nullptr);
  for (int code = '!'; code <= '~'; code++) {
    const vector_symbol *s = made_font()->symbols[code];
    auto cross = [v = s->vertices](int a, int b, int c) {  // twice the signed area of triangle abc
      return (v[2 * b] - v[2 * a]) * (v[2 * c + 1] - v[2 * a + 1]) -
             (v[2 * b + 1] - v[2 * a + 1]) * (v[2 * c] - v[2 * a]);
    };
    // Clockwise triangles fill what the outlines enclose less their holes, which turn the other way.
    float filled = 0, enclosed = 0;
    for (const uint8_t *t = s->triangles; t < s->triangles + 3 * s->triangle_count; t += 3)
      filled -= cross(t[0], t[1], t[2]) / 2;
    for (int k = 0, first = 0; k < s->contour_count; first = s->contour_ends[k++] + 1)
      for (int a = first + 1; a < s->contour_ends[k]; a++)
        enclosed += cross(first, a, a + 1) / 2;
    EXPECT_NEAR(filled, std::fabs(enclosed), 0.01f * std::fabs(enclosed)) << (char)code;
  }
}

TEST(VectorFontMaker, HolesMakeTheirOwnContours)
{
  ASSERT_NE(made_font(), nullptr);
  struct { char code; int contours; } cases[] = {{'l', 1}, {'O', 2}, {'B', 3}, {'i', 2}, {'%', 5}};
  for (const auto &c : cases)
    EXPECT_EQ(made_font()->symbols[(int)c.code]->contour_count, c.contours) << c.code;
}

TEST(VectorFontMaker, GlyphsShareABaselineAndAScale)
{
  ASSERT_NE(made_font(), nullptr);
  const vector_symbol *const *sym = made_font()->symbols;
  EXPECT_EQ(sym['H']->min_y, sym['x']->min_y) << "H and x stand on one baseline";
  EXPECT_LT(sym['g']->min_y, sym['H']->min_y) << "g reaches below it";
  EXPECT_GT(sym['W']->max_x - sym['W']->min_x, sym['i']->max_x - sym['i']->min_x) << "one scale";
}

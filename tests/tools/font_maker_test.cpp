// The vector font maker's font as the build ships it (tests/tools/determinism_test.cpp makes it
// again).
#include "tests/font/font_files.h"

// Every printable character of the shipped font is a glyph whose triangles cover what its
// outlines enclose, once; holes are contours of their own; one baseline and one scale for all.
TEST(VectorFontMaker, EveryPrintableCharacterIsOneWellFormedGlyphOnOneBaselineAndScale)
{
  font_init();
  ASSERT_EQ(vector_font_load(SHIPPED_VECTOR_FONT), 0);
  const vector_symbol *const *sym = vector_font_get(0)->symbols;
  EXPECT_EQ(vector_font_get(0)->symbol_count, 95);
  ASSERT_NE(sym[' '], nullptr);
  EXPECT_EQ(sym[' ']->vertex_count, 0) << "space draws nothing";
  for (int code = '!'; code <= '~'; code++) {
    const vector_symbol *s = sym[code];
    ASSERT_NE(s, nullptr) << (char)code;
    EXPECT_TRUE(s->vertex_count >= 3 && s->contour_count >= 1 && s->triangle_count >= 1) << (char)code;
    EXPECT_TRUE(s->min_x >= -1 && s->max_x <= 1 && s->min_y >= -1 && s->max_y <= 1) << (char)code;
    auto cross = [v = s->vertices](int a, int b, int c) {  // twice the signed area of triangle abc
      return (v[2 * b] - v[2 * a]) * (v[2 * c + 1] - v[2 * a + 1]) - (v[2 * b + 1] - v[2 * a + 1]) * (v[2 * c] - v[2 * a]);
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
  for (auto [code, contours] : {std::pair{'l', 1}, {'O', 2}, {'B', 3}, {'i', 2}, {'%', 5}})
    EXPECT_EQ(sym[(int)code]->contour_count, contours) << code;
  EXPECT_EQ(sym['H']->min_y, sym['x']->min_y) << "H and x stand on one baseline";
  EXPECT_LT(sym['g']->min_y, sym['H']->min_y) << "g reaches below it";
  EXPECT_GT(sym['W']->max_x - sym['W']->min_x, sym['i']->max_x - sym['i']->min_x) << "one scale";
  font_shutdown();
}

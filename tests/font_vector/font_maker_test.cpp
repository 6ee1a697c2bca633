// The vector font maker: its output is the shipped font, loads, and every printable character is well formed.
#include "font_files.h"

TEST(VectorFontMaker, OutputIsTheShippedFontAndEveryPrintableCharacterIsWellFormed)
{
  temp_folder folder;
  std::string made = folder.file("made.glf");
  ASSERT_EQ(std::system((std::string(VECTOR_FONT_MAKER) + " " + TRUETYPE_SOURCE + " " + made).c_str()), 0);
  EXPECT_TRUE(file_bytes(made) == file_bytes(SHIPPED_VECTOR_FONT));
  font_init();
  ASSERT_EQ(vector_font_load(made.c_str()), 0);
  const vector_symbol *const *sym = vector_font_get(0)->symbols;
  EXPECT_TRUE(vector_font_get(0)->symbol_count == 95 && sym[' '] && sym[' ']->vertex_count == 0);
  for (int code = '!'; code <= '~'; code++) {
    SCOPED_TRACE((char)code);
    const vector_symbol *s = sym[code];
    ASSERT_TRUE(s && s->vertex_count >= 3 && s->contour_count >= 1 && s->triangle_count >= 1 &&
                s->min_x >= -1 && s->max_x <= 1 && s->min_y >= -1 && s->max_y <= 1);
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
    EXPECT_NEAR(filled, std::fabs(enclosed), 0.01f * std::fabs(enclosed)) << "triangles cover the shape once";
  }
  for (const char *c = "l1O2B3i2%5"; *c; c += 2)  // character, then its number of contours
    EXPECT_EQ(sym[(int)c[0]]->contour_count, c[1] - '0') << c[0];
  EXPECT_TRUE(sym['H']->min_y == sym['x']->min_y && sym['g']->min_y < sym['H']->min_y);  // one baseline
  EXPECT_GT(sym['W']->max_x - sym['W']->min_x, sym['i']->max_x - sym['i']->min_x) << "one scale";
  font_shutdown();
}

// The vector font maker: its output is the shipped font, loads, and every printable character is a sound shape.
#include "font_files.h"
#include "font/font.h"

#include <cmath>

TEST(VectorFontMaker, OutputIsTheShippedFontAndEveryPrintableCharacterIsWellFormed)
{
  temp_folder folder;
  std::string made = folder.file("made.glf");
  ASSERT_EQ(std::system((std::string(VECTOR_FONT_MAKER) + " " + TRUETYPE_SOURCE + " " + made).c_str()), 0);
  EXPECT_TRUE(read_file(made) == read_file(SHIPPED_VECTOR_FONT));
  font_init();
  ASSERT_EQ(vector_font_load(made.c_str()), 0);
  const vector_font *font = vector_font_get(0);
  EXPECT_EQ(font->symbol_count, 95);
  EXPECT_EQ(font->symbols[' ']->vertex_count, 0);
  for (int code = '!'; code <= '~'; code++) {
    SCOPED_TRACE((char)code);
    const vector_symbol *s = font->symbols[code];
    ASSERT_TRUE(s && s->vertex_count >= 3 && s->contour_count >= 1 && s->triangle_count >= 1);
    EXPECT_TRUE(s->min_x >= -1 && s->max_x <= 1 && s->min_y >= -1 && s->max_y <= 1);
    const float *v = s->vertices;
    float filled = 0, enclosed = 0;
    for (int t = 0; t < s->triangle_count; t++) {
      int a = s->triangles[3 * t], b = s->triangles[3 * t + 1], c = s->triangles[3 * t + 2];
      float cross = (v[2 * b] - v[2 * a]) * (v[2 * c + 1] - v[2 * a + 1]) - (v[2 * b + 1] - v[2 * a + 1]) * (v[2 * c] - v[2 * a]);
      EXPECT_LT(cross, 0) << "triangle " << t << " is flat or turns anticlockwise";
      filled -= cross / 2;
    }
    // Outlines and holes turn opposite ways, so their signed areas add up to the ink.
    for (int k = 0, first = 0; k < s->contour_count; first = s->contour_ends[k++] + 1) {
      for (int a = first; a <= s->contour_ends[k]; a++) {
        int b = a == s->contour_ends[k] ? first : a + 1;
        enclosed += (v[2 * a] * v[2 * b + 1] - v[2 * b] * v[2 * a + 1]) / 2;
      }
    }
    EXPECT_NEAR(filled, std::fabs(enclosed), 0.01f * std::fabs(enclosed)) << "the triangles cover the shape once";
  }
  for (const char *c = "l1O2B3i2%5"; *c; c += 2)  // character, then its number of contours
    EXPECT_EQ(font->symbols[(int)c[0]]->contour_count, c[1] - '0') << c[0];
  const vector_symbol *const *s = font->symbols;  // one scale and baseline for all
  EXPECT_TRUE(s['H']->min_y == s['x']->min_y && s['g']->min_y < s['H']->min_y);
  EXPECT_GT(s['W']->max_x - s['W']->min_x, s['i']->max_x - s['i']->min_x);
  font_shutdown();
}

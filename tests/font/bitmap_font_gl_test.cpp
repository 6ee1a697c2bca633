// Bitmap fonts with real OpenGL on the project's virtual display: the slot
// table, the glyphs' advances (read back from the modelview matrix), and text
// read back as pixels, with texturing as it was around it.
#include "tests/support/gl_fixture.h"  // GoogleTest before the X11 headers

#include "tests/font/font_files.h"

#include <cstdlib>

namespace {

// A font made here: five letters of 5 x 7 texels in cells of 6, top row first.
constexpr int LETTER_WIDTH = 32, LETTER_HEIGHT = 8, LETTER_CELL = 6;
const char LETTERS[] = "PILKO";
const char *const LETTER_PICTURE[LETTER_HEIGHT] = {
    "####...###..#.....#...#..###....", "#...#...#...#.....#..#..#...#...",
    "#...#...#...#.....#.#...#...#...", "####....#...#.....##....#...#...",
    "#.......#...#.....#.#...#...#...", "#.......#...#.....#..#..#...#...",
    "#......###..#####.#...#..###....", "................................"};

// Every test starts with a font file holding the letters, glyphs of given
// sizes at 'A', 'B' and 200, and blank glyphs elsewhere.
class BitmapFontGl : public ::testing::Test {
 protected:
  void SetUp() override
  {
    open_gl_test_context();
    font_init();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 640, 0, 480, -1, 1);  // one unit a pixel
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    bitmap_glyph_rect glyphs[256] = {};
    for (int k = 0; k < 5; k++)
      glyphs[(unsigned char)LETTERS[k]] = {(float)(k * LETTER_CELL) / LETTER_WIDTH, 0,
                                           (float)LETTER_CELL / LETTER_WIDTH, 1};
    glyphs['A'] = {0.5f, 0.25f, 0.125f, 0.0625f};
    glyphs['B'] = {0, 0, 0.25f, 0.5f};
    glyphs[200] = {0, 0, 0.5f, 0.5f};
    auto lit = [](int x, int y, int) {
      return LETTER_PICTURE[LETTER_HEIGHT - 1 - y][x] == '#' ? 255 : 0;
    };
    sgi_picture picture = make_picture(LETTER_WIDTH, LETTER_HEIGHT, 3, true, lit);
    ASSERT_EQ(bmf_write(font.c_str(), "test", glyphs, picture), 0);
  }
  void TearDown() override { font_shutdown(); }

  scratch_folder dir;
  std::string font = dir.path + "/font.bmf";
};

}  // namespace

TEST_F(BitmapFontGl, SlotsReusedBadOnesRefused)
{
  std::string bad = dir.path + "/bad.bmf";
  EXPECT_EQ(bitmap_font_load(font.c_str()), 0);
  EXPECT_EQ(bitmap_font_load(font.c_str()), 1);
  EXPECT_EQ(bitmap_font_unload(0), 0);
  // Failed loads take no slot and keep the current font.
  bytes good = file_bytes(font), bad_magic = good;
  bad_magic[0] = 'b';
  for (const bytes &content : {bytes{}, bad_magic, bytes(good.begin(), good.end() - 1)}) {
    write_file(bad, content);
    EXPECT_EQ(bitmap_font_load(bad.c_str()), -1);
  }
  EXPECT_EQ(bitmap_font_load((dir.path + "/missing.bmf").c_str()), -1);
  EXPECT_EQ(bitmap_font_get_current(), 1);
  EXPECT_EQ(bitmap_font_load(font.c_str()), 0);
  EXPECT_EQ(bitmap_font_get_current(), 0);
  for (int slot : {-1, 2, 256, 100000})
    EXPECT_EQ(std::make_pair(bitmap_font_set_current(slot), bitmap_font_unload(slot)),
              std::make_pair(-1, -1)) << slot;
  EXPECT_EQ(bitmap_font_unload_current(), 0);
  EXPECT_EQ(std::make_pair(bitmap_font_get_current(), bitmap_font_unload_current()),
            std::make_pair(-1, -1));
  EXPECT_EQ(bitmap_font_unload(1), 0);
  for (int slot = 0; slot < FONT_SLOT_COUNT; slot++)
    ASSERT_EQ(bitmap_font_load(font.c_str()), slot);
  EXPECT_EQ(bitmap_font_load(font.c_str()), -1);
  EXPECT_EQ(bitmap_font_get_current(), 255);
}

TEST_F(BitmapFontGl, GlyphsAdvanceByWidthPlusGap)
{
  bytes file = file_bytes(font);  // after "BMF" and the 96-byte name, little-endian floats
  EXPECT_EQ(bytes(&file[99 + 16 * 'A'], &file[115 + 16 * 'A']),
            (bytes{0, 0, 0, 0x3F, 0, 0, 0x80, 0x3E, 0, 0, 0, 0x3E, 0, 0, 0x80, 0x3D}));
  ASSERT_EQ(bitmap_font_load(font.c_str()), 0);
  const std::pair<void (*)(), float> advances[] = {
      {[] { bitmap_draw_char('A'); }, 0.125f + 0.001f},
      {[] { bitmap_draw_string("AB"); }, (0.125f + 0.001f) + (0.25f + 0.001f)},
      {[] { bitmap_draw_string("\xC8"); }, 0.501f},  // codes above 127 have glyphs too
      {[] { bitmap_draw_char(200 + 256); }, 0.501f},  // only the low byte counts
      {[] { bitmap_draw_string_masked("AB"); }, 0.377f},  // two passes, one advance
  };
  for (const auto &[draw, advance] : advances) {
    glLoadIdentity();
    draw();
    float matrix[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    EXPECT_FLOAT_EQ(matrix[12], advance);
  }
  ASSERT_EQ(bitmap_font_unload_current(), 0);
  EXPECT_TRUE(capture_feedback([] {
    bitmap_draw_string("AB"); bitmap_draw_char('A');
    bitmap_draw_string_masked("AB"); bitmap_draw_char_masked('A');
  }).empty()) << "drawn without a current font";
}

TEST_F(BitmapFontGl, TextPixelsPlainAndMasked)
{
  ASSERT_EQ(bitmap_font_load(font.c_str()), 0);
  // Lit texels show the colour, unlit ones the background. Masked, black over
  // white adds nothing in the second pass: the screen shows the mask.
  const struct { void (*draw)(const char *); bytes background, colour; } cases[] = {
      {bitmap_draw_string, {0, 0, 0}, {255, 255, 255}},
      {bitmap_draw_string_masked, {40, 90, 160}, {255, 220, 0}},
      {bitmap_draw_string_masked, {255, 255, 255}, {0, 0, 0}},
  };
  constexpr int TEXEL = 8, TEXT_X = 40, TEXT_Y = 200;  // 8 x 8 pixels a texel
  // Each later letter starts a cell and the 0.001 gap (a quarter pixel) further right.
  const float advance =
      ((float)LETTER_CELL / LETTER_WIDTH + bitmap_glyph_gap) * LETTER_WIDTH * TEXEL;
  for (const auto &c : cases) {
    const bytes &bg = c.background;
    glClearColor(bg[0] / 255.0f, bg[1] / 255.0f, bg[2] / 255.0f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    c.draw == bitmap_draw_string ? glDisable(GL_BLEND) : glEnable(GL_BLEND);
    glColor3ub(c.colour[0], c.colour[1], c.colour[2]);
    glLoadIdentity();  // texel centres on pixel centres
    glTranslatef(TEXT_X + 0.5f, TEXT_Y + 0.5f, 0);
    glScalef(LETTER_WIDTH * TEXEL, LETTER_HEIGHT * TEXEL, 1);
    bool texturing_was_on = &c != cases;  // text turns it on; its end turns it back as it was
    texturing_was_on ? glEnable(GL_TEXTURE_2D) : glDisable(GL_TEXTURE_2D);
    bitmap_text_begin();
    c.draw(LETTERS);
    bitmap_text_end();
    EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), texturing_was_on ? GL_TRUE : GL_FALSE);
    bytes screen = read_back_buffer(0, 0, 640, 480);
    auto pixel_is = [&](int x, int y, const bytes &want, int tolerance) {
      bool near = true;
      for (int i = 0; i < 3; i++)
        near &= std::abs(screen[(y * 640 + x) * 3 + i] - want[i]) <= tolerance;
      return near;
    };
    // Texel centres as lit (#) or background (.), within the linear filter's blending.
    std::string seen, want;
    for (int y = LETTER_HEIGHT - 1; y >= 0; y--, seen += '\n', want += '\n')
      for (int x = 0; x < 5 * LETTER_CELL; x++) {
        int k = x / LETTER_CELL, py = TEXT_Y + y * TEXEL + TEXEL / 2;
        int px = TEXT_X + (int)(k * advance + (x - k * LETTER_CELL + 0.5f) * TEXEL);
        seen += pixel_is(px, py, c.colour, 40) ? '#' : pixel_is(px, py, bg, 40) ? '.' : '?';
        want += LETTER_PICTURE[LETTER_HEIGHT - 1 - y][x];
      }
    EXPECT_EQ(seen, want) << "background " << +bg[0] << "," << +bg[1] << "," << +bg[2];
  }
}

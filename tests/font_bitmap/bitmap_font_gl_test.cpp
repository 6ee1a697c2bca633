// Bitmap fonts with real OpenGL on the project's virtual display: the slot
// table, the glyph display lists (read back through feedback mode and the
// modelview matrix), text read back as pixels, and texturing around text.
#include "tests/support/gl_fixture.h"  // GoogleTest before the X11 headers

#include "font_files.h"

#include "font/font.h"

#include <cmath>
#include <array>
#include <cstdio>
#include <set>

namespace {

// ---- A little font made here: five letters of 5 x 7 texels ------------------

constexpr int LETTER_WIDTH = 32, LETTER_HEIGHT = 8;
constexpr int LETTER_CELL = 6;  // texels per letter cell, one blank column
const char LETTERS[] = "PILKO";
const char *const LETTER_ROWS[5][7] = {  // top row first
    {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."},
    {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."},
    {"#....", "#....", "#....", "#....", "#....", "#....", "#####"},
    {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"},
    {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."},
};

// Whether texel (x, y) of the letter picture is lit (y counted from the bottom).
bool letter_texel_lit(int x, int y)
{
  int cell = x / LETTER_CELL, column = x % LETTER_CELL, row = LETTER_HEIGHT - 1 - y;
  return cell < 5 && column < 5 && row < 7 && LETTER_ROWS[cell][row][column] == '#';
}

float modelview_x_translation()
{
  float matrix[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
  return matrix[12];
}

class BitmapFontGl : public ::testing::Test {
 protected:
  void SetUp() override
  {
    open_gl_test_context();
    font_init();
    glViewport(0, 0, 640, 480);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 640, 0, 480, -1, 1);  // one unit a pixel
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
  }
  void TearDown() override { font_shutdown(); }

  // Writes a font into the test's folder and returns its path; blank glyphs
  // and a black picture unless given.
  std::string write_font(const bitmap_glyph_rect *glyphs = blank,
                         int (*value)(int, int, int) = [](int, int, int) { return 0; },
                         int width = 4, int height = 4)
  {
    std::string path = dir.path + "/font.bmf";
    EXPECT_EQ(bmf_write(path.c_str(), "test", glyphs, make_picture(width, height, 3, true, value)), 0);
    return path;
  }

  static constexpr bitmap_glyph_rect blank[256] = {};
  temp_dir dir;
};

}  // namespace

TEST_F(BitmapFontGl, SlotTableReusesFreeSlotsAndRefusesBadSlotsAndFiles)
{
  std::string path = write_font(), bad = dir.path + "/bad.bmf";
  EXPECT_EQ(bitmap_font_load(path.c_str()), 0);
  EXPECT_EQ(bitmap_font_load(path.c_str()), 1);
  EXPECT_EQ(bitmap_font_unload(0), 0);
  // Failed loads take no slot and keep the current font.
  bytes good = read_file(path), bad_magic = good;
  bad_magic[0] = 'b';
  for (const bytes &content : {bytes{}, bad_magic, bytes(good.begin(), good.end() - 1)}) {
    write_file(bad, content);
    EXPECT_EQ(bitmap_font_load(bad.c_str()), -1);
  }
  EXPECT_EQ(bitmap_font_load((dir.path + "/missing.bmf").c_str()), -1);
  EXPECT_EQ(bitmap_font_get_current(), 1);
  EXPECT_EQ(bitmap_font_load(path.c_str()), 0);
  EXPECT_EQ(bitmap_font_get_current(), 0);
  for (int slot : {-1, 2, 256, 100000})
    EXPECT_EQ(std::make_pair(bitmap_font_set_current(slot), bitmap_font_unload(slot)),
              std::make_pair(-1, -1)) << slot;
  EXPECT_EQ(bitmap_font_unload_current(), 0);
  EXPECT_EQ(std::make_pair(bitmap_font_get_current(), bitmap_font_unload_current()),
            std::make_pair(-1, -1));
  for (int slot = 0; slot < FONT_SLOT_COUNT; slot++)
    if (slot != 1) {
      ASSERT_EQ(bitmap_font_load(path.c_str()), slot);
    }
  EXPECT_EQ(bitmap_font_load(path.c_str()), -1);
  EXPECT_EQ(bitmap_font_get_current(), 255);
}

TEST_F(BitmapFontGl, GlyphListsDrawTheirQuadsAndAdvanceByWidthsPlusGaps)
{
  bitmap_glyph_rect glyphs[256] = {};
  glyphs['A'] = {0.5f, 0.25f, 0.125f, 0.0625f};
  glyphs['B'] = {0, 0, 0.25f, 0.5f};
  glyphs[200] = {0, 0, 0.5f, 0.5f};
  std::string path = write_font(glyphs);
  bytes file = read_file(path);  // after "BMF" and the 96-byte name, little-endian floats
  EXPECT_EQ(bytes(&file[99 + 16 * 'A'], &file[115 + 16 * 'A']),
            (bytes{0, 0, 0, 0x3F, 0, 0, 0x80, 0x3E, 0, 0, 0, 0x3E, 0, 0, 0x80, 0x3D}));
  ASSERT_EQ(bitmap_font_load(path.c_str()), 0);
  glMatrixMode(GL_PROJECTION);  // 640 x 480 pixels a unit
  glLoadIdentity();
  glOrtho(0, 1, 0, 1, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  bitmap_text_begin();
  std::vector<float> feedback = capture_feedback([] { bitmap_draw_char('A'); });
  bitmap_text_end();
  // Polygons of GL_3D_COLOR_TEXTURE vertices (window x, y, z, colour, s, t, r, q):
  // their corners are the glyph's quad and its texture rectangle.
  std::set<std::array<float, 4>> corners;
  for (size_t at = 0; at < feedback.size(); at += 2 + 11 * (size_t)feedback[at + 1]) {
    EXPECT_EQ(feedback[at], GL_POLYGON_TOKEN);
    for (size_t v = at + 2; v < at + 2 + 11 * (size_t)feedback[at + 1]; v += 11)
      corners.insert({std::round(feedback[v] * 1000) / 1000,
                      std::round(feedback[v + 1] * 1000) / 1000, feedback[v + 7], feedback[v + 8]});
  }
  EXPECT_EQ(corners, (std::set<std::array<float, 4>>{{0, 0, 0.5f, 0.25f}, {80, 0, 0.625f, 0.25f},
                                                     {80, 30, 0.625f, 0.3125f},
                                                     {0, 30, 0.5f, 0.3125f}}));
  EXPECT_FLOAT_EQ(modelview_x_translation(), 0.126f);  // feedback mode still translates
  const struct {
    void (*draw)();
    float advance;
  } cases[] = {
      {[] { bitmap_draw_string("AB"); }, (0.125f + 0.001f) + (0.25f + 0.001f)},
      {[] { bitmap_draw_string("\xC8"); }, 0.501f},  // codes above 127 have glyphs too
      {[] { bitmap_draw_char(200 + 256); }, 0.501f},  // only the low byte counts
      {[] { bitmap_draw_string_masked("AB"); }, 0.377f},  // two passes, one advance
  };
  for (const auto &c : cases) {
    glLoadIdentity();
    c.draw();
    EXPECT_FLOAT_EQ(modelview_x_translation(), c.advance);
  }
  ASSERT_EQ(bitmap_font_unload_current(), 0);
  EXPECT_TRUE(capture_feedback([] {
                bitmap_draw_string("AB");
                bitmap_draw_char('A');
                bitmap_draw_string_masked("AB");
                bitmap_draw_char_masked('A');
              }).empty()) << "drawn without a current font";
}

TEST_F(BitmapFontGl, TextEndRestoresTexturingOnlyIfItWasOn)
{
  ASSERT_EQ(bitmap_font_load(write_font().c_str()), 0);
  for (bool was_on : {false, true}) {
    was_on ? glEnable(GL_TEXTURE_2D) : glDisable(GL_TEXTURE_2D);
    bitmap_text_begin();
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    was_on ? glDisable(GL_TEXTURE_2D) : glEnable(GL_TEXTURE_2D);  // whatever happens between
    bitmap_text_end();
    EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), was_on ? GL_TRUE : GL_FALSE);
  }
}

TEST_F(BitmapFontGl, TextPixelsPlainMaskedAndTheMaskItself)
{
  bitmap_glyph_rect glyphs[256] = {};
  for (int k = 0; k < 5; k++)
    glyphs[(unsigned char)LETTERS[k]] = {(float)(k * LETTER_CELL) / LETTER_WIDTH, 0,
                                         (float)LETTER_CELL / LETTER_WIDTH, 1};
  auto lit = [](int x, int y, int) { return letter_texel_lit(x, y) ? 255 : 0; };
  std::string path = write_font(glyphs, lit, LETTER_WIDTH, LETTER_HEIGHT);
  ASSERT_EQ(bitmap_font_load(path.c_str()), 0);
  const struct {
    const char *picture;  // saved for people to look at
    void (*draw)(const char *);
    bytes background, colour, lit, unlit;
  } cases[] = {
      {"bitmap_plain_text.ppm", bitmap_draw_string, {0, 0, 0}, {255, 255, 255},
       {255, 255, 255}, {0, 0, 0}},
      // Lit texels: background multiplied away, colour added; black ones keep the background.
      {"bitmap_masked_text.ppm", bitmap_draw_string_masked, {40, 90, 160}, {255, 220, 0},
       {255, 220, 0}, {40, 90, 160}},
      // Black over white adds nothing in the second pass: the screen shows the mask.
      {"bitmap_mask.ppm", bitmap_draw_string_masked, {255, 255, 255}, {0, 0, 0}, {0, 0, 0},
       {255, 255, 255}},
  };
  constexpr int TEXEL = 8, TEXT_X = 40, TEXT_Y = 200;  // 8 x 8 pixels a texel
  // Each later letter starts a cell and the 0.001 gap (a quarter pixel) further right.
  const float advance =
      ((float)LETTER_CELL / LETTER_WIDTH + bitmap_glyph_gap) * LETTER_WIDTH * TEXEL;
  for (const auto &c : cases) {
    SCOPED_TRACE(c.picture);
    const bytes &bg = c.background;
    glClearColor(bg[0] / 255.0f, bg[1] / 255.0f, bg[2] / 255.0f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    if (c.draw == bitmap_draw_string_masked)
      glEnable(GL_BLEND);
    glColor3ub(c.colour[0], c.colour[1], c.colour[2]);
    glLoadIdentity();  // texel centres on pixel centres
    glTranslatef(TEXT_X + 0.5f, TEXT_Y + 0.5f, 0);
    glScalef(LETTER_WIDTH * TEXEL, LETTER_HEIGHT * TEXEL, 1);
    bitmap_text_begin();
    c.draw(LETTERS);
    bitmap_text_end();
    glDisable(GL_BLEND);
    bytes screen = read_back_buffer(0, 0, 640, 480);
    if (FILE *out = std::fopen(c.picture, "wb")) {
      std::fprintf(out, "P6\n640 480\n255\n");
      for (int y = 479; y >= 0; y--)
        std::fwrite(&screen[y * 640 * 3], 1, 640 * 3, out);
      std::fclose(out);
    }
    auto pixel = [&](int x, int y) {
      return bytes(&screen[(y * 640 + x) * 3], &screen[(y * 640 + x) * 3 + 3]);
    };
    // Every texel centre, within the linear filter's blending.
    for (int x = 0; x < 5 * LETTER_CELL; x++)
      for (int y = 0; y < LETTER_HEIGHT; y++) {
        int k = x / LETTER_CELL;
        bytes got = pixel(TEXT_X + (int)(k * advance + (x - k * LETTER_CELL + 0.5f) * TEXEL),
                          TEXT_Y + y * TEXEL + TEXEL / 2);
        const bytes &want = letter_texel_lit(x, y) ? c.lit : c.unlit;
        for (int i = 0; i < 3; i++)
          EXPECT_NEAR(got[i], want[i], 40) << "texel " << x << "," << y;
      }
    // Every pixel outside the text's box (one pixel margin) still shows the background.
    int right = TEXT_X + 5 * (LETTER_CELL * TEXEL + 1) + 1;
    int top = TEXT_Y + LETTER_HEIGHT * TEXEL + 1;
    int changed = 0;
    for (int y = 0; y < 480; y++)
      for (int x = 0; x < 640; x++)
        changed += (x < TEXT_X - 1 || x > right || y < TEXT_Y - 1 || y > top) &&
                   pixel(x, y) != bg;
    EXPECT_EQ(changed, 0) << "pixels changed outside the text";
  }
}

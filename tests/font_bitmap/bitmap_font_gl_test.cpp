// Bitmap fonts with real OpenGL on the project's virtual display: the slot
// table, the glyph display lists (read back through feedback mode and the
// modelview matrix), text read back as pixels, and texturing around text.
#include "tests/support/gl_fixture.h"  // GoogleTest before the X11 headers

#include "font_files.h"

#include "font/font.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

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

// Display lists and textures alive in the context, among the names these
// tests can reach (every load takes 256 list names).
std::pair<int, int> live_lists_and_textures()
{
  std::pair<int, int> count{0, 0};
  for (GLuint name = 1; name < (1u << 17); name++) {
    count.first += glIsList(name) ? 1 : 0;
    count.second += name < 4096 && glIsTexture(name) ? 1 : 0;
  }
  return count;
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
    glColor3ub(255, 255, 255);
  }
  void TearDown() override { font_shutdown(); }

  // Writes a font into the test's folder and returns its path; blank glyphs
  // and a black picture unless given.
  std::string write_font(const char *name, const bitmap_glyph_rect *glyphs = blank,
                         int (*value)(int, int, int) = [](int, int, int) { return 0; },
                         int width = 4, int height = 4)
  {
    std::string path = dir.path + "/" + name;
    sgi_picture picture = make_picture(width, height, 3, true, value);
    EXPECT_EQ(bmf_write(path.c_str(), name, glyphs, picture), 0);
    return path;
  }

  static constexpr bitmap_glyph_rect blank[256] = {};
  temp_dir dir;
};

}  // namespace

TEST_F(BitmapFontGl, SlotTableReusesFreeSlotsAndRefusesBadOnes)
{
  std::string path = write_font("blank.bmf");
  EXPECT_EQ(bitmap_font_get_current(), -1);
  EXPECT_EQ(bitmap_font_load(path.c_str()), 0);
  EXPECT_EQ(bitmap_font_load(path.c_str()), 1);
  EXPECT_EQ(bitmap_font_get_current(), 1);
  EXPECT_EQ(bitmap_font_unload(0), 0);
  EXPECT_EQ(bitmap_font_get_current(), 1) << "unloading another slot keeps the current one";
  EXPECT_EQ(bitmap_font_load(path.c_str()), 0);
  EXPECT_EQ(bitmap_font_get_current(), 0);
  for (int slot : {-1, 2, 256, 100000}) {
    EXPECT_EQ(bitmap_font_set_current(slot), -1) << slot;
    EXPECT_EQ(bitmap_font_unload(slot), -1) << slot;
  }
  EXPECT_EQ(bitmap_font_get_current(), 0);
  EXPECT_EQ(bitmap_font_unload_current(), 0);
  EXPECT_EQ(bitmap_font_get_current(), -1);
  EXPECT_EQ(bitmap_font_unload_current(), -1);
  EXPECT_EQ(bitmap_font_set_current(0), -1);
  for (int slot = 0; slot < FONT_SLOT_COUNT; slot++) {
    if (slot != 1) {
      ASSERT_EQ(bitmap_font_load(path.c_str()), slot);
    }
  }
  EXPECT_EQ(bitmap_font_load(path.c_str()), -1);
  EXPECT_EQ(bitmap_font_get_current(), 255);
}

TEST_F(BitmapFontGl, FailedLoadsAndUnloadsLeaveNothingBehind)
{
  std::string good = write_font("blank.bmf");
  std::pair<int, int> before = live_lists_and_textures();
  ASSERT_EQ(bitmap_font_load(good.c_str()), 0);
  std::pair<int, int> loaded = live_lists_and_textures();
  EXPECT_EQ(loaded, std::make_pair(before.first + 256, before.second + 2));
  bytes file = read_file(good);
  std::vector<std::pair<std::string, bytes>> bad = {
      {"magic.bmf", file}, {"short.bmf", bytes(file.begin(), file.end() - 1)},
      {"header.bmf", file}, {"empty.bmf", {}}};
  bad[0].second[0] = 'b';
  bad[2].second[4195 + SGI_CHANNELS + 1] = 9;  // nine channels
  EXPECT_EQ(bitmap_font_load((dir.path + "/missing.bmf").c_str()), -1);
  for (auto &[name, content] : bad) {
    write_file(dir.path + "/" + name, content);
    EXPECT_EQ(bitmap_font_load((dir.path + "/" + name).c_str()), -1) << name;
    EXPECT_EQ(bitmap_font_get_current(), 0) << name;
  }
  EXPECT_EQ(live_lists_and_textures(), loaded);
  EXPECT_EQ(bitmap_font_load(good.c_str()), 1) << "no slot was taken by the failures";
  EXPECT_EQ(bitmap_font_unload(0), 0);
  EXPECT_EQ(bitmap_font_unload(1), 0);
  EXPECT_EQ(live_lists_and_textures(), before);
}

TEST_F(BitmapFontGl, GlyphListsDrawTheirQuadsAndAdvanceByWidthsPlusGaps)
{
  bitmap_glyph_rect glyphs[256] = {};
  glyphs['A'] = {0.5f, 0.25f, 0.125f, 0.0625f};
  glyphs['B'] = {0, 0, 0.25f, 0.5f};
  glyphs[200] = {0, 0, 0.5f, 0.5f};
  ASSERT_EQ(bitmap_font_load(write_font("ab.bmf", glyphs).c_str()), 0);
  glMatrixMode(GL_PROJECTION);  // 640 x 480 pixels a unit: corners on whole pixels
  glLoadIdentity();
  glOrtho(0, 1, 0, 1, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  bitmap_text_begin();
  std::vector<float> feedback = capture_feedback([] { bitmap_draw_char('A'); });
  bitmap_text_end();
  // Polygons of GL_3D_COLOR_TEXTURE vertices: window x, y, z, colour, s, t, r, q.
  struct corner {
    float x, y, s, t;
  };
  std::vector<corner> drawn;
  for (size_t at = 0; at + 1 < feedback.size();) {
    ASSERT_EQ((int)feedback[at++], GL_POLYGON_TOKEN) << "only polygons are drawn";
    for (int i = (int)feedback[at++]; i > 0 && at + 11 <= feedback.size(); i--, at += 11)
      drawn.push_back({feedback[at], feedback[at + 1], feedback[at + 7], feedback[at + 8]});
  }
  ASSERT_GE(drawn.size(), 4u);
  const corner want[4] = {{0, 0, 0.5f, 0.25f}, {80, 0, 0.625f, 0.25f},
                          {80, 30, 0.625f, 0.3125f}, {0, 30, 0.5f, 0.3125f}};
  for (const corner &w : want) {
    bool found = false;
    for (const corner &d : drawn)
      found |= std::fabs(d.x - w.x) < 1e-3f && std::fabs(d.y - w.y) < 1e-3f &&
               std::fabs(d.s - w.s) < 1e-6f && std::fabs(d.t - w.t) < 1e-6f;
    EXPECT_TRUE(found) << "corner " << w.x << "," << w.y;
  }
  for (const corner &d : drawn)
    EXPECT_TRUE((d.x == 0 || std::fabs(d.x - 80) < 1e-3f) &&
                (d.y == 0 || std::fabs(d.y - 30) < 1e-3f)) << "stray vertex " << d.x << "," << d.y;
  // Feedback mode draws nothing but still runs the translation.
  EXPECT_FLOAT_EQ(modelview_x_translation(), 0.126f);

  // Text advances by each glyph's width plus the 0.001 gap.
  const struct {
    void (*draw)();
    float advance;
  } cases[] = {
      {[] { bitmap_draw_string("AB"); }, (0.125f + 0.001f) + (0.25f + 0.001f)},
      {[] { bitmap_draw_string(""); }, 0},
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
  glLoadIdentity();
  EXPECT_TRUE(capture_feedback([] {
                bitmap_draw_string("AB");
                bitmap_draw_char('A');
                bitmap_draw_string_masked("AB");
                bitmap_draw_char_masked('A');
              }).empty()) << "drawn without a current font";
  EXPECT_FLOAT_EQ(modelview_x_translation(), 0);
}

TEST_F(BitmapFontGl, TextEndRestoresTexturingOnlyIfItWasOn)
{
  ASSERT_EQ(bitmap_font_load(write_font("blank.bmf").c_str()), 0);
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
  std::string path = write_font("letters.bmf", glyphs, lit, LETTER_WIDTH, LETTER_HEIGHT);
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

// Bitmap fonts with real OpenGL on the project's virtual display: the slot
// table, the glyph display lists (read back through feedback mode and the
// modelview matrix), plain and masked text read back as pixels, and the
// texturing state around text.
#include "tests/support/gl_fixture.h"  // GoogleTest before the X11 headers

#include "font_files.h"

#include "font/font.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

using bytes = std::vector<uint8_t>;

// ---- A little font made here: five letters of 5 x 7 texels ------------------

constexpr int LETTER_PICTURE_WIDTH = 32, LETTER_PICTURE_HEIGHT = 8;
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
  int cell = x / LETTER_CELL, column = x % LETTER_CELL, row = LETTER_PICTURE_HEIGHT - 1 - y;
  if (cell >= 5 || column >= 5 || row >= 7)
    return false;
  return LETTER_ROWS[cell][row][column] == '#';
}

int letter_picture_value(int x, int y, int) { return letter_texel_lit(x, y) ? 255 : 0; }

void letter_glyphs(bitmap_glyph_rect glyphs[256])
{
  std::memset(glyphs, 0, 256 * sizeof *glyphs);
  for (int k = 0; k < 5; k++)
    glyphs[(unsigned char)LETTERS[k]] = {(float)(k * LETTER_CELL) / LETTER_PICTURE_WIDTH, 0,
                                         (float)LETTER_CELL / LETTER_PICTURE_WIDTH, 1};
}

// ---- Feedback and matrices ---------------------------------------------------------

struct fed_vertex {
  float x, y, s, t;
};

// Window positions and texture coordinates of every polygon vertex in a
// GL_3D_COLOR_TEXTURE feedback buffer.
std::vector<fed_vertex> polygon_vertices(const std::vector<float> &feedback)
{
  std::vector<fed_vertex> vertices;
  constexpr size_t VERTEX_FLOATS = 3 + 4 + 4;
  size_t at = 0;
  while (at < feedback.size()) {
    int token = (int)feedback[at++];
    EXPECT_EQ(token, GL_POLYGON_TOKEN) << "only polygons are drawn";
    if (token != GL_POLYGON_TOKEN)
      break;
    int count = (int)feedback[at++];
    for (int i = 0; i < count && at + VERTEX_FLOATS <= feedback.size(); i++, at += VERTEX_FLOATS)
      vertices.push_back({feedback[at], feedback[at + 1], feedback[at + 7], feedback[at + 8]});
  }
  return vertices;
}

float modelview_x_translation()
{
  float matrix[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
  return matrix[12];
}

// Display lists and textures alive in the context, among the names that
// these tests can reach (every load takes 256 list names).
int count_lists()
{
  int count = 0;
  for (GLuint name = 1; name < (1u << 17); name++)
    count += glIsList(name) ? 1 : 0;
  return count;
}

int count_textures()
{
  int count = 0;
  for (GLuint name = 1; name < 4096; name++)
    count += glIsTexture(name) ? 1 : 0;
  return count;
}

// Writes the whole back buffer as a PPM picture for people to look at.
void save_screen(const char *path)
{
  bytes pixels = read_back_buffer(0, 0, 640, 480);
  FILE *out = std::fopen(path, "wb");
  ASSERT_NE(out, nullptr);
  std::fprintf(out, "P6\n640 480\n255\n");
  for (int y = 479; y >= 0; y--)
    std::fwrite(pixels.data() + y * 640 * 3, 1, 640 * 3, out);
  std::fclose(out);
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

  // Writes a font into the test's folder and returns its path.
  std::string write_font(const char *name, const bitmap_glyph_rect glyphs[256],
                         const sgi_picture &picture)
  {
    std::string path = dir.path + "/" + name;
    EXPECT_EQ(bmf_write(path.c_str(), name, glyphs, picture), 0);
    return path;
  }

  // A font of blank glyphs on a 4 x 4 black picture.
  std::string blank_font()
  {
    bitmap_glyph_rect glyphs[256] = {};
    return write_font("blank.bmf", glyphs, make_picture(4, 4, 3, true, [](int, int, int) { return 0; }));
  }

  std::string letter_font()
  {
    bitmap_glyph_rect glyphs[256];
    letter_glyphs(glyphs);
    return write_font("letters.bmf", glyphs,
                      make_picture(LETTER_PICTURE_WIDTH, LETTER_PICTURE_HEIGHT, 3, true,
                                   letter_picture_value));
  }

  temp_dir dir;
};

}  // namespace

// ---- The slot table --------------------------------------------------------------

TEST_F(BitmapFontGl, LoadsIntoTheLowestFreeSlotAndMakesItCurrent)
{
  std::string path = blank_font();
  EXPECT_EQ(bitmap_font_get_current(), -1);
  EXPECT_EQ(bitmap_font_load(path.c_str()), 0);
  EXPECT_EQ(bitmap_font_get_current(), 0);
  EXPECT_EQ(bitmap_font_load(path.c_str()), 1);
  EXPECT_EQ(bitmap_font_get_current(), 1);
  EXPECT_EQ(bitmap_font_unload(0), 0);
  EXPECT_EQ(bitmap_font_get_current(), 1) << "unloading another slot keeps the current one";
  EXPECT_EQ(bitmap_font_load(path.c_str()), 0);
  EXPECT_EQ(bitmap_font_get_current(), 0);
}

TEST_F(BitmapFontGl, RefusesALoadWhenAllSlotsAreTaken)
{
  std::string path = blank_font();
  for (int slot = 0; slot < FONT_SLOT_COUNT; slot++)
    ASSERT_EQ(bitmap_font_load(path.c_str()), slot);
  EXPECT_EQ(bitmap_font_load(path.c_str()), -1);
  EXPECT_EQ(bitmap_font_get_current(), 255);
}

TEST_F(BitmapFontGl, FailedLoadsLeaveTheTableAsItWas)
{
  std::string good = blank_font();
  ASSERT_EQ(bitmap_font_load(good.c_str()), 0);
  bytes file = read_file(good);
  std::vector<std::pair<std::string, bytes>> bad = {
      {"magic.bmf", file}, {"short.bmf", bytes(file.begin(), file.end() - 1)},
      {"header.bmf", file}, {"empty.bmf", {}}};
  bad[0].second[0] = 'b';
  bad[2].second[4195 + 10] = 9;  // nine channels
  int lists = count_lists(), textures = count_textures();
  EXPECT_EQ(bitmap_font_load((dir.path + "/missing.bmf").c_str()), -1);
  for (auto &[name, content] : bad) {
    write_file(dir.path + "/" + name, content);
    EXPECT_EQ(bitmap_font_load((dir.path + "/" + name).c_str()), -1) << name;
    EXPECT_EQ(bitmap_font_get_current(), 0) << name;
  }
  EXPECT_EQ(count_lists(), lists);
  EXPECT_EQ(count_textures(), textures);
  EXPECT_EQ(bitmap_font_load(good.c_str()), 1) << "no slot was taken by the failures";
}

TEST_F(BitmapFontGl, RefusesSlotsOutsideTheTableOrFree)
{
  ASSERT_EQ(bitmap_font_load(blank_font().c_str()), 0);
  for (int slot : {-1, 1, 255, 256, 100000}) {
    EXPECT_EQ(bitmap_font_set_current(slot), -1) << slot;
    EXPECT_EQ(bitmap_font_unload(slot), -1) << slot;
  }
  EXPECT_EQ(bitmap_font_get_current(), 0);
  EXPECT_EQ(bitmap_font_unload_current(), 0);
  EXPECT_EQ(bitmap_font_get_current(), -1);
  EXPECT_EQ(bitmap_font_unload_current(), -1);
  EXPECT_EQ(bitmap_font_set_current(0), -1);
}

TEST_F(BitmapFontGl, UnloadReleasesTexturesAndGlyphLists)
{
  std::string path = blank_font();
  int lists = count_lists(), textures = count_textures();
  ASSERT_EQ(bitmap_font_load(path.c_str()), 0);
  EXPECT_EQ(count_lists(), lists + 256);
  EXPECT_EQ(count_textures(), textures + 2);
  bitmap_draw_string("");  // selects the font's list block
  GLint base = 0;
  glGetIntegerv(GL_LIST_BASE, &base);
  EXPECT_TRUE(glIsList(base) && glIsList(base + 255));
  EXPECT_EQ(bitmap_font_unload(0), 0);
  EXPECT_EQ(count_lists(), lists);
  EXPECT_EQ(count_textures(), textures);
  EXPECT_FALSE(glIsList(base) || glIsList(base + 255));
}

// ---- Glyph lists -------------------------------------------------------------------

namespace {

void draw_glyph_a() { bitmap_draw_char('A'); }

}  // namespace

TEST_F(BitmapFontGl, GlyphListDrawsItsQuadAndStepsRight)
{
  bitmap_glyph_rect glyphs[256] = {};
  glyphs['A'] = {0.5f, 0.25f, 0.125f, 0.0625f};
  ASSERT_EQ(bitmap_font_load(write_font("a.bmf", glyphs, make_picture(4, 4, 1, false,
                                        [](int, int, int) { return 0; })).c_str()), 0);
  // 640 x 480 pixels a unit, so the corners land on whole pixels.
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, 1, 0, 1, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  bitmap_text_begin();
  std::vector<fed_vertex> vertices = polygon_vertices(capture_feedback(draw_glyph_a));
  bitmap_text_end();
  const fed_vertex corners[4] = {{0, 0, 0.5f, 0.25f},
                                 {80, 0, 0.625f, 0.25f},
                                 {80, 30, 0.625f, 0.3125f},
                                 {0, 30, 0.5f, 0.3125f}};
  ASSERT_GE(vertices.size(), 4u);
  for (const fed_vertex &corner : corners) {
    bool found = false;
    for (const fed_vertex &v : vertices)
      found |= std::fabs(v.x - corner.x) < 1e-3f && std::fabs(v.y - corner.y) < 1e-3f &&
               std::fabs(v.s - corner.s) < 1e-6f && std::fabs(v.t - corner.t) < 1e-6f;
    EXPECT_TRUE(found) << "corner " << corner.x << "," << corner.y;
  }
  for (const fed_vertex &v : vertices) {
    EXPECT_TRUE(v.x == 0 || std::fabs(v.x - 80) < 1e-3f) << v.x;
    EXPECT_TRUE(v.y == 0 || std::fabs(v.y - 30) < 1e-3f) << v.y;
  }
  // Feedback mode draws nothing but still runs the translation.
  EXPECT_FLOAT_EQ(modelview_x_translation(), 0.126f);
}

TEST_F(BitmapFontGl, StringsAdvanceByWidthsPlusGaps)
{
  bitmap_glyph_rect glyphs[256] = {};
  glyphs['A'] = {0.5f, 0.25f, 0.125f, 0.0625f};
  glyphs['B'] = {0, 0, 0.25f, 0.5f};
  glyphs[200] = {0, 0, 0.5f, 0.5f};
  ASSERT_EQ(bitmap_font_load(write_font("ab.bmf", glyphs, make_picture(4, 4, 3, true,
                                        [](int, int, int) { return 0; })).c_str()), 0);
  bitmap_draw_string("AB");
  EXPECT_FLOAT_EQ(modelview_x_translation(), (0.125f + 0.001f) + (0.25f + 0.001f));
  glLoadIdentity();
  bitmap_draw_string("");
  EXPECT_FLOAT_EQ(modelview_x_translation(), 0);
  bitmap_draw_string("\xC8");  // byte 200: codes above 127 have glyphs too
  EXPECT_FLOAT_EQ(modelview_x_translation(), 0.501f);
  glLoadIdentity();
  bitmap_draw_char(200 + 256);  // only the low byte counts
  EXPECT_FLOAT_EQ(modelview_x_translation(), 0.501f);
  glLoadIdentity();
  bitmap_draw_string_masked("AB");
  EXPECT_FLOAT_EQ(modelview_x_translation(), 0.377f) << "masked text advances once";
}

TEST_F(BitmapFontGl, NothingIsDrawnWithoutACurrentFont)
{
  ASSERT_EQ(bitmap_font_load(blank_font().c_str()), 0);
  ASSERT_EQ(bitmap_font_unload_current(), 0);
  std::vector<float> feedback = capture_feedback([] {
    bitmap_draw_string("PILKO");
    bitmap_draw_char('P');
    bitmap_draw_string_masked("PILKO");
    bitmap_draw_char_masked('P');
  });
  EXPECT_TRUE(feedback.empty());
  EXPECT_FLOAT_EQ(modelview_x_translation(), 0);
}

// ---- Texturing state ------------------------------------------------------------------

TEST_F(BitmapFontGl, TextEndRestoresTexturingOnlyIfItWasOn)
{
  ASSERT_EQ(bitmap_font_load(blank_font().c_str()), 0);
  glDisable(GL_TEXTURE_2D);
  bitmap_text_begin();
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  bitmap_text_end();
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));

  glEnable(GL_TEXTURE_2D);
  bitmap_text_begin();
  glDisable(GL_TEXTURE_2D);  // whatever happens in between
  bitmap_text_end();
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
}

// ---- Pixels ------------------------------------------------------------------------------

namespace {

constexpr int TEXEL_PIXELS = 8;  // the letter picture drawn 8 pixels a texel
constexpr int TEXT_X = 40, TEXT_Y = 200;

// Draws the letters scaled so that texel centres fall on pixel centres (the
// half-pixel shift) at TEXT_X, TEXT_Y, with the given drawing operation.
void draw_letters(void (*draw)(const char *))
{
  glLoadIdentity();
  glTranslatef(TEXT_X + 0.5f, TEXT_Y + 0.5f, 0);
  glScalef(LETTER_PICTURE_WIDTH * TEXEL_PIXELS, LETTER_PICTURE_HEIGHT * TEXEL_PIXELS, 1);
  bitmap_text_begin();
  draw(LETTERS);
  bitmap_text_end();
}

bytes pixel(const bytes &screen, int x, int y)
{
  size_t at = ((size_t)y * 640 + x) * 3;
  return bytes(screen.begin() + at, screen.begin() + at + 3);
}

bool near(const bytes &got, const bytes &want, int tolerance)
{
  for (int i = 0; i < 3; i++)
    if (std::abs(got[i] - want[i]) > tolerance)
      return false;
  return true;
}

// Screen pixel of texel (x, y) of letter k: the gap of 0.001 units between
// glyphs shifts later letters by a quarter pixel each, well inside a texel.
void texel_centre(int k, int x, int y, int *screen_x, int *screen_y)
{
  float advance = ((float)LETTER_CELL / LETTER_PICTURE_WIDTH + bitmap_glyph_gap) *
                  LETTER_PICTURE_WIDTH * TEXEL_PIXELS;
  *screen_x = TEXT_X + (int)(k * advance + (x - k * LETTER_CELL) * TEXEL_PIXELS + TEXEL_PIXELS / 2);
  *screen_y = TEXT_Y + y * TEXEL_PIXELS + TEXEL_PIXELS / 2;
}

// Checks every texel centre of the five letters: lit texels show lit, the
// others unlit, within a tolerance for the linear filter's blending.
void expect_letter_texels(const bytes &screen, const bytes &lit, const bytes &unlit)
{
  for (int k = 0; k < 5; k++)
    for (int y = 0; y < LETTER_PICTURE_HEIGHT; y++)
      for (int x = k * LETTER_CELL; x < (k + 1) * LETTER_CELL; x++) {
        int sx, sy;
        texel_centre(k, x, y, &sx, &sy);
        const bytes &want = letter_texel_lit(x, y) ? lit : unlit;
        EXPECT_TRUE(near(pixel(screen, sx, sy), want, 40))
            << "letter " << k << " texel " << x << "," << y;
      }
}

// Every pixel outside the text's box (one pixel margin) still shows colour.
void expect_untouched_outside_text(const bytes &screen, const bytes &colour)
{
  int right = TEXT_X + 5 * (LETTER_CELL * TEXEL_PIXELS + 1) + 1;
  int top = TEXT_Y + LETTER_PICTURE_HEIGHT * TEXEL_PIXELS + 1;
  int wrong = 0;
  for (int y = 0; y < 480; y++)
    for (int x = 0; x < 640; x++) {
      bool inside = x >= TEXT_X - 1 && x <= right && y >= TEXT_Y - 1 && y <= top;
      if (!inside && pixel(screen, x, y) != colour)
        wrong++;
    }
  EXPECT_EQ(wrong, 0) << "pixels changed outside the text";
}

}  // namespace

TEST_F(BitmapFontGl, PlainTextShowsTheFontPicture)
{
  ASSERT_EQ(bitmap_font_load(letter_font().c_str()), 0);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glColor3ub(255, 255, 255);
  draw_letters(bitmap_draw_string);
  bytes screen = read_back_buffer(0, 0, 640, 480);
  save_screen("bitmap_plain_text.ppm");
  expect_letter_texels(screen, {255, 255, 255}, {0, 0, 0});
  expect_untouched_outside_text(screen, {0, 0, 0});
}

TEST_F(BitmapFontGl, MaskedTextKeepsTheBackgroundAroundTheGlyphs)
{
  ASSERT_EQ(bitmap_font_load(letter_font().c_str()), 0);
  const bytes background = {40, 90, 160};
  glClearColor(40 / 255.0f, 90 / 255.0f, 160 / 255.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glEnable(GL_BLEND);
  glColor3ub(255, 220, 0);
  draw_letters(bitmap_draw_string_masked);
  glDisable(GL_BLEND);
  bytes screen = read_back_buffer(0, 0, 640, 480);
  save_screen("bitmap_masked_text.ppm");
  // Lit texels: the background multiplied away, the text colour added; the
  // black texels leave the background as it was, inside the glyphs too.
  expect_letter_texels(screen, {255, 220, 0}, background);
  expect_untouched_outside_text(screen, background);
}

TEST_F(BitmapFontGl, MaskIsWhiteWhereThePictureIsBlack)
{
  // Masked text in black over white adds nothing in its second pass, so the
  // screen shows the mask texture itself.
  ASSERT_EQ(bitmap_font_load(letter_font().c_str()), 0);
  glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glEnable(GL_BLEND);
  glColor3ub(0, 0, 0);
  draw_letters(bitmap_draw_string_masked);
  glDisable(GL_BLEND);
  bytes screen = read_back_buffer(0, 0, 640, 480);
  save_screen("bitmap_mask.ppm");
  expect_letter_texels(screen, {0, 0, 0}, {255, 255, 255});
}

// Vector drawing on a real OpenGL context: what each mode hands to GL (read
// back in feedback mode), the GL state it leaves behind, and pixels.
#include "gl_capture.h"
#include "font_files.h"
#include "font/vector_internal.h"

#include <gtest/gtest.h>
#include <cmath>
#include <cstring>

namespace {

// Two squares side by side: contours end at vertices 3 and 7.
const glf_symbol_source TWO_SQUARES = {
    'W', {-1, -0.5f, -0.1f, -0.5f, -0.1f, 0.5f, -1, 0.5f, 0.1f, -0.5f, 1, -0.5f, 1, 0.5f, 0.1f, 0.5f},
    {0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7}, {3, 7}};
// A triangle through the texture checkpoints (-1, 1) and (0, 0).
const glf_symbol_source CHECKPOINTS = {'T', {-1, 1, 0, 0, 1, 1}, {0, 1, 2}, {2}};

class VectorDrawTest : public ::testing::Test {
 protected:
  void SetUp() override
  {
    prepare_capture_view();
    font_init();
    std::string path = write_font(folder, "draw.glf", {TWO_SQUARES, CHECKPOINTS, box_symbol('S', -0.5f, 0.8f, -0.5f, 0.5f),
                                                       box_symbol('N', -0.6f, 0.7f, -1, 0.25f)});
    ASSERT_EQ(vector_font_load(path.c_str()), 0);
  }
  void TearDown() override
  {
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
    font_shutdown();
  }
  temp_folder folder;
};

void expect_at(const captured_vertex &v, float x, float y, float z)
{
  EXPECT_NEAR(v.x, x, 1e-3);
  EXPECT_NEAR(v.y, y, 1e-3);
  EXPECT_NEAR(v.z, z, 0.05);  // the depth buffer's resolution
}

// Vertex v of the two squares.
void expect_square_vertex(const captured_vertex &got, int v, float z)
{
  expect_at(got, TWO_SQUARES.vertices[2 * v], TWO_SQUARES.vertices[2 * v + 1], z);
}

// The two squares' outline loops as 8 lines at depth z, from primitive first on.
void expect_loops(const std::vector<captured_primitive> &p, size_t first, float z)
{
  ASSERT_GE(p.size(), first + 8);
  for (int i = 0; i < 8; i++) {
    ASSERT_TRUE(p[first + i].line);
    expect_square_vertex(p[first + i].vertices[0], i, z);
    expect_square_vertex(p[first + i].vertices[1], i / 4 * 4 + (i + 1) % 4, z);  // each loop closes
  }
}

void expect_color(const captured_vertex &v, float r, float g, float b)
{
  EXPECT_EQ(std::vector<float>(v.color, v.color + 3), std::vector<float>({r, g, b}));
}

}  // namespace

TEST_F(VectorDrawTest, WiredDrawsOneClosedLoopPerContour)
{
  std::vector<captured_primitive> p = capture([] { vector_draw_symbol_wired('W'); });
  EXPECT_EQ(p.size(), 8u);
  expect_loops(p, 0, 0);
}

TEST_F(VectorDrawTest, SolidDrawsStoredTrianglesTexturedOnlyWhenAsked)
{
  glTexCoord2f(0.3f, 0.7f);
  std::vector<captured_primitive> p = capture([] { vector_draw_symbol_solid('W'); });
  ASSERT_EQ(p.size(), 4u);
  for (int t = 0; t < 4; t++) {
    for (int c = 0; c < 3; c++) {
      expect_square_vertex(p[t].vertices[c], TWO_SQUARES.triangles[3 * t + c], 0);
      EXPECT_FLOAT_EQ(p[t].vertices[c].s, 0.3f) << "the caller's texture coordinate stays";
    }
  }
  font_option_enable(FONT_OPTION_TEXTURING);
  p = capture([] { vector_draw_symbol_solid('T'); });
  ASSERT_EQ(p.size(), 1u);
  float want[3][2] = {{0, 1}, {0.5f, 0.5f}, {1, 1}};
  for (int c = 0; c < 3; c++) {
    EXPECT_NEAR(p[0].vertices[c].s, want[c][0], 1e-6);
    EXPECT_NEAR(p[0].vertices[c].t, want[c][1], 1e-6);
  }
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << "the caller enables texturing, not the library";
}

TEST_F(VectorDrawTest, SolidContourDrawsOutlineInContourColourAndRestoresColour)
{
  font_option_enable(FONT_OPTION_CONTOURING);
  vector_set_contour_color(1, 0, 0, 1);
  glColor4f(0, 0.5f, 1, 1);
  std::vector<captured_primitive> p = capture([] { vector_draw_symbol_solid('W'); });
  ASSERT_EQ(p.size(), 12u);
  for (int i = 0; i < 4; i++)
    expect_color(p[i].vertices[0], 0, 0.5f, 1);
  expect_loops(p, 4, 0);
  for (int i = 4; i < 12; i++)
    expect_color(p[i].vertices[0], 1, 0, 0);
  GLfloat now[4];
  glGetFloatv(GL_CURRENT_COLOR, now);
  EXPECT_EQ(std::vector<float>(now, now + 3), std::vector<float>({0, 0.5f, 1}));
}

TEST_F(VectorDrawTest, ThreeDWiredJoinsOutlinesAtBothDepths)
{
  vector_set_symbol_depth(0.5f);
  std::vector<captured_primitive> p = capture([] { vector_draw_symbol_3d_wired('W'); });
  ASSERT_EQ(p.size(), 24u);
  expect_loops(p, 0, 1);
  expect_loops(p, 8, 1.5f);
  for (int v = 0; v < 8; v++) {
    expect_square_vertex(p[16 + v].vertices[0], v, 1);
    expect_square_vertex(p[16 + v].vertices[1], v, 1.5f);
  }
}

TEST_F(VectorDrawTest, ThreeDSolidHasTwoCapsAndClosedWalls)
{
  vector_set_symbol_depth(0.5f);
  std::vector<captured_primitive> p = capture([] { vector_draw_symbol_3d_solid('W'); });
  ASSERT_GT(p.size(), 8u);
  for (int t = 0; t < 4; t++) {
    for (int c = 0; c < 3; c++) {
      expect_square_vertex(p[t].vertices[c], TWO_SQUARES.triangles[3 * t + 2 - c], 1.5f);  // front, reversed
      expect_square_vertex(p[4 + t].vertices[c], TWO_SQUARES.triangles[3 * t + c], 1);      // back, as stored
    }
  }
  // The walls stand between the two depths and, closed, cover the squares'
  // whole perimeter: their area is perimeter x depth.
  double area = 0;
  for (size_t i = 8; i < p.size(); i++) {
    const std::vector<captured_vertex> &v = p[i].vertices;
    for (size_t k = 1; k + 1 < v.size(); k++) {
      double a[3] = {v[k].x - v[0].x, v[k].y - v[0].y, v[k].z - v[0].z};
      double b[3] = {v[k + 1].x - v[0].x, v[k + 1].y - v[0].y, v[k + 1].z - v[0].z};
      area += 0.5 * std::hypot(a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]);
    }
    for (const captured_vertex &corner : v)
      EXPECT_TRUE(std::fabs(corner.z - 1) < 0.05f || std::fabs(corner.z - 1.5f) < 0.05f) << corner.z;
  }
  EXPECT_NEAR(area, 2 * (2 * 0.9 + 2 * 1.0) * 0.5, 0.05);
}

TEST_F(VectorDrawTest, ThreeDSolidContourIsUnlitAndLightingStaysAsItWas)
{
  font_option_enable(FONT_OPTION_CONTOURING);
  vector_set_contour_color(0, 1, 0, 1);
  glEnable(GL_LIGHTING);  // with no light on, anything lit comes out dark
  glColor4f(0.25f, 0.25f, 0.25f, 1);
  std::vector<captured_primitive> p = capture([] { vector_draw_symbol_3d_solid('W'); });
  int lines = 0;
  for (const captured_primitive &prim : p) {
    if (!prim.line)
      continue;
    lines++;
    expect_color(prim.vertices[0], 0, 1, 0);
  }
  EXPECT_EQ(lines, 24);
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  GLfloat now[4];
  glGetFloatv(GL_CURRENT_COLOR, now);
  EXPECT_EQ(now[0], 0.25f);
  glDisable(GL_LIGHTING);
  capture([] { vector_draw_symbol_3d_solid('W'); });
  EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
}

TEST_F(VectorDrawTest, NothingIsDrawnWithoutFontOrSymbol)
{
  EXPECT_TRUE(capture([] { vector_draw_symbol_solid('?'); }).empty());
  static int bad;
  for (int slot : {-1, 5, 255, 256}) {
    bad = slot;
    EXPECT_TRUE(capture([] {
      vector_font_draw_symbol_wired(bad, 'S');
      vector_font_draw_symbol_solid(bad, 'S');
      vector_font_draw_symbol_3d_wired(bad, 'S');
      vector_font_draw_symbol_3d_solid(bad, 'S');
      vector_font_draw_string_solid(bad, "S");
    }).empty()) << slot;
    EXPECT_EQ(vector_font_get_current(), 0);
  }
  vector_font_unload_current();
  EXPECT_TRUE(capture([] {
    vector_draw_symbol_wired('W');
    vector_draw_string_3d_solid("WTS");
  }).empty());
}

TEST_F(VectorDrawTest, StringPlacesEachSymbolAfterTheLast)
{
  std::vector<captured_primitive> p = capture([] { vector_draw_string_wired("SN S"); });
  ASSERT_EQ(p.size(), 12u);
  // The first line of each box starts at its (min_x, min_y): S at 0, N moved
  // by 0.8 + 0.6 + 0.2, the second S by another 0.2 + 2.0 for the space.
  expect_at(p[0].vertices[0], -0.5f, -0.5f, 0);
  expect_at(p[4].vertices[0], -0.6f + 1.6f, -1, 0);
  expect_at(p[8].vertices[0], -0.5f + 1.6f + 2.2f, -0.5f, 0);
}

TEST_F(VectorDrawTest, EveryStringOperationLeavesTheModelviewExactly)
{
  ASSERT_EQ(vector_font_load(write_font(folder, "second.glf", {box_symbol('S', -1, 1, -1, 1)}).c_str()), 1);
  font_option_enable(FONT_OPTION_CONTOURING);
  glRotatef(17, 0.3f, 1, 0.2f);
  glTranslatef(0.125f, -3, 0.5f);
  GLfloat before[16], after[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, before);
  void (*current[])(const char *) = {vector_draw_string_wired, vector_draw_string_solid,
                                     vector_draw_string_3d_wired, vector_draw_string_3d_solid};
  void (*given[])(int, const char *) = {vector_font_draw_string_wired, vector_font_draw_string_solid,
                                        vector_font_draw_string_3d_wired, vector_font_draw_string_3d_solid};
  for (int op = 0; op < 4; op++) {
    for (const char *text : {"SN", "S N?S", "", "?"}) {
      current[op](text);
      given[op](0, text);
      glGetFloatv(GL_MODELVIEW_MATRIX, after);
      EXPECT_EQ(std::memcmp(before, after, sizeof before), 0) << "operation " << op << " on '" << text << "'";
    }
  }
  EXPECT_EQ(vector_font_get_current(), 1);
}

TEST_F(VectorDrawTest, PerFontOperationsUseTheGivenFontAndRestoreCurrent)
{
  ASSERT_EQ(vector_font_load(write_font(folder, "big.glf", {box_symbol('S', -3, 3, -3, 3)}).c_str()), 1);
  std::vector<captured_primitive> p = capture([] { vector_font_draw_symbol_3d_wired(0, 'S'); });
  ASSERT_EQ(p.size(), 12u);
  EXPECT_NEAR(p[0].vertices[0].x, -0.5f, 1e-3) << "font 0's S, not the current font's";
  p = capture([] { vector_font_draw_string_solid(1, "S"); });
  ASSERT_EQ(p.size(), 2u);
  EXPECT_NEAR(p[0].vertices[0].x, -3, 1e-3);
  EXPECT_EQ(vector_font_get_current(), 1);
}

TEST_F(VectorDrawTest, AnchorMovesGeometryButNotTextureCoordinates)
{
  font_option_enable(FONT_OPTION_TEXTURING);
  vector_set_anchor(VECTOR_ANCHOR_TOP_LEFT);
  std::vector<captured_primitive> p = capture([] { vector_draw_symbol_solid('T'); });
  expect_at(p[0].vertices[0], 0, 0, 0);  // (-1, 1) moved by (+1, -1)
  EXPECT_EQ(p[0].vertices[0].s, 0.0f);
  EXPECT_EQ(p[0].vertices[0].t, 1.0f);
  vector_set_anchor(VECTOR_ANCHOR_BOTTOM);
  expect_at(capture([] { vector_draw_symbol_3d_wired('T'); })[0].vertices[0], -1, 2, 1);
  vector_set_anchor(VECTOR_ANCHOR_LAST);
  expect_at(capture([] { vector_draw_symbol_wired('T'); })[0].vertices[0], -1, 1, 0);
}

TEST_F(VectorDrawTest, ConsoleDrawsRowsTwoUnitsApartInItsOwnFont)
{
  ASSERT_EQ(vector_font_load(write_font(folder, "other.glf", {box_symbol('S', -3, 3, -3, 3)}).c_str()), 1);
  console_set_size(4, 3);
  EXPECT_EQ(console_set_font(7), -1);
  ASSERT_EQ(console_set_font(0), 0);
  font_option_disable(FONT_OPTION_CURSOR);
  console_print("S\nSN\n");
  GLfloat before[16], after[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, before);
  std::vector<captured_primitive> p = capture(console_draw);
  glGetFloatv(GL_MODELVIEW_MATRIX, after);
  EXPECT_NEAR(after[13], before[13] - 3 * 2 * before[5], 1e-3) << "three rows of 2 units down";
  ASSERT_EQ(p.size(), 6u);  // S on row 0, S and N on row 1: two triangles each
  expect_at(p[0].vertices[0], -0.5f, -0.5f, 0);
  expect_at(p[2].vertices[0], -0.5f, -0.5f - 2, 0);
  expect_at(p[4].vertices[0], -0.6f + 1.6f, -1 - 2, 0);
  EXPECT_EQ(vector_font_get_current(), 1);
  vector_font_unload(0);
  glPushMatrix();
  EXPECT_TRUE(capture(console_draw).empty()) << "the console's font is gone";
  glPopMatrix();
}

TEST_F(VectorDrawTest, SolidStringFillsItsBoxesOnScreen)
{
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glColor3f(1, 1, 1);
  vector_draw_string_solid("SN");
  auto lit = [](float x, float y) {  // model units, 40 pixels each from the centre
    return read_back_buffer(320 + (int)(x * 40), 240 + (int)(y * 40), 1, 1)[0] > 128;
  };
  EXPECT_TRUE(lit(0, 0));         // in S
  EXPECT_TRUE(lit(1.5f, -0.8f));  // in N
  EXPECT_FALSE(lit(0.9f, 0));     // the gap between them
  EXPECT_FALSE(lit(0, 0.8f));     // above S
  EXPECT_FALSE(lit(2.5f, 0));     // after N
}

// Vector drawing on a real OpenGL context: what each mode hands to GL (read
// back in feedback mode), what it leaves behind in GL's state, and pixels.
#include "gl_capture.h"
#include "font_files.h"
#include "font/vector_internal.h"

#include <gtest/gtest.h>
#include <cmath>
#include <cstring>

namespace {

constexpr float NEAR = 1e-3f;  // window-coordinate round trip

// Two unit squares side by side: contours end at vertices 3 and 7.
glf_symbol_source two_squares(uint8_t code)
{
  glf_symbol_source s;
  s.code = code;
  s.vertices = {-1, -0.5f, -0.1f, -0.5f, -0.1f, 0.5f, -1, 0.5f,
                0.1f, -0.5f, 1, -0.5f, 1, 0.5f, 0.1f, 0.5f};
  s.triangles = {0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7};
  s.contour_ends = {3, 7};
  return s;
}

// A triangle whose corners are the texture-mapping checkpoints.
glf_symbol_source checkpoint_triangle(uint8_t code)
{
  glf_symbol_source s;
  s.code = code;
  s.vertices = {-1, 1, 0, 0, 1, 1};
  s.triangles = {0, 1, 2};
  s.contour_ends = {2};
  return s;
}

class VectorDrawTest : public ::testing::Test {
 protected:
  void SetUp() override
  {
    prepare_capture_view();
    font_init();
    std::string path = write_font(folder, "draw.glf",
                                  {two_squares('W'), checkpoint_triangle('T'),
                                   box_symbol('S', -0.5f, 0.8f, -0.5f, 0.5f),
                                   box_symbol('N', -0.6f, 0.7f, -1.0f, 0.25f)});
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
  EXPECT_NEAR(v.x, x, NEAR);
  EXPECT_NEAR(v.y, y, NEAR);
  EXPECT_NEAR(v.z, z, NEAR * 100);
}

int count_kind(const std::vector<captured_primitive> &p, captured_kind kind)
{
  int n = 0;
  for (const captured_primitive &prim : p)
    n += prim.kind == kind;
  return n;
}

// The symbol's stored vertex v.
void expect_vertex(const captured_vertex &got, const glf_symbol_source &s, int v, float z)
{
  expect_at(got, s.vertices[2 * v], s.vertices[2 * v + 1], z);
}

}  // namespace

// ---- Wired ------------------------------------------------------------------------

TEST_F(VectorDrawTest, WiredDrawsOneClosedLoopPerContour)
{
  std::vector<captured_primitive> p = capture([] { vector_draw_symbol_wired('W'); });
  glf_symbol_source s = two_squares('W');
  ASSERT_EQ(p.size(), 8u);
  for (int loop = 0; loop < 2; loop++) {
    for (int side = 0; side < 4; side++) {
      const captured_primitive &segment = p[4 * loop + side];
      EXPECT_EQ(segment.kind, CAPTURED_LINE);
      expect_vertex(segment.vertices[0], s, 4 * loop + side, 0);
      expect_vertex(segment.vertices[1], s, 4 * loop + (side + 1) % 4, 0);  // closes the loop
    }
  }
}

// ---- Solid ------------------------------------------------------------------------

TEST_F(VectorDrawTest, SolidDrawsTrianglesInStoredOrder)
{
  glTexCoord2f(0.3f, 0.7f);
  std::vector<captured_primitive> p = capture([] { vector_draw_symbol_solid('W'); });
  glf_symbol_source s = two_squares('W');
  ASSERT_EQ(p.size(), 4u);
  for (int t = 0; t < 4; t++) {
    ASSERT_EQ(p[t].kind, CAPTURED_POLYGON);
    ASSERT_EQ(p[t].vertices.size(), 3u);
    for (int c = 0; c < 3; c++) {
      expect_vertex(p[t].vertices[c], s, s.triangles[3 * t + c], 0);
      // Texturing is off: the caller's texture coordinate is untouched.
      EXPECT_FLOAT_EQ(p[t].vertices[c].s, 0.3f);
      EXPECT_FLOAT_EQ(p[t].vertices[c].t, 0.7f);
    }
  }
}

TEST_F(VectorDrawTest, TexturingMapsSymbolSquareOntoTexture)
{
  font_option_enable(FONT_OPTION_TEXTURING);
  std::vector<captured_primitive> p = capture([] { vector_draw_symbol_solid('T'); });
  ASSERT_EQ(p.size(), 1u);
  ASSERT_EQ(p[0].vertices.size(), 3u);
  EXPECT_NEAR(p[0].vertices[0].s, 0.0f, 1e-6);  // vertex (-1, 1)
  EXPECT_NEAR(p[0].vertices[0].t, 1.0f, 1e-6);
  EXPECT_NEAR(p[0].vertices[1].s, 0.5f, 1e-6);  // vertex (0, 0)
  EXPECT_NEAR(p[0].vertices[1].t, 0.5f, 1e-6);
  EXPECT_NEAR(p[0].vertices[2].s, 1.0f, 1e-6);  // vertex (1, 1)
  EXPECT_NEAR(p[0].vertices[2].t, 1.0f, 1e-6);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << "the caller enables texturing, not the library";
}

TEST_F(VectorDrawTest, SolidContourDrawsOutlineInContourColourAndRestoresColour)
{
  font_option_enable(FONT_OPTION_CONTOURING);
  vector_set_contour_color(1, 0, 0, 1);
  glColor4f(0, 0.5f, 1, 1);
  std::vector<captured_primitive> p = capture([] { vector_draw_symbol_solid('W'); });
  ASSERT_EQ(count_kind(p, CAPTURED_POLYGON), 4);
  ASSERT_EQ(count_kind(p, CAPTURED_LINE), 8);
  for (const captured_primitive &prim : p) {
    const float *c = prim.vertices[0].color;
    bool fill = prim.kind == CAPTURED_POLYGON;
    EXPECT_EQ(c[0], fill ? 0.0f : 1.0f) << (fill ? "fill in the caller's colour" : "outline in the contour colour");
    EXPECT_EQ(c[1], fill ? 0.5f : 0.0f);
    EXPECT_EQ(c[2], fill ? 1.0f : 0.0f);
  }
  GLfloat now[4];
  glGetFloatv(GL_CURRENT_COLOR, now);
  EXPECT_EQ(now[0], 0.0f);
  EXPECT_EQ(now[1], 0.5f);
  EXPECT_EQ(now[2], 1.0f);
}

// ---- 3D ---------------------------------------------------------------------------

TEST_F(VectorDrawTest, ThreeDWiredJoinsFrontAndBackOutlines)
{
  vector_set_symbol_depth(0.5f);
  std::vector<captured_primitive> p = capture([] { vector_draw_symbol_3d_wired('W'); });
  glf_symbol_source s = two_squares('W');
  // Two loops at z = 1, two at z = 1.5, then one line per vertex.
  ASSERT_EQ(p.size(), 8u + 8u + 8u);
  for (int i = 0; i < 16; i++) {
    float z = i < 8 ? 1.0f : 1.5f;
    expect_vertex(p[i].vertices[0], s, i % 8, z);
    expect_vertex(p[i].vertices[1], s, (i % 8) / 4 * 4 + (i % 4 + 1) % 4, z);
  }
  for (int v = 0; v < 8; v++) {
    expect_vertex(p[16 + v].vertices[0], s, v, 1.0f);
    expect_vertex(p[16 + v].vertices[1], s, v, 1.5f);
  }
  vector_set_symbol_depth(0.2f);
}

TEST_F(VectorDrawTest, ThreeDSolidHasCapsAndClosedWallsBetweenDepths)
{
  vector_set_symbol_depth(0.5f);
  std::vector<captured_primitive> p = capture([] { vector_draw_symbol_3d_solid('W'); });
  glf_symbol_source s = two_squares('W');
  ASSERT_GE(p.size(), 8u);
  for (int t = 0; t < 4; t++) {  // front cap, corners reversed
    for (int c = 0; c < 3; c++)
      expect_vertex(p[t].vertices[c], s, s.triangles[3 * t + 2 - c], 1.5f);
  }
  for (int t = 0; t < 4; t++) {  // back cap, stored order
    for (int c = 0; c < 3; c++)
      expect_vertex(p[4 + t].vertices[c], s, s.triangles[3 * t + c], 1.0f);
  }
  // The walls: every wall polygon spans both depths; per contour they
  // cover its four sides, so their total area is perimeter x depth.
  float wall_area = 0;
  for (size_t i = 8; i < p.size(); i++) {
    ASSERT_EQ(p[i].kind, CAPTURED_POLYGON);
    const std::vector<captured_vertex> &v = p[i].vertices;
    for (const captured_vertex &corner : v)
      EXPECT_TRUE(std::fabs(corner.z - 1.0f) < 0.1f || std::fabs(corner.z - 1.5f) < 0.1f) << corner.z;
    // Walls are vertical: area from the horizontal length times the height span.
    for (size_t k = 1; k + 1 < v.size(); k++) {
      float ax = v[k].x - v[0].x, ay = v[k].y - v[0].y, az = v[k].z - v[0].z;
      float bx = v[k + 1].x - v[0].x, by = v[k + 1].y - v[0].y, bz = v[k + 1].z - v[0].z;
      float cx = ay * bz - az * by, cy = az * bx - ax * bz, cz = ax * by - ay * bx;
      wall_area += 0.5f * std::sqrt(cx * cx + cy * cy + cz * cz);
    }
  }
  float perimeter = 2 * (2 * 0.9f + 2 * 1.0f);
  EXPECT_NEAR(wall_area, perimeter * 0.5f, 0.05f);
  vector_set_symbol_depth(0.2f);
}

TEST_F(VectorDrawTest, ThreeDSolidContourIsUnlitAndLightingStaysOn)
{
  font_option_enable(FONT_OPTION_CONTOURING);
  vector_set_contour_color(0, 1, 0, 1);
  glEnable(GL_LIGHTING);  // with no light on, lit surfaces come out dark
  glColor4f(0.25f, 0.25f, 0.25f, 1);
  std::vector<captured_primitive> p = capture([] { vector_draw_symbol_3d_solid('W'); });
  int lines = 0;
  for (const captured_primitive &prim : p) {
    if (prim.kind != CAPTURED_LINE)
      continue;
    lines++;
    EXPECT_FLOAT_EQ(prim.vertices[0].color[1], 1.0f) << "the outline is drawn unlit";
    EXPECT_FLOAT_EQ(prim.vertices[0].color[0], 0.0f);
  }
  EXPECT_EQ(lines, 24);
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  GLfloat now[4];
  glGetFloatv(GL_CURRENT_COLOR, now);
  EXPECT_EQ(now[0], 0.25f);
  EXPECT_EQ(now[1], 0.25f);
  glDisable(GL_LIGHTING);
  capture([] { vector_draw_symbol_3d_solid('W'); });
  EXPECT_FALSE(glIsEnabled(GL_LIGHTING)) << "lighting that was off stays off";
}

// ---- Nothing to draw --------------------------------------------------------------

TEST_F(VectorDrawTest, MissingSymbolOrFontDrawsNothing)
{
  EXPECT_TRUE(capture([] { vector_draw_symbol_solid('?'); }).empty());
  EXPECT_TRUE(capture([] { vector_draw_string_wired("???"); }).empty());
  vector_font_unload_current();
  EXPECT_TRUE(capture([] {
    vector_draw_symbol_wired('W');
    vector_draw_symbol_solid('W');
    vector_draw_symbol_3d_wired('W');
    vector_draw_symbol_3d_solid('W');
    vector_draw_string_3d_solid("WTS");
  }).empty());
}

// ---- Strings ----------------------------------------------------------------------

TEST_F(VectorDrawTest, StringPlacesEachSymbolAfterTheLast)
{
  std::vector<captured_primitive> p = capture([] { vector_draw_string_wired("SN S"); });
  std::vector<std::vector<captured_vertex>> loops = line_loops(p);
  ASSERT_EQ(loops.size(), 3u);
  // S at 0; N moved by 0.8 + 0.6 + 0.2; the second S after a space 0.2 + 2.0.
  EXPECT_NEAR(loops[0][0].x, -0.5f, NEAR);
  EXPECT_NEAR(loops[1][0].x, -0.6f + 1.6f, NEAR);
  EXPECT_NEAR(loops[2][0].x, -0.5f + 1.6f + 0.2f + 2.0f, NEAR);
}

TEST_F(VectorDrawTest, EveryStringOperationLeavesTheModelviewExactly)
{
  std::string path = write_font(folder, "second.glf", {box_symbol('S', -1, 1, -1, 1)});
  ASSERT_EQ(vector_font_load(path.c_str()), 1);
  font_option_enable(FONT_OPTION_CONTOURING);
  font_option_enable(FONT_OPTION_TEXTURING);
  glRotatef(17, 0.3f, 1, 0.2f);
  glTranslatef(0.125f, -3, 0.5f);
  GLfloat before[16], after[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, before);
  void (*current_ops[])(const char *) = {vector_draw_string_wired, vector_draw_string_solid,
                                          vector_draw_string_3d_wired, vector_draw_string_3d_solid};
  void (*font_ops[])(int, const char *) = {vector_font_draw_string_wired, vector_font_draw_string_solid,
                                           vector_font_draw_string_3d_wired, vector_font_draw_string_3d_solid};
  for (int op = 0; op < 4; op++) {
    for (const char *text : {"SN", "S N?S", "", "?"}) {
      current_ops[op](text);
      font_ops[op](0, text);
      glGetFloatv(GL_MODELVIEW_MATRIX, after);
      EXPECT_EQ(std::memcmp(before, after, sizeof before), 0) << "operation " << op << " on '" << text << "'";
    }
  }
  EXPECT_EQ(vector_font_get_current(), 1);
}

TEST_F(VectorDrawTest, PerFontOperationsUseTheGivenFontAndRestoreCurrent)
{
  std::string path = write_font(folder, "big.glf", {box_symbol('S', -3, 3, -3, 3)});
  ASSERT_EQ(vector_font_load(path.c_str()), 1);
  std::vector<captured_primitive> p = capture([] { vector_font_draw_symbol_wired(0, 'S'); });
  ASSERT_EQ(p.size(), 4u);
  EXPECT_NEAR(p[0].vertices[0].x, -0.5f, NEAR) << "drawn with font 0, not the current font 1";
  EXPECT_EQ(vector_font_get_current(), 1);
  p = capture([] { vector_font_draw_string_solid(1, "S"); });
  ASSERT_EQ(p.size(), 2u);
  EXPECT_NEAR(p[0].vertices[0].x, -3.0f, NEAR);
  EXPECT_EQ(vector_font_get_current(), 1);
}

TEST_F(VectorDrawTest, PerFontOperationsWithBadSlotDoNothing)
{
  for (int slot : {-1, 5, 255, 256, -300}) {
    static int bad;
    bad = slot;
    EXPECT_TRUE(capture([] {
      vector_font_draw_symbol_wired(bad, 'S');
      vector_font_draw_symbol_solid(bad, 'S');
      vector_font_draw_symbol_3d_wired(bad, 'S');
      vector_font_draw_symbol_3d_solid(bad, 'S');
      vector_font_draw_string_wired(bad, "S");
      vector_font_draw_string_solid(bad, "S");
      vector_font_draw_string_3d_wired(bad, "S");
      vector_font_draw_string_3d_solid(bad, "S");
    }).empty()) << slot;
    EXPECT_EQ(vector_font_get_current(), 0);
  }
}

// ---- Anchor -----------------------------------------------------------------------

TEST_F(VectorDrawTest, AnchorMovesGeometryButNotTextureCoordinates)
{
  font_option_enable(FONT_OPTION_TEXTURING);
  vector_set_anchor(VECTOR_ANCHOR_TOP_LEFT);
  std::vector<captured_primitive> p = capture([] { vector_draw_symbol_solid('T'); });
  ASSERT_EQ(p.size(), 1u);
  expect_at(p[0].vertices[0], 0, 0, 0);  // (-1, 1) moved by (+1, -1)
  EXPECT_NEAR(p[0].vertices[0].s, 0.0f, 1e-6);
  EXPECT_NEAR(p[0].vertices[0].t, 1.0f, 1e-6);
  vector_set_anchor(VECTOR_ANCHOR_BOTTOM);
  p = capture([] { vector_draw_symbol_3d_wired('T'); });
  expect_at(p[0].vertices[0], -1, 2, 1.0f);
  vector_set_anchor(VECTOR_ANCHOR_LAST);
  p = capture([] { vector_draw_symbol_wired('T'); });
  expect_at(p[0].vertices[0], -1, 1, 0);
}

// ---- Console ----------------------------------------------------------------------

TEST_F(VectorDrawTest, ConsoleDrawsRowsTwoUnitsApartAndMovesDown)
{
  console_set_size(4, 3);
  ASSERT_EQ(console_set_font(0), 0);
  font_option_disable(FONT_OPTION_CURSOR);
  console_print("S\nSN\n");
  GLfloat before[16], after[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, before);
  std::vector<captured_primitive> p = capture(console_draw);
  glGetFloatv(GL_MODELVIEW_MATRIX, after);
  EXPECT_NEAR(after[13], before[13] - 3 * 2 * before[5], 1e-3) << "three rows of 2 units down";
  EXPECT_EQ(after[12], before[12]);
  ASSERT_EQ(p.size(), 6u);  // S on row 0, S and N on row 1, solid: two triangles each
  EXPECT_NEAR(p[0].vertices[0].y, -0.5f, NEAR);
  EXPECT_NEAR(p[2].vertices[0].y, -0.5f - 2, NEAR);
  EXPECT_NEAR(p[4].vertices[0].y, -1.0f - 2, NEAR);
  EXPECT_NEAR(p[4].vertices[0].x, -0.6f + 1.6f, NEAR);
}

TEST_F(VectorDrawTest, ConsoleKeepsCurrentFontAndDrawsNothingWithoutItsFont)
{
  std::string path = write_font(folder, "other.glf", {box_symbol('S', -1, 1, -1, 1)});
  ASSERT_EQ(vector_font_load(path.c_str()), 1);
  EXPECT_EQ(console_set_font(7), -1);
  EXPECT_EQ(console_set_font(-1), -1);
  EXPECT_EQ(console_set_font(256), -1);
  console_print("S");
  std::vector<captured_primitive> p = capture(console_draw);
  EXPECT_FALSE(p.empty());
  EXPECT_EQ(vector_font_get_current(), 1);
  vector_font_unload(0);
  glPushMatrix();
  EXPECT_TRUE(capture(console_draw).empty()) << "font 0 is gone";
  glPopMatrix();
}

// ---- Pixels -----------------------------------------------------------------------

TEST_F(VectorDrawTest, SolidStringFillsItsBoxesOnScreen)
{
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glColor3f(1, 1, 1);
  vector_draw_string_solid("SN");
  // S covers x -0.5..0.8, y -0.5..0.5; N x 1.0..2.3, y -1..0.25; 40 px a unit.
  auto lit = [](float x, float y) {
    std::vector<unsigned char> px = read_back_buffer(320 + (int)(x * 40), 240 + (int)(y * 40), 1, 1);
    return px[0] > 128;
  };
  EXPECT_TRUE(lit(0, 0));
  EXPECT_TRUE(lit(1.5f, -0.8f));
  EXPECT_FALSE(lit(0.9f, 0));        // the gap between the two
  EXPECT_FALSE(lit(0, 0.8f));        // above S
  EXPECT_FALSE(lit(2.5f, 0));        // after N
}

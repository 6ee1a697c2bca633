// Vector drawing on a real OpenGL context: what each mode hands to GL (read
// back in feedback mode), the GL state it leaves behind, and pixels.
#include "font_files.h"
#include "font/vector_internal.h"
#include "tests/support/gl_fixture.h"

#include <cmath>
#include <cstring>

namespace {

// The model origin sits at the window centre, one unit is SCALE pixels, and
// z passes through an orthographic depth range of -RANGE..RANGE.
constexpr float ORIGIN_X = 320, ORIGIN_Y = 240, SCALE = 40, RANGE = 100;

struct captured_vertex {
  float x, y, z;  // model coordinates
  float color[4];
  float s, t;
};
struct captured_primitive {
  bool line;  // else a polygon
  std::vector<captured_vertex> vertices;
};

// Runs draw in feedback mode (GL_3D_COLOR_TEXTURE) and maps the window
// coordinates back to model coordinates.
std::vector<captured_primitive> capture(void (*draw)())
{
  std::vector<float> buffer = capture_feedback(draw);
  std::vector<captured_primitive> out;
  for (size_t i = 0; i < buffer.size();) {
    GLenum token = (GLenum)buffer[i++];
    captured_primitive p = {token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN, {}};
    if (!p.line && token != GL_POLYGON_TOKEN) {
      ADD_FAILURE() << "unexpected feedback token " << token;
      break;
    }
    size_t count = p.line ? 2 : (size_t)buffer[i++];
    for (size_t v = 0; v < count && i + 11 <= buffer.size(); v++, i += 11) {
      const float *f = &buffer[i];  // window z is 0.5 - z / (2 * RANGE)
      p.vertices.push_back({(f[0] - ORIGIN_X) / SCALE, (f[1] - ORIGIN_Y) / SCALE, (0.5f - f[2]) * 2 * RANGE,
                            {f[3], f[4], f[5], f[6]}, f[7], f[8]});
    }
    out.push_back(p);
  }
  return out;
}

// Two squares side by side: contours end at vertices 3 and 7.
const glf_symbol_source TWO_SQUARES = {
    'W', {-1, -0.5f, -0.1f, -0.5f, -0.1f, 0.5f, -1, 0.5f, 0.1f, -0.5f, 1, -0.5f, 1, 0.5f, 0.1f, 0.5f},
    {0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7}, {3, 7}};
// A triangle through the texture checkpoints (-1, 1) and (0, 0).
const glf_symbol_source CHECKPOINTS = {'T', {-1, 1, 0, 0, 1, 1}, {0, 1, 2}, {2}};

// Font 0 (current) holds the shapes above and S, N; font 1 a big S.
class VectorDrawTest : public ::testing::Test {
 protected:
  void SetUp() override
  {
    open_gl_test_context();
    glViewport(0, 0, 640, 480);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 640, 0, 480, -RANGE, RANGE);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(ORIGIN_X, ORIGIN_Y, 0);
    glScalef(SCALE, SCALE, 1);
    for (GLenum cap : {GL_CULL_FACE, GL_LIGHTING, GL_TEXTURE_2D, GL_DEPTH_TEST})
      glDisable(cap);
    glColor4f(1, 1, 1, 1);
    glTexCoord2f(0, 0);
    font_init();
    std::string path = write_font(folder, "draw.glf", {TWO_SQUARES, CHECKPOINTS, box_symbol('S', -0.5f, 0.8f, -0.5f, 0.5f),
                                                       box_symbol('N', -0.6f, 0.7f, -1, 0.25f)});
    ASSERT_EQ(vector_font_load(path.c_str()), 0);
    ASSERT_EQ(vector_font_load(write_font(folder, "big.glf", {box_symbol('S', -3, 3, -3, 3)}).c_str()), 1);
    vector_font_set_current(0);
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

TEST_F(VectorDrawTest, WiredDrawsOneLoopPerContourFlatAndAtBothDepths)
{
  std::vector<captured_primitive> p = capture([] { vector_draw_symbol_wired('W'); });
  EXPECT_EQ(p.size(), 8u);
  expect_loops(p, 0, 0);
  vector_set_symbol_depth(0.5f);
  p = capture([] { vector_draw_symbol_3d_wired('W'); });
  ASSERT_EQ(p.size(), 24u);
  expect_loops(p, 0, 1);
  expect_loops(p, 8, 1.5f);
  for (int v = 0; v < 8; v++) {
    expect_square_vertex(p[16 + v].vertices[0], v, 1);
    expect_square_vertex(p[16 + v].vertices[1], v, 1.5f);
  }
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
  vector_set_anchor(VECTOR_ANCHOR_TOP_LEFT);  // moves the geometry, not the texture
  p = capture([] { vector_draw_symbol_solid('T'); });
  ASSERT_EQ(p.size(), 1u);
  float want[3][2] = {{0, 1}, {0.5f, 0.5f}, {1, 1}};
  for (int c = 0; c < 3; c++) {
    EXPECT_NEAR(p[0].vertices[c].s, want[c][0], 1e-6);
    EXPECT_NEAR(p[0].vertices[c].t, want[c][1], 1e-6);
  }
  expect_at(p[0].vertices[0], 0, 0, 0);  // (-1, 1) moved by (+1, -1)
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << "the caller enables texturing, not the library";
  vector_set_anchor(VECTOR_ANCHOR_BOTTOM);
  expect_at(capture([] { vector_draw_symbol_3d_wired('T'); })[0].vertices[0], -1, 2, 1);
  vector_set_anchor(VECTOR_ANCHOR_LAST);
  expect_at(capture([] { vector_draw_symbol_wired('T'); })[0].vertices[0], -1, 1, 0);
}

TEST_F(VectorDrawTest, ContourPassUsesContourColourUnlitAndRestoresColourAndLighting)
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
  vector_set_contour_color(0, 1, 0, 1);
  glEnable(GL_LIGHTING);  // with no light on, anything lit comes out dark
  glColor4f(0.25f, 0.25f, 0.25f, 1);
  int lines = 0;
  for (const captured_primitive &prim : capture([] { vector_draw_symbol_3d_solid('W'); }))
    if (prim.line && ++lines)
      expect_color(prim.vertices[0], 0, 1, 0);
  EXPECT_EQ(lines, 24);
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  glGetFloatv(GL_CURRENT_COLOR, now);
  EXPECT_EQ(now[0], 0.25f);
  glDisable(GL_LIGHTING);
  capture([] { vector_draw_symbol_3d_solid('W'); });
  EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
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
  // Closed walls between the two depths cover the whole perimeter: area perimeter x depth.
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

TEST_F(VectorDrawTest, StringsAdvanceAndLeaveTheModelviewExactly)
{
  std::vector<captured_primitive> p = capture([] { vector_draw_string_wired("SN S"); });
  ASSERT_EQ(p.size(), 12u);
  // Each box's first line starts at (min_x, min_y): N moved by 0.8 + 0.6 + 0.2, S by another 0.2 + 2.0.
  expect_at(p[0].vertices[0], -0.5f, -0.5f, 0);
  expect_at(p[4].vertices[0], -0.6f + 1.6f, -1, 0);
  expect_at(p[8].vertices[0], -0.5f + 1.6f + 2.2f, -0.5f, 0);
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
      given[op](1, text);
      glGetFloatv(GL_MODELVIEW_MATRIX, after);
      EXPECT_EQ(std::memcmp(before, after, sizeof before), 0) << "operation " << op << " on '" << text << "'";
    }
  }
  EXPECT_EQ(vector_font_get_current(), 0);
}

TEST_F(VectorDrawTest, PerFontOperationsUseTheGivenFontOrNothingAndRestoreCurrent)
{
  vector_font_set_current(1);
  std::vector<captured_primitive> p = capture([] { vector_font_draw_symbol_3d_wired(0, 'S'); });
  ASSERT_EQ(p.size(), 12u);
  EXPECT_NEAR(p[0].vertices[0].x, -0.5f, 1e-3) << "font 0's S, not the current font's";
  vector_font_set_current(0);
  p = capture([] { vector_font_draw_string_solid(1, "S"); });
  ASSERT_EQ(p.size(), 2u);
  EXPECT_NEAR(p[0].vertices[0].x, -3, 1e-3);
  EXPECT_EQ(vector_font_get_current(), 0);
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

TEST_F(VectorDrawTest, ConsoleDrawsRowsTwoUnitsApartInItsOwnFont)
{
  vector_font_set_current(1);
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

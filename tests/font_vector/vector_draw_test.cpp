// Vector drawing on a real OpenGL context: what each mode hands to GL (read back in feedback mode) and the GL state it leaves.
#include "font_files.h"
#include "font/vector_internal.h"
#include "tests/support/gl_fixture.h"

#include <cmath>
#include <cstring>

namespace {

// The model origin sits at the window centre, one unit is 40 pixels, and z
// passes through an orthographic depth range of -RANGE..RANGE.
constexpr float RANGE = 100;

struct captured_vertex { float x, y, z, color[4], s, t; };
struct captured_primitive { bool line; std::vector<captured_vertex> vertices; };  // a line, else a polygon

// Runs draw in feedback mode (GL_3D_COLOR_TEXTURE) and maps window coordinates back to the model's.
std::vector<captured_primitive> capture(void (*draw)())
{
  std::vector<float> buffer = capture_feedback(draw);
  std::vector<captured_primitive> out;
  for (size_t i = 0; i < buffer.size();) {
    captured_primitive p = {(GLenum)buffer[i++] != GL_POLYGON_TOKEN, {}};
    for (size_t v = 0, count = p.line ? 2 : (size_t)buffer[i++]; v < count; v++, i += 11) {
      const float *f = &buffer[i];  // window z is 0.5 - z / (2 * RANGE)
      p.vertices.push_back({(f[0] - 320) / 40, (f[1] - 240) / 40, (0.5f - f[2]) * 2 * RANGE,
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

// Font 0 (current) holds the squares, a triangle through the texture checkpoints (-1, 1) and (0, 0), S and N; font 1 a big S.
class VectorDrawTest : public ::testing::Test {
 protected:
  void SetUp() override
  {
    open_gl_test_context();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-8, 8, -6, 6, -RANGE, RANGE);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    for (GLenum cap : {GL_CULL_FACE, GL_LIGHTING, GL_TEXTURE_2D, GL_DEPTH_TEST})
      glDisable(cap);
    font_init();
    ASSERT_EQ(vector_font_load(write_font(folder, "draw.glf", {TWO_SQUARES, {'T', {-1, 1, 0, 0, 1, 1}, {0, 1, 2}, {2}},
                                                               box_symbol('S', -0.5f, 0.8f, -0.5f, 0.5f),
                                                               box_symbol('N', -0.6f, 0.7f, -1, 0.25f)}).c_str()), 0);
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

// The two squares' outlines as two closed loops of four lines at depth z, from primitive first on.
void expect_loops(const std::vector<captured_primitive> &p, size_t first, float z)
{
  for (int i = 0; i < 8; i++) {
    ASSERT_TRUE(p[first + i].line);
    expect_square_vertex(p[first + i].vertices[0], i, z);
    expect_square_vertex(p[first + i].vertices[1], i / 4 * 4 + (i + 1) % 4, z);
  }
}

}  // namespace

TEST_F(VectorDrawTest, WiredModesDrawOneLoopPerContourAndThe3DModesSpanTheDepth)
{
  std::vector<captured_primitive> p = capture([] { vector_draw_symbol_wired('W'); });
  ASSERT_EQ(p.size(), 8u);
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
  p = capture([] { vector_draw_symbol_3d_solid('W'); });
  ASSERT_GT(p.size(), 8u);
  for (int t = 0; t < 4; t++) {
    for (int c = 0; c < 3; c++) {
      expect_square_vertex(p[t].vertices[c], TWO_SQUARES.triangles[3 * t + 2 - c], 1.5f);  // front cap, reversed
      expect_square_vertex(p[4 + t].vertices[c], TWO_SQUARES.triangles[3 * t + c], 1);      // back cap, as stored
    }
  }
  size_t wall_triangles = 0;
  for (size_t i = 8; i < p.size(); i++) {
    wall_triangles += p[i].vertices.size() - 2;
    for (const captured_vertex &corner : p[i].vertices)
      EXPECT_TRUE(std::fabs(corner.z - 1) < 0.05f || std::fabs(corner.z - 1.5f) < 0.05f) << corner.z;
  }
  EXPECT_EQ(wall_triangles, 16u) << "each contour's wall closes: four quads";
}

TEST_F(VectorDrawTest, SolidDrawsStoredTrianglesTexturedOnlyWhenAsked)
{
  std::vector<captured_primitive> p = capture([] { vector_draw_symbol_solid('W'); });
  ASSERT_EQ(p.size(), 4u);
  for (int t = 0; t < 4; t++)
    for (int c = 0; c < 3; c++)
      expect_square_vertex(p[t].vertices[c], TWO_SQUARES.triangles[3 * t + c], 0);
  font_option_enable(FONT_OPTION_TEXTURING);
  vector_set_anchor(VECTOR_ANCHOR_TOP_LEFT);  // moves the geometry, not the texture
  p = capture([] { vector_draw_symbol_solid('T'); });
  ASSERT_EQ(p.size(), 1u);
  std::vector<float> st;
  for (const captured_vertex &v : p[0].vertices)
    st.insert(st.end(), {v.s, v.t});
  EXPECT_EQ(st, std::vector<float>({0, 1, 0.5f, 0.5f, 1, 1}));
  expect_at(p[0].vertices[0], 0, 0, 0);  // (-1, 1) moved by (+1, -1)
}

TEST_F(VectorDrawTest, ContourPassUsesContourColourUnlitAndRestoresColourAndLighting)
{
  auto rgb = [](const float *c) { return std::vector<float>(c, c + 3); };
  const std::vector<float> red = {1, 0, 0}, blue = {0, 0.5f, 1};
  font_option_enable(FONT_OPTION_CONTOURING);
  vector_set_contour_color(1, 0, 0, 1);
  glColor4f(0, 0.5f, 1, 1);
  std::vector<captured_primitive> p = capture([] { vector_draw_symbol_solid('W'); });
  ASSERT_EQ(p.size(), 12u);
  expect_loops(p, 4, 0);
  EXPECT_TRUE(rgb(p[3].vertices[0].color) == blue && rgb(p[11].vertices[0].color) == red);
  glEnable(GL_LIGHTING);  // with no light on, anything lit comes out dark
  int lines = 0;
  for (const captured_primitive &prim : capture([] { vector_draw_symbol_3d_solid('W'); }))
    lines += prim.line && rgb(prim.vertices[0].color) == red;
  EXPECT_EQ(lines, 24) << "the 3D outline in the contour colour, unlit";
  GLfloat now[4];
  glGetFloatv(GL_CURRENT_COLOR, now);
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING) && rgb(now) == blue);
  glDisable(GL_LIGHTING);
  capture([] { vector_draw_symbol_3d_solid('W'); });
  EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
}

TEST_F(VectorDrawTest, StringsAdvanceLeaveTheModelviewExactlyAndPerFontOnesKeepTheCurrentFont)
{
  std::vector<captured_primitive> p = capture([] {
    vector_draw_string_wired("SN S");
    vector_font_draw_string_wired(1, "S");
  });
  ASSERT_EQ(p.size(), 16u);
  // Each box's first line starts at (min_x, min_y): N moved by 0.8 + 0.6 + 0.2, S by another 0.2 + 2.0.
  expect_at(p[0].vertices[0], -0.5f, -0.5f, 0);
  expect_at(p[4].vertices[0], -0.6f + 1.6f, -1, 0);
  expect_at(p[8].vertices[0], -0.5f + 1.6f + 2.2f, -0.5f, 0);
  expect_at(p[12].vertices[0], -3, -3, 0);  // font 1's S
  EXPECT_TRUE(capture([] {
    for (int bad : {-1, 5, 256}) {
      vector_font_draw_symbol_3d_solid(bad, 'S');
      vector_font_draw_string_wired(bad, "S");
    }
  }).empty()) << "bad or empty slots draw nothing";
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
  vector_font_unload_current();
  EXPECT_TRUE(capture([] { vector_draw_string_3d_solid("WTS"); }).empty()) << "no current font";
}

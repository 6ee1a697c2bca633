// Vector drawing on a real GL context: what each mode hands to GL (in feedback mode) and the state it leaves.
#include "tests/font/font_files.h"
#include "font/vector_internal.h"
#include "tests/support/gl_fixture.h"

#include <set>
#include <sstream>

namespace {

// The model origin sits at the window centre, one unit is 40 pixels, z runs through -100..100.

struct captured_vertex { float x, y, z, color[4], s, t; };
struct captured_primitive { bool line; std::vector<captured_vertex> vertices; };  // a line, else a polygon

std::vector<captured_primitive> capture(void (*draw)())
{
  std::vector<float> buffer = capture_feedback(draw);
  std::vector<captured_primitive> out;
  for (size_t i = 0; i < buffer.size();) {
    captured_primitive p = {(GLenum)buffer[i++] != GL_POLYGON_TOKEN, {}};
    for (size_t v = 0, count = p.line ? 2 : (size_t)buffer[i++]; v < count; v++, i += 11) {
      const float *f = &buffer[i];  // window z is 0.5 - z / 200
      p.vertices.push_back({(f[0] - 320) / 40, (f[1] - 240) / 40, (0.5f - f[2]) * 200,
                            {f[3], f[4], f[5], f[6]}, f[7], f[8]});
    }
    out.push_back(p);
  }
  return out;
}

// Two squares side by side, corners a to d and e to h: contours end at vertices 3 and 7.
const std::vector<float> SQUARE_CORNERS = {-1, -0.5f, -0.1f, -0.5f, -0.1f, 0.5f, -1, 0.5f,
                                           0.1f, -0.5f, 1, -0.5f, 1, 0.5f, 0.1f, 0.5f};
const glf_symbol_source TWO_SQUARES = {'W', SQUARE_CORNERS, {0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7}, {3, 7}};
const std::string LOOPS = "ab bc cd da ef fg gh he ", TRIANGLES = "abc acd efg egh ";

// The primitives as the corners they pass (upper case at z 1.5, ? off the corners), then each depth used.
std::string describe(const std::vector<captured_primitive> &primitives)
{
  std::ostringstream s;
  std::set<float> depths;
  for (const captured_primitive &p : primitives) {
    for (const captured_vertex &v : p.vertices) {
      char corner = '?';
      for (int c = 0; c < 8; c++)
        if (std::fabs(v.x - SQUARE_CORNERS[2 * c]) + std::fabs(v.y - SQUARE_CORNERS[2 * c + 1]) < 1e-3f)
          corner = (v.z > 1.25f ? 'A' : 'a') + c;
      s << corner;
      depths.insert(std::round(v.z * 20) / 20 + 0.0f);  // to the depth buffer's resolution
    }
    s << ' ';
  }
  for (float z : depths)
    s << '@' << z;
  return s.str();
}

// Font 0 (current): the squares, a triangle for the texture, S and N; font 1: a big S.
class VectorDrawTest : public ::testing::Test {
 protected:
  void SetUp() override
  {
    open_gl_test_context();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-8, 8, -6, 6, -100, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    font_init();
    ASSERT_EQ(vector_font_load(folder.font("0.glf", {TWO_SQUARES, box_symbol('S', -0.5f, 0.8f, -0.5f, 0.5f),
        box_symbol('N', -0.6f, 0.7f, -1, 0.25f), {'T', {-1, 1, 0, 0, 1, 1}, {0, 1, 2}, {2}}}).c_str()), 0);
    ASSERT_EQ(vector_font_load(folder.font("1.glf", {box_symbol('S', -3, 3, -3, 3)}).c_str()), 1);
    vector_font_set_current(0);
  }
  void TearDown() override
  {
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
    font_shutdown();
  }
  font_folder folder;
};

}  // namespace

TEST_F(VectorDrawTest, EachModeDrawsItsShapeAndTheContourPassIsUnlitInItsColour)
{
  EXPECT_EQ(describe(capture([] { vector_draw_symbol_wired('W'); })), LOOPS + "@0");
  vector_set_symbol_depth(0.5f);
  EXPECT_EQ(describe(capture([] { vector_draw_symbol_3d_wired('W'); })),
            LOOPS + "AB BC CD DA EF FG GH HE aA bB cC dD eE fF gG hH @1@1.5");
  EXPECT_EQ(describe(capture([] { vector_draw_symbol_3d_solid('W'); })), "CBA DCA GFE HGE " + TRIANGLES +
            "baB aAB cbC bBC dcD cCD adA dDA feF eEF gfG fFG hgH gGH ehE hHE @1@1.5");  // caps, then walls
  EXPECT_EQ(describe(capture([] { vector_draw_symbol_solid('W'); })), TRIANGLES + "@0");
  // The contour pass: unlit, in its own colour, the colour and lighting restored after it.
  auto rgb = [](const float *c) { return std::vector<float>(c, c + 3); };
  const std::vector<float> red = {1, 0, 0}, blue = {0, 0.5f, 1};
  font_option_enable(FONT_OPTION_CONTOURING);
  vector_set_contour_color(1, 0, 0, 1);
  glColor4f(0, 0.5f, 1, 1);
  std::vector<captured_primitive> p = capture([] { vector_draw_symbol_solid('W'); });
  ASSERT_EQ(describe(p), TRIANGLES + LOOPS + "@0");
  EXPECT_EQ(rgb(p[3].vertices[0].color), blue) << "the fill";
  EXPECT_EQ(rgb(p[11].vertices[0].color), red) << "the contour";
  for (bool lit : {true, false}) {  // with no light on, anything lit comes out dark
    (lit ? glEnable : glDisable)(GL_LIGHTING);
    int red_lines = 0;
    for (const captured_primitive &prim : capture([] { vector_draw_symbol_3d_solid('W'); }))
      red_lines += prim.line && rgb(prim.vertices[0].color) == red;
    GLfloat now[4];
    glGetFloatv(GL_CURRENT_COLOR, now);
    EXPECT_EQ(red_lines, 24) << "lighting " << lit;
    EXPECT_EQ(glIsEnabled(GL_LIGHTING), lit) << "lighting not restored";
    EXPECT_EQ(rgb(now), blue) << "colour not restored, lighting " << lit;
  }
  font_option_disable(FONT_OPTION_CONTOURING);
  font_option_enable(FONT_OPTION_TEXTURING);
  vector_set_anchor(VECTOR_ANCHOR_TOP_LEFT);  // moves (-1, 1) to (0, 0)
  p = capture([] { vector_draw_symbol_solid('T'); });
  ASSERT_EQ(p.size(), 1u);
  const captured_vertex *v = p[0].vertices.data();
  EXPECT_EQ(rounded({v[0].s, v[0].t, v[1].s, v[1].t, v[2].s, v[2].t, v[0].x, v[0].y}),
            std::vector<float>({0, 1, 0.5f, 0.5f, 1, 1, 0, 0}));
}

TEST_F(VectorDrawTest, StringsAdvanceTheModelview)
{
  auto p = capture([] { vector_draw_string_wired("SN S"); vector_font_draw_string_wired(1, "S"); });
  std::vector<float> starts;  // each box's first corner: N moved by 0.8 + 0.6 + 0.2, S by another 0.2 + 2.0
  for (size_t i = 0; i < p.size(); i += 4)
    starts.insert(starts.end(), {p[i].vertices[0].x, p[i].vertices[0].y});
  EXPECT_EQ(rounded(starts), std::vector<float>({-0.5f, -0.5f, 1, -1, 3.3f, -0.5f, -3, -3}));
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
      EXPECT_EQ(std::vector<float>(before, before + 16), std::vector<float>(after, after + 16)) << op << text;
    }
  }
  EXPECT_EQ(vector_font_get_current(), 0);
  vector_font_unload_current();
  EXPECT_TRUE(capture([] { vector_draw_string_3d_solid("WTS"); }).empty()) << "no current font";
}

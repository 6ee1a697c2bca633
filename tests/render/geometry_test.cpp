// The fixed geometry as OpenGL receives it (GL's feedback mode): the block
// box, the flat tile, the drop and the spheres.
#include "tests/render/render_scene.h"
#include "render/render.h"

#include <cmath>

namespace {

constexpr float VIEW_EXTENT = 4.0f;  // the capture's ortho box is -4..4 each way

// One vertex as the capture sees it, back in object coordinates.
struct captured_vertex {
  float x, y, z;
  float colour[4];
  float texture[4];
};

// The polygons of a capture, from window back to object coordinates under
// the capture's ortho box.
std::vector<std::vector<captured_vertex>> to_object(const std::vector<std::vector<feedback_vertex>> &polygons)
{
  std::vector<std::vector<captured_vertex>> result;
  for (const std::vector<feedback_vertex> &polygon : polygons) {
    std::vector<captured_vertex> converted;
    for (const feedback_vertex &f : polygon) {
      captured_vertex vertex;
      vertex.x = (f.window[0] / (FRAME_WIDTH / 2.0f) - 1.0f) * VIEW_EXTENT;
      vertex.y = (f.window[1] / (FRAME_HEIGHT / 2.0f) - 1.0f) * VIEW_EXTENT;
      vertex.z = -(2.0f * f.window[2] - 1.0f) * VIEW_EXTENT;
      std::copy(f.colour, f.colour + 4, vertex.colour);
      std::copy(f.texture, f.texture + 4, vertex.texture);
      converted.push_back(vertex);
    }
    result.push_back(converted);
  }
  return result;
}

// Captures what draw sends, unlit and without face culling, in an ortho box
// that holds it whole; with normals_as_texture, each vertex's texture
// coordinate is its normal instead.
std::vector<std::vector<captured_vertex>> capture(void (*draw)(), bool normals_as_texture)
{
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(-VIEW_EXTENT, VIEW_EXTENT, -VIEW_EXTENT, VIEW_EXTENT, -VIEW_EXTENT, VIEW_EXTENT);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT);
  glDisable(GL_CULL_FACE);
  glDisable(GL_LIGHTING);
  if (normals_as_texture) {
    for (GLenum coordinate : {GL_S, GL_T, GL_R})
      glTexGeni(coordinate, GL_TEXTURE_GEN_MODE, GL_NORMAL_MAP);
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    glEnable(GL_TEXTURE_GEN_R);
  }
  std::vector<float> buffer = capture_feedback(draw);
  glPopAttrib();
  // The scene's own generation mode for lava.
  glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
  glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  return to_object(feedback_polygons(buffer));
}

bool same_place(const captured_vertex &a, const captured_vertex &b)
{
  return std::fabs(a.x - b.x) < 1e-3f && std::fabs(a.y - b.y) < 1e-3f && std::fabs(a.z - b.z) < 1e-3f;
}

// The quads as they were sent: GL may hand a quad (v0, v1, v2, v3) back as
// the triangles (v0, v1, v3) and (v1, v2, v3).
std::vector<std::vector<captured_vertex>> as_quads(const std::vector<std::vector<captured_vertex>> &polygons)
{
  std::vector<std::vector<captured_vertex>> quads;
  for (size_t k = 0; k < polygons.size(); k++) {
    if (polygons[k].size() == 4) {
      quads.push_back(polygons[k]);
      continue;
    }
    EXPECT_EQ(polygons[k].size(), 3u);
    if (k + 1 >= polygons.size() || polygons[k].size() != 3 || polygons[k + 1].size() != 3) {
      ADD_FAILURE() << "polygon " << k << " is not half of a quad";
      break;
    }
    const std::vector<captured_vertex> &a = polygons[k], &b = polygons[k + 1];
    EXPECT_TRUE(same_place(a[1], b[0]) && same_place(a[2], b[2])) << "triangles " << k << " and " << k + 1;
    quads.push_back({a[0], a[1], b[1], a[2]});
    k++;
  }
  return quads;
}

// One corner of the box as the game defines it: (s, t) -> (x, y, z), with z
// a multiple of the height.
struct expected_corner {
  float s, t, x, y, top;
};
struct expected_face {
  float normal[3];
  expected_corner corners[4];
};
const expected_face box_table[6] = {
  {{0, 0, 1}, {{0, 0, -1, -1, 1}, {1, 0, 1, -1, 1}, {1, 1, 1, 1, 1}, {0, 1, -1, 1, 1}}},
  {{0, 0, -1}, {{1, 0, -1, -1, 0}, {1, 1, -1, 1, 0}, {0, 1, 1, 1, 0}, {0, 0, 1, -1, 0}}},
  {{0, 1, 0}, {{0, 1, -1, 1, 0}, {0, 0, -1, 1, 1}, {1, 0, 1, 1, 1}, {1, 1, 1, 1, 0}}},
  {{0, -1, 0}, {{1, 1, -1, -1, 0}, {0, 1, 1, -1, 0}, {0, 0, 1, -1, 1}, {1, 0, -1, -1, 1}}},
  {{1, 0, 0}, {{1, 0, 1, -1, 0}, {1, 1, 1, 1, 0}, {0, 1, 1, 1, 1}, {0, 0, 1, -1, 1}}},
  {{-1, 0, 0}, {{0, 0, -1, -1, 0}, {1, 0, -1, -1, 1}, {1, 1, -1, 1, 1}, {0, 1, -1, 1, 0}}},
};

constexpr float BOX_HEIGHT = 0.5f;
void draw_box() { draw_block_box(BOX_HEIGHT); }
void call_tile() { glCallList(tile_lists); }
void call_drop() { glCallList(drop_list); }
void call_hero() { glCallList(hero_list); }
void call_enemy() { glCallList(enemy_list); }

// (b - a) x (c - a), dotted with n: positive when a, b, c turn counter-
// clockwise seen from the side n points to.
float turn_about(const captured_vertex &a, const captured_vertex &b, const captured_vertex &c, const float *n)
{
  float u[3] = {b.x - a.x, b.y - a.y, b.z - a.z}, v[3] = {c.x - a.x, c.y - a.y, c.z - a.z};
  float cross[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
  return cross[0] * n[0] + cross[1] * n[1] + cross[2] * n[2];
}

class Geometry : public ::testing::Test {
protected:
  void SetUp() override { open_render_scene(); }
};

TEST_F(Geometry, BlockBoxSends24CornersWithTheirNormalsAndTextureCoordinates)
{
  std::vector<std::vector<captured_vertex>> textured = as_quads(capture(draw_box, false));
  std::vector<std::vector<captured_vertex>> normals = as_quads(capture(draw_box, true));
  ASSERT_EQ(textured.size(), 6u);
  ASSERT_EQ(normals.size(), 6u);
  int corners = 0;
  for (int f = 0; f < 6; f++)
    for (int c = 0; c < 4; c++, corners++) {
      const expected_corner &want = box_table[f].corners[c];
      const captured_vertex &got = textured[f][c];
      SCOPED_TRACE("face " + std::to_string(f) + " corner " + std::to_string(c));
      EXPECT_NEAR(got.x, want.x, 1e-3f);
      EXPECT_NEAR(got.y, want.y, 1e-3f);
      EXPECT_NEAR(got.z, want.top * BOX_HEIGHT, 1e-3f);
      EXPECT_FLOAT_EQ(got.texture[0], want.s);
      EXPECT_FLOAT_EQ(got.texture[1], want.t);
      for (int k = 0; k < 3; k++)
        EXPECT_NEAR(normals[f][c].texture[k], box_table[f].normal[k], 1e-5f);
    }
  EXPECT_EQ(corners, 24);
}

TEST_F(Geometry, FlatTileIsATwoUnitSquareOnTheFloorWithTRunningDown)
{
  std::vector<std::vector<captured_vertex>> tile = as_quads(capture(call_tile, false));
  std::vector<std::vector<captured_vertex>> normals = as_quads(capture(call_tile, true));
  ASSERT_EQ(tile.size(), 1u);
  const expected_corner corners[4] = {{0, 1, -1, -1, 0}, {1, 1, 1, -1, 0}, {1, 0, 1, 1, 0}, {0, 0, -1, 1, 0}};
  for (int c = 0; c < 4; c++) {
    EXPECT_NEAR(tile[0][c].x, corners[c].x, 1e-3f) << c;
    EXPECT_NEAR(tile[0][c].y, corners[c].y, 1e-3f) << c;
    EXPECT_NEAR(tile[0][c].z, 0.0f, 1e-3f) << c;
    EXPECT_FLOAT_EQ(tile[0][c].texture[0], corners[c].s) << c;
    EXPECT_FLOAT_EQ(tile[0][c].texture[1], corners[c].t) << c;
    EXPECT_NEAR(normals[0][c].texture[2], 1.0f, 1e-5f) << "the tile faces up";
  }
}

TEST_F(Geometry, DropIsABlueTriangleHalfAUnitUpPointingAlongX)
{
  std::vector<std::vector<captured_vertex>> drop = capture(call_drop, false);
  ASSERT_EQ(drop.size(), 1u);
  ASSERT_EQ(drop[0].size(), 3u);
  const float corners[3][2] = {{0.3f, 0}, {-0.3f, 0.3f}, {-0.3f, -0.3f}};
  const float colour[4] = {0.3f, 0.3f, 0.8f, 1.0f};
  for (int c = 0; c < 3; c++) {
    EXPECT_NEAR(drop[0][c].x, corners[c][0], 1e-3f);
    EXPECT_NEAR(drop[0][c].y, corners[c][1], 1e-3f);
    EXPECT_NEAR(drop[0][c].z, 0.5f, 1e-3f);
    for (int k = 0; k < 4; k++)
      EXPECT_NEAR(drop[0][c].colour[k], colour[k], 1e-3f);
  }
  const float up[3] = {0, 0, 1};
  EXPECT_GT(turn_about(drop[0][0], drop[0][1], drop[0][2], up), 0.0f) << "faces up";
}

TEST_F(Geometry, SpheresHaveRadius08AndBindTheirSkins)
{
  struct sphere_case {
    void (*call)();
    int kind;
  };
  for (sphere_case sphere : {sphere_case{call_hero, KIND_HERO_SKIN}, sphere_case{call_enemy, KIND_ENEMY_SKIN}}) {
    std::vector<std::vector<captured_vertex>> polygons = capture(sphere.call, false);
    // 10 slices and 10 stacks: two caps of 10 triangles, 8 bands of 10 quads.
    EXPECT_GE(polygons.size(), 100u);
    for (const std::vector<captured_vertex> &polygon : polygons)
      for (const captured_vertex &v : polygon) {
        EXPECT_NEAR(std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z), 0.8f, 1e-3f);
        EXPECT_FLOAT_EQ(v.colour[0], 1.0f);
        EXPECT_FLOAT_EQ(v.colour[2], 1.0f);
      }
    sphere.call();
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ((GLuint)bound, textures[sphere.kind]);
    EXPECT_NE(bound, 0);
  }
}

}  // namespace

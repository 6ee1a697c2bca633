// How single cells come out in a frame: sphere-mapped lava for that cell
// alone, and untextured cells for missing images and unknown kinds.
#include "tests/render/render_scene.h"
#include "render/render.h"

#include <algorithm>
#include <cstdlib>

namespace {

// The cell in front of the hero that these tests change.
constexpr int CELL_X = 9, CELL_Y = 8;

// A plain stone level with the hero dead (no sphere in the way), no enemies
// and no drops.
void build_plain_level()
{
  build_test_level();
  for (int x = 0; x < GRID_SIZE; x++)
    for (int y = 0; y < GRID_SIZE; y++) {
      level_map[x][y] = {KIND_STONE_FLOOR, 1, 0.0f};
      drop_grid[x][y] = 0;
    }
  enemy_count = 0;
  hero_dead = 1;
}

// How far the green channel ranges around a world point: far over the test
// textures' checker, little under lighting alone.
int green_range_around(float x, float y, float z)
{
  float wx, wy;
  EXPECT_TRUE(project_world(x, y, z, &wx, &wy));
  std::vector<unsigned char> frame = read_frame();
  int lowest = 255, highest = 0;
  for (int py = (int)wy - 10; py <= (int)wy + 10; py++)
    for (int px = (int)wx - 20; px <= (int)wx + 20; px++) {
      int green = pixel_at(frame, px, py).g;
      lowest = std::min(lowest, green);
      highest = std::max(highest, green);
    }
  return highest - lowest;
}

int step_with_cell(int kind, float height)
{
  level_map[CELL_X][CELL_Y] = {kind, 1, height};
  render_frame();
  return green_range_around(2.0f * CELL_X, 2.0f * CELL_Y, height < 0.1f ? 0.0f : height);
}

// Whether a point lies inside a feedback triangle, in window coordinates.
bool inside(const std::vector<feedback_vertex> &t, float x, float y)
{
  if (t.size() != 3)
    return false;
  float sign[3];
  for (int k = 0; k < 3; k++) {
    const float *a = t[k].window, *b = t[(k + 1) % 3].window;
    sign[k] = (b[0] - a[0]) * (y - a[1]) - (b[1] - a[1]) * (x - a[0]);
  }
  return (sign[0] >= 0 && sign[1] >= 0 && sign[2] >= 0) || (sign[0] <= 0 && sign[1] <= 0 && sign[2] <= 0);
}

// Whether the triangles drawn over a world point on the floor carry only the
// tile's own corner coordinates (0 or 1); none drawn counts as a failure.
bool floor_has_corner_coordinates(const std::vector<std::vector<feedback_vertex>> &polygons,
                                  float x, float y)
{
  float wx, wy;
  EXPECT_TRUE(project_world(x, y, 0, &wx, &wy));
  int found = 0;
  for (const std::vector<feedback_vertex> &triangle : polygons) {
    if (!inside(triangle, wx, wy))
      continue;
    found++;
    for (const feedback_vertex &v : triangle)
      for (int k = 0; k < 2; k++)
        if (v.texture[k] != 0.0f && v.texture[k] != 1.0f)
          return false;
  }
  EXPECT_GT(found, 0) << "nothing drawn at (" << x << ", " << y << ")";
  return found > 0;
}

class Cells : public ::testing::Test {
protected:
  void SetUp() override
  {
    open_render_scene();
    build_plain_level();
  }
};

TEST_F(Cells, MissingImagesAndUnknownKindsDrawUntextured)
{
  EXPECT_GT(step_with_cell(KIND_STONE_FLOOR, 0.0f), 25) << "the textured tile shows its checker";
  EXPECT_GT(step_with_cell(KIND_METAL, 1.0f), 25) << "the textured block shows its checker";
  for (float height : {0.0f, 1.0f}) {
    // Metal (nowhere else on this level) whose image is missing: texture
    // name 0, lighting alone.
    GLuint metal = textures[KIND_METAL];
    textures[KIND_METAL] = 0;
    EXPECT_LT(step_with_cell(KIND_METAL, height), 16) << "height " << height;
    std::vector<unsigned char> missing = read_frame();
    textures[KIND_METAL] = metal;
    // Kinds without a texture look exactly like that.
    for (int kind : {6, 9, -1, 1000000}) {
      step_with_cell(kind, height);
      EXPECT_TRUE(read_frame() == missing) << "kind " << kind << ", height " << height;
    }
  }
}

TEST_F(Cells, LavaAloneIsSphereMapped)
{
  level_map[CELL_X][CELL_Y].kind = KIND_LAVA;
  std::vector<std::vector<feedback_vertex>> polygons = feedback_polygons(capture_feedback(render_frame, 1 << 20));
  EXPECT_FALSE(floor_has_corner_coordinates(polygons, 2.0f * CELL_X, 2.0f * CELL_Y))
      << "lava takes coordinates from the view";
  // The cell drawn next, and the one before, use their own coordinates.
  EXPECT_TRUE(floor_has_corner_coordinates(polygons, 2.0f * CELL_X, 2.0f * (CELL_Y + 1)));
  EXPECT_TRUE(floor_has_corner_coordinates(polygons, 2.0f * CELL_X, 2.0f * (CELL_Y - 1)));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_T));
}

TEST_F(Cells, FrameLeavesTheStateTheNextFrameExpects)
{
  level_map[CELL_X][CELL_Y].kind = KIND_LAVA;
  render_frame();
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_T));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
}

}  // namespace

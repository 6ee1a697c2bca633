// Frames of the test level, untextured cells, the status line, the block box.
#include "tests/render/render_scene.h"
#include "render/render.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>

namespace {

// Whether a pixel shows a test texture's hue (lighting only scales it).
bool shows_hue(rgb p, rgb hue)
{
  float length = std::sqrt((float)(p.r * p.r + p.g * p.g + p.b * p.b));
  float hue_length = std::sqrt((float)(hue.r * hue.r + hue.g * hue.g + hue.b * hue.b));
  return length >= 20.0f && (p.r * hue.r + p.g * hue.g + p.b * hue.b) / (length * hue_length) > 0.97f;
}

std::vector<unsigned char> draw_frame()
{
  render_frame();
  return read_frame();
}

class Frame : public ::testing::Test {
protected:
  void SetUp() override
  {
    open_render_scene();
    build_test_level();
  }
};
class Cells : public Frame {};
class StatusLine : public Frame {};
class Geometry : public Frame {};

TEST_F(Frame, EveryCameraPresetShowsHeroBlockLavaAndEnemiesWhereTheyStand)
{
  const char letters[] = "HBLEE";  // hero, block top, lava, enemies: x, y, z, kind
  const float things[5][4] = {{hero_x, hero_y, 1.0f, KIND_HERO_SKIN},
                              {2.0f * RAISED_X + 0.5f, 2.0f * RAISED_Y - 0.5f, RAISED_HEIGHT, KIND_GRASS},
                              {2.0f * LAVA_X, 2.0f * LAVA_Y, 0, KIND_LAVA},
                              {enemies[0].x, enemies[0].y, 1.0f, KIND_ENEMY_SKIN},
                              {enemies[1].x, enemies[1].y, 1.0f, KIND_ENEMY_SKIN}};
  std::string in_view;
  for (int preset = 0; preset < CAMERA_PRESET_COUNT; preset++) {
    current_camera = &camera_presets[preset];
    std::vector<unsigned char> frame = draw_frame();
    save_frame_png(frame, "camera-" + std::to_string(preset + 1));
    // Lit from the hero's place in this frame, not the one before the switch.
    EXPECT_TRUE(frame == draw_frame()) << "preset " << preset;
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S)) << "sphere mapping ends with the lava cell";
    in_view += ' ';
    for (int k = 0; k < 5; k++) {
      const float *t = things[k];
      float x, y;
      if (!project_world(t[0], t[1], t[2], &x, &y) || x < 2 || y < 2 || x >= FRAME_WIDTH - 2 ||
          y >= FRAME_HEIGHT - 2)
        continue;
      in_view += letters[k];
      rgb pixel = pixel_at(frame, (int)x, (int)y);
      EXPECT_TRUE(shows_hue(pixel, kind_colour[(int)t[3]]))
          << "preset " << preset << ": " << letters[k] << " at (" << x << ", " << y << ") " << pixel;
    }
  }
  EXPECT_EQ(in_view, " HBLEE HBL HBE HBLEE");
}

TEST_F(Frame, DrawsDropsHalfAUnitAboveTheirCells)
{
  current_camera = &camera_presets[0];
  std::vector<unsigned char> with_drops = draw_frame();
  drop_grid[RAISED_X][RAISED_Y] = drop_grid[FLOOR_DROP_X][FLOOR_DROP_Y] = 0;
  std::vector<unsigned char> without = draw_frame();
  const float drops[2][3] = {{2.0f * FLOOR_DROP_X, 2.0f * FLOOR_DROP_Y, 0.5f},
                             {2.0f * RAISED_X, 2.0f * RAISED_Y, RAISED_HEIGHT + 0.5f}};
  for (const float *drop : drops) {
    float x, y;
    ASSERT_TRUE(project_world(drop[0], drop[1], drop[2], &x, &y));
    rgb a = pixel_at(with_drops, (int)x, (int)y), b = pixel_at(without, (int)x, (int)y);
    EXPECT_TRUE(a.r != b.r || a.g != b.g || a.b != b.b) << "no drop at (" << x << ", " << y << ")";
  }
}

TEST_F(Frame, CellsBelowHeight01AreFlatTiles)
{
  std::vector<unsigned char> floor = draw_frame();
  for (float height : {0.05f, -3.0f, 0.1f}) {
    level_map[9][8].height = height;
    EXPECT_EQ(draw_frame() == floor, height < 0.1f) << "height " << height;
  }
}

TEST_F(Frame, LevelCompleteRaisesAndSpinsTheHeroThenEnds)
{
  float x0, y0;
  ASSERT_TRUE(project_world(hero_x, hero_y, 1.0f, &x0, &y0));
  std::vector<unsigned char> risen;
  int frames = 0;
  do {  // as the level loop runs it: a world update (phase + 1), then a frame
    level_phase++;
    frames++;
    render_frame();
    if (level_phase == 45)
      risen = read_frame();
  } while (level_phase > 0 && frames < 200);
  EXPECT_EQ(level_phase, -1);
  EXPECT_EQ(frames, 91);
  EXPECT_NEAR(end_zoom, 8.9f, 1e-3f);   // 89 rises of 0.1
  EXPECT_NEAR(end_spin, 85.0f, 1e-3f);  // 89 turns of 5 degrees, less a full turn
  ASSERT_FALSE(risen.empty());
  save_frame_png(risen, "level-complete-phase-45");
  // Risen 4.4 by then: floor shows at the hero's place, the hero higher up.
  EXPECT_FALSE(shows_hue(pixel_at(risen, (int)x0, (int)y0), kind_colour[KIND_HERO_SKIN]));
  bool above = false;
  for (int y = (int)y0 + 20; y < FRAME_HEIGHT && !above; y++)
    above = shows_hue(pixel_at(risen, (int)x0, y), kind_colour[KIND_HERO_SKIN]);
  EXPECT_TRUE(above) << "no hero above (" << x0 << ", " << y0 << ")";
}

TEST_F(Frame, DeadHeroIsMissingButItsLightStillShinesFromItsPlace)
{
  float x, y;
  ASSERT_TRUE(project_world(hero_x, hero_y, 1.0f, &x, &y));
  std::vector<unsigned char> alive = draw_frame();
  hero_x = hero_y = 30.0f;  // a frame from elsewhere first: a light left there would show
  draw_frame();
  hero_x = hero_y = 16.0f;
  hero_dead = 1;
  std::vector<unsigned char> dead = draw_frame();
  save_frame_png(dead, "dead-hero");
  EXPECT_FALSE(shows_hue(pixel_at(dead, (int)x, (int)y), kind_colour[KIND_HERO_SKIN]));
  int differing = 0;  // outside the sphere's square (it is about 90 pixels across)
  for (int py = 0; py < FRAME_HEIGHT; py++)
    for (int px = 0; px < FRAME_WIDTH; px++) {
      rgb a = pixel_at(alive, px, py), d = pixel_at(dead, px, py);
      differing += (std::abs(px - (int)x) > 70 || std::abs(py - (int)y) > 70) &&
                   (a.r != d.r || a.g != d.g || a.b != d.b);
    }
  EXPECT_EQ(differing, 0);
}

TEST_F(StatusLine, ReadsLivesAndDropsAtTheBottomLeft)
{
  hero_x = hero_y = -1000.0f;  // the world out of view: the text is read over black
  drops_left = 12;
  std::vector<unsigned char> frame = draw_frame();
  save_frame_png(frame, "status-line");
  EXPECT_EQ(read_status_text(frame).substr(0, 20), "Lives: 3 | Drops: 12");
}

TEST_F(Cells, MissingImageAndUnknownKindsDrawUntextured)
{
  for (int x = 0; x < GRID_SIZE; x++)  // plain stone; no hero sphere, enemies or drops
    for (int y = 0; y < GRID_SIZE; y++)
      level_map[x][y] = {KIND_STONE_FLOOR, 1, 0.0f}, drop_grid[x][y] = 0;
  enemy_count = 0;
  hero_dead = 1;
  // How far green ranges around cell (9, 8): wide over a checker, narrow under lighting alone.
  auto green_range = [](float z) {
    float wx, wy;
    EXPECT_TRUE(project_world(18.0f, 16.0f, z, &wx, &wy));
    std::vector<unsigned char> frame = read_frame();
    int lowest = 255, highest = 0;
    for (int py = (int)wy - 10; py <= (int)wy + 10; py++)
      for (int px = (int)wx - 20; px <= (int)wx + 20; px++) {
        lowest = std::min(lowest, pixel_at(frame, px, py).g);
        highest = std::max(highest, pixel_at(frame, px, py).g);
      }
    return highest - lowest;
  };
  GLuint metal = textures[KIND_METAL], missing = load_texture("graphics/absent.bmp", texture_pixel_format());
  EXPECT_EQ(missing, 0u);
  for (float height : {0.0f, 1.0f}) {
    level_map[9][8] = {KIND_METAL, 1, height};
    render_frame();
    EXPECT_GT(green_range(height), 25) << "textured, height " << height;
    textures[KIND_METAL] = missing;
    std::vector<unsigned char> untextured = draw_frame();
    EXPECT_LT(green_range(height), 16) << "image missing, height " << height;
    textures[KIND_METAL] = metal;
    for (int kind : {6, 9, -1, 1000000}) {
      level_map[9][8].kind = kind;
      EXPECT_TRUE(draw_frame() == untextured) << "kind " << kind << ", height " << height;
    }
  }
}

// A corner as "x y z s t nx ny nz", all in hundredths.
std::string corner_key(float x, float y, float z, float s, float t, const float *normal)
{
  std::string key;
  for (float v : {x, y, z, s, t, normal[0], normal[1], normal[2]})
    key += std::to_string(std::lround(v * 100)) + " ";
  return key;
}

TEST_F(Geometry, BlockBoxSends24CornersWithTheTablesNormalsAndTextureCoordinates)
{
  struct face {
    float normal[3];
    float corners[4][5];  // s, t, x, y, and z as a fraction of the height
  };
  const face table[6] = {
    {{0, 0, 1}, {{0, 0, -1, -1, 1}, {1, 0, 1, -1, 1}, {1, 1, 1, 1, 1}, {0, 1, -1, 1, 1}}},
    {{0, 0, -1}, {{1, 0, -1, -1, 0}, {1, 1, -1, 1, 0}, {0, 1, 1, 1, 0}, {0, 0, 1, -1, 0}}},
    {{0, 1, 0}, {{0, 1, -1, 1, 0}, {0, 0, -1, 1, 1}, {1, 0, 1, 1, 1}, {1, 1, 1, 1, 0}}},
    {{0, -1, 0}, {{1, 1, -1, -1, 0}, {0, 1, 1, -1, 0}, {0, 0, 1, -1, 1}, {1, 0, -1, -1, 1}}},
    {{1, 0, 0}, {{1, 0, 1, -1, 0}, {1, 1, 1, 1, 0}, {0, 1, 1, 1, 1}, {0, 0, 1, -1, 1}}},
    {{-1, 0, 0}, {{0, 0, -1, -1, 0}, {1, 0, -1, -1, 1}, {1, 1, -1, 1, 1}, {0, 1, -1, 1, 0}}},
  };
  std::set<std::string> expected, sent;
  for (const face &f : table)
    for (const float *c : f.corners)
      expected.insert(corner_key(c[2], c[3], c[4] * 0.5f, c[0], c[1], f.normal));
  // Captured unculled in an ortho box -4..4; in the second capture, normal-map
  // generation makes each texture coordinate the corner's normal.
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-4, 4, -4, 4, -4, 4);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glPushAttrib(GL_ENABLE_BIT);
  glDisable(GL_CULL_FACE);
  std::vector<float> textured = capture_feedback([] { draw_block_box(0.5f); });
  for (GLenum coordinate : {GL_S, GL_T, GL_R})
    glTexGeni(coordinate, GL_TEXTURE_GEN_MODE, GL_NORMAL_MAP);
  for (GLenum generation : {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R})
    glEnable(generation);
  std::vector<float> normals = capture_feedback([] { draw_block_box(0.5f); });
  glPopAttrib();
  setup_scene();  // the game's projection and generation modes again
  ASSERT_EQ(textured.size(), normals.size());
  for (size_t k = 0; k < textured.size();) {  // polygons: token, count, 11 floats a vertex
    ASSERT_EQ(textured[k], (float)GL_POLYGON_TOKEN);
    int count = (int)textured[k + 1];
    for (k += 2; count-- > 0; k += 11)
      sent.insert(corner_key((textured[k] / 320 - 1) * 4, (textured[k + 1] / 240 - 1) * 4,
                             (1 - 2 * textured[k + 2]) * 4, textured[k + 7], textured[k + 8], &normals[k + 7]));
  }
  EXPECT_EQ(sent, expected);
}

}  // namespace

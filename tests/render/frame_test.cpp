// Frames of the test level, untextured cells, the status line, and which way faces look.
#include "tests/render/render_scene.h"
#include "font/font.h"

#include <GL/glu.h>
#include <algorithm>
#include <cmath>

namespace {

// Whether a pixel shows a test texture's hue (lighting only scales it).
bool shows_hue(rgb p, rgb hue)
{
  float length = std::sqrt((float)(p.r * p.r + p.g * p.g + p.b * p.b));
  float hue_length = std::sqrt((float)(hue.r * hue.r + hue.g * hue.g + hue.b * hue.b));
  return length >= 20.0f && (p.r * hue.r + p.g * hue.g + p.b * hue.b) / (length * hue_length) > 0.97f;
}

TEST(Frame, EveryCameraShowsTheScene)
{
  open_test_level();
  const float things[5][5] = {  // x, y, z, kind, letter: hero, block top, lava, enemies
    {hero_x, hero_y, 1.0f, KIND_HERO_SKIN, 'H'},
    {2.0f * RAISED_X + 0.5f, 2.0f * RAISED_Y - 0.5f, RAISED_HEIGHT, KIND_GRASS, 'B'},
    {2.0f * LAVA_X, 2.0f * LAVA_Y, 0, KIND_LAVA, 'L'},
    {enemies[0].x, enemies[0].y, 1.0f, KIND_ENEMY_SKIN, 'E'},
    {enemies[1].x, enemies[1].y, 1.0f, KIND_ENEMY_SKIN, 'E'}};
  std::string in_view;
  for (int preset = 0; preset < CAMERA_PRESET_COUNT; preset++) {
    current_camera = &camera_presets[preset];
    std::vector<unsigned char> frame = draw_frame();
    save_frame(frame, "camera-" + std::to_string(preset + 1));
    // Lit from the hero's place in this frame, not the one before the switch.
    EXPECT_TRUE(frame == draw_frame()) << "preset " << preset;
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S)) << "sphere mapping ends with the lava cell";
    in_view += ' ';  // then the letter of each thing in view, '?' where its hue is missing
    for (const float *t : things) {
      float x, y;
      if (project_world(t[0], t[1], t[2], &x, &y) && std::min(x, y) >= 2 && x < FRAME_WIDTH - 2 &&
          y < FRAME_HEIGHT - 2)
        in_view += shows_hue(pixel_at(frame, (int)x, (int)y), kind_colour[(int)t[3]]) ? (char)t[4] : '?';
    }
  }
  EXPECT_EQ(in_view, " HBLEE HBL HBE HBLEE");
}

// The preparation before a game's first frame is drawn out of sight: it
// leaves a black back buffer and the state a frame starts from.
TEST(Frame, PreparationLeavesNoTrace)
{
  open_test_level();
  std::vector<unsigned char> frame = draw_frame();
  prepare_frame_drawing();
  std::vector<unsigned char> after = read_back_buffer(0, 0, FRAME_WIDTH, FRAME_HEIGHT);
  EXPECT_TRUE(std::all_of(after.begin(), after.end(), [](unsigned char c) { return c == 0; }));
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING) && glIsEnabled(GL_TEXTURE_2D) && glIsEnabled(GL_DEPTH_TEST));
  EXPECT_FALSE(glIsEnabled(GL_BLEND) || glIsEnabled(GL_TEXTURE_GEN_S) || glIsEnabled(GL_TEXTURE_GEN_T));
  EXPECT_TRUE(frame == draw_frame());
}

TEST(Frame, DrawsDropsHalfAUnitAboveTheirCells)
{
  open_test_level();
  current_camera = &camera_presets[0];
  std::vector<unsigned char> with_drops = draw_frame();
  drop_grid[RAISED_X][RAISED_Y] = drop_grid[FLOOR_DROP_X][FLOOR_DROP_Y] = 0;
  std::vector<unsigned char> without = draw_frame();
  const float drops[2][3] = {{2.0f * FLOOR_DROP_X, 2.0f * FLOOR_DROP_Y, 0.5f},
                             {2.0f * RAISED_X, 2.0f * RAISED_Y, RAISED_HEIGHT + 0.5f}};
  for (const float *drop : drops) {
    float x, y;
    ASSERT_TRUE(project_world(drop[0], drop[1], drop[2], &x, &y));
    EXPECT_FALSE(pixel_at(with_drops, (int)x, (int)y) == pixel_at(without, (int)x, (int)y)) << x << ", " << y;
  }
}

// A frame of the level's end draws the hero as high as the rise has come (4.4 at phase 45).
TEST(Frame, LevelEndDrawsTheHeroRisen)
{
  open_test_level();
  level_phase = 45, end_zoom = 4.4f;
  std::vector<unsigned char> risen = draw_frame();
  save_frame(risen, "level-complete-phase-45");
  float x, y, risen_x, risen_y;  // floor shows at the hero's place, the hero that much higher
  ASSERT_TRUE(project_world(hero_x, hero_y, 1, &x, &y));
  ASSERT_TRUE(project_world(hero_x, hero_y, 5.4f, &risen_x, &risen_y));
  EXPECT_FALSE(shows_hue(pixel_at(risen, (int)x, (int)y), kind_colour[KIND_HERO_SKIN]));
  EXPECT_TRUE(shows_hue(pixel_at(risen, (int)risen_x, (int)risen_y), kind_colour[KIND_HERO_SKIN]));
}

TEST(Frame, DeadHeroHiddenButItsLightShines)
{
  open_test_level();
  GLuint sphere = hero_list;
  hero_list = 0;  // the living hero's frame with an empty sphere
  std::vector<unsigned char> sphereless = draw_frame();
  hero_list = sphere;
  hero_x = hero_y = 30.0f;  // a frame from elsewhere first: a light left there would show
  draw_frame();
  hero_x = hero_y = 16.0f;
  hero_dead = 1;
  std::vector<unsigned char> dead = draw_frame();
  save_frame(dead, "dead-hero");
  EXPECT_TRUE(dead == sphereless);
}

TEST(Frame, StatusLineReadsLivesAndDropsAtTheBottomLeft)
{
  open_test_level();
  hero_x = hero_y = -1000.0f;  // the world out of view: the text is read over black
  drops_left = 12;
  std::vector<unsigned char> frame = draw_frame();
  // Each glyph's middle: a 6 x 8 overlay, text scaled by 3.5, a 128-pixel font picture; the
  // tagline 0.52 text units after the counts, as far as it fits on the screen.
  std::string text;
  for (int k = 0; k < 25; k++) {
    float x = (k * (6.0f / 128 + bitmap_glyph_gap) + 3.0f / 128 + (k < 20 ? 0 : 0.52f)) * 3.5f * FRAME_WIDTH / 6;
    text += (char)((pixel_at(frame, (int)x, (int)(4.0f / 128 * 3.5f * FRAME_HEIGHT / 8)).r + 1) / 2);
  }
  EXPECT_EQ(text, "Lives: 3 | Drops: 12pilko");
}

TEST(Frame, MissingImageAndUnknownKindsDrawUntextured)
{
  open_test_level();
  for (int x = 0; x < GRID_SIZE; x++)  // plain stone; no hero sphere or drops
    for (int y = 0; y < GRID_SIZE; y++)
      level_map[x][y] = {KIND_STONE_FLOOR, 1, 0.0f}, drop_grid[x][y] = 0;
  hero_dead = 1;
  // How far green ranges around cell (9, 8): wide over a checker, narrow under lighting alone.
  auto green_range = [](const std::vector<unsigned char> &frame, float z) {
    float wx, wy;
    project_world(18.0f, 16.0f, z, &wx, &wy);
    std::vector<int> greens;
    for (int py = (int)wy - 10; py <= (int)wy + 10; py++)
      for (int px = (int)wx - 20; px <= (int)wx + 20; px++)
        greens.push_back(pixel_at(frame, px, py).g);
    return *std::max_element(greens.begin(), greens.end()) - *std::min_element(greens.begin(), greens.end());
  };
  GLuint metal = textures[KIND_METAL];
  for (float height : {0.0f, 1.0f}) {
    level_map[9][8] = {KIND_METAL, 1, height};
    EXPECT_GT(green_range(draw_frame(), height), 25) << "textured, height " << height;
    textures[KIND_METAL] = load_texture("graphics/absent.bmp", texture_pixel_format());
    EXPECT_EQ(textures[KIND_METAL], 0u);
    std::vector<unsigned char> untextured = draw_frame();
    EXPECT_LT(green_range(untextured, height), 16) << "image missing, height " << height;
    textures[KIND_METAL] = metal;
    for (int kind : {6, 9, -1, 1000000}) {
      level_map[9][8].kind = kind;
      EXPECT_TRUE(draw_frame() == untextured) << "kind " << kind << ", height " << height;
    }
  }
}

// Seen from outside along each axis, with back faces culled as the game culls them, a block
// shows just the face toward the eye (by its area, however GL splits it), and a tile only its
// top; normal-map texture generation turns each corner's normal into its texture coordinate,
// which must point at the eye.
TEST(Frame, EveryFaceOfABlockAndATileFacesOutward)
{
  open_test_level();
  const struct { float eye[3], up[3], block_area, tile_area; } views[] = {
      {{5, 0, 0.25f}, {0, 0, 1}, 1, 0}, {{-5, 0, 0.25f}, {0, 0, 1}, 1, 0}, {{0, 5, 0.25f}, {0, 0, 1}, 1, 0},
      {{0, -5, 0.25f}, {0, 0, 1}, 1, 0}, {{0, 0, 5}, {0, 1, 0}, 4, 4}, {{0, 0, -5}, {0, 1, 0}, 4, 0}};
  for (GLenum coordinate : {GL_S, GL_T, GL_R})
    glTexGeni(coordinate, GL_TEXTURE_GEN_MODE, GL_NORMAL_MAP);
  for (GLenum generation : {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R})
    glEnable(generation);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-4, 4, -3, 3, 1, 10);  // 80 pixels a unit both ways
  glMatrixMode(GL_MODELVIEW);
  for (const auto &v : views)
    for (bool block : {true, false}) {
      glLoadIdentity();
      gluLookAt(v.eye[0], v.eye[1], v.eye[2], 0, 0, 0.25f, v.up[0], v.up[1], v.up[2]);
      std::vector<float> drawn = capture_feedback(block ? [] { draw_block_box(0.5f); } : [] { glCallList(tile_lists); });
      float area = 0;  // of every polygon, in square units, by the shoelace rule over its corners
      for (size_t k = 0, n; k + 1 < drawn.size(); k += 2 + 11 * n) {
        n = (size_t)drawn[k + 1];
        float twice = 0;
        for (size_t i = 0; i < n; i++) {
          const float *a = &drawn[k + 2 + 11 * i], *b = &drawn[k + 2 + 11 * ((i + 1) % n)];
          twice += a[0] * b[1] - b[0] * a[1];
        }
        for (size_t i = 0; i < n && std::fabs(twice) > 1; i++)
          EXPECT_GT(drawn[k + 2 + 11 * i + 9], 0.5f) << "a normal turned away, seen from " << v.eye[0] << " " << v.eye[1] << " " << v.eye[2];
        area += std::fabs(twice) / 2 / (80 * 80);
      }
      EXPECT_NEAR(area, block ? v.block_area : v.tile_area, 0.01f) << (block ? "block" : "tile") << " seen from "
                                                                 << v.eye[0] << " " << v.eye[1] << " " << v.eye[2];
    }
  for (GLenum generation : {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R})
    glDisable(generation);
  setup_scene();  // the game's projection and generation modes again
}

}  // namespace

// Frames of the test level, untextured cells, the status line, and which way faces look.
#include "tests/render/render_scene.h"
#include "font/font.h"
#include "render/render.h"

#include <algorithm>
#include <cmath>
#include <set>

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

TEST(Frame, LevelCompleteRaisesAndSpinsTheHeroThenEnds)
{
  open_test_level();
  std::vector<unsigned char> risen;
  int frames = 0;
  for (; level_phase >= 0 && frames < 200; frames++) {  // as the level loop: phase + 1, then a frame
    level_phase++;
    std::vector<unsigned char> frame = draw_frame();
    if (level_phase == 45)
      risen = frame;
  }
  EXPECT_EQ(level_phase, -1) << "the level did not end";
  EXPECT_EQ(frames, 91);
  EXPECT_NEAR(end_zoom, 8.9f, 1e-3f);   // 89 rises of 0.1
  EXPECT_NEAR(end_spin, 85.0f, 1e-3f);  // 89 turns of 5 degrees, less a full turn
  save_frame(risen, "level-complete-phase-45");
  // Risen 4.4 by then: floor shows at the hero's place, the hero that much higher.
  float x, y, risen_x, risen_y;
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

struct vec3 { float x, y, z; };
vec3 operator-(vec3 a, vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
float dot(vec3 a, vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// One polygon as OpenGL drew it: its corners in object space, in the order drawn, and the
// normal given with each.
struct drawn_polygon { std::vector<vec3> corners, normals; };

// The polygons draw sends, captured unculled in an ortho box -4..4 with no model transform,
// so window coordinates lead back to object space. In a second capture, normal-map
// generation turns each corner's texture coordinate into its normal.
std::vector<drawn_polygon> drawn_polygons(void (*draw)())
{
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-4, 4, -4, 4, -4, 4);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glPushAttrib(GL_ENABLE_BIT);
  glDisable(GL_CULL_FACE);
  std::vector<float> positions = capture_feedback(draw);
  for (GLenum coordinate : {GL_S, GL_T, GL_R})
    glTexGeni(coordinate, GL_TEXTURE_GEN_MODE, GL_NORMAL_MAP);
  for (GLenum generation : {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R})
    glEnable(generation);
  std::vector<float> normals = capture_feedback(draw);
  glPopAttrib();
  setup_scene();  // the game's projection and generation modes again
  std::vector<drawn_polygon> polygons;
  for (size_t k = 0; k + 1 < positions.size() && positions.size() == normals.size();) {
    EXPECT_EQ(positions[k], (float)GL_POLYGON_TOKEN) << "feedback entry " << k;
    int count = (int)positions[k + 1];
    polygons.emplace_back();
    for (k += 2; count-- > 0; k += 11) {  // 11 floats a corner: x y z, r g b a, s t r q
      const float *p = &positions[k], *n = &normals[k + 7];
      polygons.back().corners.push_back({(p[0] / 320 - 1) * 4, (p[1] / 240 - 1) * 4, (1 - 2 * p[2]) * 4});
      polygons.back().normals.push_back({n[0], n[1], n[2]});
    }
  }
  return polygons;
}

// The polygon's facing from its winding (Newell's method): the side from which its
// corners run counter-clockwise.
vec3 winding_normal(const std::vector<vec3> &corners)
{
  vec3 n = {0, 0, 0};
  for (size_t i = 0; i < corners.size(); i++) {
    vec3 a = corners[i], b = corners[(i + 1) % corners.size()];
    n.x += (a.y - b.y) * (a.z + b.z);
    n.y += (a.z - b.z) * (a.x + b.x);
    n.z += (a.x - b.x) * (a.y + b.y);
  }
  return n;
}

vec3 centre_of(const std::vector<vec3> &corners)
{
  vec3 sum = {0, 0, 0};
  for (vec3 c : corners)
    sum = {sum.x + c.x, sum.y + c.y, sum.z + c.z};
  return {sum.x / corners.size(), sum.y / corners.size(), sum.z / corners.size()};
}

// Back-face culling keeps exactly the faces wound counter-clockwise seen from outside,
// and lighting needs normals pointing out: both checked against a point inside the solid.
void expect_faces_outward(const std::vector<drawn_polygon> &polygons, vec3 inside)
{
  for (size_t i = 0; i < polygons.size(); i++) {
    vec3 outward = centre_of(polygons[i].corners) - inside;
    EXPECT_GT(dot(winding_normal(polygons[i].corners), outward), 0) << "polygon " << i << " is wound inward";
    for (size_t c = 0; c < polygons[i].normals.size(); c++)
      EXPECT_GT(dot(polygons[i].normals[c], outward), 0) << "polygon " << i << ", corner " << c;
  }
}

TEST(Frame, EveryFaceOfABlockFacesOutward)
{
  open_test_level();
  std::vector<drawn_polygon> faces = drawn_polygons([] { draw_block_box(0.5f); });
  std::set<std::string> sides;  // which way each face looks by its winding, as "x y z" rounded
  for (const drawn_polygon &face : faces) {
    vec3 n = winding_normal(face.corners);
    float length = std::sqrt(dot(n, n));
    sides.insert(std::to_string(std::lround(n.x / length)) + " " + std::to_string(std::lround(n.y / length)) +
                 " " + std::to_string(std::lround(n.z / length)));
  }
  EXPECT_EQ(sides.size(), 6u) << "a box has six sides";
  expect_faces_outward(faces, {0, 0, 0.25f});
}

TEST(Frame, EveryTileFacesUp)
{
  open_test_level();
  std::vector<drawn_polygon> tile = drawn_polygons([] { glCallList(tile_lists); });
  ASSERT_FALSE(tile.empty());
  expect_faces_outward(tile, {0, 0, -1});  // below the floor
}



}  // namespace

// Whole frames of a test level on the test display: where the hero, blocks,
// lava, drops and enemies appear, the level-complete rise, the dead hero.
#include "tests/render/render_scene.h"
#include "render/render.h"

#include <cmath>
#include <cstdlib>
#include <cstdio>

namespace {

// Which of the test textures' hues a pixel shows (lighting only scales it).
bool shows_hue(rgb pixel, rgb hue)
{
  float length = std::sqrt((float)(pixel.r * pixel.r + pixel.g * pixel.g + pixel.b * pixel.b));
  float hue_length = std::sqrt((float)(hue.r * hue.r + hue.g * hue.g + hue.b * hue.b));
  if (length < 20.0f)
    return false;
  float cosine = (pixel.r * hue.r + pixel.g * hue.g + pixel.b * hue.b) / (length * hue_length);
  return cosine > 0.97f;
}

std::string describe(rgb pixel)
{
  char text[32];
  std::snprintf(text, sizeof text, "(%d, %d, %d)", pixel.r, pixel.g, pixel.b);
  return text;
}

// The frame as the level loop draws it: render_frame, then read back.
std::vector<unsigned char> draw_frame()
{
  glMatrixMode(GL_MODELVIEW);
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

// Whether the frame shows the hue of a kind at a world point; points that
// lie outside the frame do not count (false in *seen).
bool hue_at_world(const std::vector<unsigned char> &frame, float x, float y, float z, int kind,
                  bool *seen, std::string *message)
{
  float wx, wy;
  *seen = project_world(x, y, z, &wx, &wy) && wx >= 2 && wy >= 2 && wx < FRAME_WIDTH - 2 &&
          wy < FRAME_HEIGHT - 2;
  if (!*seen)
    return false;
  rgb pixel = pixel_at(frame, (int)wx, (int)wy);
  *message = "at (" + std::to_string(wx) + ", " + std::to_string(wy) + ") " + describe(pixel);
  return shows_hue(pixel, kind_colour[kind]);
}

TEST_F(Frame, DependsOnTheWorldAloneNotOnTheFrameBefore)
{
  // The hero is lit from where it stands in this frame: the first frame
  // after a camera switch equals the one after it.
  for (int preset = 0; preset < CAMERA_PRESET_COUNT; preset++) {
    current_camera = &camera_presets[(preset + 1) % CAMERA_PRESET_COUNT];
    hero_heading = 90;
    draw_frame();
    current_camera = &camera_presets[preset];
    hero_heading = 0;
    std::vector<unsigned char> first = draw_frame();
    std::vector<unsigned char> second = draw_frame();
    EXPECT_TRUE(first == second) << "preset " << preset;
  }
}

TEST_F(Frame, EveryCameraPresetShowsHeroBlockLavaAndEnemiesWhereTheyStand)
{
  for (int preset = 0; preset < CAMERA_PRESET_COUNT; preset++) {
    current_camera = &camera_presets[preset];
    std::vector<unsigned char> frame = draw_frame();
    save_frame_png(frame, "camera-" + std::to_string(preset + 1));
    float x, y;
    ASSERT_TRUE(project_hero(&x, &y)) << "preset " << preset;
    EXPECT_TRUE(shows_hue(pixel_at(frame, (int)x, (int)y), kind_colour[KIND_HERO_SKIN]))
        << "preset " << preset << ": hero at (" << x << ", " << y << ") shows "
        << describe(pixel_at(frame, (int)x, (int)y));
    bool seen;
    std::string where;
    EXPECT_TRUE(hue_at_world(frame, 2.0f * RAISED_X + 0.5f, 2.0f * RAISED_Y - 0.5f, RAISED_HEIGHT,
                             KIND_GRASS, &seen, &where) || !seen)
        << "preset " << preset << ": top of the raised block " << where;
    // The close camera (preset 2) has the lava just off its left edge.
    bool lava = hue_at_world(frame, 2.0f * LAVA_X, 2.0f * LAVA_Y, 0, KIND_LAVA, &seen, &where);
    EXPECT_TRUE(lava || (!seen && preset == 2)) << "preset " << preset << ": lava cell " << where;
    int enemies_seen = 0;
    for (int k = 0; k < enemy_count; k++) {
      bool shown = hue_at_world(frame, enemies[k].x, enemies[k].y, enemies[k].z + 1.0f,
                                KIND_ENEMY_SKIN, &seen, &where);
      EXPECT_TRUE(shown || !seen) << "preset " << preset << ": enemy " << k << " " << where;
      enemies_seen += seen;
    }
    EXPECT_TRUE(preset != 0 || enemies_seen == 2) << "the far view shows both enemies";
  }
}

TEST_F(Frame, DrawsDropsAboveTheirCells)
{
  current_camera = &camera_presets[0];
  std::vector<unsigned char> with_drops = draw_frame();
  for (int x = 0; x < GRID_SIZE; x++)
    for (int y = 0; y < GRID_SIZE; y++)
      drop_grid[x][y] = 0;
  std::vector<unsigned char> without = draw_frame();
  // The drop on the floor floats at 0.5, the one on the block at 2.5.
  const float drops[2][3] = {{2.0f * FLOOR_DROP_X, 2.0f * FLOOR_DROP_Y, 0.5f},
                             {2.0f * RAISED_X, 2.0f * RAISED_Y, RAISED_HEIGHT + 0.5f}};
  for (const float *drop : drops) {
    float wx, wy;
    ASSERT_TRUE(project_world(drop[0], drop[1], drop[2], &wx, &wy));
    rgb a = pixel_at(with_drops, (int)wx, (int)wy), b = pixel_at(without, (int)wx, (int)wy);
    EXPECT_TRUE(a.r != b.r || a.g != b.g || a.b != b.b)
        << "no drop at (" << wx << ", " << wy << "): " << describe(a);
  }
}

TEST_F(Frame, LevelCompleteRaisesAndSpinsTheHero)
{
  current_camera = &camera_presets[1];
  float x0, y0;
  ASSERT_TRUE(project_hero(&x0, &y0));
  std::vector<unsigned char> rest = draw_frame();
  level_phase = 1;
  render_frame();
  EXPECT_FLOAT_EQ(end_zoom, 0.1f);
  EXPECT_FLOAT_EQ(end_spin, 5.0f);
  // The sequence as the level loop runs it: one world update (phase + 1)
  // and one frame each, until the renderer ends it.
  int frames = 1;
  std::vector<unsigned char> risen;
  while (level_phase > 0 && frames < 200) {
    level_phase++;
    frames++;
    render_frame();
    if (level_phase == 45) {
      risen = read_frame();
      save_frame_png(risen, "level-complete-phase-45");
    }
  }
  EXPECT_EQ(level_phase, -1);
  EXPECT_EQ(frames, 91);
  EXPECT_NEAR(end_zoom, 8.9f, 1e-3f);  // 89 steps of 0.1
  EXPECT_NEAR(end_spin, 85.0f, 1e-3f);  // 445 degrees less one full turn
  ASSERT_FALSE(risen.empty());
  // At phase 45 the sphere has risen 4.4 units: its old place shows floor,
  // and the hero's hue shows higher up in the picture.
  EXPECT_FALSE(shows_hue(pixel_at(risen, (int)x0, (int)y0), kind_colour[KIND_HERO_SKIN]));
  bool above = false;
  for (int y = (int)y0 + 20; y < FRAME_HEIGHT && !above; y++)
    above = shows_hue(pixel_at(risen, (int)x0, y), kind_colour[KIND_HERO_SKIN]);
  EXPECT_TRUE(above) << "no hero above (" << x0 << ", " << y0 << ")";
}

TEST_F(Frame, LevelEndSpinWrapsPastAFullTurn)
{
  level_phase = 30;
  end_spin = 358.0f;
  level_end_transform();
  EXPECT_FLOAT_EQ(end_spin, 3.0f);
  end_spin = 355.0f;
  level_end_transform();
  EXPECT_FLOAT_EQ(end_spin, 360.0f) << "exactly a full turn is kept";
  EXPECT_EQ(level_phase, 30);
}

TEST_F(Frame, LevelEndHoldsStillAtPhases90And91AndEndsAt91)
{
  for (int phase : {90, 91}) {
    level_phase = phase;
    end_zoom = 8.9f;
    end_spin = 85.0f;
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    level_end_transform();
    GLfloat matrix[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    glPopMatrix();
    for (int k = 0; k < 16; k++)
      EXPECT_FLOAT_EQ(matrix[k], k % 5 == 0 ? 1.0f : 0.0f) << "phase " << phase;
    EXPECT_FLOAT_EQ(end_zoom, 8.9f);
    EXPECT_FLOAT_EQ(end_spin, 85.0f);
    EXPECT_EQ(level_phase, phase == 90 ? 90 : -1);
  }
}

TEST_F(Frame, CellsBelowTheFlatLimitAreTilesOnTheFloor)
{
  // No drops: a cell of height 0.05 looks exactly like one of height 0,
  // whereas 0.1 already stands up as a box.
  for (int x = 0; x < GRID_SIZE; x++)
    for (int y = 0; y < GRID_SIZE; y++)
      drop_grid[x][y] = 0;
  level_map[9][8].height = 0.0f;
  std::vector<unsigned char> floor = draw_frame();
  level_map[9][8].height = 0.05f;
  EXPECT_TRUE(draw_frame() == floor);
  level_map[9][8].height = -3.0f;
  EXPECT_TRUE(draw_frame() == floor) << "negative heights are tiles on the floor too";
  level_map[9][8].height = 0.1f;
  EXPECT_FALSE(draw_frame() == floor);
}

TEST_F(Frame, DropOnAFlatTileFloatsAboveTheCellsOwnHeight)
{
  // The tile of a cell below the flat limit lies at 0 whatever its height,
  // but its drop floats at height + 0.5: under a deep cell that is below
  // the floor, out of sight.
  for (int x = 0; x < GRID_SIZE; x++)
    for (int y = 0; y < GRID_SIZE; y++)
      drop_grid[x][y] = 0;
  std::vector<unsigned char> no_drop = draw_frame();
  drop_grid[9][8] = 1;
  EXPECT_FALSE(draw_frame() == no_drop) << "a drop on the floor shows";
  level_map[9][8].height = -3.0f;
  EXPECT_TRUE(draw_frame() == no_drop) << "a drop at -2.5 lies hidden under the floor";
}

TEST_F(Frame, DeadHeroIsMissingButItsLightStillShines)
{
  current_camera = &camera_presets[1];
  float x, y;
  ASSERT_TRUE(project_hero(&x, &y));
  std::vector<unsigned char> alive = draw_frame();
  // A frame from elsewhere first, so that a light left where that frame
  // put it would show.
  hero_x = hero_y = 30.0f;
  draw_frame();
  hero_x = hero_y = 16.0f;
  hero_dead = 1;
  std::vector<unsigned char> dead = draw_frame();
  save_frame_png(dead, "dead-hero");
  EXPECT_FALSE(shows_hue(pixel_at(dead, (int)x, (int)y), kind_colour[KIND_HERO_SKIN]));
  // Outside the sphere's own square on the screen, the frame is lit exactly
  // as while the hero was there.
  const int sphere_reach = 70;  // pixels; the sphere is about 90 across here
  int differing = 0;
  for (int py = 0; py < FRAME_HEIGHT; py++)
    for (int px = 0; px < FRAME_WIDTH; px++) {
      if (std::abs(px - (int)x) <= sphere_reach && std::abs(py - (int)y) <= sphere_reach)
        continue;
      rgb a = pixel_at(alive, px, py), d = pixel_at(dead, px, py);
      differing += a.r != d.r || a.g != d.g || a.b != d.b;
    }
  EXPECT_EQ(differing, 0);
  EXPECT_FALSE(alive == dead);
}

}  // namespace

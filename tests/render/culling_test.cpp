// Frustum culling in whole frames: it skips cells and enemies, and never
// changes a single pixel of the picture.
#include "tests/render/render_scene.h"
#include "game/map_load.h"
#include "render/render.h"

#include <cstdio>
#include <cstring>
#include <iterator>

namespace {

// A rugged level: random kinds (some without a texture), heights from deep
// pits to towers taller than a cell's usual culling sphere, drops on every
// third cell, ten enemies.
void build_rugged_level()
{
  build_test_level();
  unsigned seed = 12345;
  auto next = [&seed](int range) {
    seed = seed * 1103515245u + 12345u;
    return (int)((seed >> 16) % (unsigned)range);
  };
  const float heights[] = {0.0f, 0.0f, 0.0f, 0.05f, 0.1f, 0.5f, 1.0f, 2.5f, 4.0f, 9.0f, 14.0f, -6.0f, -12.0f};
  drops_left = 0;
  for (int x = 0; x < GRID_SIZE; x++)
    for (int y = 0; y < GRID_SIZE; y++) {
      level_map[x][y].kind = next(8);  // 6 and 7 have no texture
      level_map[x][y].height = heights[next(sizeof heights / sizeof heights[0])];
      drop_grid[x][y] = next(3) == 0;
      drops_left += drop_grid[x][y];
    }
  enemy_count = MAX_ENEMIES;
  for (int k = 0; k < MAX_ENEMIES; k++)
    enemies[k] = {2.0f * next(GRID_SIZE), 2.0f * next(GRID_SIZE), level_map[k][k].height, next(4), 0.2f};
}

struct hero_place {
  float x, y, z;
  int heading;
};
const hero_place hero_places[] = {
  {16, 16, 0, 0},   {0, 0, 0, 45},      {48, 48, 0, 180}, {24, 24, 3, 90},
  {4, 44, 0, 270},  {44, 4, 1.5f, 315}, {-8, 24, 0, 10},  {24, 60, 0, 200},
};

// Cells whose sphere of the usual radius (4.0) lies outside the view of the
// frame just drawn.
int culled_cells()
{
  int culled = 0;
  for (int x = 0; x < GRID_SIZE; x++)
    for (int y = 0; y < GRID_SIZE; y++)
      culled += sphere_in_frustum(2.0f * x, 2.0f * y, 0.5f * level_map[x][y].height, 4.0f) == 0.0f;
  return culled;
}

std::vector<unsigned char> draw_with_culling(int enabled)
{
  frustum_culling_enabled = enabled;
  render_frame();
  frustum_culling_enabled = 1;
  return read_frame();
}

// Draws every camera preset at every hero place with culling on and off;
// returns the average number of cells culled per frame.
double compare_all_views(const char *level_name)
{
  // The level's own start, then the places above.
  std::vector<hero_place> places = {{hero_x, hero_y, hero_z, hero_heading}};
  places.insert(places.end(), std::begin(hero_places), std::end(hero_places));
  int frames = 0, culled = 0;
  for (int preset = 0; preset < CAMERA_PRESET_COUNT; preset++)
    for (const hero_place &place : places) {
      current_camera = &camera_presets[preset];
      hero_x = place.x;
      hero_y = place.y;
      hero_z = place.z;
      hero_heading = place.heading;
      std::vector<unsigned char> culled_frame = draw_with_culling(1);
      culled += culled_cells();
      frames++;
      std::vector<unsigned char> full_frame = draw_with_culling(0);
      size_t differing = 0;
      for (size_t k = 0; k < full_frame.size(); k++)
        differing += culled_frame[k] != full_frame[k];
      EXPECT_EQ(differing, 0u) << level_name << ", preset " << preset << ", hero at (" << place.x
                               << ", " << place.y << ") heading " << place.heading;
      if (differing != 0)
        save_frame_png(culled_frame, std::string("culling-differs-") + level_name);
    }
  double average = (double)culled / frames;
  std::printf("%s: culling skips %.1f of %d cells per frame on average\n", level_name, average,
              GRID_SIZE * GRID_SIZE);
  return average;
}

class Culling : public ::testing::Test {
protected:
  void SetUp() override { open_render_scene(); }
};

TEST_F(Culling, NeverChangesThePictureAndSkipsMostOfTheGrid)
{
  build_test_level();
  double average = compare_all_views("test level");
  ::testing::Test::RecordProperty("average_culled_cells", std::to_string(average));
  EXPECT_GT(average, 100.0) << "culling should skip a good part of the grid";
  build_rugged_level();
  EXPECT_GT(compare_all_views("rugged level"), 100.0);
}

TEST_F(Culling, NeverChangesThePictureOfTheShippedLevels)
{
  int levels = 0;
  for (int n = 1;; n++) {
    std::string path = std::string(PILKO_DATA_DIR) + "/maps/map" + std::to_string(n) + ".map";
    if (!exists(path.c_str()))
      break;
    reset_world();
    ASSERT_EQ(load_map(path.c_str()), 1) << path;
    levels++;
    compare_all_views(("level " + std::to_string(n)).c_str());
  }
  EXPECT_GT(levels, 0) << "no levels in " << PILKO_DATA_DIR;
}

TEST_F(Culling, KeepsTowersWhoseTopAloneIsInView)
{
  // Towers far taller than a cell's usual culling sphere, placed one at a
  // time along the hero's row: some stand where that sphere lies outside
  // the view while the tower's top reaches into the picture.
  build_test_level();
  for (int x = 0; x < GRID_SIZE; x++)
    for (int y = 0; y < GRID_SIZE; y++) {
      level_map[x][y].height = 0.0f;
      drop_grid[x][y] = 0;
    }
  current_camera = &camera_presets[1];
  std::vector<unsigned char> flat = draw_with_culling(0);
  int tops_only_in_view = 0;
  for (int x = 0; x < GRID_SIZE; x++) {
    level_map[x][8] = {KIND_METAL, 1, 30.0f};
    std::vector<unsigned char> culled = draw_with_culling(1);
    bool usual_sphere_outside = sphere_in_frustum(2.0f * x, 16.0f, 15.0f, 4.0f) == 0.0f;
    std::vector<unsigned char> full = draw_with_culling(0);
    EXPECT_TRUE(culled == full) << "tower at cell (" << x << ", 8)";
    if (usual_sphere_outside && full != flat) {
      tops_only_in_view++;
      if (tops_only_in_view == 1)
        save_frame_png(full, "tower-top-in-view");
    }
    level_map[x][8] = {KIND_STONE_FLOOR, 1, 0.0f};
  }
  EXPECT_GT(tops_only_in_view, 0) << "no tower stood where it tests the culling sphere";
}

}  // namespace

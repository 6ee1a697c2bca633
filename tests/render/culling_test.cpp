// Frustum culling in whole frames: it skips cells (as many as the benchmark counts), yet never
// changes a pixel.
#include "tests/render/render_scene.h"
#include "world/map_load.h"

#include <cstdio>

namespace {

TEST(Culling, NeverChangesThePictureOfTheShippedLevels)
{
  open_test_level();
  // x, y, z, heading; the level's own start is tried first.
  const float places[][4] = {{16, 16, 0, 0}, {0, 0, 0, 45}, {48, 48, 0, 180}, {24, 24, 3, 90},
                             {4, 44, 0, 270}, {44, 4, 1.5f, 315}, {-8, 24, 0, 10}, {24, 60, 0, 200}};
  int frames = 0, culled = 0;
  for (int n = 1;; n++) {
    std::string path = std::string(PILKO_DATA_DIR) + "/maps/map" + std::to_string(n) + ".map";
    if (!exists(path.c_str()))
      break;
    reset_world();
    ASSERT_EQ(load_map(path.c_str()), 1) << path;
    const float start[4] = {hero_x, hero_y, hero_z, (float)hero_heading};
    for (int preset = 0; preset < CAMERA_PRESET_COUNT; preset++)
      for (int k = -1; k < 8; k++, frames++) {
        const float *place = k < 0 ? start : places[k];
        current_camera = &camera_presets[preset];
        hero_x = place[0], hero_y = place[1], hero_z = place[2], hero_heading = (int)place[3];
        frustum_culling_enabled = 1;
        std::vector<unsigned char> with_culling = draw_frame();
        culled += GRID_SIZE * GRID_SIZE - frame_cells_drawn;  // the count the benchmark reports
        frustum_culling_enabled = 0;  // left so: it never changes a picture
        EXPECT_TRUE(with_culling == draw_frame()) << "level " << n << ", preset " << preset << ", place " << k;
        EXPECT_TRUE(frame_cells_drawn == GRID_SIZE * GRID_SIZE && frame_enemies_drawn == enemy_count)
            << "without culling every cell and enemy is drawn";
      }
  }
  ASSERT_GT(frames, 0) << "no levels in " << PILKO_DATA_DIR;
  std::printf("culling skips %.1f of 625 cells per frame on average\n", (double)culled / frames);
  EXPECT_GT(culled / frames, 100) << "culling should skip a good part of the grid";
}

}  // namespace

// Shared pieces of the renderer's GL tests (see render_scene.h).
#include "tests/render/render_scene.h"
#include "assets/asset_files.h"
#include "font/font_write.h"

#include <GL/glu.h>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

const rgb kind_colour[TEXTURE_COUNT] = {{60, 200, 60},  {170, 170, 170}, {250, 200, 40},
                                        {60, 100, 230}, {230, 50, 20},   {170, 40, 210}};

void write_test_image(const std::string &path, int width, int height,
                      const std::function<rgb(int x, int y)> &colour)
{
  BITMAP *image = create_bitmap_ex(24, width, height);
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      rgb c = colour(x, y);
      putpixel(image, x, y, makecol24(c.r, c.g, c.b));
    }
  EXPECT_EQ(save_bitmap(path.c_str(), image, nullptr), 0) << path;
  destroy_bitmap(image);
}

void open_test_level()
{
  static bool opened = false;
  if (!opened) {
    open_gl_test_context();
    static scratch_folder data;  // the working folder until the program ends
    ASSERT_EQ(chdir(data.path.c_str()), 0);
    ASSERT_EQ(mkdir("graphics", 0755), 0);
    for (int kind = 0; kind < TEXTURE_COUNT; kind++) {
      rgb base = kind_colour[kind], dark = {base.r * 3 / 5, base.g * 3 / 5, base.b * 3 / 5};
      write_test_image(TEXTURE_FILES[kind], 16, 16,
                       [&](int x, int y) { return (x / 4 + y / 4) % 2 ? dark : base; });
    }
    sgi_picture font{128, 128, 3, {}, false};  // 16 x 16 cells of 8 x 8 pixels, one per code
    font.planes.assign((size_t)3 * 128 * 128, 0);
    bitmap_glyph_rect glyphs[256];
    for (int code = 0; code < 256; code++) {
      glyphs[code] = {code % 16 / 16.0f, code / 16 / 16.0f, 6 / 128.0f, 8 / 128.0f};
      for (int channel = 0; channel < 3 && code < 128; channel++)
        for (int y = 0; y < 8; y++)
          for (int x = 0; x < 6; x++)
            font.planes[((size_t)channel * 128 + code / 16 * 8 + y) * 128 + code % 16 * 8 + x] = 2 * code;
    }
    ASSERT_EQ(bmf_write("graphics/status.bmf", "status test", glyphs, font), 0);
    font_init();
    hud_font = bitmap_font_load("graphics/status.bmf");
    ASSERT_GE(hud_font, 0);
    setup_scene();
    load_texture_set();
    build_display_lists();
    opened = true;
  }
  reset_world();
  std::memset(drop_grid, 0, sizeof drop_grid);
  for (int x = 0; x < GRID_SIZE; x++)
    for (int y = 0; y < GRID_SIZE; y++)
      level_map[x][y] = x % (GRID_SIZE - 1) && y % (GRID_SIZE - 1) ? map_cell{KIND_STONE_FLOOR, 1, 0.0f}
                                                                 : map_cell{KIND_METAL, 1, 1.5f};
  level_map[RAISED_X][RAISED_Y] = {KIND_GRASS, 1, RAISED_HEIGHT};
  level_map[LAVA_X][LAVA_Y] = {KIND_LAVA, 1, 0.0f};
  drop_grid[RAISED_X][RAISED_Y] = drop_grid[FLOOR_DROP_X][FLOOR_DROP_Y] = drop_grid[12][6] = 1;
  drops_left = 3;
  enemies[0] = {22.0f, 12.0f, 0.0f, TOWARD_PLUS_X, 0.2f};
  enemies[1] = {12.0f, 20.0f, 0.0f, TOWARD_PLUS_Y, 0.2f};
  enemy_count = 2;
  hero_x = hero_y = 16.0f;
  lives = 3;
  level_phase = 0;
  end_zoom = end_spin = 0.0f;
  current_camera = &camera_presets[1];
}

std::vector<unsigned char> draw_frame()
{
  render_frame();
  return read_back_buffer(0, 0, FRAME_WIDTH, FRAME_HEIGHT);
}

rgb pixel_at(const std::vector<unsigned char> &frame, int x, int y)
{
  const unsigned char *p = &frame[((size_t)y * FRAME_WIDTH + x) * 3];
  return {p[0], p[1], p[2]};
}

bool project_world(float x, float y, float z, float *window_x, float *window_y)
{
  // The camera as the frame places it: mode 1 also turns the world with the hero.
  const camera_preset &c = *current_camera;
  glPushMatrix();
  glLoadIdentity();
  glRotatef(c.rot_x, 1, 0, 0);
  glRotatef(c.rot_y, 0, 1, 0);
  glRotatef(c.rot_z + 90.0f, 0, 0, 1);
  glTranslatef(c.offset_x, c.offset_y, c.offset_z);
  if (c.mode == 1)
    glRotatef((float)-hero_heading, 0, 0, 1);
  glTranslatef(-hero_x, -hero_y, -hero_z);
  GLdouble modelview[16], projection[16], wx = -1, wy = -1, wz;
  const GLint viewport[4] = {0, 0, FRAME_WIDTH, FRAME_HEIGHT};
  glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
  glPopMatrix();
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  bool seen = gluProject(x, y, z, modelview, projection, viewport, &wx, &wy, &wz) && wz >= 0 && wz <= 1;
  *window_x = (float)wx, *window_y = (float)wy;
  return seen;
}

void save_frame(const std::vector<unsigned char> &frame, const std::string &name)
{
  mkdir(PICTURE_DIR, 0755);
  std::string path = std::string(PICTURE_DIR) + "/" + name + ".png";
  std::printf("picture: %s\n", path.c_str());
  FILE *convert = popen(("convert -size 640x480 -depth 8 rgb:- -flip '" + path + "'").c_str(), "w");
  std::fwrite(frame.data(), 1, frame.size(), convert);  // bottom row first: flipped
  pclose(convert);
}

// Shared pieces of the renderer's GL tests (see render_scene.h).
#include "tests/render/render_scene.h"
#include "font/font.h"
#include "font/font_write.h"
#include "render/render.h"

#include <GL/glu.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

const rgb kind_colour[TEXTURE_COUNT] = {
  {60, 200, 60},    // grass: green
  {170, 170, 170},  // stone floor: grey
  {250, 200, 40},   // hero skin: yellow
  {60, 100, 230},   // metal: blue
  {230, 50, 20},    // lava: red
  {170, 40, 210},   // enemy skin: purple
};

namespace {

constexpr int TEXTURE_SIZE = 16;    // test textures are 16 x 16
constexpr int CHECKER_SQUARE = 4;   // pixels per checker square
constexpr int FONT_PICTURE = 128;   // the test font's picture is 128 x 128
constexpr int FONT_CELL = 8;        // each character code has an 8 x 8 cell
constexpr int GLYPH_ROWS = 7;
constexpr int GLYPH_COLUMNS = 5;

// A 5 x 7 face for the characters of the status line, top row first.
struct test_glyph {
  char code;
  const char *rows[GLYPH_ROWS];
};
const test_glyph test_glyphs[] = {
  {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
  {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
  {'i', {"..#..", ".....", ".##..", "..#..", "..#..", "..#..", ".###."}},
  {'v', {".....", ".....", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
  {'e', {".....", ".....", ".###.", "#...#", "#####", "#....", ".###."}},
  {'s', {".....", ".....", ".####", "#....", ".###.", "....#", "####."}},
  {'r', {".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."}},
  {'o', {".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."}},
  {'p', {".....", ".....", "####.", "#...#", "####.", "#....", "#...."}},
  {'l', {".##..", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
  {'k', {"#....", "#....", "#..#.", "#.#..", "##...", "#.#..", "#..#."}},
  {'g', {".....", ".....", ".####", "#...#", ".####", "....#", ".###."}},
  {'a', {".....", ".....", ".###.", "....#", ".####", "#...#", ".####"}},
  {'m', {".....", ".....", "##.#.", "#.#.#", "#.#.#", "#...#", "#...#"}},
  {':', {".....", "..#..", "..#..", ".....", "..#..", "..#..", "....."}},
  {'|', {"..#..", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
  {'.', {".....", ".....", ".....", ".....", ".....", ".##..", ".##.."}},
  {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
  {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
  {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
  {'3', {"####.", "....#", "....#", ".###.", "....#", "....#", "####."}},
  {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
  {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
  {'6', {".###.", "#....", "#....", "####.", "#...#", "#...#", ".###."}},
  {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
  {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
  {'9', {".###.", "#...#", "#...#", ".####", "....#", "....#", ".###."}},
};

// Writes the status-line test font: white glyphs on black, every code a
// 6 x 8 pixel cell (the sixth column is the space between characters).
void write_test_font(const std::string &path)
{
  sgi_picture picture;
  picture.width = FONT_PICTURE;
  picture.height = FONT_PICTURE;
  picture.channels = 3;
  picture.run_length = false;
  picture.planes.assign((size_t)3 * FONT_PICTURE * FONT_PICTURE, 0);
  bitmap_glyph_rect glyphs[256];
  for (int code = 0; code < 256; code++) {
    int left = code % (FONT_PICTURE / FONT_CELL) * FONT_CELL;
    int bottom = code / (FONT_PICTURE / FONT_CELL) * FONT_CELL;
    glyphs[code] = {(float)left / FONT_PICTURE, (float)bottom / FONT_PICTURE,
                    (GLYPH_COLUMNS + 1.0f) / FONT_PICTURE, (float)FONT_CELL / FONT_PICTURE};
  }
  for (const test_glyph &glyph : test_glyphs) {
    int left = (unsigned char)glyph.code % (FONT_PICTURE / FONT_CELL) * FONT_CELL;
    int bottom = (unsigned char)glyph.code / (FONT_PICTURE / FONT_CELL) * FONT_CELL;
    for (int row = 0; row < GLYPH_ROWS; row++)
      for (int column = 0; column < GLYPH_COLUMNS; column++) {
        if (glyph.rows[row][column] != '#')
          continue;
        int y = bottom + GLYPH_ROWS - row;  // picture rows run bottom first
        for (int channel = 0; channel < 3; channel++)
          picture.planes[((size_t)channel * FONT_PICTURE + y) * FONT_PICTURE + left + column] = 255;
      }
  }
  ASSERT_EQ(bmf_write(path.c_str(), "status test", glyphs, picture), 0) << path;
}

// Where the status line puts the test font's dots on the screen: the
// overlay is 6 x 8 units over the frame and text is scaled by 3.5.
constexpr float STATUS_SCALE = 3.5f;
constexpr float PIXELS_PER_TEXT_UNIT_X = STATUS_SCALE * FRAME_WIDTH / 6.0f;
constexpr float PIXELS_PER_TEXT_UNIT_Y = STATUS_SCALE * FRAME_HEIGHT / 8.0f;
constexpr float GLYPH_ADVANCE = (GLYPH_COLUMNS + 1.0f) / FONT_PICTURE + bitmap_glyph_gap;
// The text is white over black: linear filtering spreads a dot (1.6 pixels
// tall) over two rows, but its nearest pixel keeps well over half of it.
constexpr int LIT_DOT = 128;

// The dots of one character cell whose left edge lies at text unit x, as
// '#' and '.' rows like the face's table.
std::string read_dots(const std::vector<unsigned char> &frame, float x)
{
  std::string dots;
  for (int row = 0; row < GLYPH_ROWS; row++)
    for (int column = 0; column < GLYPH_COLUMNS; column++) {
      float px = (x + (column + 0.5f) / FONT_PICTURE) * PIXELS_PER_TEXT_UNIT_X;
      float py = (GLYPH_ROWS + 0.5f - row) / FONT_PICTURE * PIXELS_PER_TEXT_UNIT_Y;
      rgb pixel = pixel_at(frame, (int)px, (int)py);
      dots += pixel.r >= LIT_DOT && pixel.g >= LIT_DOT && pixel.b >= LIT_DOT ? '#' : '.';
    }
  return dots;
}

const std::string &shots_folder()
{
  static std::string folder;
  if (folder.empty()) {
    folder = make_temp_folder("pilko-render-shots");
    std::printf("pictures go to %s\n", folder.c_str());
  }
  return folder;
}

// The camera's rotations, which both the hero and the world see.
void apply_camera_rotations(const camera_preset &camera)
{
  glRotatef(camera.rot_x, 1, 0, 0);
  glRotatef(camera.rot_y, 0, 1, 0);
  glRotatef(camera.rot_z + 90.0f, 0, 0, 1);
}

// Projects a point under the modelview that place() sets up.
bool project_under(void (*place)(), float x, float y, float z, float *window_x, float *window_y)
{
  GLdouble modelview[16], projection[16], wx, wy, wz;
  GLint viewport[4];
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  place();
  glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
  glPopMatrix();
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  if (!gluProject(x, y, z, modelview, projection, viewport, &wx, &wy, &wz) || wz < 0 || wz > 1)
    return false;
  *window_x = (float)wx;
  *window_y = (float)wy;
  return true;
}

// The world as the frame places it: the eye at the hero minus the camera's
// offset, turned with the hero in mode 1.
void place_world()
{
  const camera_preset &c = *current_camera;
  apply_camera_rotations(c);
  if (c.mode == 0) {
    glTranslatef(c.offset_x - hero_x, c.offset_y - hero_y, c.offset_z - hero_z);
  } else {
    glTranslatef(c.offset_x, c.offset_y, c.offset_z);
    glRotatef((float)-hero_heading, 0, 0, 1);
    glTranslatef(-hero_x, -hero_y, -hero_z);
  }
}

// The hero as the frame places it, 1.0 above its position.
void place_hero()
{
  const camera_preset &c = *current_camera;
  apply_camera_rotations(c);
  glTranslatef(c.offset_x, c.offset_y, c.offset_z + 1.0f);
}

}  // namespace

std::string make_temp_folder(const char *prefix)
{
  const char *base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/" + prefix + "-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (!mkdtemp(name.data()))
    ADD_FAILURE() << "cannot make a folder like " << pattern;
  return name.data();
}

void write_test_image(const std::string &path, int width, int height,
                      const std::function<rgb(int x, int y)> &colour)
{
  BITMAP *image = create_bitmap_ex(24, width, height);
  ASSERT_NE(image, nullptr);
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      rgb c = colour(x, y);
      putpixel(image, x, y, makecol24(c.r, c.g, c.b));
    }
  EXPECT_EQ(save_bitmap(path.c_str(), image, nullptr), 0) << path;
  destroy_bitmap(image);
}

rgb test_image_pixel(int x, int y)
{
  if ((x == 5 && y == 3) || (x == 60 && y == 30))
    return {255, 0, 255};
  if (x == 6 && y == 3)
    return {254, 0, 255};
  return {4 * x, 8 * y, 77};
}

void expect_bound_texture_is_flipped_test_image()
{
  GLint width = 0, height = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
  ASSERT_EQ(width, TEST_IMAGE_WIDTH);
  ASSERT_EQ(height, TEST_IMAGE_HEIGHT);
  std::vector<unsigned char> texels((size_t)width * height * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
  int wrong = 0;
  for (int row = 0; row < height; row++)
    for (int x = 0; x < width; x++) {
      rgb expected = test_image_pixel(x, height - 1 - row);
      if (expected.r == 255 && expected.g == 0 && expected.b == 255)
        expected = {0, 0, 0};
      const unsigned char *t = &texels[((size_t)row * width + x) * 3];
      if (t[0] != expected.r || t[1] != expected.g || t[2] != expected.b) {
        if (++wrong <= 5)
          ADD_FAILURE() << "texel (" << x << ", " << row << ") is (" << (int)t[0] << ", "
                        << (int)t[1] << ", " << (int)t[2] << "), expected (" << expected.r << ", "
                        << expected.g << ", " << expected.b << ")";
      }
    }
  EXPECT_EQ(wrong, 0);
}

void open_render_scene()
{
  static bool opened = false;
  if (opened)
    return;
  open_gl_test_context();
  std::string folder = make_temp_folder("pilko-render-data");
  std::string graphics = folder + "/graphics";
  ASSERT_EQ(mkdir(graphics.c_str(), 0755), 0);
  ASSERT_EQ(chdir(folder.c_str()), 0);
  static const char *const files[TEXTURE_COUNT] = {"gras", "stonefloor", "kez",
                                                   "metal", "lava", "enemy"};
  for (int kind = 0; kind < TEXTURE_COUNT; kind++) {
    rgb base = kind_colour[kind];
    rgb dark = {base.r * 3 / 5, base.g * 3 / 5, base.b * 3 / 5};
    write_test_image("graphics/" + std::string(files[kind]) + ".bmp", TEXTURE_SIZE, TEXTURE_SIZE,
                     [&](int x, int y) {
                       return (x / CHECKER_SQUARE + y / CHECKER_SQUARE) % 2 ? dark : base;
                     });
  }
  write_test_font("graphics/status.bmf");
  font_init();
  hud_font = bitmap_font_load("graphics/status.bmf");
  ASSERT_GE(hud_font, 0);
  bitmap_font_set_current(hud_font);
  setup_scene();
  load_texture_set();
  build_display_lists();
  opened = true;
}

void build_test_level()
{
  reset_world();
  for (int x = 0; x < GRID_SIZE; x++)
    for (int y = 0; y < GRID_SIZE; y++) {
      bool edge = x == 0 || y == 0 || x == GRID_SIZE - 1 || y == GRID_SIZE - 1;
      level_map[x][y] = {edge ? KIND_METAL : KIND_STONE_FLOOR, 1, edge ? 1.5f : 0.0f};
      drop_grid[x][y] = 0;
    }
  level_map[RAISED_X][RAISED_Y] = {KIND_GRASS, 1, RAISED_HEIGHT};
  level_map[LAVA_X][LAVA_Y] = {KIND_LAVA, 1, 0.0f};
  drop_grid[RAISED_X][RAISED_Y] = 1;
  drop_grid[FLOOR_DROP_X][FLOOR_DROP_Y] = 1;
  drop_grid[12][6] = 1;
  drops_left = 3;
  enemies[0] = {22.0f, 12.0f, 0.0f, TOWARD_PLUS_X, 0.2f};
  enemies[1] = {12.0f, 20.0f, 0.0f, TOWARD_PLUS_Y, 0.2f};
  enemy_count = 2;
  hero_x = 16.0f;
  hero_y = 16.0f;
  hero_heading = 0;
  lives = 3;
  current_camera = &camera_presets[1];
  level_phase = 0;
  end_zoom = 0.0f;
  end_spin = 0.0f;
}

std::string read_status_text(const std::vector<unsigned char> &frame, float start)
{
  std::string text;
  for (float x = start; (x + GLYPH_ADVANCE) * PIXELS_PER_TEXT_UNIT_X < FRAME_WIDTH; x += GLYPH_ADVANCE) {
    std::string dots = read_dots(frame, x);
    char best = dots.find('#') == std::string::npos ? ' ' : '?';
    int best_misses = GLYPH_ROWS * GLYPH_COLUMNS / 8;  // tolerate a few blurred dots
    for (const test_glyph &glyph : test_glyphs) {
      int misses = 0;
      for (int k = 0; k < GLYPH_ROWS * GLYPH_COLUMNS; k++)
        misses += glyph.rows[k / GLYPH_COLUMNS][k % GLYPH_COLUMNS] != dots[k];
      if (misses < best_misses) {
        best_misses = misses;
        best = glyph.code;
      }
    }
    text += best;
  }
  return text;
}

float status_text_width(const std::string &text)
{
  return text.size() * GLYPH_ADVANCE;
}

std::vector<unsigned char> read_frame()
{
  return read_back_buffer(0, 0, FRAME_WIDTH, FRAME_HEIGHT);
}

rgb pixel_at(const std::vector<unsigned char> &frame, int x, int y)
{
  const unsigned char *p = &frame[((size_t)y * FRAME_WIDTH + x) * 3];
  return {p[0], p[1], p[2]};
}

bool project_world(float x, float y, float z, float *window_x, float *window_y)
{
  return project_under(place_world, x, y, z, window_x, window_y);
}

bool project_hero(float *window_x, float *window_y)
{
  return project_under(place_hero, 0, 0, 0, window_x, window_y);
}

std::vector<std::vector<feedback_vertex>> feedback_polygons(const std::vector<float> &buffer)
{
  constexpr int VERTEX_SIZE = 11;  // x, y, z, RGBA, STRQ
  std::vector<std::vector<feedback_vertex>> polygons;
  size_t k = 0;
  while (k < buffer.size()) {
    GLenum token = (GLenum)buffer[k++];
    EXPECT_EQ(token, (GLenum)GL_POLYGON_TOKEN) << "only polygons are drawn";
    if (token != GL_POLYGON_TOKEN)
      break;
    int count = (int)buffer[k++];
    std::vector<feedback_vertex> polygon(count);
    for (int v = 0; v < count; v++, k += VERTEX_SIZE) {
      std::copy(&buffer[k], &buffer[k + 3], polygon[v].window);
      std::copy(&buffer[k + 3], &buffer[k + 7], polygon[v].colour);
      std::copy(&buffer[k + 7], &buffer[k + 11], polygon[v].texture);
    }
    polygons.push_back(polygon);
  }
  return polygons;
}

std::string save_frame_png(const std::vector<unsigned char> &frame, const std::string &name)
{
  std::string base = shots_folder() + "/" + name;
  FILE *out = std::fopen((base + ".ppm").c_str(), "wb");
  if (!out) {
    ADD_FAILURE() << "cannot write " << base << ".ppm";
    return "";
  }
  std::fprintf(out, "P6\n%d %d\n255\n", FRAME_WIDTH, FRAME_HEIGHT);
  for (int y = FRAME_HEIGHT - 1; y >= 0; y--)  // the file's first row is the top
    std::fwrite(&frame[(size_t)y * FRAME_WIDTH * 3], 1, FRAME_WIDTH * 3, out);
  std::fclose(out);
  std::string command = "convert '" + base + ".ppm' '" + base + ".png' && rm '" + base + ".ppm'";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  return base + ".png";
}

// The font showcase's panels: a string in each vector mode, bitmap text plain
// and masked over a colour, and the console.
#include "showcase_scene.h"
#include "showcase_layout.h"
#include "made_bitmap_font.h"

#include "assets/asset_files.h"
#include "font/font.h"

#include <allegro.h>
#include <alleggl.h>
#include <GL/gl.h>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

// Screen pixels per model unit of the vector strings.
constexpr float FLAT_TEXT_SCALE = 27.0f;
constexpr float DEEP_TEXT_SCALE = 19.0f;
constexpr float TILT_X = 20.0f, TILT_Y = -20.0f;  // degrees, so the 3D depth shows
constexpr float SHOWCASE_DEPTH = 0.5f;

// Pixels per unit of bitmap text: glyph rectangles are picture fractions,
// so the scale depends on the picture. The game's font is drawn as the
// status line draws it; the made one with its 8 x 8 glyphs at 16 pixels.
struct bitmap_scale { float x, y; };
constexpr bitmap_scale GAME_FONT_SCALE = {3.5f * 640 / 6, 3.5f * 480 / 8};
constexpr bitmap_scale MADE_FONT_SCALE = {512, 512};

constexpr int CHECKER_SIZE = 64;   // texture of the textured solid string
constexpr int CHECKER_SQUARE = 8;

constexpr int CONSOLE_COLUMNS = 20;
constexpr int CONSOLE_ROWS = 16;
constexpr float CONSOLE_SCALE = 11.0f;  // pixels per console unit; a row is 2 units

const char CONSOLE_TEXT[] =
    "The console wraps a line that reaches its right edge and scrolls up "
    "when the text reaches the bottom row.\n"
    "Line 1\nLine 2\nLine 3\nLine 4\nLine 5\nLine 6\nLine 7\nLine 8\n"
    "Bytes like \t and \x80 are skipped.\n"
    "pilko: ";

GLuint checker_texture = 0;
int vector_slot = -1;
bitmap_scale text_scale = MADE_FONT_SCALE;

void make_checker_texture()
{
  static unsigned char rgb[CHECKER_SIZE * CHECKER_SIZE * 3];
  for (int y = 0; y < CHECKER_SIZE; y++) {
    for (int x = 0; x < CHECKER_SIZE; x++) {
      bool light = (x / CHECKER_SQUARE + y / CHECKER_SQUARE) % 2 == 0;
      unsigned char *p = rgb + 3 * (y * CHECKER_SIZE + x);
      p[0] = light ? 255 : 60;
      p[1] = (unsigned char)(128 + 2 * y);
      p[2] = light ? 80 : 220;
    }
  }
  glGenTextures(1, &checker_texture);
  glBindTexture(GL_TEXTURE_2D, checker_texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, CHECKER_SIZE, CHECKER_SIZE, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
}

// The game's bitmap font if the data folder has it, else one made now.
bool load_bitmap_font(std::string &error)
{
  if (exists(HUD_FONT_FILE) && bitmap_font_load(HUD_FONT_FILE) >= 0) {
    text_scale = GAME_FONT_SCALE;
    return true;
  }
  char path[] = "/tmp/pilko-showcase-XXXXXX";
  int fd = mkstemp(path);
  if (fd < 0) {
    error = "cannot make a temporary file for the bitmap font";
    return false;
  }
  close(fd);
  bool loaded = write_made_bitmap_font(path) == 0 && bitmap_font_load(path) >= 0;
  std::remove(path);
  text_scale = MADE_FONT_SCALE;
  if (!loaded)
    error = "cannot make a bitmap font";
  return loaded;
}

void fill_panel(const showcase_panel &p, float r, float g, float b)
{
  glColor3f(r, g, b);
  glRecti(p.x, p.y, p.x + p.width, p.y + p.height);
}

// Moves the origin to the middle of a panel's left side, in text units.
void enter_panel(const showcase_panel &p, float scale)
{
  glLoadIdentity();
  glTranslatef(p.x + 1.2f * scale, p.y + p.height / 2.0f, 0);
  glScalef(scale, scale, scale);
}

void draw_vector_panels()
{
  enter_panel(SHOWCASE_WIRED, FLAT_TEXT_SCALE);
  glColor3f(1.0f, 0.9f, 0.2f);
  vector_draw_string_wired("Wired");

  // Solid: the checker texture through the library's texture coordinates,
  // with a dark outline.
  enter_panel(SHOWCASE_SOLID, FLAT_TEXT_SCALE);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, checker_texture);
  font_option_enable(FONT_OPTION_TEXTURING);
  font_option_enable(FONT_OPTION_CONTOURING);
  vector_set_contour_color(0.05f, 0.05f, 0.1f, 1);
  glColor3f(1, 1, 1);
  vector_draw_string_solid("Solid");
  font_option_disable(FONT_OPTION_TEXTURING);
  glDisable(GL_TEXTURE_2D);

  // The 3D modes, tilted so their depth shows.
  glEnable(GL_DEPTH_TEST);
  vector_set_symbol_depth(SHOWCASE_DEPTH);
  enter_panel(SHOWCASE_3D_WIRED, DEEP_TEXT_SCALE);
  glRotatef(TILT_X, 1, 0, 0);
  glRotatef(TILT_Y, 0, 1, 0);
  glColor3f(0.3f, 0.9f, 1.0f);
  vector_draw_string_3d_wired("3D wired");

  enter_panel(SHOWCASE_3D_SOLID, DEEP_TEXT_SCALE);
  glRotatef(TILT_X, 1, 0, 0);
  glRotatef(TILT_Y, 0, 1, 0);
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glEnable(GL_COLOR_MATERIAL);
  glEnable(GL_NORMALIZE);  // the side walls' normals are not unit length
  GLfloat light_direction[4] = {0.3f, 0.5f, 1.0f, 0.0f};
  glPushMatrix();
  glLoadIdentity();
  glLightfv(GL_LIGHT0, GL_POSITION, light_direction);
  glPopMatrix();
  glColor3f(1.0f, 0.55f, 0.15f);
  vector_set_contour_color(1, 1, 1, 1);
  vector_draw_string_3d_solid("3D solid");
  font_option_disable(FONT_OPTION_CONTOURING);
  glDisable(GL_LIGHTING);
  glDisable(GL_NORMALIZE);
  glDisable(GL_DEPTH_TEST);
}

void draw_bitmap_panel()
{
  const showcase_panel &p = SHOWCASE_BITMAP;
  const unsigned char *bg = SHOWCASE_BITMAP_BACKGROUND;
  glLoadIdentity();
  fill_panel(p, bg[0] / 255.0f, bg[1] / 255.0f, bg[2] / 255.0f);
  bitmap_text_begin();
  glColor3f(1, 1, 1);
  glTranslatef(p.x + 10, p.y + p.height * 0.6f, 0);
  glScalef(text_scale.x, text_scale.y, 1);
  bitmap_draw_string("Plain text");
  glLoadIdentity();
  glTranslatef(p.x + 10, p.y + p.height * 0.2f, 0);
  glScalef(text_scale.x, text_scale.y, 1);
  glEnable(GL_BLEND);
  glColor3f(1.0f, 0.95f, 0.4f);
  bitmap_draw_string_masked("Masked text");
  glDisable(GL_BLEND);
  bitmap_text_end();
}

void draw_console_panel()
{
  const showcase_panel &p = SHOWCASE_CONSOLE;
  glLoadIdentity();
  fill_panel(p, 0.05f, 0.12f, 0.05f);
  // One console unit is CONSOLE_SCALE pixels; row 0's middle sits a row
  // below the panel's top edge.
  glTranslatef(p.x + 1.5f * CONSOLE_SCALE, p.y + p.height - 1.5f * CONSOLE_SCALE, 0);
  glScalef(CONSOLE_SCALE, CONSOLE_SCALE, 1);
  glColor3f(0.4f, 1.0f, 0.4f);
  console_draw();
}

}  // namespace

bool showcase_load(std::string &error)
{
  vector_slot = vector_font_load(VECTOR_FONT_FILE);
  if (vector_slot < 0) {
    error = std::string(VECTOR_FONT_FILE) + ": cannot load the vector font";
    return false;
  }
  if (!load_bitmap_font(error))
    return false;
  make_checker_texture();
  console_set_size(CONSOLE_COLUMNS, CONSOLE_ROWS);
  console_set_font(vector_slot);
  console_print(CONSOLE_TEXT);
  return true;
}

void showcase_draw_frame()
{
  glViewport(0, 0, SHOWCASE_WIDTH, SHOWCASE_HEIGHT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  // Deep enough for the tilted 3D strings.
  glOrtho(0, SHOWCASE_WIDTH, 0, SHOWCASE_HEIGHT, -1000, 1000);
  glMatrixMode(GL_MODELVIEW);
  glClearColor(0.12f, 0.12f, 0.14f, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glDisable(GL_CULL_FACE);
  draw_vector_panels();
  draw_bitmap_panel();
  draw_console_panel();
}

void showcase_unload()
{
  glDeleteTextures(1, &checker_texture);
  checker_texture = 0;
}

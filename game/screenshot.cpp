// Screenshots: the picture on screen written to the first free "vgrab-%03d.tga".
#include "game/screenshot.h"
#include "world/game_rules.h"

#include <alleggl.h>
#include <cstdio>

namespace {

constexpr int CAPTURE_WIDTH = SCREEN_WIDTH;  // the size of the display mode
constexpr int CAPTURE_HEIGHT = SCREEN_HEIGHT;
constexpr int CAPTURE_DEPTH = 24;    // true colour, no palette needed
constexpr int BYTES_PER_PIXEL = 3;   // GL_RGB, GL_UNSIGNED_BYTE
constexpr int NAME_SIZE = 32;        // "vgrab-" + any int + ".tga"

// Formats the first name of the series that no file has yet; a gap left by
// a deleted file is filled before higher numbers are used.
void first_free_name(char *name, int size)
{
  int n = 0;
  std::snprintf(name, size, "vgrab-%03d.tga", n);
  while (exists(name))
    std::snprintf(name, size, "vgrab-%03d.tga", ++n);
}

// Reads the picture that is on screen into pixels, bottom row first. The
// world update runs after the last frame was flipped and before the next is
// drawn. The flip copies the back buffer to the screen and leaves it as it
// was, so the back buffer still holds the shown frame; the front buffer
// cannot be read back on Mesa's software rasteriser (it reads black). A
// driver that exchanges the buffers instead would give the frame before.
void read_screen(unsigned char *pixels)
{
  GLint previous_buffer = GL_BACK, previous_alignment = 4;
  glGetIntegerv(GL_READ_BUFFER, &previous_buffer);
  glGetIntegerv(GL_PACK_ALIGNMENT, &previous_alignment);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);  // rows back to back whatever the width
  glReadPixels(0, 0, CAPTURE_WIDTH, CAPTURE_HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, pixels);
  glPixelStorei(GL_PACK_ALIGNMENT, previous_alignment);
  glReadBuffer((GLenum)previous_buffer);
}

// Copies the GL rows into the bitmap upside down, so that its row 0 is the
// top of the screen. Pixels go through makecol24, which packs them in the
// layout the TGA writer reads back, whatever graphics mode is set.
void copy_upright(const unsigned char *pixels, BITMAP *bitmap)
{
  for (int k = 0; k < CAPTURE_HEIGHT; k++) {
    const unsigned char *row = pixels + (size_t)k * CAPTURE_WIDTH * BYTES_PER_PIXEL;
    int y = CAPTURE_HEIGHT - 1 - k;
    for (int x = 0; x < CAPTURE_WIDTH; x++) {
      const unsigned char *p = row + x * BYTES_PER_PIXEL;
      _putpixel24(bitmap, x, y, makecol24(p[0], p[1], p[2]));
    }
  }
}

}  // namespace

void save_screenshot()
{
  BITMAP *capture = create_bitmap_ex(CAPTURE_DEPTH, CAPTURE_WIDTH, CAPTURE_HEIGHT);
  if (!capture)
    return;
  clear_bitmap(capture);
  // One frame of pixels; static so a held F12 does not churn 900 KB a tick.
  static unsigned char pixels[CAPTURE_WIDTH * CAPTURE_HEIGHT * BYTES_PER_PIXEL];
  allegro_gl_begin();
  read_screen(pixels);
  allegro_gl_end();
  copy_upright(pixels, capture);
  char name[NAME_SIZE];
  first_free_name(name, sizeof name);
  save_bitmap(name, capture, nullptr);  // a failed write costs a picture, not the game
  destroy_bitmap(capture);
}

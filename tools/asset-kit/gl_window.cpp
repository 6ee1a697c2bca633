// An AllegroGL window for the tools and the tests that draw with OpenGL.
#include "tools/asset-kit/gl_window.h"

#include <allegro.h>
#include <alleggl.h>
#include <GL/gl.h>

bool open_gl_window(int width, int height, const char *title)
{
  if (allegro_init() != 0 || install_allegro_gl() != 0)
    return false;
  allegro_gl_clear_settings();
  allegro_gl_set(AGL_COLOR_DEPTH, 24);
  allegro_gl_set(AGL_Z_DEPTH, 16);
  allegro_gl_set(AGL_DOUBLEBUFFER, 1);
  allegro_gl_set(AGL_RENDERMETHOD, 1);
  allegro_gl_set(AGL_SUGGEST, AGL_COLOR_DEPTH | AGL_Z_DEPTH | AGL_DOUBLEBUFFER | AGL_RENDERMETHOD);
  set_color_depth(24);
  set_window_title(title);
  return set_gfx_mode(GFX_OPENGL_WINDOWED, width, height, 0, 0) == 0;
}

std::vector<unsigned char> read_back_buffer(int x, int y, int width, int height)
{
  std::vector<unsigned char> pixels((size_t)width * height * 3);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, y, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

// An OpenGL context for tests on a virtual X server of the test's own.
#include "tests/support/gl_fixture.h"
#include "tests/support/display.h"

#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <string>

void open_gl_test_context()
{
  static bool opened = false;
  if (opened)
    return;
  std::string display = test_display();
  ASSERT_FALSE(display.empty()) << "could not start a virtual X display";
  setenv("DISPLAY", display.c_str(), 1);
  ASSERT_EQ(allegro_init(), 0) << "allegro_init failed";
  install_allegro_gl();
  allegro_gl_clear_settings();
  allegro_gl_set(AGL_COLOR_DEPTH, 24);
  allegro_gl_set(AGL_Z_DEPTH, 16);
  allegro_gl_set(AGL_DOUBLEBUFFER, 1);
  allegro_gl_set(AGL_RENDERMETHOD, 1);
  allegro_gl_set(AGL_SUGGEST, AGL_COLOR_DEPTH | AGL_Z_DEPTH | AGL_DOUBLEBUFFER | AGL_RENDERMETHOD);
  set_color_depth(24);
  ASSERT_EQ(set_gfx_mode(GFX_OPENGL_WINDOWED, 640, 480, 0, 0), 0) << allegro_error;
  opened = true;
}

std::vector<unsigned char> read_back_buffer(int x, int y, int width, int height)
{
  std::vector<unsigned char> pixels((size_t)width * height * 3);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, y, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

std::vector<float> capture_feedback(void (*draw)(), int capacity)
{
  std::vector<float> buffer(capacity);
  glFeedbackBuffer(capacity, GL_3D_COLOR_TEXTURE, buffer.data());
  glRenderMode(GL_FEEDBACK);
  draw();
  int used = glRenderMode(GL_RENDER);
  buffer.resize(used < 0 ? 0 : used);
  return buffer;
}

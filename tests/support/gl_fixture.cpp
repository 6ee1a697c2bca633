// An OpenGL context for tests on a virtual X server of the test's own.
#include "tests/support/gl_fixture.h"

#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string started_display;

void stop_display()
{
  if (started_display.empty())
    return;
  std::string command = std::string(VIRTUAL_DISPLAY) + " stop " + started_display;
  std::system(command.c_str());
}

// Starts the project's virtual display and points DISPLAY at it.
bool start_display()
{
  std::string command = std::string(VIRTUAL_DISPLAY) + " start";
  FILE *out = popen(command.c_str(), "r");
  if (!out)
    return false;
  char line[64] = "";
  bool got = std::fgets(line, sizeof line, out) != nullptr;
  pclose(out);
  if (!got || line[0] != ':')
    return false;
  started_display = line;
  while (!started_display.empty() && started_display.back() == '\n')
    started_display.pop_back();
  setenv("DISPLAY", started_display.c_str(), 1);
  std::atexit(stop_display);
  return true;
}

}  // namespace

void open_gl_test_context()
{
  static bool opened = false;
  if (opened)
    return;
  ASSERT_TRUE(start_display()) << "could not start a virtual X display";
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

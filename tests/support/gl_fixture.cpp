// An OpenGL context for tests on a virtual X server of the test's own.
#include "tests/support/gl_fixture.h"
#include "tests/support/display.h"

#include <gtest/gtest.h>
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
  ASSERT_TRUE(open_gl_window(640, 480, "pilko test")) << allegro_error;
  opened = true;
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

// The test context itself: a window with working OpenGL.
#include "tests/support/gl_fixture.h"
#include <gtest/gtest.h>

TEST(GlFixture, ClearsAndReadsBack)
{
  open_gl_test_context();
  glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  std::vector<unsigned char> pixel = read_back_buffer(10, 10, 1, 1);
  EXPECT_EQ(pixel[0], 255);
  EXPECT_EQ(pixel[1], 0);
}

// Screenshots on real OpenGL: F12 held in play writes the picture on screen,
// upright, to the first free files of the series.
#include "tests/support/gl_fixture.h"
#include "tests/e2e/harness.h"

#include "game/screenshot.h"
#include "game/update.h"
#include "game/world.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

TEST(Screenshot, F12HeldOverThreeTicksFillsAGapThenTakesMoreDigitsAbove999)
{
  open_gl_test_context();
  std::string folder = temp_folder();
  ASSERT_EQ(chdir(folder.c_str()), 0);
  char name[32];
  for (int n = 0; n <= 999; n++) {
    std::snprintf(name, sizeof name, "vgrab-%03d.tga", n);
    if (n != 1)
      std::ofstream(name) << "x";
  }
  glClearColor(0, 0, 1, 1);  // blue, with a green square top left: GL counts rows from the bottom
  glClear(GL_COLOR_BUFFER_BIT);
  glEnable(GL_SCISSOR_TEST);
  glScissor(0, 440, 40, 40);
  glClearColor(0, 1, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glDisable(GL_SCISSOR_TEST);
  allegro_gl_flip();
  glReadBuffer(GL_FRONT);  // whatever buffer the renderer left selected

  reset_world();  // on the untouched grid: a grass floor at height 0
  key[KEY_F12] = 1;
  for (int t = 0; t < 3; t++)
    world_update();
  key[KEY_F12] = 0;
  world_update();
  for (const char *name : {"vgrab-001.tga", "vgrab-1000.tga", "vgrab-1001.tga"}) {
    picture p = load_picture(folder + "/" + name);
    ASSERT_EQ(p.width * 1000 + p.height, 640480) << name;
    EXPECT_EQ(std::vector<unsigned>({p.pixel(5, 5), p.pixel(639, 479)}), std::vector<unsigned>({0x00ff00, 0x0000ff})) << name;
  }
  EXPECT_NE(access("vgrab-1002.tga", F_OK), 0);
  EXPECT_EQ(chdir("/"), 0);
  std::system(("rm -rf '" + folder + "'").c_str());
}

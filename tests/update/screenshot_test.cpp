// F12 held in play on real OpenGL: one picture a tick, to the first free names of the series.
#include "tests/support/gl_fixture.h"
#include "tests/e2e/harness.h"

#include "game/screenshot.h"
#include "world/update.h"
#include "world/world.h"

#include <cstdlib>
#include <unistd.h>

TEST(Screenshot, F12HeldOverThreeTicksFillsAGapThenTakesMoreDigitsAbove999)
{
  open_gl_test_context();
  std::string folder = temp_folder();
  ASSERT_EQ(chdir(folder.c_str()), 0);
  ASSERT_EQ(std::system("seq -f vgrab-%03g.tga 0 999 | grep -vx vgrab-001.tga | xargs touch"), 0);
  reset_world();  // on the untouched grid: a grass floor at height 0
  screenshot_hook = save_screenshot;  // as the game sets it at start-up
  key[KEY_F12] = 1;
  for (int t = 0; t < 3; t++)
    world_update();
  for (const char *name : {"vgrab-001.tga", "vgrab-1000.tga", "vgrab-1001.tga"})
    EXPECT_EQ(load_picture(name).width, 640) << name;
  EXPECT_NE(access("vgrab-1002.tga", F_OK), 0);
  std::system(("rm -rf '" + folder + "'").c_str());
}

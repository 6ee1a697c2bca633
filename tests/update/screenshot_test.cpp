// Screenshots on real OpenGL: the picture on screen, upright, in the first
// free file of the series; and F12 held in play.
#include "tests/support/gl_fixture.h"
#include "tests/e2e/harness.h"

#include "game/screenshot.h"
#include "game/update.h"
#include "game/world.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

constexpr unsigned RED = 0xff0000, BLUE = 0x0000ff, GREEN = 0x00ff00;

void fill_rect(int x, int y, int w, int h, float r, float g, float b)
{
  glScissor(x, y, w, h);
  glClearColor(r, g, b, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
}

void touch(const std::string &name) { std::ofstream(name) << "x"; }

// Each test in a fresh folder of its own, with a picture on screen that tells
// up from down: red top half, blue bottom half, a green square top left.
class Screenshot : public ::testing::Test {
protected:
  std::string folder = temp_folder();
  char *previous = nullptr;

  void SetUp() override
  {
    open_gl_test_context();
    previous = getcwd(nullptr, 0);
    ASSERT_EQ(chdir(folder.c_str()), 0);
    glEnable(GL_SCISSOR_TEST);  // GL counts rows from the bottom
    fill_rect(0, 240, 640, 240, 1, 0, 0);
    fill_rect(0, 0, 640, 240, 0, 0, 1);
    fill_rect(0, 440, 40, 40, 0, 1, 0);
    glDisable(GL_SCISSOR_TEST);
    allegro_gl_flip();
  }
  void TearDown() override
  {
    EXPECT_EQ(chdir(previous), 0);
    std::free(previous);
    std::system(("rm -rf '" + folder + "'").c_str());
  }

  // Checks that the file shows the test picture upright at 640 x 480, 24 bits.
  void expect_test_picture(const std::string &name)
  {
    std::ifstream in(name, std::ios::binary);
    unsigned char header[18] = {};
    in.read((char *)header, sizeof header);
    EXPECT_EQ(header[16], 24) << name << ": bits per pixel";
    picture p = load_picture(folder + "/" + name);
    ASSERT_EQ(p.width, 640) << name;
    ASSERT_EQ(p.height, 480) << name;
    EXPECT_EQ(p.pixel(5, 5), GREEN) << name << ": the top left corner";
    EXPECT_EQ(p.pixel(45, 5), RED) << name;
    EXPECT_EQ(p.pixel(320, 100), RED) << name << ": the top half";
    EXPECT_EQ(p.pixel(639, 479), BLUE) << name << ": the bottom half";
  }
};

}  // namespace

TEST_F(Screenshot, SavesThePictureOnScreenUpright)
{
  glReadBuffer(GL_FRONT);  // whatever buffer the renderer left selected
  save_screenshot();
  expect_test_picture("vgrab-000.tga");
  load_picture(folder + "/vgrab-000.tga").save_png(picture_folder() + "/screenshot-upright.png");
}

TEST_F(Screenshot, F12HeldOverThreeTicksFillsAGapThenTakesMoreDigitsAbove999)
{
  char name[32];
  for (int n = 0; n <= 999; n++) {
    std::snprintf(name, sizeof name, "vgrab-%03d.tga", n);
    if (n != 1)
      touch(name);
  }
  reset_world();
  for (auto &column : level_map)
    for (map_cell &cell : column)
      cell = map_cell{KIND_STONE_FLOOR, 1, 0.0f};
  enemy_count = level_phase = 0;
  key[KEY_F12] = 1;
  for (int t = 0; t < 3; t++)
    world_update();
  key[KEY_F12] = 0;
  world_update();
  for (const char *name : {"vgrab-001.tga", "vgrab-1000.tga", "vgrab-1001.tga"})
    expect_test_picture(name);
  EXPECT_NE(access("vgrab-1002.tga", F_OK), 0);
}

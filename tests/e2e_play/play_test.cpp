// Play as a player meets it: the real game on the project's X server, keys
// sent with xdotool, the screen and the screenshot files looked at.
#include <gtest/gtest.h>
#include "tests/e2e/harness.h"
#include "tests/update/play_maps.h"

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

constexpr double PICTURE_TOLERANCE = 6.0;  // shown pictures: 16-bit modes round colours
constexpr double SAME_SCREEN = 0.5;        // two frames of a world standing still
constexpr double CHANGED_SCREEN = 5.0;     // a view that turned, moved or jumped

picture data_picture(const char *name) { return load_picture(std::string(pilko_data_dir) + "/graphics/" + name); }

// Compares the screens above the status line, which counts lives and drops.
double view_difference(picture a, picture b)
{
  for (picture *p : {&a, &b})
    if (!p->empty())
      p->rgb.resize((size_t)p->width * (p->height = 456) * 3);
  return picture_difference(a, b);
}

class Play : public ::testing::Test {
protected:
  std::string display = test_display();
  std::string folder = make_data_folder();
  game_run run;

  void TearDown() override { stop_game(run); }

  // Writes the level as mapN.map, with one drop far off so it stays in play.
  void add_map(int number, test_map map)
  {
    map.drop_marker[12][12] = 0;
    write_file(folder + "/maps/map" + std::to_string(number) + ".map", map_bytes(map));
  }

  // Starts the game, passes the logo and starts a game at the title.
  void enter_game()
  {
    run = start_game({folder, display});
    wait_for_picture(display, data_picture("logo.tga"), PICTURE_TOLERANCE);
    tap_key(display, "a");
    wait_for_picture(display, data_picture("title.tga"), PICTURE_TOLERANCE);
    tap_key(display, "space");
    picture game = wait_for_screen(display, [](const picture &p) {
      return picture_difference(p, data_picture("title.tga")) > 20;
    });
    ASSERT_GT(lit_share(game), 0.2) << "no game on screen";
  }

  // The screen once three shots in a row are the same.
  picture still_screen()
  {
    picture last = screenshot(display);
    int same = 1;
    for (int tries = 0; same < 3 && tries < 100; tries++) {
      usleep(200 * 1000);
      picture shot = screenshot(display);
      same = picture_difference(shot, last) <= SAME_SCREEN ? same + 1 : 1;
      last = shot;
    }
    EXPECT_GE(same, 3) << "the screen never came to rest";
    return last;
  }

  // True once the view differs from reference (changed) or matches it again
  // (!changed) within 20 seconds.
  bool view_comes(const picture &reference, bool changed)
  {
    for (int tries = 0; tries < 100; tries++, usleep(200 * 1000)) {
      double d = view_difference(screenshot(display), reference);
      if (changed ? d > CHANGED_SCREEN : d <= SAME_SCREEN)
        return true;
    }
    return false;
  }
};

}  // namespace

TEST_F(Play, ArrowKeysTurnTheViewAndWalkTheHeroUpToAWallSpaceJumps)
{
  test_map map = walled_level(TEST_KIND_GRASS);
  for (int y = 0; y < 25; y++)
    map.height[5][y] = TEST_WALL_HEIGHT;  // a wall three cells ahead
  add_map(1, map);
  enter_game();
  picture before = still_screen();
  for (const char *turn : {"Left", "Right"}) {
    tap_key(display, turn, 0.3);
    picture after = still_screen();
    EXPECT_GT(view_difference(after, before), CHANGED_SCREEN) << turn << " did not turn the view";
    before = after;
  }
  key_down(display, "Up");
  EXPECT_TRUE(view_comes(before, true)) << "UP did not walk";
  picture at_wall = still_screen();  // comes to rest while UP is still held
  key_up(display, "Up");
  EXPECT_GT(view_difference(at_wall, before), CHANGED_SCREEN);
  tap_key(display, "space", 0.1);
  EXPECT_TRUE(view_comes(at_wall, true)) << "SPACE did not jump";
  EXPECT_TRUE(view_comes(at_wall, false)) << "the hero did not come down where it took off";
}

TEST_F(Play, F12WritesScreenshotsThatMatchTheScreen)
{
  test_map map = walled_level(TEST_KIND_GRASS);
  map.height[4][3] = 1.0f;  // something off-centre, so a flipped picture shows
  add_map(1, map);
  enter_game();
  picture screen = still_screen();
  key_down(display, "F12");
  for (int tries = 0; tries < 100 && access((folder + "/vgrab-001.tga").c_str(), F_OK) != 0; tries++)
    usleep(50 * 1000);
  key_up(display, "F12");
  for (const char *name : {"vgrab-000.tga", "vgrab-001.tga"}) {
    picture file = load_picture(folder + "/" + name);
    ASSERT_EQ(file.width * 1000 + file.height, 640480) << name;
    file.save_png(picture_folder() + "/play-" + name + ".png");
    EXPECT_LE(picture_difference(file, screen), SAME_SCREEN) << name << " is not the screen";
  }
}

TEST_F(Play, TabWithEndCompletesEachLevelUntilTheLastMapThenTheTitle)
{
  const int floors[] = {TEST_KIND_GRASS, TEST_KIND_STONE, TEST_KIND_METAL};
  for (int level = 1; level <= 3; level++)
    add_map(level, walled_level(floors[level - 1]));
  enter_game();
  picture title = data_picture("title.tga"), previous = title;
  for (int level = 1; level <= 3; level++) {
    picture shown = still_screen();
    ASSERT_GT(picture_difference(shown, title), 20) << "level " << level << " is not on screen";
    EXPECT_GT(view_difference(shown, previous), CHANGED_SCREEN) << "level " << level << " has the previous floor";
    previous = shown;
    tap_key(display, "Tab+End", 0.2);
    EXPECT_TRUE(view_comes(shown, true)) << "no level-complete sequence " << level;
  }
  EXPECT_LE(picture_difference(wait_for_picture(display, title, PICTURE_TOLERANCE, 30), title), PICTURE_TOLERANCE)
      << "no title after the last map";
  EXPECT_FALSE(wait_for_exit(run, 0.1));
}

TEST_F(Play, ThreeDeathsEndTheGameWithTheGameOverPicture)
{
  test_map map = walled_level(TEST_KIND_STONE);
  map.kind[2][2] = TEST_KIND_LAVA;  // the start cell: each landing there kills
  add_map(1, map);
  enter_game();
  picture dead = still_screen();  // died in the first tick: no hero drawn
  for (int life = 1; life <= 2; life++) {
    tap_key(display, "space");  // revives and jumps off the lava
    EXPECT_TRUE(view_comes(dead, true)) << "no revival " << life;
    EXPECT_TRUE(view_comes(dead, false)) << "no death " << life;
  }
  std::string expected_path = folder + "/expected-game-over.png";
  ASSERT_EQ(std::system(("convert -size 640x480 xc:black '" + std::string(pilko_data_dir) +
                         "/graphics/gameover.tga' -geometry +161+213 -composite '" + expected_path + "'").c_str()), 0);
  picture expected = load_picture(expected_path);
  tap_key(display, "space");  // the third revival spends the last life
  picture shown = wait_for_picture(display, expected, PICTURE_TOLERANCE);
  shown.save_png(picture_folder() + "/play-game-over.png");
  ASSERT_LE(picture_difference(shown, expected), PICTURE_TOLERANCE) << "no game-over picture";
  usleep(1000 * 1000);  // the SPACE that ended the game came before the picture: it stays
  EXPECT_LE(picture_difference(screenshot(display), expected), PICTURE_TOLERANCE);
  tap_key(display, "a");
  picture title = data_picture("title.tga");
  EXPECT_LE(picture_difference(wait_for_picture(display, title, PICTURE_TOLERANCE), title), PICTURE_TOLERANCE)
      << "a key after the picture did not dismiss it";
}

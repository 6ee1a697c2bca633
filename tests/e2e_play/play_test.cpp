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
constexpr int STATUS_LINE_TOP = 456;       // rows below show lives and drops
constexpr int STILL_SHOTS = 3;             // identical screenshots in a row: at rest

std::string data_file(const char *name) { return std::string(pilko_data_dir) + "/" + name; }

// The screen above the status line, which counts lives and drops.
picture above_status_line(const picture &p)
{
  picture top = p;
  if (!top.empty()) {
    top.height = STATUS_LINE_TOP;
    top.rgb.resize((size_t)top.width * top.height * 3);
  }
  return top;
}

// The mean colour of a picture as (r, g, b).
void mean_colour(const picture &p, double rgb[3])
{
  rgb[0] = rgb[1] = rgb[2] = 0;
  size_t pixels = p.rgb.size() / 3;
  for (size_t i = 0; i < p.rgb.size(); i++)
    rgb[i % 3] += p.rgb[i];
  for (int c = 0; c < 3; c++)
    rgb[c] /= pixels ? (double)pixels : 1.0;
}

// Which of the floors of the test levels fills the view: 0 grass (green),
// 1 stone (warm grey), 3 metal (cool grey).
int floor_kind_on_screen(const picture &p)
{
  double rgb[3];
  mean_colour(above_status_line(p), rgb);
  if (rgb[1] > rgb[0] + 20 && rgb[1] > rgb[2] + 20)
    return TEST_KIND_GRASS;
  return rgb[0] > rgb[2] ? TEST_KIND_STONE : TEST_KIND_METAL;
}

class Play : public ::testing::Test {
protected:
  std::string display = test_display();
  std::string folder = make_data_folder();
  game_run run;

  void TearDown() override { stop_game(run); }

  void add_map(int number, const test_map &map)
  {
    write_file(folder + "/maps/map" + std::to_string(number) + ".map", map_bytes(map));
  }

  // Starts the game, passes the logo and starts a game at the title.
  void enter_game()
  {
    game_options options;
    options.display = display;
    options.folder = folder;
    run = start_game(options);
    picture logo = load_picture(data_file("graphics/logo.tga"));
    wait_for_picture(display, logo, PICTURE_TOLERANCE);
    tap_key(display, "a");
    picture title = load_picture(data_file("graphics/title.tga"));
    ASSERT_LE(picture_difference(wait_for_picture(display, title, PICTURE_TOLERANCE), title),
              PICTURE_TOLERANCE) << "no title screen";
    tap_key(display, "space");
    picture game = wait_for_screen(display, [](const picture &p) {
      return picture_difference(p, load_picture(data_file("graphics/title.tga"))) > 20;
    });
    ASSERT_GT(lit_share(game), 0.2) << "no game on screen";
  }

  // The screen once it has stopped changing.
  picture still_screen(double seconds = 20)
  {
    picture last = screenshot(display);
    int same = 1;
    for (int tries = 0; same < STILL_SHOTS && tries < seconds * 5; tries++) {
      usleep(200 * 1000);
      picture shot = screenshot(display);
      same = picture_difference(shot, last) <= SAME_SCREEN ? same + 1 : 1;
      last = shot;
    }
    EXPECT_GE(same, STILL_SHOTS) << "the screen never came to rest";
    return last;
  }

  void save(const picture &p, const std::string &name)
  {
    p.save_png(picture_folder() + "/" + name);
  }
};

// Waits until the screen above the status line differs from reference by
// more than CHANGED_SCREEN (want_change) or matches it (!want_change).
picture wait_for_view(const std::string &display, const picture &reference, bool want_change,
                      double seconds = 20)
{
  picture shot;
  for (int tries = 0; tries < seconds * 5; tries++) {
    shot = screenshot(display);
    double d = picture_difference(above_status_line(shot), above_status_line(reference));
    if (want_change ? d > CHANGED_SCREEN : d <= SAME_SCREEN)
      break;
    usleep(200 * 1000);
  }
  return shot;
}

double view_difference(const picture &a, const picture &b)
{
  return picture_difference(above_status_line(a), above_status_line(b));
}

}  // namespace

TEST_F(Play, ArrowKeysTurnTheViewAndWalkTheHeroUpToAWall)
{
  test_map map = walled_level(TEST_KIND_GRASS);
  map.drop_marker[12][12] = 0;
  for (int y = 0; y < 25; y++)
    map.height[5][y] = TEST_WALL_HEIGHT;  // a wall three cells ahead
  add_map(1, map);
  enter_game();
  picture start = still_screen();
  save(start, "play-1-start.png");

  tap_key(display, "Left", 0.3);
  picture turned = still_screen();
  save(turned, "play-2-turned-left.png");
  EXPECT_GT(view_difference(turned, start), CHANGED_SCREEN) << "LEFT did not turn the view";

  tap_key(display, "Right", 0.3);
  picture back = still_screen();
  EXPECT_GT(view_difference(back, turned), CHANGED_SCREEN) << "RIGHT did not turn the view";

  // Facing the wall again as closely as the taps allow, walk into it: the
  // view moves, then stops at the wall while UP is still held.
  key_down(display, "Up");
  picture walking = wait_for_view(display, back, true);
  picture at_wall = still_screen();
  key_up(display, "Up");
  save(at_wall, "play-3-at-the-wall.png");
  EXPECT_GT(view_difference(walking, back), CHANGED_SCREEN) << "UP did not walk";
  EXPECT_GT(view_difference(at_wall, back), CHANGED_SCREEN);
  EXPECT_EQ(floor_kind_on_screen(at_wall), TEST_KIND_GRASS);
}

TEST_F(Play, SpaceJumpsAndTheHeroLandsWhereItTookOff)
{
  test_map map = walled_level(TEST_KIND_STONE);
  map.drop_marker[12][12] = 0;
  add_map(1, map);
  enter_game();
  picture standing = still_screen();
  tap_key(display, "space", 0.1);
  picture in_the_air = wait_for_view(display, standing, true);
  save(in_the_air, "play-4-jump.png");
  EXPECT_GT(view_difference(in_the_air, standing), CHANGED_SCREEN) << "SPACE did not jump";
  picture landed = wait_for_view(display, standing, false);
  EXPECT_LE(view_difference(landed, standing), SAME_SCREEN) << "the hero did not come down";
}

TEST_F(Play, F12WritesScreenshotsThatMatchTheScreen)
{
  test_map map = walled_level(TEST_KIND_GRASS);
  map.drop_marker[12][12] = 0;
  map.height[4][3] = 1.0f;  // something off-centre, so a flipped picture shows
  add_map(1, map);
  enter_game();
  picture screen = still_screen();
  save(screen, "play-5-screen.png");

  key_down(display, "F12");
  for (int tries = 0; tries < 100 && access((folder + "/vgrab-001.tga").c_str(), F_OK) != 0; tries++)
    usleep(50 * 1000);
  key_up(display, "F12");
  for (const char *name : {"vgrab-000.tga", "vgrab-001.tga"}) {
    picture file = load_picture(folder + "/" + name);
    ASSERT_EQ(file.width, 640) << name;
    ASSERT_EQ(file.height, 480) << name;
    save(file, std::string("play-6-") + name + ".png");
    EXPECT_LE(picture_difference(file, screen), SAME_SCREEN) << name << " is not the screen";
  }
}

TEST_F(Play, TabWithEndCompletesEachLevelUntilTheLastMapThenTheTitle)
{
  const int floors[] = {TEST_KIND_GRASS, TEST_KIND_STONE, TEST_KIND_METAL};
  for (int level = 1; level <= 3; level++) {
    test_map map = walled_level(floors[level - 1]);
    map.drop_marker[12][12] = 0;
    add_map(level, map);
  }
  enter_game();
  picture title = load_picture(data_file("graphics/title.tga"));
  for (int level = 1; level <= 3; level++) {
    picture shown = still_screen();
    save(shown, "play-7-level-" + std::to_string(level) + ".png");
    ASSERT_GT(picture_difference(shown, title), 20) << "level " << level << " is not on screen";
    EXPECT_EQ(floor_kind_on_screen(shown), floors[level - 1]) << "level " << level;
    key_down(display, "Tab");
    key_down(display, "End");
    usleep(200 * 1000);
    key_up(display, "End");
    key_up(display, "Tab");
    // The level-complete sequence raises and spins the hero.
    picture sequence = wait_for_view(display, shown, true);
    EXPECT_GT(view_difference(sequence, shown), CHANGED_SCREEN) << "level " << level;
  }
  picture after = wait_for_picture(display, title, PICTURE_TOLERANCE, 30);
  save(after, "play-8-title-after-the-last-map.png");
  EXPECT_LE(picture_difference(after, title), PICTURE_TOLERANCE) << "no title after the last map";
  EXPECT_FALSE(wait_for_exit(run, 0.1));
}

TEST_F(Play, ThreeDeathsEndTheGameWithTheGameOverPicture)
{
  test_map map = walled_level(TEST_KIND_STONE);
  map.kind[2][2] = TEST_KIND_LAVA;  // the start cell: each landing there kills
  map.drop_marker[12][12] = 0;
  add_map(1, map);
  enter_game();
  picture dead = still_screen();  // died in the first tick: no hero drawn
  save(dead, "play-9-dead.png");
  for (int life = 1; life <= 2; life++) {
    tap_key(display, "space");  // revives and jumps off the lava
    picture alive = wait_for_view(display, dead, true);
    EXPECT_GT(view_difference(alive, dead), CHANGED_SCREEN) << "no revival " << life;
    picture dead_again = wait_for_view(display, dead, false);
    EXPECT_LE(view_difference(dead_again, dead), SAME_SCREEN) << "no death " << life;
  }
  picture game_over = load_picture(data_file("graphics/gameover.tga"));
  ASSERT_FALSE(game_over.empty());
  std::string expected_path = folder + "/expected-game-over.png";
  std::string compose = "convert -size 640x480 xc:black '" + data_file("graphics/gameover.tga") +
                        "' -geometry +161+213 -composite '" + expected_path + "'";
  ASSERT_EQ(std::system(compose.c_str()), 0);
  picture expected = load_picture(expected_path);

  tap_key(display, "space");  // the third revival spends the last life
  picture shown = wait_for_picture(display, expected, PICTURE_TOLERANCE);
  save(shown, "play-10-game-over.png");
  ASSERT_LE(picture_difference(shown, expected), PICTURE_TOLERANCE) << "no game-over picture";
  // The SPACE that ended the game came before the picture: it stays.
  usleep(1000 * 1000);
  EXPECT_LE(picture_difference(screenshot(display), expected), PICTURE_TOLERANCE);

  tap_key(display, "a");
  picture title = load_picture(data_file("graphics/title.tga"));
  EXPECT_LE(picture_difference(wait_for_picture(display, title, PICTURE_TOLERANCE), title),
            PICTURE_TOLERANCE) << "a key after the picture did not dismiss it";
}

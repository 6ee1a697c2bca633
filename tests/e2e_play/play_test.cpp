// Play as a player meets it: the real game on the project's X server, keys
// sent with xdotool, the screen and the screenshot files looked at.
#include <gtest/gtest.h>
#include "tests/e2e/harness.h"
#include "tests/support/test_maps.h"
#include "world/game_rules.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

constexpr double SAME_SCREEN = 0.5;        // two frames of a world standing still
constexpr double CHANGED_SCREEN = 5.0;     // a view that turned, moved or jumped

// Rows of the level banner, which fades by itself in a level's first seconds;
// of the death line, over the scene; and of the status line, which counts.
constexpr int BANNER_TOP = 80, BANNER_BOTTOM = 200;
constexpr int DEATH_LINE_TOP = 368, DEATH_LINE_BOTTOM = 400;
constexpr int STATUS_LINE_TOP = 456;

// Compares the screens above row bottom, the banner's rows left out.
double difference_above(picture a, picture b, int bottom)
{
  for (picture *p : {&a, &b}) {
    p->rgb.resize((size_t)p->width * (p->height = bottom) * 3);
    std::fill(p->rgb.begin() + BANNER_TOP * p->width * 3, p->rgb.begin() + BANNER_BOTTOM * p->width * 3, 0);
  }
  return picture_difference(a, b);
}

// Compares the views: the scene and any death line.
double view_difference(picture a, picture b)
{
  return difference_above(a, b, STATUS_LINE_TOP);
}

// The near-white letters of the death line.
bool white(const unsigned char *rgb)
{
  return rgb[0] > 225 && rgb[1] > 225 && rgb[2] > 225;
}

// Compares the scene above the death line.
double scene_difference(picture a, picture b)
{
  return difference_above(a, b, DEATH_LINE_TOP);
}

// Compares the middle of the hero: camera 2 draws a hero at rest there whether it stands or jumps.
double hero_difference(const picture &a, const picture &b)
{
  constexpr int left = 295, top = 250, size = 50;  // inside the sphere around (320, 275)
  auto middle = [&](const picture &p) {
    picture box;
    box.width = box.height = size;
    for (int y = top; y < top + size && p.height == 480; y++)
      box.rgb.insert(box.rgb.end(), p.rgb.begin() + (y * p.width + left) * 3,
                     p.rgb.begin() + (y * p.width + left + size) * 3);
    return box;
  };
  return picture_difference(middle(a), middle(b));
}

class Play : public GameTest {
protected:
  // Writes the level as mapN.map, with one drop far off so it stays in play.
  void add_map(int number, test_map map)
  {
    map.drop_marker[12][12] = 0;
    GameTest::add_map(number, map);
  }

  // The screen once three shots in a row are the same.
  picture still_screen()
  {
    picture last;
    int same = 0;
    auto at_rest = [&](const picture &shot) {
      same = picture_difference(shot, last) <= SAME_SCREEN ? same + 1 : 0;
      last = shot;
      return same == 2;
    };
    wait_for_screen(display, at_rest, 30);
    EXPECT_EQ(same, 2) << "the screen never came to rest";
    return last;
  }

  // True once the part of the screen that compare measures differs from
  // reference (changed) or matches it again (!changed).
  bool comes(const picture &reference, bool changed, double (*compare)(picture, picture))
  {
    auto reached = [&](const picture &shot) {
      double d = compare(shot, reference);
      return changed ? d > CHANGED_SCREEN : d <= SAME_SCREEN;
    };
    return reached(wait_for_screen(display, reached));
  }
  bool view_comes(const picture &reference, bool changed) { return comes(reference, changed, view_difference); }
  bool scene_comes(const picture &reference, bool changed) { return comes(reference, changed, scene_difference); }
};

}  // namespace

TEST_F(Play, ArrowsTurnAndWalkSpaceJumps)
{
  test_map map = walled_level(KIND_GRASS);
  // A dead end one cell wide: a heading the taps leave a step off would slide the hero along an open wall.
  for (int i = 0; i < 25; i++)
    map.height[5][i] = map.height[i / 5][1] = map.height[i / 5][3] = TEST_WALL_HEIGHT;
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
  tap_key(display, "space", 0.1);
  EXPECT_TRUE(view_comes(at_wall, true)) << "SPACE did not jump";
  EXPECT_TRUE(view_comes(at_wall, false)) << "the hero did not come down where it took off";
}

TEST_F(Play, F12WritesScreenshotsThatMatchTheScreen)
{
  test_map map = walled_level(KIND_GRASS);
  map.height[4][3] = 1.0f;  // something off-centre, so a flipped picture shows
  add_map(1, map);
  enter_game();
  picture screen = still_screen();
  key_down(display, "F12");
  // Held until a third file is begun: the first two are then whole.
  for (int tries = 0; tries < 100 && access((folder + "/vgrab-002.tga").c_str(), F_OK) != 0; tries++)
    usleep(50 * 1000);
  key_up(display, "F12");
  for (const char *name : {"vgrab-000.tga", "vgrab-001.tga"})  // a wrong size differs by 255
    EXPECT_LE(difference_above(load_picture(folder + "/" + name), screen, screen.height), SAME_SCREEN) << name;
}

TEST_F(Play, TabEndSkipsLevelsToTheCampaignCompletePicture)
{
  const int floors[] = {KIND_GRASS, KIND_STONE_FLOOR, KIND_METAL};
  for (int level = 1; level <= 3; level++)
    add_map(level, walled_level(floors[level - 1]));
  enter_game();
  picture title = data_picture("title.tga"), previous = title;
  for (int level = 1; level <= 3; level++) {
    picture shown = still_screen();
    ASSERT_GT(picture_difference(shown, title), 20) << "level " << level << " is not on screen";
    EXPECT_GT(view_difference(shown, previous), CHANGED_SCREEN) << "level " << level << " has the last floor";
    previous = shown;
    tap_key(display, "Tab+End", 0.2);
    EXPECT_TRUE(view_comes(shown, true)) << "no level-complete sequence " << level;
  }
  picture won = end_picture("complete.tga", CAMPAIGN_COMPLETE_X, CAMPAIGN_COMPLETE_Y);
  EXPECT_TRUE(shows(won, 30)) << "no campaign-complete picture after the last map";
  screenshot(display).save_png(picture_folder() + "/play-campaign-complete.png");
  tap_key(display, "a");
  EXPECT_TRUE(shows(title)) << "a key did not leave the campaign-complete picture";
}

TEST_F(Play, ThreeDeathsEndTheGameWithTheGameOverPicture)
{
  test_map map = walled_level(KIND_STONE_FLOOR);
  map.kind[2][2] = KIND_LAVA;  // the start cell: each landing there kills
  add_map(1, map);
  enter_game();
  picture dead = still_screen();  // died in the first tick: no hero drawn
  dead.save_png(picture_folder() + "/play-death-line.png");
  EXPECT_GT(pixels_in_rows(dead, DEATH_LINE_TOP, DEATH_LINE_BOTTOM, white), 300) << "no death line";
  for (int life = 1; life <= 2; life++) {
    tap_key(display, "space");  // revives and jumps off the lava
    EXPECT_TRUE(scene_comes(dead, true)) << "no revival " << life;
    EXPECT_TRUE(scene_comes(dead, false)) << "no death " << life;
  }
  screenshot(display).save_png(picture_folder() + "/play-death-line-last-life.png");
  picture game_over = end_picture("gameover.tga", GAME_OVER_X, GAME_OVER_Y);
  // The third revival spends the last life; SPACE, held on and repeating,
  // neither leaves the picture nor, once a key has, starts a game at the title.
  key_down(display, "space");
  EXPECT_TRUE(shows(game_over)) << "no game-over picture";
  usleep(1500 * 1000);
  EXPECT_LE(picture_difference(screenshot(display), game_over), PICTURE_TOLERANCE) << "SPACE left the picture";
  tap_key(display, "a");
  picture title = data_picture("title.tga");
  EXPECT_TRUE(shows(title)) << "a key after the picture did not dismiss it";
  usleep(1500 * 1000);
  EXPECT_LE(picture_difference(screenshot(display), title), PICTURE_TOLERANCE) << "the held SPACE started a game";
  key_up(display, "space");
}

TEST_F(Play, EscInTheRiseThenSpaceStartsAFreshGame)
{
  add_map(1, walled_level(KIND_GRASS));
  enter_game();
  picture start = still_screen();
  start.save_png(picture_folder() + "/play-esc-in-rise-first-game.png");
  tap_key(display, "Tab+End", 0.2);
  ASSERT_TRUE(view_comes(start, true)) << "no level-complete sequence";
  usleep(1000 * 1000);  // well into the rise, which lasts 90 ticks
  screenshot(display).save_png(picture_folder() + "/play-esc-in-rise-rising.png");
  tap_key(display, "Escape");
  picture title = data_picture("title.tga");
  ASSERT_TRUE(shows(title)) << "ESC in the rise did not go back to the title";
  // Had the rise been over, the game would have gone back to the title by itself (no map 2) and ESC would quit.
  ASSERT_FALSE(wait_for_exit(run, 0.5)) << "the game quit: ESC came after the rise";

  tap_key(display, "space");  // also held in the game's first ticks: the hero may jump
  auto in_game = [&](const picture &p) { return picture_difference(p, title) > 20 && lit_share(p) > 0.2; };
  picture first = wait_for_screen(display, in_game);
  first.save_png(picture_folder() + "/play-esc-in-rise-new-game.png");
  EXPECT_LE(hero_difference(first, start), PICTURE_TOLERANCE) << "the new game opened with the hero risen or turned";
  picture at_rest = still_screen();
  EXPECT_LE(view_difference(at_rest, start), SAME_SCREEN) << "the new game is not at level 1's start";
  tap_key(display, "Left", 0.3);
  EXPECT_TRUE(view_comes(start, true)) << "LEFT did not turn the view in the new game";
}

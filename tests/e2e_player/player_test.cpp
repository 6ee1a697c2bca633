// The player's options and keys as a player meets them: the real game on the
// project's X servers (Xorg's dummy driver, and Xvfb for --window), keys sent
// with xdotool, the screens looked at.
#include <gtest/gtest.h>
#include "tests/e2e/harness.h"
#include "tests/support/test_maps.h"

#include <string>
#include <unistd.h>

namespace {

constexpr double CHANGED_SCREEN = 2.0;     // a world that moved on
constexpr int PAUSED_TOP = 200, PAUSED_BOTTOM = 280;  // rows that hold the word "PAUSED"
constexpr int NAME_TOP = 100, NAME_BOTTOM = 180;      // rows that hold a level's name

// Pixels of the golden letters of "PAUSED" in the rows around the centre.
int golden_letter_pixels(const picture &p)
{
  return pixels_in_rows(p, PAUSED_TOP, PAUSED_BOTTOM, golden);
}

// Pixels of the golden letters of the level banner's name.
int name_pixels(const picture &p)
{
  return pixels_in_rows(p, NAME_TOP, NAME_BOTTOM, golden);
}

class Player : public GameTest {
protected:
  // The screen once two shots in a row are exactly the same.
  picture frozen_screen()
  {
    picture last;
    auto same_twice = [&](const picture &shot) {
      bool same = shot.rgb == last.rgb;
      last = shot;
      return same;
    };
    wait_for_screen(display, same_twice, 30);
    return last;
  }

  // The screen once it differs from reference.
  picture changed_from(const picture &reference)
  {
    return wait_for_screen(display, [&](const picture &p) { return picture_difference(p, reference) > CHANGED_SCREEN; });
  }
};

// A walled level with an enemy patrolling, so the world never stands still by itself.
test_map patrolled_level()
{
  test_map map = walled_level(KIND_GRASS);
  map.drop_marker[20][20] = 0;
  map.enemies.push_back({2, 4, 1});  // in view, two cells ahead of the hero
  return map;
}

}  // namespace

TEST_F(Player, WindowPlaysOnXvfb)
{
  display = test_display(true);  // Xvfb: no full-screen mode there
  add_map(1, patrolled_level());
  enter_game({"--window"});
  picture game = screenshot(display);
  game.save_png(picture_folder() + "/player-window-game.png");
  tap_key(display, "Escape");
  EXPECT_TRUE(shows(data_picture("title.tga"))) << "ESC did not go back to the title";
  tap_key(display, "Escape");
  ASSERT_TRUE(wait_for_exit(run, 20));
  EXPECT_EQ(run.exit_status, 0) << game_output(run);
}

TEST_F(Player, RefusedFullScreenNamesWindowOption)
{
  game_options options;
  options.display = test_display(true);
  options.path = "/nonexistent";  // no xmessage: the message goes to stderr
  run = start_game(options);
  ASSERT_TRUE(wait_for_exit(run, 60));
  EXPECT_EQ(run.exit_status, 1);
  std::string output = game_output(run);
  size_t designed = output.find("Error setting graphics mode:\n");
  EXPECT_NE(designed, std::string::npos) << output;
  EXPECT_NE(output.find("--window", designed), std::string::npos) << output;
}

TEST_F(Player, PauseFreezesUnderTheWordAndPGoesOn)
{
  add_map(1, patrolled_level());
  enter_game();
  tap_key(display, "p");
  picture paused = frozen_screen();
  paused.save_png(picture_folder() + "/player-paused.png");
  EXPECT_GT(golden_letter_pixels(paused), 500) << "no PAUSED over the frozen picture";
  key_down(display, "Up");  // walking keys do nothing while paused
  usleep(1000 * 1000);
  key_up(display, "Up");
  EXPECT_TRUE(screenshot(display).rgb == paused.rgb) << "the world moved while paused";
  tap_key(display, "p");
  picture going_on = changed_from(paused);
  EXPECT_LT(golden_letter_pixels(going_on), 100) << "PAUSED stayed after P";  // a few yellow flowers
}

TEST_F(Player, EscapeWhilePausedEndsTheGame)
{
  add_map(1, patrolled_level());
  enter_game();
  tap_key(display, "p");
  frozen_screen();
  tap_key(display, "Escape");
  EXPECT_TRUE(shows(data_picture("title.tga"))) << "ESC while paused did not end the game";
}

namespace {

// True when the view (above the status line) is mostly meadow green.
bool shows_grass(const picture &p)
{
  double red = 0, green = 0;
  for (size_t i = 0; i < (size_t)p.width * 456 * 3; i += 3) {
    red += p.rgb[i];
    green += p.rgb[i + 1];
  }
  return green > 1.3 * red;
}

test_map level_with_drop(int kind)
{
  test_map map = walled_level(kind);
  map.drop_marker[20][20] = 0;
  return map;
}

}  // namespace

TEST_F(Player, LevelNumberStartsThereAndGoesOnToTheNext)
{
  add_map(1, level_with_drop(KIND_GRASS));
  add_map(2, level_with_drop(KIND_STONE_FLOOR));
  add_map(3, level_with_drop(KIND_GRASS));
  enter_game({"--level", "2"});
  picture first = frozen_screen();
  first.save_png(picture_folder() + "/player-level-2.png");
  EXPECT_FALSE(shows_grass(first)) << "the game did not start on level 2's stone";
  tap_key(display, "Tab+End", 0.2);
  EXPECT_TRUE(shows_grass(wait_for_screen(display, shows_grass, 30))) << "level 3 did not follow level 2";
}

// Each level opens under its number and its name from the index beside the
// maps, which then fade and leave the scene as it is.
TEST_F(Player, LevelBannerNamesTheLevelThenFades)
{
  add_map(1, level_with_drop(KIND_GRASS));
  add_map(2, level_with_drop(KIND_STONE_FLOOR));
  write_file(folder + "/maps/levels.txt", "# names\n1 Green Start\n  g grass 0\n2 Stone Maze Of Doom\n");
  enter_game();
  auto named = [](const picture &p) { return name_pixels(p) > 500; };
  picture first = wait_for_screen(display, named, 5);
  first.save_png(picture_folder() + "/player-banner-level-1.png");
  EXPECT_TRUE(named(first)) << "no name over level 1";
  tap_key(display, "Tab+End", 0.2);
  auto level_2_named = [&](const picture &p) { return !shows_grass(p) && named(p); };
  picture second = wait_for_screen(display, level_2_named, 30);
  second.save_png(picture_folder() + "/player-banner-level-2.png");
  ASSERT_TRUE(level_2_named(second)) << "no name over level 2";
  EXPECT_GT(name_pixels(second), name_pixels(first) * 1.3) << "level 2 did not show its longer name";
  picture faded = wait_for_screen(display, [](const picture &p) { return name_pixels(p) < 100; }, 30);
  EXPECT_LT(name_pixels(faded), 100) << "the banner stayed";
}

TEST_F(Player, LevelTextPlaysAloneThenTheTitle)
{
  std::string level = folder + "/first.level";
  copy_file(std::string(PILKO_SOURCE_DIR) + "/levels/01-first-steps.level", level);
  add_map(1, level_with_drop(KIND_STONE_FLOOR));
  add_map(2, level_with_drop(KIND_STONE_FLOOR));
  enter_game({"--level", level});
  picture named = wait_for_screen(display, [](const picture &p) { return name_pixels(p) > 500; }, 5);
  named.save_png(picture_folder() + "/player-banner-level-text.png");
  EXPECT_GT(name_pixels(named), 500) << "the level text's own name is not shown";
  EXPECT_TRUE(shows_grass(frozen_screen())) << "not the meadow of the level text";
  tap_key(display, "Tab+End", 0.2);
  EXPECT_TRUE(shows(data_picture("title.tga"), 30)) << "no title after the level";
}

TEST_F(Player, LevelMapFilePlaysAloneThenTheTitle)
{
  write_file(folder + "/alone.map", map_bytes(level_with_drop(KIND_GRASS)));
  add_map(1, level_with_drop(KIND_STONE_FLOOR));
  add_map(2, level_with_drop(KIND_STONE_FLOOR));
  enter_game({"--level", "alone.map"});
  EXPECT_TRUE(shows_grass(frozen_screen())) << "not the grass of the map file";
  tap_key(display, "Tab+End", 0.2);
  EXPECT_TRUE(shows(data_picture("title.tga"), 30)) << "no title after the level";
}

TEST_F(Player, LevelTextMistakesStopBeforeAnyWindow)
{
  write_file(folder + "/broken.level", "name Broken\nstart 3 12\nlegend\n  .  grass  0\n  x  lava\n");
  game_options options;  // no display at all: the mistakes come first
  options.folder = folder;
  options.arguments = {"--level", "broken.level"};
  run = start_game(options);
  ASSERT_TRUE(wait_for_exit(run, 30));
  EXPECT_EQ(run.exit_status, 1);
  std::string output = game_output(run);
  EXPECT_NE(output.find("broken.level:5:"), std::string::npos) << output;
  EXPECT_EQ(output.find("cannot open a display"), std::string::npos) << output;
}

TEST_F(Player, MissingLevelNumberSaysSo)
{
  game_options options;
  options.folder = folder;
  options.arguments = {"--level", "7"};
  run = start_game(options);
  ASSERT_TRUE(wait_for_exit(run, 30));
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_NE(game_output(run).find("there is no level 7"), std::string::npos) << game_output(run);
}

namespace {

// What pilko-sim prints for a level and a key script.
std::string simulated_events(const std::string &map, const std::string &script)
{
  return run_command(std::string(PILKO_SIM) + " --events '" + map + "' '" + script + "'").output;
}

// Grass with lava behind the hero (a death when walking back) and one drop
// two cells ahead (the level's end when walking on).
test_map lava_behind_drop_ahead()
{
  test_map map = walled_level(KIND_GRASS);
  map.kind[1][2] = KIND_LAVA;
  map.drop_marker[4][2] = 0;
  return map;
}

}  // namespace

TEST_F(Player, RecordingReplaysToTheSameScreenAndEvents)
{
  add_map(1, lava_behind_drop_ahead());
  add_map(2, level_with_drop(KIND_STONE_FLOOR));
  std::string recording = folder + "/run.keys";
  enter_game({"--record", recording});
  key_down(display, "Down");  // back into the lava
  usleep(1500 * 1000);
  key_up(display, "Down");
  tap_key(display, "space");  // revives and jumps
  usleep(1000 * 1000);
  key_down(display, "Up");  // on to the drop: the level is complete
  usleep(2000 * 1000);
  key_up(display, "Up");
  auto on_stone = [](const picture &p) { return lit_share(p) > 0.2 && !shows_grass(p); };
  ASSERT_TRUE(on_stone(wait_for_screen(display, on_stone, 30))) << "level 2 never came";
  tap_key(display, "Left", 0.4);  // a turn of so many ticks that only an exact replay ends the same
  tap_key(display, "p");
  picture recorded_end = frozen_screen();
  recorded_end.save_png(picture_folder() + "/player-recorded-end.png");
  tap_key(display, "Escape");
  ASSERT_TRUE(shows(data_picture("title.tga")));
  tap_key(display, "Escape");
  ASSERT_TRUE(wait_for_exit(run, 20));

  std::string events = simulated_events(folder + "/maps/map1.map", recording);
  for (const char *event : {" death ", " revival ", " jump", " drop ", " complete", " level-end"})
    EXPECT_NE(events.find(event), std::string::npos) << "no" << event << " in\n" << events;

  // No key at all: the replay passes the logo and the title by itself.
  run = start_game({folder, display, "/usr/bin:/bin", pilko_binary, {}, {"--replay", recording}});
  picture replayed_end = wait_for_screen(display, [&](const picture &p) { return p.rgb == recorded_end.rgb; }, 60);
  replayed_end.save_png(picture_folder() + "/player-replayed-end.png");
  EXPECT_TRUE(replayed_end.rgb == recorded_end.rgb) << "the replay ended elsewhere";
  tap_key(display, "Escape");
  EXPECT_TRUE(shows(data_picture("title.tga"))) << "ESC after the replay did not go back to the title";
  EXPECT_FALSE(wait_for_exit(run, 1.0)) << "the ESC that ended the replay quit at the title";
}

// The usage, the README and the manual page name the same options, each
// with its short form, and say the same of F12.
TEST(PlayerOptions, HelpReadmeAndManualAgree)
{
  std::string help = run_command(std::string(pilko_binary) + " --help").output;
  std::string readme = file_text(std::string(PILKO_SOURCE_DIR) + "/README.md");
  std::string manual = run_command("man -l '" + std::string(PILKO_SOURCE_DIR) + "/dist/pilko.6' 2>/dev/null | col -b").output;
  const struct {
    std::string short_name, long_name;
  } options[] = {{"-h", "--help"}, {"-V", "--version"}, {"-w", "--window"},
                 {"-l", "--level"}, {"-r", "--record"}, {"-p", "--replay"}};
  for (const auto &o : options) {
    std::string both = o.short_name + ", " + o.long_name;
    EXPECT_NE(help.find(both), std::string::npos) << both << " missing from the usage:\n" << help;
    EXPECT_NE(manual.find(both), std::string::npos) << both << " missing from the manual page";
    for (const std::string &name : {o.short_name, o.long_name})
      EXPECT_NE(readme.find("`" + name), std::string::npos) << name << " missing from the README";
  }
  for (const std::string *text : {&help, &readme, &manual})
    EXPECT_NE(text->find("25 a second"), std::string::npos) << "F12's pace missing from\n" << *text;
}

TEST(PlayerOptions, BadReplayLineStopsBeforeAnyWindow)
{
  scratch_folder scratch;
  const std::string &folder = scratch.path;
  write_file(folder + "/bad.keys", std::string("# pilko recording: level 1\n3 UP\n2 JUMP\n"));
  std::string output = run_command("cd " + folder + " && " + pilko_binary + " --replay bad.keys 2>&1; echo status $?").output;
  EXPECT_NE(output.find("bad.keys:3:3: unknown key 'JUMP'"), std::string::npos) << output;
  EXPECT_NE(output.find("status 1"), std::string::npos) << output;
}

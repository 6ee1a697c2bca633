// The real game meeting faults: quit signals at each stage, a lost X server, damaged maps
// and crafted pictures in its data folder, and a machine without a sound card.
#include <gtest/gtest.h>
#include "tests/e2e/harness.h"

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// How often text occurs in the game's output.
int count_of(const std::string &output, const std::string &text)
{
  int count = 0;
  for (size_t at = output.find(text); at != std::string::npos; at = output.find(text, at + 1))
    count++;
  return count;
}

// A level completed at its first tick: its only drop lies on the start cell.
test_map won_at_once_map()
{
  test_map map;
  map.drop_marker[map.start_x][map.start_y] = 0;
  return map;
}

class Faults : public GameTest {
protected:
  picture logo = data_picture("logo.tga"), title = data_picture("title.tga");

  void start() { run = start_game({folder, display}); }

  // Starts the game and passes the logo to the title.
  void reach_title()
  {
    start();
    ASSERT_TRUE(shows(logo)) << game_output(run);
    tap_key(display, "a");
    ASSERT_TRUE(shows(title)) << game_output(run);
  }

  // From the title into play: a lit screen that is not the title.
  void reach_play()
  {
    reach_title();
    tap_key(display, "space");
    auto in_game = [&](const picture &p) { return picture_difference(p, title) > 20 && lit_share(p) > 0.2; };
    ASSERT_TRUE(in_game(wait_for_screen(display, in_game))) << "no game on screen";
  }

  void expect_clean_end_after(int signal_number)
  {
    kill(run.pid, signal_number);
    ASSERT_TRUE(wait_for_exit(run, 60)) << "still running after signal " << signal_number;
    EXPECT_EQ(run.exit_status, 0) << game_output(run);
    EXPECT_EQ(game_output(run).find("Shutting down Allegro"), std::string::npos) << game_output(run);
  }
};

}  // namespace

TEST_F(Faults, QuitSignalAtTheLogoEndsCleanly)
{
  add_map(1, won_at_once_map());
  start();
  ASSERT_TRUE(shows(logo));
  expect_clean_end_after(SIGTERM);
}

TEST_F(Faults, QuitSignalAtTheTitleEndsCleanly)
{
  add_map(1, won_at_once_map());
  reach_title();
  expect_clean_end_after(SIGINT);
}

TEST_F(Faults, QuitSignalInPlayEndsCleanly)
{
  test_map map;
  map.drop_marker[12][12] = 0;  // one drop far off: the level stays in play
  add_map(1, map);
  for (int signal_number : {SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal_number);
    reach_play();
    expect_clean_end_after(signal_number);
  }
}

TEST(LostDisplay, EndsAtOnceWithOneLineAtTitleAndInPlay)
{
  for (bool in_play : {false, true}) {
    SCOPED_TRACE(in_play ? "in play" : "at the title");
    // A server of this test's own, which it stops; it ends with the test if the test dies first.
    std::string display =
        run_command(std::string(VIRTUAL_DISPLAY) + " start --owner " + std::to_string(getpid())).output;
    display.erase(display.find_last_not_of(" \n") + 1);
    ASSERT_FALSE(display.empty());
    scratch_folder data = make_data_folder();
    const std::string &folder = data.path;
    test_map map;
    map.drop_marker[12][12] = 0;
    write_file(folder + "/maps/map1.map", map_bytes(map));
    game_run run = start_game({folder, display});
    picture title = data_picture("title.tga");
    wait_for_screen(display, [](const picture &p) { return lit_share(p) > 0.2; });
    tap_key(display, "a");
    wait_for_picture(display, title, PICTURE_TOLERANCE);
    if (in_play) {
      tap_key(display, "space");
      wait_for_screen(display, [&](const picture &p) { return picture_difference(p, title) > 20; });
    }
    std::system((std::string(VIRTUAL_DISPLAY) + " stop " + display).c_str());
    bool ended = wait_for_exit(run, 60);
    stop_game(run);
    ASSERT_TRUE(ended) << "the game hangs without its X server";
    EXPECT_EQ(run.exit_status, 1) << game_output(run);
    EXPECT_EQ(count_of(game_output(run), "pilko: lost the connection to the X server\n"), 1)
        << game_output(run);
  }
}

// After level 1 the title returns, and the output says which map could not be read and why.
TEST_F(Faults, DamagedNextMapIsNamedWithItsReason)
{
  add_map(1, won_at_once_map());
  std::vector<unsigned char> cut = map_bytes(won_at_once_map());
  cut.resize(100);
  write_file(folder + "/maps/map2.map", cut);
  reach_title();
  tap_key(display, "space");
  ASSERT_TRUE(wait_for_exit(run, 0) || shows(title));
  for (int tries = 0; tries < 100 && game_output(run).find("map2") == std::string::npos; tries++)
    usleep(200 * 1000);
  EXPECT_NE(game_output(run).find("pilko: cannot read maps/map2.map: too short: 100 bytes of at "
                                  "least 7512; back to the title\n"),
            std::string::npos)
      << game_output(run);
  EXPECT_TRUE(shows(title));
}

TEST_F(Faults, FolderAsFirstMapIsNamedAtGameStart)
{
  mkdir((folder + "/maps/map1.map").c_str(), 0755);
  reach_title();
  tap_key(display, "space");
  for (int tries = 0; tries < 100 && game_output(run).find("map1") == std::string::npos; tries++)
    usleep(200 * 1000);
  EXPECT_NE(game_output(run).find("pilko: cannot read maps/map1.map: a folder, not a file; no game to play\n"),
            std::string::npos)
      << game_output(run);
  EXPECT_TRUE(shows(title));
}

// The two pictures that crashed and hung Allegro's loaders: the game plays on without them.
TEST_F(Faults, CraftedPicturesSkippedPlayGoesOn)
{
  std::string graphics = folder + "/graphics";
  ASSERT_EQ(unlink(graphics.c_str()), 0);  // a folder of its own instead of the link
  ASSERT_EQ(mkdir(graphics.c_str(), 0755), 0);
  for (const char *name : {"title.tga", "gameover.tga", "tolvane.emf", "stonefloor.bmp", "kez.bmp",
                           "metal.bmp", "lava.bmp", "enemy.bmp", "gras.bmp", "logo.tga"})
    copy_file(std::string(pilko_data_dir) + "/graphics/" + name, graphics + "/" + name);
  auto patch = [](const std::string &path, std::vector<std::pair<long, unsigned char>> bytes) {
    FILE *file = std::fopen(path.c_str(), "r+b");
    for (auto [offset, value] : bytes) {
      std::fseek(file, offset, SEEK_SET);
      std::fputc(value, file);
    }
    std::fclose(file);
  };
  patch(graphics + "/logo.tga", {{1, 1}, {2, 1}, {5, 0xFF}, {6, 0xFF}, {7, 24}});
  patch(graphics + "/gras.bmp", {{28, 8}, {30, 1}});
  test_map map;
  map.drop_marker[12][12] = 0;
  add_map(1, map);
  start();
  auto warned = [&](const picture &) { return game_output(run).find("logo.tga") != std::string::npos; };
  wait_for_screen(display, warned);  // the logo is refused: a black screen waits for a key
  tap_key(display, "a");
  ASSERT_TRUE(shows(title)) << game_output(run);
  tap_key(display, "space");
  auto in_game = [&](const picture &p) { return picture_difference(p, title) > 20 && lit_share(p) > 0.2; };
  picture play = wait_for_screen(display, in_game);
  play.save_png(picture_folder() + "/faults-crafted-texture-play.png");
  EXPECT_TRUE(in_game(play)) << "no game on screen";
  std::string output = game_output(run);
  EXPECT_EQ(count_of(output, "logo.tga"), 1) << output;
  EXPECT_EQ(count_of(output, "gras.bmp"), 1) << output;
  tap_key(display, "Escape");
  ASSERT_TRUE(shows(title));
  tap_key(display, "Escape");
  ASSERT_TRUE(wait_for_exit(run, 30));
  EXPECT_EQ(run.exit_status, 0);
}

TEST_F(Faults, NoSoundCardCostsOneLineAtMost)
{
  add_map(1, won_at_once_map());
  reach_title();
  std::string output = game_output(run);
  EXPECT_EQ(count_of(output, "ALSA"), 0) << output;
  EXPECT_LE(count_of(output, "\n"), 1) << output;
}

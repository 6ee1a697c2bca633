// The real game meeting faults: quit signals at each stage, a lost X server, damaged maps,
// crafted pictures, music and sounds and FIFOs in its data folder, and a machine without a
// sound card.
#include <gtest/gtest.h>
#include "tests/e2e/harness.h"

#include <csignal>
#include <cstdlib>
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

  // Makes the data folder's part ("sound") a folder of the test's own, with copies of the
  // shipped files, in place of the link to them; returns its path.
  std::string own_folder(const std::string &part)
  {
    std::string own = folder + "/" + part, shipped = std::string(pilko_data_dir) + "/" + part;
    EXPECT_EQ(unlink(own.c_str()), 0) << own;
    EXPECT_EQ(std::system(("cp -r '" + shipped + "' '" + own + "'").c_str()), 0) << own;
    return own;
  }

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
        command_output(std::string(VIRTUAL_DISPLAY) + " start --owner " + std::to_string(getpid()));
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

// The pictures, the music and the sound that crashed or hung the game inside Allegro's loaders
// and player: the game plays on without them.
TEST_F(Faults, CraftedFilesSkippedPlayGoesOn)
{
  std::string graphics = own_folder("graphics"), music = own_folder("music"), sound = own_folder("sound");
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
  patch(music + "/kez.mid", {{12, 0}, {13, 0}});  // 0 ticks a quarter: Allegro divided by it
  // A sound of no frames, which Allegro's mixer reads past.
  ASSERT_EQ(truncate((sound + "/jump.wav").c_str(), 44), 0);
  patch(sound + "/jump.wav", {{4, 36}, {5, 0}, {6, 0}, {7, 0}, {40, 0}, {41, 0}, {42, 0}, {43, 0}});
  test_map map;
  map.drop_marker[12][12] = 0;
  add_map(1, map);
  start();
  auto warned = [&](const picture &) { return game_output(run).find("kez.mid") != std::string::npos; };
  wait_for_screen(display, warned);  // the logo is refused: a black screen waits for a key
  tap_key(display, "a");
  ASSERT_TRUE(shows(title)) << game_output(run);
  tap_key(display, "space");
  auto in_game = [&](const picture &p) { return picture_difference(p, title) > 20 && lit_share(p) > 0.2; };
  picture play = wait_for_screen(display, in_game);
  play.save_png(picture_folder() + "/faults-crafted-texture-play.png");
  EXPECT_TRUE(in_game(play)) << "no game on screen";
  tap_key(display, "space");  // a jump, without its sound
  std::string output = game_output(run);
  for (const char *name : {"logo.tga", "gras.bmp", "kez.mid", "jump.wav"})
    EXPECT_EQ(count_of(output, name), 1) << name << " in\n" << output;
  tap_key(display, "Escape");
  ASSERT_TRUE(shows(title));
  tap_key(display, "Escape");
  ASSERT_TRUE(wait_for_exit(run, 30));
  EXPECT_EQ(run.exit_status, 0);
}

// A FIFO (a file that never ends) in place of the music, a sound and the pause's font: each is
// refused at once, and a quit signal ends the game as ever.
TEST_F(Faults, FifosInPlaceOfFilesAreRefused)
{
  std::string music = own_folder("music"), sound = own_folder("sound"), fonts = own_folder("fonts");
  for (const std::string &path : {music + "/kez.mid", sound + "/land.wav", fonts + "/sans.glf"}) {
    unlink(path.c_str());
    ASSERT_EQ(mkfifo(path.c_str(), 0644), 0) << path;
  }
  add_map(1, won_at_once_map());
  reach_title();
  std::string output = game_output(run);
  for (const char *name : {"kez.mid", "land.wav", "sans.glf"})
    EXPECT_EQ(count_of(output, name), 1) << name << " in\n" << output;
  expect_clean_end_after(SIGTERM);
}

TEST_F(Faults, NoSoundCardCostsOneLineAtMost)
{
  add_map(1, won_at_once_map());
  reach_title();
  std::string output = game_output(run);
  EXPECT_EQ(count_of(output, "ALSA"), 0) << output;
  EXPECT_LE(count_of(output, "\n"), 1) << output;
}

// The real game meeting faults: quit signals at each stage, a lost X server, damaged maps,
// crafted pictures, music and sounds and FIFOs in its data folder, and a machine without a
// sound card.
#include <gtest/gtest.h>
#include "tests/e2e/harness.h"
#include "base/base.h"

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

// pilko 2>&1 | head -n 0: every line the game prints meets a closed pipe, which costs nothing.
TEST_F(Faults, ClosedOutputCostsNothing)
{
  add_map(1, won_at_once_map());
  unlink((own_folder("sound") + "/land.wav").c_str());  // a warning line, sound card or not
  game_options options{folder, display};
  options.output_closed = true;
  run = start_game(options);
  ASSERT_TRUE(shows(logo));
  tap_key(display, "a");
  ASSERT_TRUE(shows(title)) << "ended with status " << (wait_for_exit(run, 0) ? run.exit_status : -1);
  expect_clean_end_after(SIGTERM);
}

// A file size limit (a full disk in small) in the way of F12: one warning, no file left behind,
// and play goes on.
TEST_F(Faults, FileSizeLimitCostsAScreenshotNotTheGame)
{
  test_map map;
  map.drop_marker[12][12] = 0;
  add_map(1, map);
  game_options options{folder, display};
  options.file_size_limit = 100000;  // a picture is 921,618 bytes; the game's output fits
  ASSERT_EQ(start_and_enter_game(run, options), "");
  tap_key(display, "F12");
  tap_key(display, "Up", 0.3);
  tap_key(display, "Escape");
  ASSERT_TRUE(shows(title)) << game_output(run);
  tap_key(display, "Escape");
  ASSERT_TRUE(wait_for_exit(run, 30));
  EXPECT_EQ(run.exit_status, 0) << game_output(run);
  EXPECT_EQ(count_of(game_output(run), "pilko: warning: cannot save a screenshot here: File too large\n"), 1)
      << game_output(run);
  EXPECT_EQ(command_output("cd " + folder + " && ls -A"), "fonts\ngraphics\nmaps\nmusic\nsound\n");
}

// No OpenGL mode at all (indirect rendering, which the X server refuses): a quit signal ends
// the wait of Allegro's message box for its click, and the box.
TEST_F(Faults, QuitSignalEndsTheRefusedModeMessage)
{
  add_map(1, won_at_once_map());
  game_options options{folder, display};
  options.environment = {{"LIBGL_ALWAYS_INDIRECT", "1"}};
  run = start_game(options);
  auto box_up = [&] {
    return !command_output("DISPLAY=" + display + " xdotool search --class Xmessage 2>/dev/null").empty();
  };
  for (int tries = 0; tries < 300 && !box_up(); tries++)
    usleep(100 * 1000);
  ASSERT_TRUE(box_up()) << game_output(run);
  kill(run.pid, SIGTERM);
  ASSERT_TRUE(wait_for_exit(run, 10)) << "the message box holds the game";
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_FALSE(box_up()) << "the box outlived the game";
}

// Outside files named on the command line, and bytes a terminal would act on in names and in
// a replay's header: refused before any window, in one line that quotes what it echoes.
TEST(CommandLine, OutsideFilesRefusedInOneQuotedLine)
{
  scratch_folder scratch, stray;
  const std::string folder = scratch.path;
  mkdir((folder + "/replays").c_str(), 0755);
  ASSERT_EQ(symlink("/dev/zero", (folder + "/zero.level").c_str()), 0);
  ASSERT_TRUE(write_file(folder + "/big.level", ""));
  ASSERT_EQ(truncate((folder + "/big.level").c_str(), 2 << 20), 0);
  write_file(folder + "/big.keys", std::string("# pilko recording: level big.level\n1 UP\n"));
  const std::string escapes = "\x1b]0;owned\x07\x1b[2J";
  write_file(folder + "/evil.keys", "# pilko recording: level " + escapes + ".map\n1 UP\n");
  write_file(stray.path + "/maps", std::string("a stray file where the maps folder belongs\n"));
  const struct {
    std::string where;
    std::vector<std::string> arguments;
    int status;
    std::string says;
  } cases[] = {
    {folder, {"--replay", "replays"}, 1, "pilko: replays: a folder, not a file\n"},
    {folder, {"--level", "zero.level"}, 1, "pilko: zero.level: not a regular file\n"},
    {folder, {"--level", "big.level"}, 1, "pilko: big.level: longer than 1 MB: not a level text\n"},
    {folder, {"--replay", "big.keys"}, 1, "pilko: big.level: longer than 1 MB: not a level text\n"},
    {folder, {"--replay", "evil.keys"}, 1,
     "pilko: \\x1b]0;owned\\x07\\x1b[2J.map: not a map pilko can read: No such file or directory\n"},
    {folder, {"--record", "gone/" + escapes}, 1, "pilko: gone/\\x1b]0;owned\\x07\\x1b[2J: cannot write: No such file or directory\n"},
    {folder, {escapes}, 2, "pilko: unknown option '\\x1b]0;owned\\x07\\x1b[2J'\n"},
    {stray.path, {}, 1, "pilko: cannot find maps/map1.map in " + stray.path +
                            "; maps there is a file, not a folder: move it away\n"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(printable(c.arguments.empty() ? "" : c.arguments.back()));
    game_options options;  // no display: all of this comes first
    options.folder = c.where;
    options.arguments = c.arguments;
    game_run run = start_game(options);
    ASSERT_TRUE(wait_for_exit(run, 30));
    EXPECT_EQ(run.exit_status, c.status);
    std::string output = game_output(run);
    EXPECT_EQ(output.substr(0, c.says.size()), c.says) << printable(output);
    EXPECT_EQ(output.find('\x1b'), std::string::npos) << printable(output);
  }
}

TEST_F(Faults, NoSoundCardCostsOneLineAtMost)
{
  add_map(1, won_at_once_map());
  reach_title();
  std::string output = game_output(run);
  EXPECT_EQ(count_of(output, "ALSA"), 0) << output;
  EXPECT_LE(count_of(output, "\n"), 1) << output;
}

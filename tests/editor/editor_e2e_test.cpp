// The editor as an author meets it: pilko --edit on the test display, a
// small level built with keys held as a person holds them, play-tested to
// its end, saved, proven by level-compiler verify --strict and played with
// pilko --level; and the files it refuses before any window opens.
#include <gtest/gtest.h>
#include "tests/e2e/harness.h"
#include "tools/asset-kit/files.h"

#include <csignal>
#include <sys/stat.h>

namespace {

constexpr int CURSOR_PIXELS = 200;  // the editor's yellow cursor outline, at least
constexpr double WALK_SECONDS = 60;  // the longest a walk over the level may take, on a slow machine

// Pixels of the cursor's outline: bright yellow, which the game's own view lacks.
int cursor_pixels(const picture &p)
{
  int count = 0;
  for (size_t i = 0; i + 2 < p.rgb.size(); i += 3)
    count += p.rgb[i] > 240 && p.rgb[i + 1] > 240 && p.rgb[i + 2] > 20 && p.rgb[i + 2] < 90;
  return count;
}

bool shows_editor(const picture &p) { return cursor_pixels(p) >= CURSOR_PIXELS; }

bool file_exists(const std::string &path)
{
  struct stat status;
  return stat(path.c_str(), &status) == 0;
}

class Editor : public GameTest {
protected:
  // A key held past the X server's repeat delay (a loaded machine may be
  // that late to let it go) would press again: an author's keys are pressed
  // once each here, so the display does not repeat them.
  void SetUp() override { command_output("xset -display " + display + " r off"); }
  void TearDown() override
  {
    GameTest::TearDown();
    command_output("xset -display " + display + " r on");
  }

  // Presses each key in turn, as an author does, held 0.15 s.
  void press(std::initializer_list<const char *> keys, int times = 1)
  {
    for (int i = 0; i < times; i++)
      for (const char *k : keys)
        tap_key(display, k);
  }

  void start_editor(const std::string &level)
  {
    game_options options;
    options.display = display;
    options.arguments = {"--edit", level};
    run = start_game(options);
    ASSERT_TRUE(shows_editor(wait_for_screen(display, shows_editor))) << game_output(run);
  }

  // Holds key down, as a player walks, until the screen passes accept.
  bool hold_until(const char *key, const std::function<bool(const picture &)> &accept)
  {
    key_down(display, key);
    bool accepted = accept(wait_for_screen(display, accept, WALK_SECONDS));
    key_up(display, key);
    return accepted;
  }
};

}  // namespace

// From the new walled room: a step, a second drop, a lava strip beside the
// way and an enemy, a name; then a play-test that walks over both drops.
TEST_F(Editor, BuildsPlayTestsAndSavesAVerifiedLevel)
{
  std::string level = folder + "/ramp.level", solution = folder + "/ramp.solution";
  start_editor(level);
  press({"Up", "Up", "Right"});                   // (5, 11), two cells ahead of the start
  press({"shift+Left", "shift+Left"});            // (5, 11) to (5, 13)
  press({"Prior"}, 3);                            // a step of 0.3
  press({"Right"});
  press({"Up"}, 5);                               // (10, 12)
  press({"d"});                                   // the second drop
  press({"Left"}, 5);
  press({"shift+Down"}, 4);                       // (6, 17) to (10, 17)
  press({"k"}, 4);                                // grass, stone, hero, metal, lava
  press({"Left"}, 3);
  press({"e"});                                   // an enemy on (6, 20), walking +x
  press({"n", "BackSpace", "BackSpace", "BackSpace", "BackSpace", "r", "a", "m", "p", "Return"});
  screenshot(display).save_png(picture_folder() + "/editor-built.png");
  press({"h"});
  screenshot(display).save_png(picture_folder() + "/editor-help.png");
  press({"h"});

  press({"p"});
  picture game = wait_for_screen(display, [](const picture &p) { return !shows_editor(p) && lit_share(p) > 0.2; });
  game.save_png(picture_folder() + "/editor-play-test.png");
  ASSERT_FALSE(shows_editor(game)) << "no play-test";
  ASSERT_TRUE(hold_until("Up", shows_editor)) << "the play-test never came back";
  press({"ctrl+s"});
  wait_for_screen(display, [&](const picture &) { return file_exists(solution); }, 10);
  screenshot(display).save_png(picture_folder() + "/editor-saved.png");
  ASSERT_TRUE(file_exists(level));
  ASSERT_TRUE(file_exists(solution)) << "the play-test did not complete the level";
  std::string saved = file_text(level);
  EXPECT_NE(saved.find("\nname ramp\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("lava"), std::string::npos) << saved;
  EXPECT_NE(saved.find("\nenemy 6 20 +x\n"), std::string::npos) << saved;

  // A change, and ESC: the editor asks before it drops it.
  press({"d", "Escape"});
  EXPECT_FALSE(shows_editor(screenshot(display))) << "ESC left without asking";
  press({"y"});
  ASSERT_TRUE(wait_for_exit(run, 20));
  EXPECT_EQ(run.exit_status, 0) << game_output(run);
  EXPECT_EQ(file_text(level), saved) << "the change left unsaved was written";

  std::string verified = command_output(std::string(LEVEL_COMPILER) + " verify --strict " + level + " 2>&1");
  EXPECT_NE(verified.find("ramp.level: ok: 2 drops in "), std::string::npos) << verified;

  // The game plays the saved level to its end, and goes back to the title.
  game_options options;
  options.display = display;
  options.arguments = {"--level", level};
  ASSERT_EQ(start_and_enter_game(run, options), "");
  picture title = data_picture("title.tga");
  EXPECT_TRUE(hold_until("Up", [&](const picture &p) { return picture_difference(p, title) <= PICTURE_TOLERANCE; }))
      << "the saved level did not end in the game";
}

// A quit signal cannot be asked whether to drop the changes: they are kept
// beside the file, which stays as it was.
TEST_F(Editor, AQuitSignalKeepsTheUnsavedLevelBesideItsFile)
{
  std::string level = folder + "/signal.level";
  start_editor(level);
  press({"Up", "d"});
  kill(run.pid, SIGTERM);
  ASSERT_TRUE(wait_for_exit(run, 20));
  EXPECT_EQ(run.exit_status, 0);
  std::string said = "pilko: quit with the level unsaved: it is kept in " + level + ".unsaved\n";
  EXPECT_NE(game_output(run).find(said), std::string::npos) << game_output(run);
  EXPECT_FALSE(file_exists(level));
  std::string kept = file_text(level + ".unsaved");
  size_t drops = 0;
  for (size_t at = kept.find(".*"); at != std::string::npos; at = kept.find(".*", at + 1))
    drops++;
  EXPECT_EQ(drops, 2u) << "the new drop was not kept:\n" << kept;
}

// A file that is no level text ends pilko at once, with one line, before
// it opens a window (there is no display here to open one on); so does
// asking the editor to play a game.
TEST_F(Editor, RefusesWhatIsNoLevelTextBeforeAnyWindow)
{
  std::string fifo = folder + "/pipe.level", big = folder + "/big.level", fine = folder + "/fine.level";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  write_file(big, std::string((1 << 20) + 1, '#'));
  struct refusal {
    std::vector<std::string> arguments;
    int status;
    std::string said;
  } cases[] = {
      {{"--edit", folder}, 1, folder + ": a folder, not a file"},
      {{"--edit", fifo}, 1, fifo + ": not a regular file"},
      {{"--edit", big}, 1, big + ": longer than 1 MB: not a level text"},
      {{"--edit", fine, "--level", "2"}, 2, "--edit plays no game: leave out --level, --record and --replay"},
  };
  for (const refusal &c : cases) {
    game_options options;  // no display
    options.arguments = c.arguments;
    run = start_game(options);
    ASSERT_TRUE(wait_for_exit(run, 10)) << c.said << ": still running";
    EXPECT_EQ(run.exit_status, c.status) << c.said;
    EXPECT_EQ(game_output(run), "pilko: " + c.said + "\n");
  }
}

// The game as a player gets it: the Debian package of this build, installed by dpkg into a
// scratch root with a database of its own (the machine's is untouched), started through its
// launcher from an unrelated folder on the test display, and removed again.
#include <gtest/gtest.h>
#include "tests/game/harness.h"

#include <unistd.h>

namespace {

// The package, built once and installed by dpkg under a scratch root with a database of its own,
// for every case; the last case removes it again.
class Installed : public ::testing::Test {
protected:
  static void SetUpTestSuite()
  {
    run_command(std::string(CPACK_PROGRAM) + " -G DEB --config " + CPACK_CONFIG + " -B " + built.path + " >/dev/null 2>&1");
    package_file = built.path + "/pilko_" PROJECT_VERSION "_" + run_command("dpkg --print-architecture | tr -d '\\n'").output + ".deb";
    run_command("mkdir -p " + admin + "/info " + admin + "/updates && touch " + admin + "/status");
    installed = run_command("dpkg --force-not-root --force-depends --admindir=" + admin + " --instdir=" + root + " -i " +
                            package_file + " >/dev/null 2>&1").status == 0;
  }
  void SetUp() override { ASSERT_TRUE(installed) << "dpkg could not install " << package_file; }

  static inline scratch_folder built, root_folder;  // removed when the program ends
  static inline std::string package_file, root = root_folder.path, admin = root + "/var/lib/dpkg";
  static inline bool installed = false;
};

TEST_F(Installed, MenuEntryIconsManualPageAndDependencies)
{
  // ls names each file that is missing.
  EXPECT_EQ(run_command("cd " + root + "/usr/share/ && ls ../games/pilko applications/pilko.desktop metainfo/org.pilko.pilko.metainfo.xml "
                        "man/man6/pilko.6.gz doc/pilko/copyright icons/hicolor/16x16/apps/pilko.png "
                        "icons/hicolor/48x48/apps/pilko.png icons/hicolor/256x256/apps/pilko.png 2>&1 >/dev/null").output, "");
  EXPECT_EQ(run_command("desktop-file-validate " + root + "/usr/share/applications/pilko.desktop 2>&1").output, "");
  std::string manual = run_command("man -l " + root + "/usr/share/man/man6/pilko.6.gz | col -b").output;
  for (const char *words : {"F12", "SPACE", "vgrab-000.tga", ".local/share/pilko"})
    EXPECT_NE(manual.find(words), std::string::npos) << words << " not in the manual page";
  std::string depends = run_command("dpkg-deb -f " + package_file + " Depends").output;
  for (const char *name : {"liballegro4.4", "liballeggl4.4", "libgl1", "libglu1", "freepats"})
    EXPECT_NE(depends.find(name), std::string::npos) << name << " missing from: " << depends;
}

// pilko --edit NAME.level edits a level of the player's own folder; a path
// is taken from where pilko was started. (The files here are refused before
// a window opens, which shows where the launcher looked.) Only printing
// (--version, --help) makes no folder and prints no note about one.
TEST_F(Installed, PlayersLevelsLiveInTheirLevelsFolder)
{
  scratch_folder home, elsewhere;
  std::string levels = home.path + "/.local/share/pilko/levels";
  std::string pilko = "cd " + elsewhere.path + " && env -u DISPLAY -u XDG_DATA_HOME HOME=" + home.path + " " +
                      root + "/usr/games/pilko";
  EXPECT_EQ(run_command(pilko + " --version 2>&1").output, "pilko " PROJECT_VERSION "\n");
  EXPECT_EQ(run_command(pilko + " --help 2>&1").output.find("saved in"), std::string::npos);
  EXPECT_NE(access((home.path + "/.local").c_str(), F_OK), 0) << "--help or --version made the player's folder";
  run_command("mkdir -p " + levels + "/mine.level " + elsewhere.path + "/sub && mkfifo " + elsewhere.path + "/sub/pipe.level");
  EXPECT_EQ(run_command(pilko + " --edit mine.level 2>&1").output, "pilko: " + levels + "/mine.level: a folder, not a file\n");
  EXPECT_EQ(run_command(pilko + " --edit sub/pipe.level 2>&1").output,
            "pilko: " + elsewhere.path + "/sub/pipe.level: not a regular file\n");
}

TEST_F(Installed, PlaysWithMusicAndSavesShotsInTheUserFolder)
{
  scratch_folder home_folder, elsewhere_folder;
  std::string display = test_display(), home = home_folder.path, elsewhere = elsewhere_folder.path;
  std::string capture = home + "/capture.raw", user_folder = home + "/data/pilko";
  game_run run;
  start_game(run, {elsewhere, display, "/usr/bin:/bin", root + "/usr/games/pilko",
                   {{"HOME", home}, {"XDG_DATA_HOME", home + "/data"}, {"ALSA_CONFIG_PATH", write_capture_config(home, capture)}}});
  struct stopper { game_run &r; ~stopper() { stop_game(r); } } stop{run};
  auto shows = [&](const picture &want) {
    return picture_difference(wait_for_screen(display, [&](const picture &s) { return picture_difference(s, want) <= 6; }, 30),
                              want) <= 6;
  };

  std::string graphics = root + "/usr/share/games/pilko/graphics/";
  picture logo = load_picture(graphics + "logo.tga"), title = load_picture(graphics + "title.tga");
  ASSERT_TRUE(shows(logo)) << game_output(run);
  EXPECT_NE(game_output(run).find("saved in " + user_folder), std::string::npos) << game_output(run);
  tap_key(display, "space", 0.2);
  ASSERT_TRUE(shows(title)) << game_output(run);
  EXPECT_TRUE(sound_heard(capture, frames_in(capture), 2)) << "the title is silent\n" << game_output(run);

  tap_key(display, "space", 0.2);
  picture level = wait_for_screen(
      display, [&](const picture &p) { return picture_difference(p, title) > 20; }, 30);
  ASSERT_GT(picture_difference(level, title), 20) << "no level after the title";
  level.save("package-installed-level");
  // A player who started from the menu learns it too: under the first level's name.
  EXPECT_GT(pixels_in_rows(level, 186, 210, white), 250) << "no word on where screenshots go";
  tap_key(display, "F12", 0.4);  // a slow (sanitized) build may take a tick longer than a short press
  for (int i = 0; i < 100 && access((user_folder + "/vgrab-000.tga").c_str(), F_OK) != 0; ++i)
    usleep(100 * 1000);
  EXPECT_EQ(access((user_folder + "/vgrab-000.tga").c_str(), F_OK), 0) << "F12 wrote nothing in " << user_folder;
  EXPECT_NE(access((elsewhere + "/vgrab-000.tga").c_str(), F_OK), 0) << "the shot went to the starting folder";
}

// Last of the cases: it takes the package away.
TEST_F(Installed, RemovalLeavesNoFileBehind)
{
  ASSERT_EQ(run_command("dpkg --force-not-root --admindir=" + admin + " --instdir=" + root + " --purge pilko >/dev/null 2>&1").status, 0);
  EXPECT_EQ(run_command("cd " + root + " && find . -path ./var -prune -o -print").output, ".\n");
}

}  // namespace

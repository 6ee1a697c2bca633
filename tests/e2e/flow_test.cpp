// The game's flow as a player meets it: logo, title, a game, back, quit; and
// the ways start-up can fail.
#include <gtest/gtest.h>
#include "tests/e2e/harness.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool shows(const picture &screen, const picture &expected)
{
  return picture_difference(screen, expected) <= PICTURE_TOLERANCE;
}

// The first top-level window on the display, as xprop names it ("0x200001"), or "".
std::string first_window(const std::string &display)
{
  std::string tree = run_command("DISPLAY=" + display + " xwininfo -root -children").output;
  size_t at = tree.find("\n     0x");
  return at == std::string::npos ? "" : tree.substr(at + 6, tree.find(' ', at + 6) - at - 6);
}

// The icon a window carries in its WM_HINTS, read back from the X server.
picture window_icon(const std::string &display, const std::string &window)
{
  std::string hints = run_command("DISPLAY=" + display + " xprop -id " + window + " WM_HINTS").output;
  size_t at = hints.find("bitmap id # to use for icon: ");
  picture icon;
  Display *x = XOpenDisplay(display.c_str());
  if (at == std::string::npos || !x)
    return icon;
  Pixmap pixmap = std::stoul(hints.substr(at + 29), nullptr, 16);
  Window root;
  int left, top;
  unsigned width, height, border, depth;
  XImage *image = nullptr;
  if (XGetGeometry(x, pixmap, &root, &left, &top, &width, &height, &border, &depth))
    image = XGetImage(x, pixmap, 0, 0, width, height, AllPlanes, ZPixmap);
  if (image) {
    icon.width = (int)width;
    icon.height = (int)height;
    for (unsigned y = 0; y < height; y++)
      for (unsigned px = 0; px < width; px++) {
        unsigned long pixel = XGetPixel(image, (int)px, (int)y);
        icon.rgb.insert(icon.rgb.end(), {(unsigned char)(pixel >> 16), (unsigned char)(pixel >> 8),
                                         (unsigned char)pixel});
      }
    XDestroyImage(image);
  }
  XCloseDisplay(x);
  return icon;
}

// The middle half of a picture, where the icon is solid.
picture middle_of(const picture &p)
{
  picture middle;
  middle.width = p.width / 2;
  middle.height = p.height / 2;
  for (int y = p.height / 4; y < p.height / 4 + middle.height; y++)
    middle.rgb.insert(middle.rgb.end(), p.rgb.begin() + (y * p.width + p.width / 4) * 3,
                      p.rgb.begin() + (y * p.width + p.width / 4 + middle.width) * 3);
  return middle;
}

class Flow : public ::testing::Test {
protected:
  std::string display = test_display();
  game_run run;
  picture logo = data_picture("logo.tga");
  picture title = data_picture("title.tga");

  void TearDown() override { stop_game(run); }

  void start(const std::string &folder = pilko_data_dir)
  {
    game_options options;
    options.display = display;
    options.folder = folder;
    run = start_game(options);
  }

  // Waits for the title picture and saves it for a person to look at.
  void expect_title(const char *saved_as)
  {
    picture screen = wait_for_picture(display, title, PICTURE_TOLERANCE);
    screen.save_png(picture_folder() + "/" + saved_as);
    ASSERT_TRUE(shows(screen, title)) << "the title is not on screen; see " << saved_as;
  }
};

}  // namespace

TEST_F(Flow, LogoTitleGameTitleQuit)
{
  ASSERT_FALSE(logo.empty());
  ASSERT_FALSE(title.empty());
  start();

  picture screen = wait_for_picture(display, logo, PICTURE_TOLERANCE);
  screen.save_png(picture_folder() + "/flow-1-logo.png");
  ASSERT_TRUE(shows(screen, logo)) << "the logo is not on screen";

  // The desktop shows the game as pilko: the class its menu entry names, and its icon.
  std::string window = first_window(display);
  std::string menu_entry = file_text(std::string(PILKO_SOURCE_DIR) + "/dist/pilko.desktop");
  EXPECT_NE(menu_entry.find("\nStartupWMClass=pilko\n"), std::string::npos);
  EXPECT_EQ(run_command("DISPLAY=" + display + " xprop -id " + window + " WM_CLASS").output,
            "WM_CLASS(STRING) = \"pilko\", \"pilko\"\n");
  picture icon = window_icon(display, window);
  picture drawn = load_picture(std::string(PILKO_ICON_DIR) + "/48x48/apps/pilko.png");
  ASSERT_EQ(icon.width, 48) << "no window icon, or not ours";
  icon.save_png(picture_folder() + "/flow-window-icon.png");
  EXPECT_LE(picture_difference(middle_of(icon), middle_of(drawn)), 2.0) << "not the icon maker's icon";

  tap_key(display, "a");  // any key leaves the logo
  expect_title("flow-2-title.png");

  // Keys other than SPACE and ESC only draw the title again.
  tap_key(display, "Return");
  tap_key(display, "Up");
  usleep(800 * 1000);
  EXPECT_TRUE(shows(screenshot(display), title));
  EXPECT_FALSE(wait_for_exit(run, 0.1));

  tap_key(display, "space");
  screen = wait_for_screen(display, [&](const picture &p) { return picture_difference(p, title) > 20; });
  screen.save_png(picture_folder() + "/flow-3-game.png");
  EXPECT_GT(picture_difference(screen, title), 20) << "no game started";
  EXPECT_GT(lit_share(screen), 0.2) << "the game shows a black screen";

  // ESC ends the game and goes back to the title (no game-over picture). Held
  // past X's key repeat, its repeats reach the title, which must not quit on them.
  key_down(display, "Escape");
  usleep(1500 * 1000);
  key_up(display, "Escape");
  expect_title("flow-4-title-again.png");
  EXPECT_FALSE(wait_for_exit(run, 1.0)) << "ESC held in a game quit the program";

  tap_key(display, "Escape");
  ASSERT_TRUE(wait_for_exit(run, 20));
  EXPECT_EQ(run.exit_status, 0) << game_output(run);
}

TEST_F(Flow, FirstMapGoneAtGameStartStaysAtTitle)
{
  scratch_folder data = make_data_folder();
  std::string folder = data.path;
  copy_file(std::string(pilko_data_dir) + "/maps/map1.map", folder + "/maps/map1.map");
  start(folder);
  wait_for_picture(display, logo, PICTURE_TOLERANCE);
  tap_key(display, "a");
  expect_title("flow-map-gone-1.png");

  std::remove((folder + "/maps/map1.map").c_str());
  tap_key(display, "space");
  usleep(1500 * 1000);
  expect_title("flow-map-gone-2.png");
  EXPECT_NE(game_output(run).find("maps/map1.map"), std::string::npos);

  tap_key(display, "Escape");
  ASSERT_TRUE(wait_for_exit(run, 20));
  EXPECT_EQ(run.exit_status, 0);
}

TEST(StartUp, NoFullScreenModeSaysSoAndExits)
{
  game_options options;
  options.display = test_display(true);  // Xvfb: no full-screen mode there
  options.path = "/nonexistent";         // no xmessage: the message goes to stderr
  game_run run = start_game(options);
  ASSERT_TRUE(wait_for_exit(run, 60));
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_NE(game_output(run).find("Error setting graphics mode:\n"), std::string::npos)
      << game_output(run);
}

TEST(StartUp, NoDisplaySaysSoAndExits)
{
  game_options options;  // no DISPLAY at all
  game_run run = start_game(options);
  ASSERT_TRUE(wait_for_exit(run, 30));
  EXPECT_EQ(run.exit_status, 1) << game_output(run);
  EXPECT_NE(game_output(run).find("cannot open a display"), std::string::npos)
      << game_output(run);
}

TEST(StartUp, WrongFolderNamesFileAndFolder)
{
  game_options options;
  options.display = test_display();
  scratch_folder empty;
  options.folder = empty.path;
  game_run run = start_game(options);
  ASSERT_TRUE(wait_for_exit(run, 30));
  EXPECT_EQ(run.exit_status, 1);
  std::string output = game_output(run);
  EXPECT_NE(output.find("maps/map1.map"), std::string::npos) << output;
  EXPECT_NE(output.find(options.folder), std::string::npos) << output;
}

TEST(StartUp, MissingFontNamesIt)
{
  scratch_folder scratch;
  std::string folder = scratch.path;
  mkdir((folder + "/maps").c_str(), 0755);
  copy_file(std::string(pilko_data_dir) + "/maps/map1.map", folder + "/maps/map1.map");
  game_options options;
  options.display = test_display();
  options.folder = folder;
  game_run run = start_game(options);
  ASSERT_TRUE(wait_for_exit(run, 30));
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_NE(game_output(run).find("graphics/tolvane.emf"), std::string::npos)
      << game_output(run);
}

// The picture on the screens players have: the designed 640 x 480 mode, a
// 1920 x 1080 Xorg without that mode, an Xvfb that cannot switch modes, a
// Wayland desktop (weston with Xwayland), and windows of any size. Each
// server is the test program's own; the screens are measured.
#include <gtest/gtest.h>
#include "tests/e2e/harness.h"
#include "tests/update/play_maps.h"

#include <algorithm>
#include <cstdlib>
#include <unistd.h>

namespace {

constexpr int BLACK_LEVEL = 8;              // no channel above this: a bar's pixel
// Mean difference per channel between the picture on screen and its file
// scaled up by ImageMagick: their filters differ a little at sharp edges.
constexpr double SCALED_TOLERANCE = 8.0;
constexpr double SAME_PICTURE = 1.0;        // a screenshot file against the screen
// The hero's shape and size in the picture, the same in every mode: its
// width over its height (1.09 in the 640 x 480 mode; stretched to 16:9 it
// would be 1.46) and its height over the picture's (0.154): the framing is
// the designed one.
constexpr double HERO_ASPECT = 1.10, HERO_ASPECT_TOLERANCE = 0.04;
constexpr double HERO_SHARE_LOW = 0.14, HERO_SHARE_HIGH = 0.17;
constexpr int GOLDEN_PIXELS_AT_640 = 500;   // "PAUSED" letters, at least, in the 640 x 480 picture
constexpr double PICTURE_HEIGHT = 480.0;    // the designed picture's; its rows below
constexpr double BAND_TOP = 200.0, BAND_BOTTOM = 280.0;      // the pause band
constexpr double BANNER_TOP = 80.0, BANNER_BOTTOM = 200.0;   // the level banner, which fades by itself

// A rectangle of a picture, in its pixels from the top left.
struct rectangle {
  int x, y, width, height;
};

picture crop(const picture &p, const rectangle &r)
{
  picture part;
  part.width = r.width;
  part.height = r.height;
  for (int y = r.y; y < r.y + r.height && y < p.height; y++)
    part.rgb.insert(part.rgb.end(), p.rgb.begin() + ((size_t)y * p.width + r.x) * 3,
                    p.rgb.begin() + ((size_t)y * p.width + r.x + r.width) * 3);
  return part;
}

// Whether every pixel outside area is black in a frame the area was centred in.
bool black_bars(const picture &frame, const rectangle &area)
{
  const rectangle bars[] = {
      {0, 0, area.x, frame.height},
      {area.x + area.width, 0, frame.width - area.x - area.width, frame.height},
      {0, 0, frame.width, area.y},
      {0, area.y + area.height, frame.width, frame.height - area.y - area.height}};
  for (const rectangle &bar : bars)
    for (unsigned char channel : crop(frame, bar).rgb)
      if (channel > BLACK_LEVEL)
        return false;
  return !frame.empty();
}

// Waits until frame (the screen, or a window at its top left) shows the
// graphics file name scaled into area, with black bars around it; saves the
// last screenshot and says whether it came.
bool shows_scaled(const std::string &display, const std::string &name, const rectangle &frame,
                  const rectangle &area, const std::string &saved)
{
  scratch_folder folder;
  std::string size = std::to_string(area.width) + "x" + std::to_string(area.height) + "!";
  std::system(("convert '" + std::string(pilko_data_dir) + "/graphics/" + name + "' -auto-orient -resize " +
               size + " '" + folder.file("scaled.png") + "'").c_str());
  picture expected = load_picture(folder.file("scaled.png"));
  auto shown = [&](const picture &shot) {
    picture inside = crop(shot, frame);
    return picture_difference(crop(inside, area), expected) <= SCALED_TOLERANCE && black_bars(inside, area);
  };
  picture shot = wait_for_screen(display, shown, 30, desktop_screenshot);
  shot.save_png(saved);
  return shown(shot);
}

// The hero's bounding box: the blue of its skin, in the middle half of the picture.
rectangle hero_box(const picture &area)
{
  int left = area.width, right = -1, top = area.height, bottom = -1;
  for (int y = area.height / 4; y < area.height * 3 / 4; y++)
    for (int x = area.width / 4; x < area.width * 3 / 4; x++) {
      const unsigned char *rgb = &area.rgb[((size_t)y * area.width + x) * 3];
      if (rgb[2] > 90 && rgb[2] > rgb[0] + 50 && rgb[2] > rgb[1] + 30) {
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
      }
    }
  return {left, top, right - left + 1, bottom - top + 1};
}

// Pixels of the golden letters of "PAUSED" in the rows of the pause band.
int golden_band_pixels(const picture &area)
{
  double scale = area.height / PICTURE_HEIGHT;
  int count = 0;
  for (int y = (int)(BAND_TOP * scale); y < (int)(BAND_BOTTOM * scale); y++)
    for (int x = 0; x < area.width; x++) {
      const unsigned char *rgb = &area.rgb[((size_t)y * area.width + x) * 3];
      count += rgb[0] > 200 && rgb[1] > 160 && rgb[2] < 120;
    }
  return count;
}

// The picture with the level banner's rows blacked out.
picture without_banner(picture area)
{
  double scale = area.height / PICTURE_HEIGHT;
  size_t row = (size_t)area.width * 3;
  if (!area.empty())
    std::fill(area.rgb.begin() + (size_t)(BANNER_TOP * scale) * row,
              area.rgb.begin() + (size_t)(BANNER_BOTTOM * scale) * row, 0);
  return area;
}

// The screen once two shots in a row are the same: the world at rest.
picture still_screen(const std::string &display)
{
  picture last;
  auto same_twice = [&](const picture &shot) {
    bool same = shot.rgb == last.rgb;
    last = shot;
    return same;
  };
  wait_for_screen(display, same_twice, 30, desktop_screenshot);
  return last;
}

// A grass level the hero stands in at rest, its drop behind it, out of view.
test_map resting_level()
{
  test_map map = walled_level(TEST_KIND_GRASS);
  map.drop_marker[1][1] = DROP_MARKER_DROP;
  return map;
}

// One screen a player may have, and where the picture must be on it.
struct screen_case {
  const char *name;
  const char *server;   // virtual-display start's options; empty: the run's 640 x 480 Xorg
  rectangle area;       // where the 4:3 picture must be, centred on the screen
  const char *note;     // what the game says of its full screen; empty: nothing to look for
};

// The case's name, for the test's name and its messages.
void PrintTo(const screen_case &screen, std::ostream *out)
{
  *out << screen.name;
}

class FullScreen : public ::testing::TestWithParam<screen_case> {
protected:
  game_run run;
  void TearDown() override { stop_game(run); }
};

}  // namespace

TEST_P(FullScreen, FillsTheScreenFourToThreeAndPlays)
{
  const screen_case &screen = GetParam();
  std::string display = *screen.server ? own_display(screen.server) : test_display();
  ASSERT_FALSE(display.empty()) << "no server " << screen.server;
  scratch_folder data = make_data_folder();
  write_file(data.file("maps/map1.map"), map_bytes(resting_level()));
  game_options options;
  options.display = display;
  options.folder = data.path;
  run = start_game(options);
  const rectangle &area = screen.area;
  const rectangle whole = {0, 0, 2 * area.x + area.width, 2 * area.y + area.height};
  std::string saved = picture_folder() + "/screens-" + screen.name;

  EXPECT_TRUE(shows_scaled(display, "logo.tga", whole, area, saved + "-logo.png"));
  tap_key(display, "a");
  EXPECT_TRUE(shows_scaled(display, "title.tga", whole, area, saved + "-title.png"));
  tap_key(display, "space");

  // Play: the hero as round, and as large in the picture, as the designed mode draws it.
  auto hero_shown = [&](const picture &shot) { return hero_box(crop(shot, area)).width > 0; };
  wait_for_screen(display, hero_shown, 30, desktop_screenshot);
  picture game = still_screen(display);  // the SPACE that started the game also jumped
  game.save_png(saved + "-game.png");
  EXPECT_TRUE(black_bars(game, area));
  rectangle hero = hero_box(crop(game, area));
  EXPECT_NEAR((double)hero.width / hero.height, HERO_ASPECT, HERO_ASPECT_TOLERANCE)
      << hero.width << " x " << hero.height;
  EXPECT_GE((double)hero.height / area.height, HERO_SHARE_LOW) << hero.height;
  EXPECT_LE((double)hero.height / area.height, HERO_SHARE_HIGH) << hero.height;

  // F12 saves the picture at the size it is drawn, upright, as on screen.
  key_down(display, "F12");
  for (int tries = 0; tries < 100 && access(data.file("vgrab-001.tga").c_str(), F_OK) != 0; tries++)
    usleep(50 * 1000);
  key_up(display, "F12");
  EXPECT_LE(picture_difference(without_banner(load_picture(data.file("vgrab-000.tga"))),
                               without_banner(crop(game, area))),
            SAME_PICTURE);

  // The pause band and its word, scaled with the picture.
  tap_key(display, "p");
  double scale = area.height / PICTURE_HEIGHT;
  auto paused = [&](const picture &shot) {
    return golden_band_pixels(crop(shot, area)) > GOLDEN_PIXELS_AT_640 * scale * scale &&
           black_bars(shot, area);
  };
  picture pause = wait_for_screen(display, paused, 20, desktop_screenshot);
  pause.save_png(saved + "-paused.png");
  EXPECT_TRUE(paused(pause)) << golden_band_pixels(crop(pause, area)) << " golden pixels";

  tap_key(display, "Escape");  // ends the game, paused as it is
  EXPECT_TRUE(shows_scaled(display, "title.tga", whole, area, saved + "-title-again.png"));
  tap_key(display, "Escape");
  ASSERT_TRUE(wait_for_exit(run, 20));
  EXPECT_EQ(run.exit_status, 0) << game_output(run);
  EXPECT_NE(game_output(run).find(screen.note), std::string::npos) << game_output(run);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, FullScreen,
    ::testing::Values(
        screen_case{"Designed640x480", "", {0, 0, 640, 480}, ""},
        screen_case{"XorgWithout640x480", "--size 1920x1080", {240, 0, 1440, 1080},
                    "the screen has no 640 x 480 mode; playing full screen at 1920 x 1080"},
        screen_case{"XvfbWithoutModeSwitching", "--xvfb --size 1920x1080", {240, 0, 1440, 1080},
                    "the X server cannot switch to 640 x 480; playing full screen at 1920 x 1080"},
        screen_case{"WaylandDesktop", "--weston --size 1920x1080", {240, 0, 1440, 1080},
                    "a Wayland desktop would stretch a 640 x 480 mode; playing full screen at 1920 x 1080"}),
    [](const ::testing::TestParamInfo<screen_case> &info) { return std::string(info.param.name); });

namespace {

// A window asked for on the command line, the size it must open at, and a
// size the window manager may give it later, with where the picture must then be.
struct window_case {
  const char *name;
  std::vector<std::string> arguments;
  rectangle opened;
  rectangle resized;
  rectangle picture_after;
};

void PrintTo(const window_case &window, std::ostream *out)
{
  *out << window.name;
}

class Window : public ::testing::TestWithParam<window_case> {
protected:
  game_run run;
  void TearDown() override { stop_game(run); }
};

// What xdotool does to the game's window (the visible one of the two Allegro makes).
std::string on_game_window(const std::string &display, const std::string &action)
{
  return command_output("DISPLAY=" + display + " xdotool search --sync --onlyvisible --class pilko " + action);
}

}  // namespace

TEST_P(Window, FitsTheDesktopAndThePictureFollowsItsSize)
{
  const window_case &window = GetParam();
  std::string display = own_display("--size 1920x1080");
  ASSERT_FALSE(display.empty());
  game_options options;
  options.display = display;
  options.arguments = window.arguments;
  run = start_game(options);
  std::string saved = picture_folder() + "/screens-window-" + window.name;

  const rectangle &opened = window.opened;
  std::string size = std::to_string(opened.width) + "x" + std::to_string(opened.height);
  EXPECT_NE(on_game_window(display, "getwindowgeometry").find("Geometry: " + size), std::string::npos);
  EXPECT_TRUE(shows_scaled(display, "logo.tga", opened, opened, saved + "-opened.png"));

  const rectangle &resized = window.resized;
  on_game_window(display, "windowsize " + std::to_string(resized.width) + " " + std::to_string(resized.height));
  EXPECT_TRUE(shows_scaled(display, "logo.tga", resized, window.picture_after, saved + "-resized.png"));

  // Keys reach the window under the pointer (no window manager here).
  command_output("DISPLAY=" + display + " xdotool mousemove 10 10");
  tap_key(display, "space");
  EXPECT_TRUE(shows_scaled(display, "title.tga", resized, window.picture_after, saved + "-title.png"));
  tap_key(display, "Escape");
  ASSERT_TRUE(wait_for_exit(run, 20));
  EXPECT_EQ(run.exit_status, 0) << game_output(run);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, Window,
    ::testing::Values(
        // 1920 x 1080 holds 640 x 480 twice each way (three times across).
        window_case{"LargestMultiple", {"--window"}, {0, 0, 1280, 960}, {0, 0, 1000, 500}, {167, 0, 666, 500}},
        window_case{"OfAGivenSize", {"-s", "800x600"}, {0, 0, 800, 600}, {0, 0, 600, 900}, {0, 225, 600, 450}}),
    [](const ::testing::TestParamInfo<window_case> &info) { return std::string(info.param.name); });

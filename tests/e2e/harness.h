// End-to-end tests of the real game: pilko started on the project's virtual
// X server in a data folder, keys sent as a player would (xdotool), the
// screen read back as pictures.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

#include "tests/support/display.h"
#include "tests/support/run_command.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_maps.h"

// The built game and its generated data folder.
extern const char *const pilko_binary;
extern const char *const pilko_data_dir;

// A picture of the screen or of a file: RGB bytes, top row first.
struct picture {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;

  bool empty() const { return rgb.empty(); }
  // Saves as PNG (through ImageMagick) so a person can look at it.
  void save_png(const std::string &path) const;
};

// Reads any picture file ImageMagick knows.
picture load_picture(const std::string &path);
// Mean absolute difference per channel (0..255) of two same-sized pictures;
// 255 when the sizes differ.
double picture_difference(const picture &a, const picture &b);
// Share (0..1) of pixels that are not black.
double lit_share(const picture &p);
// How many pixels of rows top to bottom - 1 pass the test, which sees one pixel's RGB.
int pixels_in_rows(const picture &p, int top, int bottom, const std::function<bool(const unsigned char *)> &test);
// The golden letters of the game's words over the picture (the pause, a level's name).
bool golden(const unsigned char *rgb);
// A screen with the picture of a game's end from the graphics folder at (x, y), on black.
picture end_picture(const std::string &name, int x, int y);


// A running (or finished) game.
struct game_run {
  pid_t pid = -1;
  std::string display;
  std::string folder;    // its working directory
  std::string log_path;  // its standard output and error
  scratch_folder log_folder;  // holds the log when start_game made it
  int exit_status = -1;  // once it has ended: exit code, or 128 + signal
};

// Options for start_game.
struct game_options {
  std::string folder = pilko_data_dir;  // working directory
  std::string display;                  // empty: unset DISPLAY
  std::string path = "/usr/bin:/bin";   // PATH (without xmessage: leave it out)
  std::string program = pilko_binary;   // the game, or a launcher that execs it
  std::vector<std::pair<std::string, std::string>> environment = {};  // more variables to set
  std::vector<std::string> arguments = {};  // the command line after "pilko"
};

game_run start_game(const game_options &options);
// Waits up to seconds for the game to end; true when it has.
bool wait_for_exit(game_run &run, double seconds);
// Starts the game, passes the logo with a key and starts a game with SPACE at
// the title. Empty when a game is on screen, else what never showed.
std::string start_and_enter_game(game_run &run, const game_options &options);
// Ends the game if it is still running.
void stop_game(game_run &run);
// What the game printed so far.
std::string game_output(const game_run &run);

// Keys by xdotool's names ("space", "Escape", "Up", "F12", "a", ...).
void key_down(const std::string &display, const std::string &key);
void key_up(const std::string &display, const std::string &key);
// Presses and releases a key, held for hold_seconds.
void tap_key(const std::string &display, const std::string &key, double hold_seconds = 0.15);

// The whole screen of a display.
picture screenshot(const std::string &display);
// Takes screenshots until accept says yes or seconds pass; returns the last.
picture wait_for_screen(const std::string &display,
                        const std::function<bool(const picture &)> &accept, double seconds = 20);
// Takes screenshots until one is within tolerance of expected.
picture wait_for_picture(const std::string &display, const picture &expected,
                         double tolerance, double seconds = 20);

// A data folder for one test: links to the real graphics, sound, music and fonts,
// and its own empty maps/ folder for the test's maps.
scratch_folder make_data_folder();
// Copies a file.
void copy_file(const std::string &from, const std::string &to);
// Where tests leave the pictures a person should look at.
std::string picture_folder();

// How far (mean per channel) a shown picture may stray from its file: the
// game may run in a 16-bit mode, which rounds colours.
constexpr double PICTURE_TOLERANCE = 6.0;

// A picture of the game's graphics folder, by file name.
picture data_picture(const std::string &name);

// What the tests of one game run share: the test display, a data folder of
// their own for their maps, and the run, stopped when the test ends.
class GameTest : public ::testing::Test {
protected:
  std::string display = test_display();
  scratch_folder data = make_data_folder();
  std::string folder = data.path;
  game_run run;

  void TearDown() override { stop_game(run); }

  // Writes the map as the data folder's maps/mapN.map.
  void add_map(int number, const test_map &map);
  // Whether the screen comes to show expected, within the tolerance, in time.
  bool shows(const picture &expected, double seconds = 20);
  // Starts the game with the arguments and plays into level 1.
  void enter_game(const std::vector<std::string> &arguments = {});
};

// The real game on the project's virtual X server: started in a data folder,
// keys pressed as a player presses them (xdotool), the screen read back as
// pictures and the game's output read as it prints it.
#pragma once

#include <gtest/gtest.h>

#include "tests/support/display.h"
#include "tests/support/files.h"
#include "tests/support/run_command.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_maps.h"

#include <functional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

// The built game and its generated data folder.
extern const char *const pilko_binary;
extern const char *const pilko_data_dir;

// A picture of the screen or of a file: RGB bytes, top row first.
struct picture {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;

  bool empty() const { return rgb.empty(); }
  // Saves it as NAME.png in the build's test-pictures folder, for a person to look at.
  void save(const std::string &name) const;
};

// Any picture file ImageMagick reads; a picture of the graphics folder by its
// name, scaled to width x height as the game scales its picture.
picture load_picture(const std::string &path);
picture data_picture(const std::string &name, int width = 640, int height = 480);
// A screen with the picture of a game's end from the graphics folder at (x, y), on black.
picture end_picture(const std::string &name, int x, int y);
// Mean absolute difference per channel (0..255); 255 when the sizes differ.
double picture_difference(const picture &a, const picture &b);
// Share (0..1) of pixels that are not black.
double lit_share(const picture &p);
// How many pixels of rows top to bottom - 1 pass the test, which sees one pixel's RGB.
int pixels_in_rows(const picture &p, int top, int bottom, const std::function<bool(const unsigned char *)> &test);
// The white of the game's words over play: a test for pixels_in_rows.
inline bool white(const unsigned char *rgb) { return rgb[0] > 225 && rgb[1] > 225 && rgb[2] > 225; }

// How far (mean per channel) a shown picture may stray from its file: the
// game may run in a 16-bit mode, which rounds colours.
constexpr double PICTURE_TOLERANCE = 6.0;

// How the game is started.
struct game_options {
  std::string folder = pilko_data_dir;  // working directory
  std::string display;                  // empty: no DISPLAY at all
  std::string path = "/usr/bin:/bin";   // PATH (without xmessage: leave it out)
  std::string program = pilko_binary;   // the game, or a launcher that starts it
  std::vector<std::pair<std::string, std::string>> environment = {};  // more variables
  std::vector<std::string> arguments = {};  // the command line after "pilko"
};

// A running (or finished) game.
struct game_run {
  pid_t pid = -1;
  scratch_folder log_folder;  // holds its standard output and error
  int exit_status = -1;       // once it has ended: exit code, or 128 + signal
};

void start_game(game_run &run, const game_options &options);
// Waits up to seconds for the game to end; true when it has.
bool wait_for_exit(game_run &run, double seconds);
// Ends the game if it still runs.
void stop_game(game_run &run);
// What the game printed so far.
std::string game_output(const game_run &run);

// Keys by xdotool's names ("space", "Escape", "Up", "F12", "Tab+End", ...).
void key_down(const std::string &display, const std::string &key);
void key_up(const std::string &display, const std::string &key);
// A press held for hold_seconds, never less than 0.1 s: a shorter one may be missed.
void tap_key(const std::string &display, const std::string &key, double hold_seconds = 0.15);

// The whole screen of a display, as X reads it back.
picture screenshot(const std::string &display);
// The whole screen as the player sees it, through virtual-display screenshot:
// on a Wayland desktop (virtual-display --weston) the compositor's picture,
// which X cannot read back.
picture desktop_screenshot(const std::string &display);
// Takes screenshots (with capture) until accept says yes or seconds pass; returns the last.
picture wait_for_screen(const std::string &display, const std::function<bool(const picture &)> &accept,
                        double seconds = 20, picture (*capture)(const std::string &) = screenshot);

// A data folder of its own: links to the real graphics, sound, music and
// fonts, and an empty maps/ folder.
scratch_folder make_data_folder();

// Hearing the game: ALSA's default device is a plug in front of a file writer
// whose own output goes nowhere, so the game plays into a file that the test
// reads back (16-bit stereo at 44.1 kHz).
constexpr long CAPTURE_RATE = 44100;  // frames per second of the capture

// Writes an ALSA configuration into folder that captures into capture_path;
// returns its path, for ALSA_CONFIG_PATH.
std::string write_capture_config(const std::string &folder, const std::string &capture_path);
// Frames captured so far.
long frames_in(const std::string &capture_path);
// Whether the seconds of capture from frame first on are not silent; it waits
// (up to 30 s) for them to be captured.
bool sound_heard(const std::string &capture_path, long first, double seconds);

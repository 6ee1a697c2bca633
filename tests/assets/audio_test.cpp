// Heard, not assumed: the real game runs on the test display with ALSA's default device written
// to a file, and the captured sound holds the title music and the jump sample.
#include <gtest/gtest.h>
#include "tests/e2e/harness.h"
#include "tests/e2e/sound_capture.h"
#include "assets/asset_files.h"

#include <cmath>
#include <fstream>
#include <sys/stat.h>

namespace {

// Best normalised correlation of the effect with any stretch of the sound (1 = exactly it).
double best_match(const std::vector<float> &sound, const std::vector<float> &effect)
{
  size_t n = effect.size();
  double effect_energy = 0, window_energy = 0, best = 0;
  for (size_t i = 0; i < n && n <= sound.size(); ++i) {
    effect_energy += effect[i] * effect[i];
    window_energy += sound[i] * sound[i];
  }
  for (size_t lag = 0; lag + n <= sound.size(); ++lag) {
    if (lag > 0)
      window_energy += sound[lag + n - 1] * sound[lag + n - 1] - sound[lag - 1] * sound[lag - 1];
    double dot = 0;
    for (size_t i = 0; i < n; ++i)
      dot += sound[lag + i] * effect[i];
    if (window_energy > 1e-9)
      best = std::max(best, dot / std::sqrt(effect_energy * window_energy));
  }
  return best;
}

bool differs_from_title(const picture &screen)
{
  static picture title = load_picture(std::string(pilko_data_dir) + "/" + PICTURE_FILES[PICTURE_TITLE]);
  return !screen.empty() && picture_difference(screen, title) > 20;
}

}  // namespace

TEST(HeardGame, MusicAtTitleJumpSoundInLevel)
{
  scratch_folder scratch, data_folder = make_data_folder();
  std::string display = test_display(), folder = scratch.path, bin = folder + "/bin";
  std::string capture = folder + "/capture.raw", data = data_folder.path;
  test_map meadow;  // flat, one drop far from the start, so the level runs on
  meadow.start_x = meadow.start_y = 4;
  meadow.drop_marker[20][20] = 0;
  write_file(data + "/maps/map1.map", map_bytes(meadow));
  // The game copied beside the build's patch index and a configuration pacing ALSA in real time.
  mkdir(bin.c_str(), 0755);
  copy_file(pilko_binary, bin + "/pilko");
  chmod((bin + "/pilko").c_str(), 0755);
  copy_file(std::string(pilko_data_dir) + "/../default.cfg", bin + "/default.cfg");
  std::ofstream(bin + "/allegro.cfg") << "[sound]\nmidi_card = DIGI\nalsa_fragsize = 441\n";
  game_options options;
  options.display = display;
  options.folder = data;
  options.program = bin + "/pilko";
  options.environment = {{"ALSA_CONFIG_PATH", write_capture_config(folder, capture)}};
  game_run run = start_game(options);
  struct stopper { game_run &r; ~stopper() { stop_game(r); } } stop{run};

  for (picture_file shown : {PICTURE_LOGO, PICTURE_TITLE}) {
    const char *name = PICTURE_FILES[shown];
    picture expected = load_picture(std::string(pilko_data_dir) + "/" + name);
    ASSERT_LE(picture_difference(wait_for_picture(display, expected, 6, 30), expected), 6)
        << name << " not shown; " << game_output(run);
    if (shown == PICTURE_LOGO)
      tap_key(display, "space", 0.2);
  }
  // The title's music: the latest two seconds of the capture are not silent.
  const long stretch = 2 * CAPTURE_RATE;
  ASSERT_TRUE(wait_for_capture(capture, frames_in(capture) + stretch)) << game_output(run);
  std::vector<float> music = read_sound(capture, frames_in(capture) - stretch, stretch, true);
  ASSERT_EQ(long(music.size()), stretch);
  EXPECT_GT(loudness(music), 0.01) << "the title is silent";

  // Into a level: a stretch of music alone, then SPACE jumps.
  tap_key(display, "space", 0.2);
  picture screen = wait_for_screen(display, differs_from_title, 30);
  ASSERT_TRUE(differs_from_title(screen)) << "the level did not start";
  screen.save_png(picture_folder() + "/assets-level-status-line.png");
  const long window = long(1.5 * CAPTURE_RATE), before = frames_in(capture);
  ASSERT_TRUE(wait_for_capture(capture, before + window));
  long press = frames_in(capture);
  tap_key(display, "space", 0.3);
  ASSERT_TRUE(wait_for_capture(capture, press + 2 * window));
  std::vector<float> jump =
      read_sound(std::string(pilko_data_dir) + "/" + SOUND_FILES[SOUND_JUMP], 0, 1 << 20, false);
  ASSERT_FALSE(jump.empty());
  double music_only = best_match(read_sound(capture, before, window, true), jump);
  double after_press = best_match(read_sound(capture, press - window / 4, 2 * window, true), jump);
  EXPECT_LT(music_only, 0.2) << "music alone looks like the jump";
  EXPECT_GT(after_press, 0.3) << "the jump is not heard (music alone: " << music_only << ")";
}

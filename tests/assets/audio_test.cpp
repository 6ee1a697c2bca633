// The music and the effects are heard: the real game runs on the test
// display with ALSA's default device turned into a file, and the captured
// sound is examined.
#include <gtest/gtest.h>
#include "tests/e2e/harness.h"

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// The capture's format, fixed by the ALSA configuration below.
constexpr int CAPTURE_RATE = 44100;
constexpr int CAPTURE_CHANNELS = 2;
constexpr int FRAME_BYTES = 4;  // two signed 16-bit samples
constexpr double PICTURE_TOLERANCE = 6.0;
// A stretch of sound counts as heard above this RMS (full scale 1).
constexpr double HEARD_RMS = 0.01;
constexpr double MUSIC_STRETCH = 2.0;  // seconds of title music examined
// Normalised correlation with the jump sample: where it plays, and the
// most that music alone reaches.
constexpr double JUMP_MATCH = 0.3;
constexpr double MUSIC_ONLY_MATCH = 0.2;
constexpr double WAIT_LIMIT = 30.0;  // seconds to wait for a screen or for sound

// ALSA's default device as a plug (which converts to the format above) in
// front of a file writer whose own output goes nowhere.
std::string alsa_config(const std::string &capture)
{
  return "pcm.!default { type plug slave { pcm \"capture\" format S16_LE rate 44100 channels 2 } }\n"
         "pcm.capture { type file slave.pcm \"discard\" file \"" + capture + "\" format \"raw\" }\n"
         "pcm.discard { type null }\n"
         "ctl.!default { type hw card 0 }\n";
}

void write_text(const std::string &path, const std::string &text)
{
  std::ofstream(path) << text;
}

long file_size(const std::string &path)
{
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? st.st_size : 0;
}

void pause_for(double seconds)
{
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

// Waits until the capture holds at least bytes; false after the limit.
bool wait_for_capture(const std::string &path, long bytes)
{
  auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(WAIT_LIMIT);
  while (file_size(path) < bytes) {
    if (std::chrono::steady_clock::now() > deadline)
      return false;
    pause_for(0.1);
  }
  return true;
}

// Mono samples (left plus right, halved) of the capture from one frame on.
std::vector<float> read_capture(const std::string &path, long first_frame, long frames)
{
  std::vector<float> mono;
  FILE *f = std::fopen(path.c_str(), "rb");
  if (!f)
    return mono;
  std::fseek(f, first_frame * FRAME_BYTES, SEEK_SET);
  std::vector<int16_t> raw(frames * CAPTURE_CHANNELS);
  size_t got = std::fread(raw.data(), FRAME_BYTES, frames, f);
  std::fclose(f);
  for (size_t i = 0; i < got; ++i)
    mono.push_back((raw[2 * i] + raw[2 * i + 1]) / 65536.0f);
  return mono;
}

double rms(const std::vector<float> &s)
{
  double sum = 0;
  for (float v : s)
    sum += v * v;
  return s.empty() ? 0 : std::sqrt(sum / s.size());
}

// A 16-bit mono WAV's samples at the capture rate (each sample repeated
// and blended with the next, as the mixer resamples 22050 to 44100 Hz).
std::vector<float> read_effect(const std::string &path)
{
  std::vector<float> out;
  FILE *f = std::fopen(path.c_str(), "rb");
  if (!f)
    return out;
  std::fseek(f, 44, SEEK_SET);  // after the canonical header
  std::vector<int16_t> raw;
  int16_t v;
  while (std::fread(&v, 2, 1, f) == 1)
    raw.push_back(v);
  std::fclose(f);
  for (size_t i = 0; i + 1 < raw.size(); ++i) {
    out.push_back(raw[i] / 32768.0f);
    out.push_back((raw[i] + raw[i + 1]) / 65536.0f);
  }
  return out;
}

// The best normalised correlation of the effect with any stretch of the
// sound (1 = the effect exactly, near 0 = nothing like it).
double best_match(const std::vector<float> &sound, const std::vector<float> &effect)
{
  double effect_energy = 0;
  for (float v : effect)
    effect_energy += v * v;
  double best = 0;
  double window_energy = 0;
  size_t n = effect.size();
  if (sound.size() < n)
    return 0;
  for (size_t i = 0; i < n; ++i)
    window_energy += sound[i] * sound[i];
  for (size_t lag = 0; lag + n <= sound.size(); ++lag) {
    if (lag > 0) {
      window_energy += sound[lag + n - 1] * sound[lag + n - 1] - sound[lag - 1] * sound[lag - 1];
    }
    double dot = 0;
    for (size_t i = 0; i < n; ++i)
      dot += sound[lag + i] * effect[i];
    if (window_energy > 1e-9)
      best = std::max(best, dot / std::sqrt(effect_energy * window_energy));
  }
  return best;
}

class HeardGame : public ::testing::Test {
protected:
  std::string display = test_display();
  std::string folder = temp_folder();
  std::string capture = folder + "/capture.raw";
  game_run run;

  void TearDown() override { stop_game(run); }

  // The real game, copied beside a test configuration that paces ALSA
  // output in real time (small fragments), with the build's patch index.
  void start_game_with_capture(const std::string &data)
  {
    std::string bin = folder + "/bin";
    mkdir(bin.c_str(), 0755);
    copy_file(pilko_binary, bin + "/pilko");
    chmod((bin + "/pilko").c_str(), 0755);
    copy_file(std::string(pilko_data_dir) + "/../default.cfg", bin + "/default.cfg");
    write_text(bin + "/allegro.cfg", "[sound]\nmidi_card = DIGI\nalsa_fragsize = 441\n");
    write_text(folder + "/asound.conf", alsa_config(capture));
    run.display = display;
    run.folder = data;
    run.log_path = folder + "/pilko.log";
    pid_t pid = fork();
    if (pid == 0) {
      std::freopen(run.log_path.c_str(), "w", stdout);
      std::freopen(run.log_path.c_str(), "a", stderr);
      if (chdir(data.c_str()) != 0)
        _exit(125);
      setenv("DISPLAY", display.c_str(), 1);
      setenv("ALSA_CONFIG_PATH", (folder + "/asound.conf").c_str(), 1);
      execl((bin + "/pilko").c_str(), "pilko", (char *)nullptr);
      _exit(126);
    }
    run.pid = pid;
  }

  picture data_picture(const char *name)
  {
    return load_picture(std::string(pilko_data_dir) + "/graphics/" + name);
  }
};

// A flat meadow with one drop far from the start, so the level runs on.
std::string write_meadow(const std::string &data)
{
  test_map map;
  map.start_x = 4;
  map.start_y = 4;
  map.drop_marker[20][20] = 0;
  return write_file(data + "/maps/map1.map", map_bytes(map));
}

bool differs_from_title(const picture &screen)
{
  static picture title = load_picture(std::string(pilko_data_dir) + "/graphics/title.tga");
  return !screen.empty() && picture_difference(screen, title) > 20;
}

}  // namespace

TEST_F(HeardGame, MusicPlaysAtTheTitleAndJumpSoundsInALevel)
{
  std::string data = make_data_folder();
  write_meadow(data);
  start_game_with_capture(data);

  picture logo = data_picture("logo.tga");
  picture title = data_picture("title.tga");
  picture screen = wait_for_picture(display, logo, PICTURE_TOLERANCE, WAIT_LIMIT);
  ASSERT_LE(picture_difference(screen, logo), PICTURE_TOLERANCE) << game_output(run);
  tap_key(display, "space", 0.2);
  screen = wait_for_picture(display, title, PICTURE_TOLERANCE, WAIT_LIMIT);
  ASSERT_LE(picture_difference(screen, title), PICTURE_TOLERANCE);

  // The title's music: the latest stretch of the capture is not silent.
  long title_bytes = file_size(capture) + long(MUSIC_STRETCH * CAPTURE_RATE) * FRAME_BYTES;
  ASSERT_TRUE(wait_for_capture(capture, title_bytes)) << "no sound captured; " << game_output(run);
  long title_end = file_size(capture) / FRAME_BYTES;
  long stretch = long(MUSIC_STRETCH * CAPTURE_RATE);
  std::vector<float> music = read_capture(capture, title_end - stretch, stretch);
  ASSERT_EQ(long(music.size()), stretch);
  EXPECT_GT(rms(music), HEARD_RMS) << "the title is silent";

  // Into a level; a stretch of music alone, then a jump.
  tap_key(display, "space", 0.2);
  screen = wait_for_screen(display, differs_from_title, WAIT_LIMIT);
  ASSERT_TRUE(differs_from_title(screen)) << "the level did not start";
  screen.save_png(picture_folder() + "/assets-level-status-line.png");
  const long window = long(1.5 * CAPTURE_RATE);
  long before = file_size(capture) / FRAME_BYTES;
  ASSERT_TRUE(wait_for_capture(capture, (before + window) * FRAME_BYTES));
  long press = file_size(capture) / FRAME_BYTES;
  tap_key(display, "space", 0.3);
  ASSERT_TRUE(wait_for_capture(capture, (press + 2 * window) * FRAME_BYTES));

  std::vector<float> jump = read_effect(std::string(pilko_data_dir) + "/sound/jump.wav");
  ASSERT_FALSE(jump.empty());
  double music_only = best_match(read_capture(capture, before, window), jump);
  double after_press = best_match(read_capture(capture, press - window / 4, 2 * window), jump);
  EXPECT_LT(music_only, MUSIC_ONLY_MATCH) << "music alone looks like the jump";
  EXPECT_GT(after_press, JUMP_MATCH) << "the jump is not heard (music alone: " << music_only << ")";
  std::printf("jump match %.3f after SPACE, %.3f over music alone\n", after_press, music_only);
}

// The real game on a virtual X server, driven by keys, read back as pictures and heard.
#include "tests/game/harness.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

const char *const pilko_binary = PILKO_BINARY;
const char *const pilko_data_dir = PILKO_DATA_DIR;

namespace {

constexpr double SHORTEST_PRESS = 0.1;  // Allegro may miss a key held for less
constexpr double SCREEN_POLL = 0.2;     // seconds between screenshots while waiting
constexpr long FRAME_BYTES = 4;  // 16-bit stereo

void pause_for(double seconds)
{
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

// Reads a binary PPM (P6) as ImageMagick writes it; empty when it is none.
picture parse_ppm(const std::string &bytes)
{
  picture p;
  int start = 0;  // of the pixels, after the single white space that ends the header
  std::sscanf(bytes.c_str(), "P6 %d %d 255%*1[ \n]%n", &p.width, &p.height, &start);
  if (start > 0 && p.width > 0 && p.height > 0 && bytes.size() - start == (size_t)p.width * p.height * 3)
    p.rgb.assign(bytes.begin() + start, bytes.end());
  return p.empty() ? picture{} : p;
}

// What ImageMagick's convert makes of the arguments, as a picture. -auto-orient:
// ImageMagick keeps a TGA's bottom-up row order unless asked.
picture converted(const std::string &arguments)
{
  return parse_ppm(run_command("convert " + arguments + " -auto-orient -depth 8 ppm:- 2>/dev/null").output);
}

}  // namespace

void picture::save(const std::string &name) const
{
  mkdir(PICTURE_DIR, 0755);
  FILE *pipe = popen(("convert -size " + std::to_string(width) + "x" + std::to_string(height) +
                      " -depth 8 rgb:- '" PICTURE_DIR "/" + name + ".png'").c_str(), "w");
  if (pipe) {
    std::fwrite(rgb.data(), 1, rgb.size(), pipe);
    pclose(pipe);
  }
}

picture load_picture(const std::string &path) { return converted("'" + path + "'"); }

picture data_picture(const std::string &name, int width, int height)
{
  return converted("'" + std::string(pilko_data_dir) + "/graphics/" + name + "' -auto-orient -resize " +
                   std::to_string(width) + "x" + std::to_string(height) + "!");
}

picture end_picture(const std::string &name, int x, int y)
{
  return converted("-size 640x480 xc:black '" + std::string(pilko_data_dir) + "/graphics/" + name + "' -geometry +" +
                   std::to_string(x) + "+" + std::to_string(y) + " -composite");
}

double picture_difference(const picture &a, const picture &b)
{
  if (a.width != b.width || a.height != b.height || a.empty())
    return 255.0;
  double total = 0;
  for (size_t i = 0; i < a.rgb.size(); i++)
    total += std::abs((int)a.rgb[i] - (int)b.rgb[i]);
  return total / (double)a.rgb.size();
}

double lit_share(const picture &p)
{
  int lit = pixels_in_rows(p, 0, p.height, [](const unsigned char *rgb) {
    return rgb[0] > 8 || rgb[1] > 8 || rgb[2] > 8;
  });
  return p.empty() ? 0.0 : (double)lit / ((double)p.width * p.height);
}

int pixels_in_rows(const picture &p, int top, int bottom, const std::function<bool(const unsigned char *)> &test)
{
  int count = 0;
  for (int y = std::max(top, 0); y < bottom && y < p.height; y++)
    for (int x = 0; x < p.width; x++)
      count += test(&p.rgb[((size_t)y * p.width + x) * 3]);
  return count;
}

void start_game(game_run &run, const game_options &options)
{
  std::string log = run.log_folder.file("pilko.log");
  run.pid = fork();
  if (run.pid != 0)
    return;
  int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), in = open("/dev/null", O_RDONLY);
  dup2(out, 1);
  dup2(out, 2);
  dup2(in, 0);
  if (chdir(options.folder.c_str()) != 0)
    _exit(125);
  if (options.display.empty())
    unsetenv("DISPLAY");
  else
    setenv("DISPLAY", options.display.c_str(), 1);
  setenv("PATH", options.path.c_str(), 1);
  for (const auto &variable : options.environment)
    setenv(variable.first.c_str(), variable.second.c_str(), 1);
  std::vector<char *> argv = {const_cast<char *>("pilko")};
  for (const std::string &argument : options.arguments)
    argv.push_back(const_cast<char *>(argument.c_str()));
  argv.push_back(nullptr);
  execv(options.program.c_str(), argv.data());
  _exit(126);
}

bool wait_for_exit(game_run &run, double seconds)
{
  auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  for (int status = 0; run.pid >= 0; pause_for(0.05)) {
    if (waitpid(run.pid, &status, WNOHANG) == run.pid) {
      run.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      run.pid = -1;
    } else if (std::chrono::steady_clock::now() >= deadline) {
      return false;
    }
  }
  return true;
}

void stop_game(game_run &run)
{
  if (run.pid < 0)
    return;
  kill(run.pid, SIGTERM);
  if (!wait_for_exit(run, 5)) {
    kill(run.pid, SIGKILL);
    wait_for_exit(run, 5);
  }
}

std::string game_output(const game_run &run)
{
  return file_text(run.log_folder.file("pilko.log"));
}

void key_down(const std::string &display, const std::string &key) { run_command("DISPLAY=" + display + " xdotool keydown " + key); }
void key_up(const std::string &display, const std::string &key) { run_command("DISPLAY=" + display + " xdotool keyup " + key); }

void tap_key(const std::string &display, const std::string &key, double hold_seconds)
{
  key_down(display, key);
  pause_for(std::max(hold_seconds, SHORTEST_PRESS));
  key_up(display, key);
}

picture screenshot(const std::string &display)
{
  return parse_ppm(run_command("DISPLAY=" + display + " import -silent -window root -depth 8 ppm:- 2>/dev/null").output);
}

picture desktop_screenshot(const std::string &display)
{
  scratch_folder shots;
  std::string file = shots.file("screen.png");
  return run_command(VIRTUAL_DISPLAY " screenshot " + display + " '" + file + "'").status == 0 ? load_picture(file) : picture{};
}

picture wait_for_screen(const std::string &display, const std::function<bool(const picture &)> &accept,
                        double seconds, picture (*capture)(const std::string &))
{
  auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  picture shot = capture(display);
  while (!accept(shot) && std::chrono::steady_clock::now() < deadline) {
    pause_for(SCREEN_POLL);
    shot = capture(display);
  }
  return shot;
}

scratch_folder make_data_folder()
{
  scratch_folder made;
  run_command("cd " + made.path + " && mkdir maps && for part in graphics sound music fonts; do ln -s " + pilko_data_dir +
              "/$part $part; done");
  return made;
}

std::string write_capture_config(const std::string &folder, const std::string &capture_path)
{
  std::string path = folder + "/asound.conf";
  std::ofstream(path)
      << "pcm.!default { type plug slave { pcm \"capture\" format S16_LE rate 44100 channels 2 } }\n"
         "pcm.capture { type file slave.pcm \"discard\" file \"" << capture_path << "\" format \"raw\" }\n"
         "pcm.discard { type null }\nctl.!default { type hw card 0 }\n";
  return path;
}

long frames_in(const std::string &capture_path)
{
  struct stat st;
  return stat(capture_path.c_str(), &st) == 0 ? st.st_size / FRAME_BYTES : 0;
}

bool sound_heard(const std::string &capture_path, long first, double seconds)
{
  std::vector<int16_t> samples(2 * (size_t)(seconds * CAPTURE_RATE));  // left and right of each frame
  for (int i = 0; i < 300 && frames_in(capture_path) < first + (long)samples.size() / 2; ++i)
    pause_for(0.1);
  std::ifstream capture(capture_path, std::ios::binary);
  capture.seekg(first * FRAME_BYTES);
  capture.read((char *)samples.data(), (std::streamsize)samples.size() * 2);
  double sum = 0;  // of the squares: their root mean is the loudness
  for (int16_t sample : samples)
    sum += (sample / 32768.0) * (sample / 32768.0);
  return capture && std::sqrt(sum / samples.size()) > 0.01;
}

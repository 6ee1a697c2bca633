// End-to-end harness: the real game on a virtual X server, driven by keys.
#include "tests/e2e/harness.h"
#include "tests/support/files.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

const char *const pilko_binary = PILKO_BINARY;
const char *const pilko_data_dir = PILKO_DATA_DIR;

namespace {

void pause_for(double seconds)
{
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

// Reads a binary PPM (P6) as ImageMagick writes it.
picture parse_ppm(const std::string &bytes)
{
  picture p;
  std::istringstream in(bytes);
  std::string magic;
  int max_value = 0;
  in >> magic >> p.width >> p.height >> max_value;
  if (magic != "P6" || max_value != 255 || p.width <= 0 || p.height <= 0)
    return picture{};
  in.get();  // the single white space before the pixels
  size_t size = (size_t)p.width * p.height * 3;
  p.rgb.resize(size);
  in.read((char *)p.rgb.data(), (std::streamsize)size);
  if ((size_t)in.gcount() != size)
    return picture{};
  return p;
}

}  // namespace

void picture::save_png(const std::string &path) const
{
  std::string command = "convert -size " + std::to_string(width) + "x" + std::to_string(height) +
                        " -depth 8 rgb:- '" + path + "'";
  FILE *pipe = popen(command.c_str(), "w");
  if (!pipe)
    return;
  std::fwrite(rgb.data(), 1, rgb.size(), pipe);
  pclose(pipe);
}

picture load_picture(const std::string &path)
{
  // -auto-orient: ImageMagick keeps a TGA's bottom-up row order unless asked.
  return parse_ppm(run_command("convert '" + path + "' -auto-orient -depth 8 ppm:- 2>/dev/null").output);
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
  if (p.empty())
    return 0.0;
  size_t lit = 0, pixels = p.rgb.size() / 3;
  for (size_t i = 0; i < pixels; i++)
    if (p.rgb[3 * i] > 8 || p.rgb[3 * i + 1] > 8 || p.rgb[3 * i + 2] > 8)
      lit++;
  return (double)lit / (double)pixels;
}

int pixels_in_rows(const picture &p, int top, int bottom, const std::function<bool(const unsigned char *)> &test)
{
  int count = 0;
  for (int y = std::max(top, 0); y < bottom && y < p.height; y++)
    for (int x = 0; x < p.width; x++)
      count += test(&p.rgb[((size_t)y * p.width + x) * 3]);
  return count;
}

bool golden(const unsigned char *rgb)
{
  return rgb[0] > 200 && rgb[1] > 160 && rgb[2] < 120;
}

picture end_picture(const std::string &name, int x, int y)
{
  return parse_ppm(run_command("convert -size 640x480 xc:black '" + std::string(pilko_data_dir) +
                                  "/graphics/" + name + "' -geometry +" + std::to_string(x) + "+" +
                                  std::to_string(y) + " -composite -depth 8 ppm:- 2>/dev/null").output);
}

game_run start_game(const game_options &options)
{
  game_run run;
  run.display = options.display;
  run.folder = options.folder;
  run.log_path = run.log_folder.file("pilko.log");
  pid_t pid = fork();
  if (pid == 0) {
    int log = open(run.log_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(log, 1);
    dup2(log, 2);
    int null_input = open("/dev/null", O_RDONLY);
    dup2(null_input, 0);
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
  run.pid = pid;
  return run;
}

std::string start_and_enter_game(game_run &run, const game_options &options)
{
  constexpr double SHOWN = 6.0;  // a shown picture: 16-bit modes round colours
  const std::string graphics = std::string(pilko_data_dir) + "/graphics/";
  picture logo = load_picture(graphics + "logo.tga"), title = load_picture(graphics + "title.tga");
  run = start_game(options);
  if (picture_difference(wait_for_picture(options.display, logo, SHOWN), logo) > SHOWN)
    return "no logo";
  tap_key(options.display, "a");
  if (picture_difference(wait_for_picture(options.display, title, SHOWN), title) > SHOWN)
    return "no title";
  tap_key(options.display, "space");
  auto in_game = [&](const picture &p) { return picture_difference(p, title) > 20 && lit_share(p) > 0.2; };
  if (!in_game(wait_for_screen(options.display, in_game)))
    return "no game on screen";
  return "";
}

bool wait_for_exit(game_run &run, double seconds)
{
  if (run.pid < 0)
    return true;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    pid_t done = waitpid(run.pid, &status, WNOHANG);
    if (done == run.pid) {
      run.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      run.pid = -1;
      return true;
    }
    pause_for(0.05);
  }
  return false;
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
  std::ifstream in(run.log_path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

namespace {

void send_key(const std::string &display, const char *action, const std::string &key)
{
  std::string command = "DISPLAY=" + display + " xdotool " + action + " " + key;
  std::system(command.c_str());
}

}  // namespace

void key_down(const std::string &display, const std::string &key)
{
  send_key(display, "keydown", key);
}

void key_up(const std::string &display, const std::string &key)
{
  send_key(display, "keyup", key);
}

void tap_key(const std::string &display, const std::string &key, double hold_seconds)
{
  key_down(display, key);
  pause_for(hold_seconds);
  key_up(display, key);
}

picture screenshot(const std::string &display)
{
  return parse_ppm(run_command("DISPLAY=" + display +
                                  " import -silent -window root -depth 8 ppm:- 2>/dev/null").output);
}

picture wait_for_screen(const std::string &display,
                        const std::function<bool(const picture &)> &accept, double seconds)
{
  auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  picture shot = screenshot(display);
  while (!accept(shot) && std::chrono::steady_clock::now() < deadline) {
    pause_for(0.2);
    shot = screenshot(display);
  }
  return shot;
}

picture wait_for_picture(const std::string &display, const picture &expected, double tolerance,
                         double seconds)
{
  return wait_for_screen(
      display, [&](const picture &shot) { return picture_difference(shot, expected) <= tolerance; },
      seconds);
}

void copy_file(const std::string &from, const std::string &to)
{
  std::ifstream in(from, std::ios::binary);
  std::ofstream out(to, std::ios::binary);
  out << in.rdbuf();
}

scratch_folder make_data_folder()
{
  scratch_folder made;
  const std::string &folder = made.path;
  for (const char *part : {"graphics", "sound", "music", "fonts"}) {
    std::string target = std::string(pilko_data_dir) + "/" + part;
    std::string link = folder + "/" + part;
    if (symlink(target.c_str(), link.c_str()) != 0)
      std::perror("symlink");
  }
  mkdir((folder + "/maps").c_str(), 0755);
  return made;
}

std::string picture_folder()
{
  static std::string folder = PICTURE_DIR;
  mkdir(folder.c_str(), 0755);
  return folder;
}

picture data_picture(const std::string &name)
{
  return load_picture(std::string(pilko_data_dir) + "/graphics/" + name);
}

void GameTest::add_map(int number, const test_map &map)
{
  write_file(folder + "/maps/map" + std::to_string(number) + ".map", map_bytes(map));
}

bool GameTest::shows(const picture &expected, double seconds)
{
  picture shot = wait_for_picture(display, expected, PICTURE_TOLERANCE, seconds);
  return picture_difference(shot, expected) <= PICTURE_TOLERANCE;
}

void GameTest::enter_game(const std::vector<std::string> &arguments)
{
  game_options options;
  options.folder = folder;
  options.display = display;
  options.arguments = arguments;
  ASSERT_EQ(start_and_enter_game(run, options), "");
}

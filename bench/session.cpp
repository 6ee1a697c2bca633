// The real game in a scripted session on the current display: start-up
// times, the processor time and memory it takes while played. Keys go in
// through the XTEST extension with their exact time; the preloaded swap log
// says when each picture reached the screen; /proc says what it cost.
#include "bench/session.h"
#include "base/base.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <csignal>
#include <dirent.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <initializer_list>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr double START_TIMEOUT_MS = 20000;  // a loaded machine starts slowly
constexpr double PICTURE_TIMEOUT_MS = 5000;
constexpr double EXIT_TIMEOUT_MS = 5000;
constexpr double POLL_MS = 1;
constexpr double KEY_HOLD_MS = 100;  // a tap, long enough that the game sees the key held
constexpr double KB_PER_MB = 1024;
constexpr long STATUS_FILE_LIMIT = 64 * 1024;  // far more than a /proc status file holds
// Swaps the game makes before its first frame of play: the logo, the
// title, and the blank screen as a game starts.
constexpr int SWAPS_BEFORE_PLAY = 3;
// The level-complete sequence lasts 91 frames of 40 ms; then the next map.
constexpr double LEVEL_END_MS = 4200;

struct running_game {
  pid_t pid = -1;
  Display *x = nullptr;
  std::string swap_log_path;
  session_figures *figures = nullptr;
  bool ended = false;
};

void sleep_ms(double ms) { usleep((useconds_t)(ms * 1000)); }

// The times of every swap so far, ns.
std::vector<long long> swaps(const running_game &game)
{
  std::vector<long long> times;
  FILE *in = std::fopen(game.swap_log_path.c_str(), "r");
  if (!in)
    return times;
  long long t;
  while (std::fscanf(in, "%lld", &t) == 1)
    times.push_back(t);
  std::fclose(in);
  return times;
}

// A numeric field of a /proc status file's text (kB for the memory fields), or -1.
double status_field(const std::string &status, const char *field)
{
  size_t at = status.find("\n" + std::string(field) + ":");
  return at == std::string::npos ? -1 : std::atof(status.c_str() + at + std::strlen(field) + 2);
}

// User and system processor time of the whole process, seconds.
double cpu_seconds(pid_t pid)
{
  FILE *in = std::fopen(("/proc/" + std::to_string(pid) + "/stat").c_str(), "r");
  if (!in)
    return 0;
  char text[1024] = {};
  size_t n = std::fread(text, 1, sizeof text - 1, in);
  std::fclose(in);
  text[n] = '\0';
  const char *after_name = std::strrchr(text, ')');  // the name may hold spaces
  unsigned long utime = 0, stime = 0;
  if (!after_name || std::sscanf(after_name + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu",
                                 &utime, &stime) != 2)
    return 0;
  return (double)(utime + stime) / (double)sysconf(_SC_CLK_TCK);
}

// A /proc status file's text, empty when the process has gone.
std::string status_text(const std::string &path)
{
  byte_buffer bytes;
  std::string error;
  return read_regular_file(path, STATUS_FILE_LIMIT, bytes, error) ? std::string(bytes.begin(), bytes.end()) : "";
}

// How often all the game's threads have gone to sleep so far: a loop that
// waits sleeps once a tick, one that polls a thousand times a second.
double voluntary_switches(pid_t pid)
{
  std::string tasks = "/proc/" + std::to_string(pid) + "/task";
  DIR *dir = opendir(tasks.c_str());
  if (!dir)
    return 0;
  double total = 0;
  while (dirent *entry = readdir(dir))
    if (entry->d_name[0] != '.')
      total += status_field(status_text(tasks + "/" + entry->d_name + "/status"), "voluntary_ctxt_switches");
  closedir(dir);
  return total;
}

// Notes the memory now; the peak of RssAnon is only seen by sampling.
void sample_memory(running_game &game)
{
  std::string status = status_text("/proc/" + std::to_string(game.pid) + "/status");
  double anon = status_field(status, "RssAnon") / KB_PER_MB;
  double peak = status_field(status, "VmHWM") / KB_PER_MB;
  session_figures &f = *game.figures;
  f.peak_rss_anon_mb = anon > f.peak_rss_anon_mb ? anon : f.peak_rss_anon_mb;
  f.peak_rss_mb = peak > f.peak_rss_mb ? peak : f.peak_rss_mb;
}

bool still_running(running_game &game)
{
  if (!game.ended && waitpid(game.pid, nullptr, WNOHANG) == game.pid)
    game.ended = true;
  return !game.ended;
}

// Waits ms while sampling memory; false if the game ended meanwhile.
bool wait_ms(running_game &game, double ms)
{
  long long until = now_ns() + (long long)(ms * 1e6);
  while (now_ns() < until) {
    if (!still_running(game))
      return false;
    sample_memory(game);
    sleep_ms(POLL_MS);
  }
  return true;
}

// Waits until count swaps are logged; the time of the last, or 0.
long long wait_for_swaps(running_game &game, size_t count, double timeout_ms)
{
  long long until = now_ns() + (long long)(timeout_ms * 1e6);
  while (now_ns() < until && still_running(game)) {
    std::vector<long long> times = swaps(game);
    if (times.size() >= count)
      return times[count - 1];
    sample_memory(game);
    sleep_ms(POLL_MS);
  }
  return 0;
}

void send_key(running_game &game, KeySym symbol, bool down)
{
  XTestFakeKeyEvent(game.x, XKeysymToKeycode(game.x, symbol), down ? True : False, CurrentTime);
  XFlush(game.x);
}

// Presses the keys together, holds them for ms and lets go; the time of the press.
long long press(running_game &game, std::initializer_list<KeySym> keys, double ms = KEY_HOLD_MS)
{
  long long pressed = now_ns();
  for (KeySym k : keys)
    send_key(game, k, true);
  wait_ms(game, ms);
  for (KeySym k : keys)
    send_key(game, k, false);
  return pressed;
}

bool fail(session_figures &f, const char *problem)
{
  f.problem = problem;
  return false;
}

// Logo, title, a game: the start-up figures. False when a picture never came.
bool start_up(running_game &game, long long started)
{
  session_figures &f = *game.figures;
  long long logo = wait_for_swaps(game, 1, START_TIMEOUT_MS);
  if (!logo)
    return fail(f, "the logo never showed");
  // Pressed as soon as the logo is seen, as an impatient player does.
  long long key_at_logo = press(game, {XK_Return});
  long long title = wait_for_swaps(game, 2, PICTURE_TIMEOUT_MS);
  if (!title)
    return fail(f, "the title never showed");
  f.start_to_picture_ms = elapsed_ms(started, logo);
  f.key_to_title_ms = elapsed_ms(key_at_logo, title);
  f.start_to_title_ms = elapsed_ms(started, title) - elapsed_ms(logo, key_at_logo);
  wait_ms(game, 500);
  long long space = press(game, {XK_space});
  long long first_frame = wait_for_swaps(game, SWAPS_BEFORE_PLAY + 1, PICTURE_TIMEOUT_MS);
  if (!first_frame)
    return fail(f, "no frame of level 1 after SPACE");
  f.space_to_frame_ms = elapsed_ms(space, first_frame);
  return true;
}

// Every camera with walking, turning and jumping; then the level skip and
// the next level's first seconds.
void play(running_game &game)
{
  const KeySym cameras[] = {XK_1, XK_2, XK_3, XK_4};
  for (KeySym camera : cameras) {
    press(game, {camera});
    press(game, {XK_Up}, 1000);
    press(game, {XK_Left}, 400);
    press(game, {XK_Up, XK_space}, 100);
    press(game, {XK_Up}, 500);
    press(game, {XK_Right}, 400);
    press(game, {XK_Down}, 500);
  }
  press(game, {XK_Tab, XK_End}, 100);
  wait_ms(game, LEVEL_END_MS);
  wait_ms(game, 1000);  // the next level, standing still
}

void quit(running_game &game)
{
  press(game, {XK_Escape});
  wait_ms(game, 500);
  press(game, {XK_Escape});
  long long until = now_ns() + (long long)(EXIT_TIMEOUT_MS * 1e6);
  while (still_running(game) && now_ns() < until)
    sleep_ms(10);
  if (still_running(game)) {
    kill(game.pid, SIGKILL);
    waitpid(game.pid, nullptr, 0);
  }
}

pid_t start_game(const session_setup &setup, const std::string &swap_log_path)
{
  pid_t pid = fork();
  if (pid != 0)
    return pid;
  if (chdir(setup.data_dir) != 0)
    _exit(127);
  setenv("LD_PRELOAD", setup.swap_log, 1);
  setenv("PILKO_SWAP_LOG", swap_log_path.c_str(), 1);
  int quiet = open("/dev/null", O_WRONLY);
  dup2(quiet, STDOUT_FILENO);
  dup2(quiet, STDERR_FILENO);
  execl(setup.pilko, setup.pilko, (char *)nullptr);
  _exit(127);
}

}  // namespace

void run_game_session(const session_setup &setup, session_figures &figures)
{
  running_game game;
  game.figures = &figures;
  game.x = XOpenDisplay(nullptr);
  if (!game.x) {
    figures.problem = "no X display";
    return;
  }
  char log_template[] = "/tmp/pilko-bench-swaps-XXXXXX";
  int log = mkstemp(log_template);
  if (log < 0) {
    figures.problem = "no temporary file for the swap log";
    XCloseDisplay(game.x);
    return;
  }
  close(log);
  game.swap_log_path = log_template;
  long long started = now_ns();
  game.pid = start_game(setup, game.swap_log_path);
  if (game.pid > 0 && start_up(game, started)) {
    double cpu_before = cpu_seconds(game.pid), switches_before = voluntary_switches(game.pid);
    long long play_start = now_ns();
    size_t swaps_before = swaps(game).size();
    play(game);
    figures.play_seconds = elapsed_ms(play_start, now_ns()) / 1000.0;
    figures.core_share = (cpu_seconds(game.pid) - cpu_before) / figures.play_seconds;
    figures.frames_per_second = (double)(swaps(game).size() - swaps_before) / figures.play_seconds;
    figures.wakeups_per_second = (voluntary_switches(game.pid) - switches_before) / figures.play_seconds;
    figures.ran = still_running(game);
    if (!figures.ran)
      figures.problem = "the game ended during play";
  } else if (game.pid <= 0) {
    figures.problem = "cannot start the game";
  }
  if (game.pid > 0)
    quit(game);
  unlink(game.swap_log_path.c_str());
  XCloseDisplay(game.x);
}

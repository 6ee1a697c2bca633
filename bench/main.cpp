// pilko-bench: measures the game on this machine and prints one table.
//
// Usage: pilko-bench [--json PATH] [--frames N] [--ticks N] [--game PATH] [--no-session]
//   --json PATH   also write every figure as JSON to PATH
//   --frames N    frames per level and camera (each with a floor frame), default 100
//   --ticks N     world updates to time, default 1000000
//   --game PATH   the game binary for the session (default: the one built
//                 with the benchmark), to compare two builds on one machine
//   --no-session  leave out the scripted session of the real game
//
// Runs on the display in DISPLAY (tools/display/virtual-display run -- ...):
// first the real game in a scripted session, then, in this process, the
// renderer in the game's full screen (the designed mode, or the desktop's
// size on a display without it), the world update and the loader.
#include "bench/campaign.h"
#include "bench/frames.h"
#include "bench/session.h"
#include "bench/ticks.h"

#include <allegro.h>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <unistd.h>

namespace {

constexpr int MAX_PLACES = 50;           // places along each solution
constexpr int WARMUP_FRAMES = 150;       // the frames a warm-up would slow down
constexpr int GAME_START_REPEATS = 20;
constexpr int LOAD_MAP_REPEATS = 200;
constexpr int CHECKER_REPEATS = 200;

struct options {
  std::string json;  // empty: no JSON
  int frames = 100;
  long ticks = 1000000;
  const char *game = PILKO_BINARY;
  bool session = true;
};

// The path as seen from here, which stays right after the move to the data folder.
std::string absolute_path(const char *path)
{
  char here[PATH_MAX];
  if (path[0] == '/' || !getcwd(here, sizeof here))
    return path;
  return std::string(here) + "/" + path;
}

bool parse_arguments(int argc, char **argv, options &opts)
{
  for (int i = 1; i < argc; i++) {
    bool has_value = i + 1 < argc;
    if (std::strcmp(argv[i], "--json") == 0 && has_value)
      opts.json = absolute_path(argv[++i]);
    else if (std::strcmp(argv[i], "--frames") == 0 && has_value)
      opts.frames = std::atoi(argv[++i]);
    else if (std::strcmp(argv[i], "--ticks") == 0 && has_value)
      opts.ticks = std::atol(argv[++i]);
    else if (std::strcmp(argv[i], "--game") == 0 && has_value)
      opts.game = argv[++i];
    else if (std::strcmp(argv[i], "--no-session") == 0)
      opts.session = false;
    else
      return false;
  }
  return opts.frames > 1 && opts.ticks > 0;
}

// The level files of the campaign in the order the build numbers them.
std::vector<std::string> level_files()
{
  std::vector<std::string> files;
  std::stringstream list(PILKO_LEVEL_FILES);
  std::string file;
  while (std::getline(list, file, ','))
    files.push_back(file);
  return files;
}

std::string processor_model()
{
  FILE *in = std::fopen("/proc/cpuinfo", "r");
  std::string model = "unknown CPU";
  char line[512];
  while (in && std::fgets(line, sizeof line, in))
    if (std::strncmp(line, "model name", 10) == 0 && std::strchr(line, ':')) {
      model = std::strchr(line, ':') + 2;
      model.erase(model.find_last_not_of("\n ") + 1);
      break;
    }
  if (in)
    std::fclose(in);
  return model;
}

// The three load averages.
std::string load_average()
{
  FILE *in = std::fopen("/proc/loadavg", "r");
  double one = 0, five = 0, fifteen = 0;
  if (in) {
    if (std::fscanf(in, "%lf %lf %lf", &one, &five, &fifteen) != 3)
      one = five = fifteen = 0;
    std::fclose(in);
  }
  char text[64];
  std::snprintf(text, sizeof text, "%.2f %.2f %.2f", one, five, fifteen);
  return text;
}

}  // namespace

int main(int argc, char **argv)
{
  options opts;
  if (!parse_arguments(argc, argv, opts)) {
    std::fprintf(stderr, "usage: pilko-bench [--json PATH] [--frames N] [--ticks N] [--game PATH] [--no-session]\n");
    return 1;
  }
  bench_figures figures;
  figures.cpu_model = processor_model();
  figures.cores = (int)sysconf(_SC_NPROCESSORS_ONLN);
  figures.load_before = load_average();

  if (opts.session) {
    std::fprintf(stderr, "the real game in a scripted session...\n");
    run_game_session({opts.game, PILKO_DATA_DIR, PILKO_SWAP_LOG_LIBRARY}, figures.session);
  } else {
    figures.session.problem = "left out (--no-session)";
  }

  if (chdir(PILKO_DATA_DIR) != 0 || !open_game_display(figures))
    return 1;
  std::vector<campaign_level> levels;
  if (!load_campaign(level_files(), PILKO_DATA_DIR, MAX_PLACES, levels))
    return 1;
  std::fprintf(stderr, "warm-up...\n");
  measure_warmup(levels[0], WARMUP_FRAMES, figures.warmup);
  measure_frames(levels, opts.frames, figures.groups);
  figures.game_start_ms = measure_game_start(levels[0], GAME_START_REPEATS);
  figures.load_map_us = measure_load_map(levels, LOAD_MAP_REPEATS);
  std::fprintf(stderr, "level checker...\n");
  figures.checker = measure_checker(level_files(), CHECKER_REPEATS);
  std::fprintf(stderr, "world_update...\n");
  figures.ticks = opts.ticks;
  figures.tick_ns = measure_ticks(levels, opts.ticks);
  figures.load_after = load_average();

  print_table(figures, stdout);
  if (!opts.json.empty() && !write_json(figures, opts.json.c_str())) {
    std::fprintf(stderr, "pilko-bench: cannot write %s\n", opts.json.c_str());
    return 1;
  }
  return 0;
}
END_OF_MAIN()

// pilko-sim: plays one level without a display or sound, from a key script,
// and prints what the hero does tick by tick. Level authors use it to see
// where the hero really goes; tests use it to check the physics.
//
// Usage: pilko-sim [--events] [--enemies] [--require-complete] MAP SCRIPT
//   MAP     a level map file ("maps/map1.map" and the like)
//   SCRIPT  a key script file, or - for standard input
//   --events            print events and the summary only, no trajectory
//   --enemies           also print every enemy's position each tick
//   --require-complete  exit with status 3 unless the level was completed
//
// Script format: one line per run of ticks, "COUNT KEY KEY ...": hold exactly
// these keys for COUNT ticks (1 to 1000000), then let them go. Keys are UP,
// DOWN, LEFT, RIGHT, SPACE, 1, 2, 3, 4, TAB and END, in any case; a line
// with a count alone waits with no key held. "#" starts a comment; blank
// lines are skipped.
//
// Output, one record a line; PLACE is "cell (X, Y), world (X, Y)": a cell is
// 2 world units wide and cell (x, y) is centred on world (2x, 2y).
//   start PLACE, z Z heading H drops D enemies E lives L
//   tick N PLACE, z Z heading H STATE      (STATE: grounded, airborne, dead, paused)
//   tick N enemy I PLACE, z Z direction R  (with --enemies; I from 1)
//   tick N revival lives L
//   tick N drop PLACE left D
//   tick N jump | land | complete | level-end | game-over
//   tick N death CAUSE PLACE               (CAUSE: lava floor, lava block, enemy I)
//   summary ticks N drops_left D lives L completed yes|no
//
// Exit status: 0 done, 1 a map or script that cannot be used, 2 wrong usage,
// 3 not completed with --require-complete.
#include "tools/simulator/play.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int EXIT_OK = 0;
constexpr int EXIT_BAD_INPUT = 1;
constexpr int EXIT_USAGE = 2;
constexpr int EXIT_NOT_COMPLETED = 3;

struct options {
  bool events_only = false;
  bool enemies = false;
  bool require_complete = false;
  const char *map = nullptr;
  const char *script = nullptr;
};

void print_usage(FILE *out)
{
  std::fprintf(out,
    "usage: pilko-sim [--events] [--enemies] [--require-complete] MAP SCRIPT\n"
    "Plays the level in MAP without a display, holding the keys SCRIPT names,\n"
    "and prints the hero's trajectory and events tick by tick.\n"
    "  SCRIPT              a key script file, or - for standard input\n"
    "  --events            print events and the summary only\n"
    "  --enemies           also print every enemy's position each tick\n"
    "  --require-complete  exit with status 3 unless the level was completed\n"
    "  -h, --help          print this and exit\n"
    "Script: one line per run of ticks, 'COUNT KEY KEY ...' holds exactly those\n"
    "keys for COUNT ticks (1 to 1000000). Keys: UP DOWN LEFT RIGHT SPACE 1 2 3 4\n"
    "TAB END (any case). A count alone waits. '#' starts a comment.\n"
    "  30 UP        # walk forward for 30 ticks\n"
    "  1 SPACE UP   # jump while walking\n"
    "Places are written 'cell (X, Y), world (X, Y)': a cell is 2 world units\n"
    "wide, cell (x, y) is centred on world (2x, 2y). A death names its cause:\n"
    "'lava floor', 'lava block' or 'enemy N'.\n"
    "Exit status: 0 done, 1 a map or script that cannot be used, 2 wrong usage,\n"
    "3 not completed with --require-complete.\n");
}

// Fills opts from the command line; false on a mistake.
bool parse_arguments(int argc, char **argv, options &opts)
{
  for (int i = 1; i < argc; i++) {
    const char *arg = argv[i];
    if (std::strcmp(arg, "--events") == 0)
      opts.events_only = true;
    else if (std::strcmp(arg, "--enemies") == 0)
      opts.enemies = true;
    else if (std::strcmp(arg, "--require-complete") == 0)
      opts.require_complete = true;
    else if (arg[0] == '-' && arg[1] != '\0')
      return false;
    else if (!opts.map)
      opts.map = arg;
    else if (!opts.script)
      opts.script = arg;
    else
      return false;
  }
  return opts.map && opts.script;
}

}  // namespace

int main(int argc, char **argv)
{
  for (int i = 1; i < argc; i++)
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      print_usage(stdout);
      return EXIT_OK;
    }
  options opts;
  if (!parse_arguments(argc, argv, opts)) {
    print_usage(stderr);
    return EXIT_USAGE;
  }
  std::vector<key_run> runs;
  if (!start_headless() || !load_key_script("pilko-sim", opts.script, runs, stderr) ||
      !start_game("pilko-sim", opts.map))
    return EXIT_BAD_INPUT;
  play_result result = play_runs(runs, play_options{stdout, !opts.events_only, opts.enemies});
  std::printf("summary ticks %ld drops_left %d lives %d completed %s\n", result.ticks, result.drops_left,
              result.lives, result.completed ? "yes" : "no");
  return opts.require_complete && !result.completed ? EXIT_NOT_COMPLETED : EXIT_OK;
}

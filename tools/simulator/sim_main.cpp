// pilko-sim: plays one level without a display or sound, from a key script,
// and prints what the hero does tick by tick (usage: pilko-sim --help).
// Level authors use it to see where the hero really goes; tests use it to
// check the physics.
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
#include "tools/asset-kit/command_line.h"
#include "replay/replay.h"

#include <cstdio>

namespace {

constexpr int EXIT_NOT_COMPLETED = 3;

struct options {
  bool events_only = false;
  bool enemies = false;
  bool require_complete = false;
  const char *map = nullptr;
  const char *script = nullptr;
};
options opts;

const tool_usage usage = {
  "pilko-sim",
  "Plays the level in MAP without a display, holding the keys SCRIPT names,\n"
  "and prints the hero's trajectory and events tick by tick.",
  {{nullptr, nullptr, {
    operand("MAP", "a level map file", &opts.map),
    operand("SCRIPT", "a key script file, or - for standard input", &opts.script),
    switch_option("--events", "print events and the summary only", &opts.events_only),
    switch_option("--enemies", "also print every enemy's position each tick", &opts.enemies),
    switch_option("--require-complete", "exit with status 3 unless the level was completed",
                  &opts.require_complete),
  }}},
  "Script: one line per run of ticks, 'COUNT KEY KEY ...' holds exactly those\n"
  "keys for COUNT ticks (1 to 1000000). Keys: UP DOWN LEFT RIGHT SPACE 1 2 3 4\n"
  "TAB END (any case). A count alone waits. '#' starts a comment.\n"
  "  30 UP        # walk forward for 30 ticks\n"
  "  1 SPACE UP   # jump while walking\n"
  "Places are written 'cell (X, Y), world (X, Y)': a cell is 2 world units\n"
  "wide, cell (x, y) is centred on world (2x, 2y). A death names its cause:\n"
  "'lava floor', 'lava block' or 'enemy N'. Output lines: 'start ...',\n"
  "'tick N PLACE, z Z heading H STATE', events 'tick N revival|drop|jump|land|\n"
  "death|complete|level-end|game-over ...', and 'summary ticks N drops_left D\n"
  "lives L completed yes|no'.\n"
  "Exit status: 0 done, 1 bad map or script, 2 wrong usage, 3 not completed\n"
  "with --require-complete.\n",
};

int simulate()
{
  std::vector<key_run> runs;
  if (!start_headless() || !load_key_script(opts.script, runs, stderr) || !start_game(opts.map))
    return EXIT_TOOL_FAILED;
  play_result result = play_runs(runs, play_options{stdout, !opts.events_only, opts.enemies});
  std::printf("summary ticks %ld drops_left %d lives %d completed %s\n", result.ticks, result.drops_left,
              result.lives, result.completed ? "yes" : "no");
  return opts.require_complete && !result.completed ? EXIT_NOT_COMPLETED : 0;
}

}  // namespace

int main(int argc, char **argv) { return run_tool(usage, argc, argv, simulate); }

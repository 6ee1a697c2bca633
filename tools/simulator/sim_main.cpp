// pilko-sim: plays one level without a display or sound, from a key script,
// and prints what the hero does tick by tick. Level authors use it to prove a
// level can be completed; tests use it to check the physics.
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
// lines are skipped. Example:
//   30 UP          # walk forward for 30 ticks
//   1 SPACE UP     # jump while walking
//   12 LEFT        # turn 96 degrees
//
// Output, one record a line, fields separated by spaces:
//   start at X Y Z heading H drops D enemies E lives L
//   tick N at X Y Z heading H STATE        (STATE: grounded, airborne, dead, paused)
//   tick N enemy I at X Y Z direction R    (with --enemies)
//   tick N revival lives L
//   tick N drop CX CY left D
//   tick N jump
//   tick N land
//   tick N death hits K                    (K: lava and enemy contacts this tick)
//   tick N complete                        (no drop left: the level-complete pause begins)
//   tick N level-end                       (the pause is over; the game would load the next map)
//   tick N game-over                       (the last life was spent)
//   summary ticks N drops_left D lives L completed yes|no
// The run ends at the end of the script, at level-end or at game-over.
//
// The level is played as the game plays it, through the game's own rules
// (world/game_rules.h): a new game's start, the level-complete pause once no
// drop is left, the game over when a revival spends the last life. Exit
// status: 0 done, 1 bad map or script, 2 wrong usage, 3 not completed with
// --require-complete.
#include "tools/asset-kit/command_line.h"
#include "tools/simulator/key_script.h"
#include "tools/simulator/tick_record.h"
#include "world/effects.h"
#include "world/game_rules.h"
#include "world/map_load.h"
#include "world/update.h"
#include "world/world.h"

#include <allegro.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int EXIT_BAD_INPUT = 1;
constexpr int EXIT_NOT_COMPLETED = 3;
// Stand-in samples: never played aloud, only told apart by the listener.
constexpr int TAG_SAMPLE_LENGTH = 1;
constexpr int TAG_SAMPLE_RATE = 11025;

struct options {
  bool events_only = false;
  bool enemies = false;
  bool require_complete = false;
  const char *map = nullptr;
  const char *script = nullptr;
};
options opts;

// The effects asked for in the tick being played.
struct tick_effects {
  int drops, jumps, lands, lava_hits;
};
tick_effects effects;

void count_effect(SAMPLE *sample)
{
  if (sample == snd_get_drop)
    effects.drops++;
  else if (sample == snd_jump)
    effects.jumps++;
  else if (sample == snd_land)
    effects.lands++;
  else if (sample == snd_lava)
    effects.lava_hits++;
}

// Gives every effect a sample of its own so the listener can tell them apart.
void make_tag_samples()
{
  for (SAMPLE **handle : {&snd_get_drop, &snd_jump, &snd_land, &snd_end, &snd_lava})
    *handle = create_sample(8, 0, TAG_SAMPLE_RATE, TAG_SAMPLE_LENGTH);
  effect_listener = count_effect;
}

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
  "Output lines: 'start ...', 'tick N at X Y Z heading H STATE', events\n"
  "'tick N revival|drop|jump|land|death|complete|level-end|game-over ...',\n"
  "and 'summary ticks N drops_left D lives L completed yes|no'.\n"
  "Exit status: 0 done, 1 bad map or script, 2 wrong usage, 3 not completed\n"
  "with --require-complete.\n",
};

bool load_script(const char *path, std::vector<key_run> &runs)
{
  if (std::strcmp(path, "-") == 0)
    return read_key_script(stdin, "-", runs, stderr);
  FILE *in = std::fopen(path, "r");
  if (!in) {
    file_error(path, std::string("cannot open the script: ") + std::strerror(errno));
    return false;
  }
  bool ok = read_key_script(in, path, runs, stderr);
  std::fclose(in);
  return ok;
}

// A new game on this map, as the title screen starts one.
bool start_game(const char *map)
{
  start_new_game();
  if (!load_map(map)) {
    file_error(map, "cannot read the map (missing, damaged, or values off the grid)");
    return false;
  }
  return true;
}

// The state of the run between ticks.
struct run_state {
  long tick;
  bool completed;
  bool finished;
};

// What the level loop does when it finds no drop left: begin the pause.
void begin_pause_if_complete(run_state &run)
{
  if (!begin_level_complete())
    return;
  run.completed = true;
  std::printf("tick %ld complete\n", run.tick);
}

void print_events(long tick, bool revived)
{
  if (revived)
    std::printf("tick %ld revival lives %d\n", tick, lives);
  if (effects.drops)
    std::printf("tick %ld drop %d %d left %d\n", tick, cell_index(hero_x), cell_index(hero_y), drops_left);
  if (effects.jumps)
    std::printf("tick %ld jump\n", tick);
  if (effects.lands)
    std::printf("tick %ld land\n", tick);
  if (effects.lava_hits)
    std::printf("tick %ld death hits %d\n", tick, effects.lava_hits);
}

void print_enemies(long tick)
{
  for (int i = 0; i < enemy_count; i++)
    std::puts(enemy_record(tick, i).c_str());
}

// One pass of the level loop: the update, the frame's step of the level's
// end, and what the loop decides from their result.
void play_tick(run_state &run, const options &opts)
{
  run.tick++;
  int lives_before = lives;
  effects = tick_effects{};
  world_update();
  step_level_end();
  if (!opts.events_only)
    std::puts(hero_record(run.tick).c_str());
  if (opts.enemies)
    print_enemies(run.tick);
  print_events(run.tick, lives < lives_before);
  if (level_has_ended()) {
    std::printf("tick %ld level-end\n", run.tick);
    run.finished = true;
  } else if (no_lives_left()) {
    std::printf("tick %ld game-over\n", run.tick);
    run.finished = true;
  } else {
    begin_pause_if_complete(run);
  }
}

void play_script(const std::vector<key_run> &runs, const options &opts, run_state &run)
{
  std::printf("start at %.3f %.3f %.3f heading %d drops %d enemies %d lives %d\n", hero_x, hero_y,
              hero_z, hero_heading, drops_left, enemy_count, lives);
  begin_pause_if_complete(run);  // a level without drops is complete at once
  for (const key_run &r : runs) {
    hold_script_keys(r.keys);
    for (long i = 0; i < r.ticks && !run.finished; i++)
      play_tick(run, opts);
    if (run.finished)
      break;
  }
  hold_script_keys(0);
  std::printf("summary ticks %ld drops_left %d lives %d completed %s\n", run.tick, drops_left,
              lives, run.completed ? "yes" : "no");
}

}  // namespace

int main(int argc, char **argv)
{
  int status = read_command_line(usage, argc, argv);
  if (status != RUN_TOOL)
    return status;
  // No display and no sound: the system driver that needs neither.
  if (install_allegro(SYSTEM_NONE, &errno, std::atexit) != 0)
    return tool_error(std::string("cannot start Allegro: ") + allegro_error);
  std::vector<key_run> runs;
  if (!load_script(opts.script, runs) || !start_game(opts.map))
    return EXIT_BAD_INPUT;
  make_tag_samples();
  run_state run = {0, false, false};
  play_script(runs, opts, run);
  if (opts.require_complete && !run.completed)
    return EXIT_NOT_COMPLETED;
  return 0;
}

// Plays a level tick by tick through world_update and tells what happened:
// the moves, the effects the game asks for, and the causes of each death.
#include "base/base.h"
#include "replay/replay.h"
#include "world/physics.h"
#include "world/effects.h"
#include "world/game_rules.h"
#include "world/map_load.h"
#include "world/update.h"
#include "world/world.h"

#include <allegro.h>
#include <cerrno>
#include <cstdlib>

namespace {

// Stand-in samples: never played aloud, only told apart by the listener.
constexpr int TAG_SAMPLE_LENGTH = 1;
constexpr int TAG_SAMPLE_RATE = 11025;

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
    if (!*handle)
      *handle = create_sample(8, 0, TAG_SAMPLE_RATE, TAG_SAMPLE_LENGTH);
  effect_listener = count_effect;
}

std::string cell_place(int x, int y) { return place_text(CELL_PITCH * x, CELL_PITCH * y); }

// Every cause of the deaths of this tick, with its place, in the order the
// update applies them: a lava block walked into, the lava floor, enemies.
std::vector<death_record> death_causes(long tick)
{
  std::vector<death_record> causes;
  int hx = cell_index(hero_x), hy = cell_index(hero_y);
  bool on_grid = hx >= 0 && hy >= 0 && hx < GRID_SIZE && hy < GRID_SIZE;
  bool lava_floor = on_grid && level_map[hx][hy].kind == KIND_LAVA && !hero_airborne;
  int hits = effects.lava_hits - (lava_floor ? 1 : 0);
  std::vector<death_record> enemy_hits;
  for (int i = 0; i < enemy_count; i++) {
    const enemy &e = enemies[i];
    if (e.direction != NO_ENEMY && within_enemy_reach(e.x - hero_x, e.y - hero_y, e.z - hero_z))
      enemy_hits.push_back({tick, "enemy " + std::to_string(i + 1), place_text(e.x, e.y)});
  }
  hits -= (int)enemy_hits.size();
  if (hits > 0)
    causes.push_back({tick, "lava block", cell_place(fatal_lava_block_x, fatal_lava_block_y)});
  if (lava_floor)
    causes.push_back({tick, "lava floor", cell_place(hx, hy)});
  causes.insert(causes.end(), enemy_hits.begin(), enemy_hits.end());
  return causes;
}

// The state of the run between ticks.
struct run_state {
  long tick;
  bool completed;
  bool skipped;
  long completed_tick;
  bool finished;
  bool game_over;
  death_record last_death;
};

// What the level loop does when it finds no drop left: begin the pause.
void begin_pause_if_complete(run_state &run, const play_options &options)
{
  if (!begin_level_complete())
    return;
  run.completed = true;
  run.skipped = !every_drop_collected();
  run.completed_tick = run.tick;
  if (options.log)
    std::fprintf(options.log, "tick %ld complete\n", run.tick);
}

void print_events(FILE *log, long tick, bool revived, const std::vector<death_record> &deaths)
{
  if (revived)
    std::fprintf(log, "tick %ld revival lives %d\n", tick, lives);
  if (effects.drops)
    std::fprintf(log, "tick %ld drop %s left %d\n", tick,
                 cell_place(cell_index(hero_x), cell_index(hero_y)).c_str(), drops_left);
  if (effects.jumps)
    std::fprintf(log, "tick %ld jump\n", tick);
  if (effects.lands)
    std::fprintf(log, "tick %ld land\n", tick);
  for (const death_record &death : deaths)
    std::fprintf(log, "tick %ld death %s %s\n", tick, death.cause.c_str(), death.place.c_str());
}

// One pass of the level loop: the update, then what the frame and the loop
// decide from its result.
void play_tick(run_state &run, const play_options &options)
{
  run.tick++;
  int lives_before = lives;
  effects = tick_effects{};
  world_update();
  step_level_end();
  std::vector<death_record> deaths;
  if (effects.lava_hits)
    deaths = death_causes(run.tick);
  if (!deaths.empty())
    run.last_death = deaths.front();
  FILE *log = options.log;
  if (log && options.trajectory)
    std::fprintf(log, "%s\n", hero_record(run.tick).c_str());
  for (int i = 0; log && options.enemies && i < enemy_count; i++)
    std::fprintf(log, "%s\n", enemy_record(run.tick, i).c_str());
  if (log)
    print_events(log, run.tick, lives < lives_before, deaths);
  if (level_has_ended()) {
    if (log)
      std::fprintf(log, "tick %ld level-end\n", run.tick);
    run.finished = true;
  } else if (no_lives_left()) {
    if (log)
      std::fprintf(log, "tick %ld game-over\n", run.tick);
    run.finished = run.game_over = true;
  } else {
    begin_pause_if_complete(run, options);
  }
}

}  // namespace

bool start_headless()
{
  // No display and no sound: the system driver that needs neither.
  if (install_allegro(SYSTEM_NONE, &errno, std::atexit) != 0) {
    report_problem(std::string("cannot start Allegro: ") + allegro_error);
    return false;
  }
  make_tag_samples();
  return true;
}

bool start_game(const char *path)
{
  start_new_game();
  if (!load_map(path)) {
    report_file_problem(path, map_load_problem());
    return false;
  }
  return true;
}

play_result play_runs(const std::vector<key_run> &runs, const play_options &options)
{
  run_state run{0, false, false, 0, false, false, {0, "", ""}};
  if (options.log)
    std::fprintf(options.log, "start %s, z %.3f heading %d drops %d enemies %d lives %d\n",
                 place_text(hero_x, hero_y).c_str(), hero_z, hero_heading, drops_left, enemy_count, lives);
  begin_pause_if_complete(run, options);  // a level without drops is complete at once
  for (const key_run &r : runs) {
    hold_script_keys(r.keys);
    for (long i = 0; i < r.ticks && !run.finished; i++)
      play_tick(run, options);
    if (run.finished)
      break;
  }
  hold_script_keys(0);
  return play_result{run.tick, drops_left, lives, run.completed, run.skipped, run.completed_tick, run.game_over,
                     place_text(hero_x, hero_y), run.last_death};
}

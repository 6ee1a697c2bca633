// Plays a level tick by tick through world_update and tells what happened:
// the moves, the effects the game asks for, and the causes of each death.
#include "tools/simulator/play.h"

#include "game/map_load.h"
#include "game/sound.h"
#include "game/update.h"
#include "game/world.h"
#include "tools/asset-kit/command_line.h"
#include "tools/level-compiler/printable.h"

#include <allegro.h>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

namespace {

constexpr int START_LIVES = 3;       // a new game's lives
constexpr int START_CAMERA = 1;      // the preset every game starts with
// The renderer ends the level-complete pause in the frame that sees the
// phase above this, and the game moves on to the next map.
constexpr int LEVEL_END_PHASE = 90;
// Stand-in samples: never played aloud, only told apart by the listener.
constexpr int TAG_SAMPLE_LENGTH = 1;
constexpr int TAG_SAMPLE_RATE = 11025;
// The world update's contact rules, read back to name a death's cause.
constexpr float CLIMB_LIMIT = 0.3f;
constexpr float ENEMY_REACH_XY = 1.2f;
constexpr float ENEMY_REACH_Z = 0.8f;
constexpr float CELL_PITCH = 2.0f;

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

void hold_keys(uint32_t keys)
{
  for (int bit = 0; bit < script_key_count(); bit++)
    key[script_key_scancode(bit)] = (keys >> bit & 1u) ? 1 : 0;
}

const char *hero_state()
{
  if (level_phase != 0)
    return "paused";
  if (hero_dead)
    return "dead";
  return hero_airborne ? "airborne" : "grounded";
}

std::string cell_place(int x, int y) { return place_text(CELL_PITCH * x, CELL_PITCH * y); }

// The lava cell next to the hero that is too high to step onto: the one
// the walk ran into. The hero's own cell when none is.
std::string lava_block_place()
{
  int hx = cell_index(hero_x), hy = cell_index(hero_y);
  float nearest = INFINITY;
  std::string place = cell_place(hx, hy);
  for (int x = hx - 1; x <= hx + 1; x++)
    for (int y = hy - 1; y <= hy + 1; y++) {
      if (x < 0 || y < 0 || x >= GRID_SIZE || y >= GRID_SIZE)
        continue;
      const map_cell &cell = level_map[x][y];
      float distance = std::hypot(CELL_PITCH * x - hero_x, CELL_PITCH * y - hero_y);
      if (cell.kind == KIND_LAVA && cell.height - hero_z > CLIMB_LIMIT && distance < nearest) {
        nearest = distance;
        place = cell_place(x, y);
      }
    }
  return place;
}

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
    if (e.direction != NO_ENEMY && std::fabs(e.x - hero_x) < ENEMY_REACH_XY &&
        std::fabs(e.y - hero_y) < ENEMY_REACH_XY && std::fabs(e.z - hero_z) < ENEMY_REACH_Z)
      enemy_hits.push_back({tick, "enemy " + std::to_string(i + 1), place_text(e.x, e.y)});
  }
  hits -= (int)enemy_hits.size();
  if (hits > 0)
    causes.push_back({tick, "lava block", lava_block_place()});
  if (lava_floor)
    causes.push_back({tick, "lava floor", cell_place(hx, hy)});
  causes.insert(causes.end(), enemy_hits.begin(), enemy_hits.end());
  return causes;
}

// The state of the run between ticks.
struct run_state {
  long tick;
  bool completed;
  long completed_tick;
  bool finished;
  bool game_over;
  death_record last_death;
};

// What the level loop does when it finds no drop left: begin the pause.
void begin_pause_if_complete(run_state &run, const play_options &options)
{
  if (drops_left != 0 || level_phase != 0)
    return;
  level_phase = 1;
  run.completed = true;
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

void print_enemies(FILE *log, long tick)
{
  for (int i = 0; i < enemy_count; i++)
    std::fprintf(log, "tick %ld enemy %d %s, z %.3f direction %d\n", tick, i + 1,
                 place_text(enemies[i].x, enemies[i].y).c_str(), enemies[i].z, enemies[i].direction);
}

// One pass of the level loop: the update, then what the frame and the loop
// decide from its result.
void play_tick(run_state &run, const play_options &options)
{
  run.tick++;
  int lives_before = lives;
  effects = tick_effects{};
  world_update();
  std::vector<death_record> deaths;
  if (effects.lava_hits)
    deaths = death_causes(run.tick);
  if (!deaths.empty())
    run.last_death = deaths.front();
  FILE *log = options.log;
  if (log && options.trajectory)
    std::fprintf(log, "tick %ld %s, z %.3f heading %d %s\n", run.tick,
                 place_text(hero_x, hero_y).c_str(), hero_z, hero_heading, hero_state());
  if (log && options.enemies)
    print_enemies(log, run.tick);
  if (log)
    print_events(log, run.tick, lives < lives_before, deaths);
  if (level_phase > LEVEL_END_PHASE) {
    if (log)
      std::fprintf(log, "tick %ld level-end\n", run.tick);
    run.finished = true;
  } else if (lives == 0) {
    if (log)
      std::fprintf(log, "tick %ld game-over\n", run.tick);
    run.finished = run.game_over = true;
  } else {
    begin_pause_if_complete(run, options);
  }
}

}  // namespace

std::string place_text(float x, float y)
{
  char text[96];
  std::snprintf(text, sizeof text, "cell (%d, %d), world (%.3f, %.3f)", cell_index(x), cell_index(y), x, y);
  return text;
}

bool start_headless()
{
  // No display and no sound: the system driver that needs neither.
  if (install_allegro(SYSTEM_NONE, &errno, std::atexit) != 0) {
    tool_error(std::string("cannot start Allegro: ") + allegro_error);
    return false;
  }
  make_tag_samples();
  return true;
}

bool start_game(const char *path)
{
  // A folder, a FIFO or a device is no map: the loader would block or read for ever.
  struct stat info;
  bool found = stat(path, &info) == 0;
  if (!found || !S_ISREG(info.st_mode)) {
    file_error(printable(path), found ? "not a regular file" : std::strerror(errno));
    return false;
  }
  reset_world();
  current_camera = &camera_presets[START_CAMERA];
  level_number = 1;
  lives = START_LIVES;
  level_phase = 0;
  if (!load_map(path)) {
    file_error(printable(path), "not a map the game can read (too short, a bad enemy count, or a cell "
                                "off the grid)");
    return false;
  }
  return true;
}

play_result play_runs(const std::vector<key_run> &runs, const play_options &options)
{
  run_state run{0, false, 0, false, false, {0, "", ""}};
  if (options.log)
    std::fprintf(options.log, "start %s, z %.3f heading %d drops %d enemies %d lives %d\n",
                 place_text(hero_x, hero_y).c_str(), hero_z, hero_heading, drops_left, enemy_count, lives);
  begin_pause_if_complete(run, options);  // a level without drops is complete at once
  for (const key_run &r : runs) {
    hold_keys(r.keys);
    for (long i = 0; i < r.ticks && !run.finished; i++)
      play_tick(run, options);
    if (run.finished)
      break;
  }
  hold_keys(0);
  return play_result{run.tick, drops_left, lives, run.completed, run.completed_tick, run.game_over,
                     place_text(hero_x, hero_y), run.last_death};
}

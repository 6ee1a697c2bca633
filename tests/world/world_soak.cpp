// world-soak: plays every level of a maps folder for many ticks of seeded
// random keys through the world update itself, and checks the world after
// every tick: the hero and the enemies on the grid, every enemy on cells of
// its own height, the heading within 0..360, drops_left equal to the drops on
// the grid (until a level skip), and lives never rising within a game.
//
// Usage: world-soak [--ticks N] [--seed S] MAPS_FOLDER
//   plays MAPS_FOLDER/map1.map, map2.map, ... (up to the first missing one),
//   N ticks each (default 1000000); level n plays with seed S + n (default
//   S 1). A failure prints the map, the seed and the tick and the run exits
//   with status 1; "--seed SEED" with the map alone in a folder replays it.
#include "world/game_rules.h"
#include "world/map_load.h"
#include "world/update.h"
#include "world/world.h"

#include <allegro.h>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

constexpr long DEFAULT_TICKS = 1000000;
constexpr int HEADING_LIMIT = 360;
// Keys are held in runs of 1 to this many ticks, as a player holds them.
constexpr int LONGEST_KEY_RUN = 40;
// One run in this many holds TAB and END, the level skip.
constexpr int SKIP_ONE_RUN_IN = 400;

// The keys a run may hold (F12 is left out: a screenshot needs a display).
const int soak_keys[] = {KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT, KEY_SPACE,
                         KEY_1,  KEY_2,    KEY_3,    KEY_4};

// What happened over one level's soak, for the summary line: levels completed
// by collecting every drop, level skips, deaths and game overs.
struct soak_counts {
  long completions, skips, deaths, game_overs;
};

// A new game on this map, as the title screen starts one.
bool start_game(const char *map)
{
  start_new_game();
  return load_map(map) == 1;
}

// The level again after its end, as the level loop loads the next map.
bool restart_level(const char *map)
{
  reset_world();
  level_phase = PHASE_PLAYING;
  return load_map(map) == 1;
}

// A fresh random run of keys: UP more often than the rest, so the hero
// travels; now and then the level skip.
void hold_random_keys(std::mt19937 &random)
{
  for (int k : soak_keys)
    key[k] = 0;
  key[KEY_TAB] = key[KEY_END] = 0;
  if (random() % SKIP_ONE_RUN_IN == 0) {
    key[KEY_TAB] = key[KEY_END] = 1;
    return;
  }
  key[KEY_UP] = random() % 2;
  for (int k : soak_keys)
    if (random() % 5 == 0)
      key[k] = 1;
}

int drops_on_grid()
{
  int count = 0;
  for (int x = 0; x < GRID_SIZE; x++)
    for (int y = 0; y < GRID_SIZE; y++)
      count += drop_grid[x][y] == 1;
  return count;
}

bool on_grid(float x, float y)
{
  int cx = cell_index(x), cy = cell_index(y);
  return std::isfinite(x) && std::isfinite(y) && cx >= 0 && cx < GRID_SIZE && cy >= 0 &&
         cy < GRID_SIZE;
}

// The first broken rule of the world after a tick, or null when all hold.
// lives_before is the count before the tick, counting_drops false after a skip.
const char *broken_rule(int lives_before, bool counting_drops, char *detail, size_t size)
{
  if (!on_grid(hero_x, hero_y)) {
    std::snprintf(detail, size, "hero at %g %g is off the grid", hero_x, hero_y);
    return detail;
  }
  for (int i = 0; i < enemy_count; i++) {
    const enemy &e = enemies[i];
    if (e.direction == NO_ENEMY)
      continue;
    if (!on_grid(e.x, e.y)) {
      std::snprintf(detail, size, "enemy %d at %g %g is off the grid", i, e.x, e.y);
      return detail;
    }
    float height = level_map[cell_index(e.x)][cell_index(e.y)].height;
    if (height != e.z) {
      std::snprintf(detail, size, "enemy %d at %g %g stands on a cell %g high, not %g", i, e.x,
                    e.y, height, e.z);
      return detail;
    }
  }
  if (hero_heading < 0 || hero_heading > HEADING_LIMIT) {
    std::snprintf(detail, size, "heading %d is outside 0..360", hero_heading);
    return detail;
  }
  if (counting_drops && drops_left != drops_on_grid()) {
    std::snprintf(detail, size, "drops_left %d but %d drops on the grid", drops_left, drops_on_grid());
    return detail;
  }
  if (lives > lives_before) {
    std::snprintf(detail, size, "lives rose from %d to %d", lives_before, lives);
    return detail;
  }
  return nullptr;
}

// Plays one map for the given ticks; false at the first broken rule.
bool soak_level(const char *map, unsigned seed, long ticks, soak_counts &counts)
{
  std::mt19937 random(seed);
  if (!start_game(map)) {
    std::fprintf(stderr, "world-soak: cannot read %s\n", map);
    return false;
  }
  bool counting_drops = true;
  long run_left = 0;
  for (long tick = 1; tick <= ticks; tick++) {
    if (run_left-- <= 0) {
      hold_random_keys(random);
      run_left = random() % LONGEST_KEY_RUN;
    }
    // The level loop: no drop left begins the level-complete sequence.
    if (begin_level_complete())
      counts.completions += counting_drops;
    int lives_before = lives, dead_before = hero_dead;
    world_update();
    counts.deaths += hero_dead && !dead_before;
    // A level skip empties drops_left but leaves the drops on the grid.
    if (counting_drops && key[KEY_TAB] && key[KEY_END] && drops_left == 0 && drops_on_grid() > 0) {
      counting_drops = false;
      counts.skips++;
    }
    char detail[256];
    if (const char *broken = broken_rule(lives_before, counting_drops, detail, sizeof detail)) {
      std::printf("%s: seed %u tick %ld: %s\n", map, seed, tick, broken);
      return false;
    }
    step_level_end();  // the frame's part of the sequence
    bool reloaded;
    if (no_lives_left()) {
      counts.game_overs++;
      reloaded = start_game(map);
    } else if (level_has_ended()) {
      reloaded = restart_level(map);
    } else {
      continue;
    }
    if (!reloaded) {
      std::fprintf(stderr, "world-soak: cannot read %s again\n", map);
      return false;
    }
    counting_drops = true;
  }
  return true;
}

}  // namespace

int main(int argc, char **argv)
{
  long ticks = DEFAULT_TICKS;
  unsigned base_seed = 1;
  const char *folder = nullptr;
  bool usable = true;
  for (int i = 1; i < argc; i++) {
    if (std::strcmp(argv[i], "--ticks") == 0 && i + 1 < argc)
      ticks = std::strtol(argv[++i], nullptr, 10);
    else if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc)
      base_seed = (unsigned)std::strtoul(argv[++i], nullptr, 10);
    else if (!folder)
      folder = argv[i];
    else
      usable = false;
  }
  if (!usable || !folder || ticks < 1) {
    std::fprintf(stderr, "usage: world-soak [--ticks N] [--seed S] MAPS_FOLDER\n");
    return 2;
  }
  // No display and no sound: the system driver that needs neither.
  if (install_allegro(SYSTEM_NONE, &errno, std::atexit) != 0) {
    std::fprintf(stderr, "world-soak: cannot start Allegro: %s\n", allegro_error);
    return 2;
  }
  int levels = 0, failures = 0;
  for (int n = 1;; n++) {
    std::string map = std::string(folder) + "/map" + std::to_string(n) + ".map";
    if (FILE *file = std::fopen(map.c_str(), "rb"))
      std::fclose(file);
    else
      break;
    levels++;
    unsigned seed = base_seed + n - 1;
    soak_counts counts = {};
    if (soak_level(map.c_str(), seed, ticks, counts))
      std::printf("%s: seed %u, %ld ticks: every rule held (%ld completions, %ld skips, "
                  "%ld deaths, %ld game overs)\n",
                  map.c_str(), seed, ticks, counts.completions, counts.skips, counts.deaths,
                  counts.game_overs);
    else
      failures++;
  }
  if (levels == 0) {
    std::fprintf(stderr, "world-soak: no map1.map in %s\n", folder);
    return 2;
  }
  return failures == 0 ? 0 : 1;
}

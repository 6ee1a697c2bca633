// Every shipped level played for many ticks of seeded random keys through the world update
// itself, the world checked after every tick: the hero and the enemies on the grid, every enemy
// on cells of its own height, the heading within 0..360, drops_left equal to the drops on the
// grid (until a level skip), and lives never rising within a game. The suite plays 100,000
// ticks a level; "make soak" sets PILKO_SOAK_TICKS to a million. A failure names the map, the
// seed and the tick; level n plays with seed PILKO_SOAK_SEED + n - 1 (by default 1 + n - 1).
#include "tests/support/headless.h"
#include "world/game_rules.h"
#include "world/map_load.h"
#include "world/update.h"
#include "world/world.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

namespace {

constexpr long SUITE_TICKS = 100000;
constexpr int LONGEST_KEY_RUN = 40;   // keys are held for 1 to this many ticks, as a player holds them
constexpr int SKIP_ONE_RUN_IN = 400;  // one run in this many holds TAB and END, the level skip
constexpr int HEADING_LIMIT = 360;

// The keys a run may hold (F12 is left out: a screenshot needs a display).
const int soak_keys[] = {KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT, KEY_SPACE, KEY_1, KEY_2, KEY_3, KEY_4};

// A fresh random run of keys: UP more often than the rest, so that the hero
// travels; now and then the level skip alone.
void hold_random_keys(std::mt19937 &random)
{
  bool skip = random() % SKIP_ONE_RUN_IN == 0;
  key[KEY_TAB] = key[KEY_END] = skip;
  for (int k : soak_keys)
    key[k] = !skip && (random() % 5 == 0 || (k == KEY_UP && random() % 2));
}

int drops_on_grid() { return (int)std::count(&drop_grid[0][0], &drop_grid[0][0] + GRID_SIZE * GRID_SIZE, 1); }

bool on_grid(float x, float y)
{
  int cx = cell_index(x), cy = cell_index(y);
  return std::isfinite(x) && std::isfinite(y) && cx >= 0 && cx < GRID_SIZE && cy >= 0 && cy < GRID_SIZE;
}

// The first broken rule of the world after a tick, or "" when all hold.
std::string broken_rule(int lives_before, bool counting_drops)
{
  char text[160] = "";
  if (!on_grid(hero_x, hero_y))
    std::snprintf(text, sizeof text, "hero at %g %g is off the grid", hero_x, hero_y);
  for (int i = 0; i < enemy_count && !*text; i++) {
    const enemy &e = enemies[i];
    if (e.direction != NO_ENEMY && !on_grid(e.x, e.y))
      std::snprintf(text, sizeof text, "enemy %d at %g %g is off the grid", i, e.x, e.y);
    else if (e.direction != NO_ENEMY && level_map[cell_index(e.x)][cell_index(e.y)].height != e.z)
      std::snprintf(text, sizeof text, "enemy %d at %g %g stands on a cell of another height than %g", i,
                    e.x, e.y, e.z);
  }
  if (!*text && (hero_heading < 0 || hero_heading > HEADING_LIMIT))
    std::snprintf(text, sizeof text, "heading %d is outside 0..360", hero_heading);
  if (!*text && counting_drops && drops_left != drops_on_grid())
    std::snprintf(text, sizeof text, "drops_left %d but %d drops on the grid", drops_left, drops_on_grid());
  if (!*text && lives > lives_before)
    std::snprintf(text, sizeof text, "lives rose from %d to %d", lives_before, lives);
  return text;
}

// Plays one map for the given ticks as the level loop does, a new game at
// the start, at each game over and at each level's end (as the title starts
// one); the first broken rule with its seed and tick, or "" when every rule held.
std::string soak_level(const char *map, unsigned seed, long ticks)
{
  std::mt19937 random(seed);
  bool counting_drops = true;
  long run_left = 0, completions = 0;
  for (long tick = 1; tick <= ticks; tick++) {
    if (tick == 1 || no_lives_left() || level_has_ended()) {
      start_new_game();
      if (load_map(map) != 1)
        return "cannot read it";
      counting_drops = true;
    }
    if (run_left-- <= 0) {
      hold_random_keys(random);
      run_left = random() % LONGEST_KEY_RUN;
    }
    completions += begin_level_complete() && counting_drops;
    int lives_before = lives;
    world_update();
    // A level skip empties drops_left but leaves the drops on the grid.
    counting_drops = counting_drops && !(key[KEY_TAB] && key[KEY_END] && drops_left == 0 && drops_on_grid() > 0);
    std::string broken = broken_rule(lives_before, counting_drops);
    if (!broken.empty())
      return "seed " + std::to_string(seed) + " tick " + std::to_string(tick) + ": " + broken;
    step_level_end();  // the frame's part of the sequence
  }
  std::printf("%s: seed %u, %ld ticks: every rule held (%ld levels completed)\n", map, seed, ticks, completions);
  return "";
}

}  // namespace

TEST(Soak, ShippedLevelsKeepTheirRules)
{
  start_headless_allegro();
  const char *ticks = std::getenv("PILKO_SOAK_TICKS"), *seed = std::getenv("PILKO_SOAK_SEED");
  int levels = 0;
  for (std::string map; exists((map = PILKO_DATA_DIR "/maps/map" + std::to_string(levels + 1) + ".map").c_str()); levels++)
    EXPECT_EQ(soak_level(map.c_str(), (seed ? std::atoi(seed) : 1) + levels, ticks ? std::atol(ticks) : SUITE_TICKS), "")
        << map;
  EXPECT_GE(levels, 10) << "the shipped levels are not all there";
}

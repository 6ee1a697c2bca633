// A world for tick tests: the game's globals set up by hand, no display.
#include "tests/update/play_world.h"

#include "game/sound.h"
#include "game/update.h"

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace {

// One sample played, and in which tick.
struct played_effect {
  int tick;
  SAMPLE *sample;
};

std::vector<played_effect> effects_log;
int ticks_run;

void record_effect(SAMPLE *sample) { effects_log.push_back({ticks_run, sample}); }

// Allegro without a display or sound, and five real (silent) samples, so the
// game's sound helper gets non-null handles as in the game.
void start_allegro_once()
{
  static bool started = false;
  if (started)
    return;
  ASSERT_EQ(install_allegro(SYSTEM_NONE, &errno, std::atexit), 0);
  for (SAMPLE **handle : {&snd_get_drop, &snd_jump, &snd_land, &snd_end, &snd_lava}) {
    *handle = create_sample(8, 0, 11025, 1);
    ASSERT_NE(*handle, nullptr);
  }
  effect_listener = record_effect;
  started = true;
}

}  // namespace

void start_flat_level()
{
  start_allegro_once();
  reset_world();
  for (int x = 0; x < GRID_SIZE; x++)
    for (int y = 0; y < GRID_SIZE; y++) {
      level_map[x][y] = map_cell{KIND_STONE_FLOOR, 1, 0.0f};
      drop_grid[x][y] = 0;
    }
  drops_left = 0;
  enemy_count = 0;
  level_phase = 0;
  lives = 3;
  current_camera = &camera_presets[1];
  release_keys();
  effects_log.clear();
  ticks_run = 0;
}

void set_cell(int x, int y, float height, int kind)
{
  level_map[x][y].height = height;
  level_map[x][y].kind = kind;
}

void place_drop(int x, int y)
{
  drop_grid[x][y] = 1;
  drops_left++;
}

void place_enemy(int x, int y, int direction)
{
  enemy &e = enemies[enemy_count++];
  e.x = (float)(2 * x);
  e.y = (float)(2 * y);
  e.z = level_map[x][y].height;
  e.direction = direction;
}

void hold(std::initializer_list<int> keys)
{
  release_keys();
  for (int scancode : keys)
    key[scancode] = 1;
}

void release_keys()
{
  for (int i = 0; i < KEY_MAX; i++)
    key[i] = 0;
}

int tick()
{
  ticks_run++;
  world_update();
  return ticks_run;
}

void ticks(int n)
{
  for (int i = 0; i < n; i++)
    tick();
}

int played(SAMPLE *sample)
{
  int count = 0;
  for (const played_effect &e : effects_log)
    count += e.sample == sample;
  return count;
}

int played_in(SAMPLE *sample, int t)
{
  int count = 0;
  for (const played_effect &e : effects_log)
    count += e.sample == sample && e.tick == t;
  return count;
}

int last_played(SAMPLE *sample)
{
  int last = 0;
  for (const played_effect &e : effects_log)
    if (e.sample == sample)
      last = e.tick;
  return last;
}

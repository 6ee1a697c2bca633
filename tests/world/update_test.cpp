// The real world_update tick by tick: each scenario lays out a level in the
// game's own globals, holds keys in Allegro's key array for runs of ticks and
// compares the whole world after each run with the line it must read; and the
// highest block a running jump lands on, the figure the level checker warns with.
#include "tests/support/headless.h"
#include "world/effects.h"
#include "world/physics.h"
#include "world/update.h"
#include "world/world.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string effects_heard;  // " jump@1 land@35": each effect with its tick
int ticks_run, shots_taken;

const char *effect_name(SAMPLE *sample)
{
  return sample == snd_get_drop ? "drop" : sample == snd_jump ? "jump" : sample == snd_land ? "land"
       : sample == snd_lava ? "lava" : "other";
}

// The world in one line: the hero's x, y, z, heading, state, lives, drops
// left, camera key and level phase; each enemy's place and direction; then
// the effects, the screenshots and a key waiting in the buffer.
std::string world_line()
{
  char text[128];
  std::snprintf(text, sizeof text, "%.2f %.2f %.2f h%d %s%s l%d d%d c%d p%d", hero_x, hero_y, hero_z,
                hero_heading, hero_dead ? "dead" : "alive", hero_airborne ? " air" : "", lives, drops_left,
                (int)(current_camera - camera_presets) + 1, level_phase);
  std::string line = text;
  for (int i = 0; i < enemy_count; i++) {
    std::snprintf(text, sizeof text, " e%.2f,%.2f>%d", enemies[i].x, enemies[i].y, enemies[i].direction);
    line += text;
  }
  if (!effects_heard.empty())
    line += " :" + effects_heard;
  if (shots_taken)
    line += " shots " + std::to_string(shots_taken);
  return line + (keypressed() ? " typed" : "");
}

void cell(int x, int y, float height, int kind = KIND_STONE_FLOOR) { level_map[x][y] = {kind, 1, height}; }
void drop(int x, int y) { drops_left += drop_grid[x][y] = 1; }
// An enemy at a world place, on its cell's height unless given one; its speed is reset_world's.
void add_enemy(float x, float y, int direction, float z = -1)
{
  enemy &e = enemies[enemy_count++];
  e.x = x, e.y = y, e.direction = direction;
  e.z = z >= 0 ? z : level_map[cell_index(x)][cell_index(y)].height;
}
void wall_across_column(int x, float height)
{
  for (int y = 0; y < GRID_SIZE; y++)
    cell(x, y, height);
}

// A stone floor at height 0; the hero at (4, 4), cell (2, 2), heading 0
// (toward +x), alive with 3 lives; camera key 2; no drops, enemies or keys.
void start_flat_level()
{
  start_headless_allegro();
  static bool samples_made = false;
  if (!samples_made) {
    for (SAMPLE **handle : {&snd_get_drop, &snd_jump, &snd_land, &snd_end, &snd_lava})
      *handle = create_sample(8, 0, 11025, 1);
    effect_listener = [](SAMPLE *sample) {
      effects_heard += std::string(" ") + effect_name(sample) + "@" + std::to_string(ticks_run + 1);
    };
    samples_made = true;
  }
  reset_world();
  std::fill(&level_map[0][0], &level_map[0][0] + GRID_SIZE * GRID_SIZE, map_cell{KIND_STONE_FLOOR, 1, 0.0f});
  std::fill(&drop_grid[0][0], &drop_grid[0][0] + GRID_SIZE * GRID_SIZE, 0);
  drops_left = enemy_count = level_phase = ticks_run = shots_taken = 0;
  lives = 3;
  current_camera = &camera_presets[1];
  effects_heard.clear();
  clear_keybuf();
  screenshot_hook = [] { shots_taken++; };
}

// Holds exactly these keys for the ticks.
void play(int ticks, const std::vector<int> &keys)
{
  std::fill(key, key + KEY_MAX, 0);
  for (int scancode : keys)
    key[scancode] = 1;
  for (int i = 0; i < ticks; i++, ticks_run++)
    world_update();
}

struct run {
  int ticks;
  std::vector<int> keys;
  const char *world;  // the world line after the run; null: not looked at
};

struct scenario {
  const char *name;
  void (*lay_out)();
  std::vector<run> runs;
};

const int UP = KEY_UP, DOWN = KEY_DOWN, LEFT = KEY_LEFT, RIGHT = KEY_RIGHT, SPACE = KEY_SPACE;

const scenario scenarios[] = {
    // Turning: 8 degrees a tick, kept within 0..360 (360 itself stays).
    {"left turns up to 360, then past it", [] { hero_heading = 352; },
     {{1, {LEFT}, "4.00 4.00 0.00 h360 alive l3 d0 c2 p0"}, {1, {LEFT}, "4.00 4.00 0.00 h8 alive l3 d0 c2 p0"}}},
    {"right turns down to 0, then past it", [] { hero_heading = 8; },
     {{1, {RIGHT}, "4.00 4.00 0.00 h0 alive l3 d0 c2 p0"}, {1, {RIGHT}, "4.00 4.00 0.00 h352 alive l3 d0 c2 p0"}}},
    {"both turn keys cancel", [] { hero_heading = 352; },
     {{1, {LEFT, RIGHT}, "4.00 4.00 0.00 h352 alive l3 d0 c2 p0"}}},
    // The camera: the highest key held wins; none held keeps it.
    {"camera keys", [] {},
     {{1, {KEY_3}, "4.00 4.00 0.00 h0 alive l3 d0 c3 p0"}, {1, {KEY_1, KEY_3}, "4.00 4.00 0.00 h0 alive l3 d0 c3 p0"},
      {1, {KEY_4, KEY_2, KEY_1}, "4.00 4.00 0.00 h0 alive l3 d0 c4 p0"}, {1, {KEY_1}, "4.00 4.00 0.00 h0 alive l3 d0 c1 p0"},
      {1, {}, "4.00 4.00 0.00 h0 alive l3 d0 c1 p0"}}},
    // Walking into walls: a wall stops the hero one radius short; backing off still works.
    {"walk stops before a wall, backs off", [] { wall_across_column(3, 1.0f); },
     {{5, {UP}, "4.15 4.00 0.00 h0 alive l3 d0 c2 p0"}, {1, {UP, DOWN}, "4.00 4.00 0.00 h0 alive l3 d0 c2 p0"},
      {2, {DOWN}, "3.70 4.00 0.00 h0 alive l3 d0 c2 p0"}}},
    {"slides along a wall met at 45 degrees", [] { wall_across_column(3, 1.0f); hero_heading = 45; },
     {{6, {UP}, "4.42 4.64 0.00 h45 alive l3 d0 c2 p0"}, {10, {UP}, "4.42 5.70 0.00 h45 alive l3 d0 c2 p0"}}},
    {"the grid's edge stops a hero without walls", [] { hero_heading = 176; },
     {{400, {UP}, nullptr}, {11, {RIGHT}, nullptr}, {400, {UP}, "-0.04 48.06 0.00 h88 alive l3 d0 c2 p0"}}},
    // Steps: up to 0.3 above the hero's feet is walked onto as its centre enters.
    {"steps up a quarter as the centre enters", [] { cell(3, 2, 0.25f); },
     {{6, {UP}, "4.90 4.00 0.00 h0 alive l3 d0 c2 p0"}, {1, {UP}, "5.05 4.00 0.25 h0 alive l3 d0 c2 p0"}}},
    {"steps up exactly 0.3", [] { cell(3, 2, 0.3f); }, {{7, {UP}, "5.05 4.00 0.30 h0 alive l3 d0 c2 p0"}}},
    {"0.35 is a wall", [] { cell(3, 2, 0.35f); }, {{7, {UP}, "4.15 4.00 0.00 h0 alive l3 d0 c2 p0"}}},
    // The jump: 17 rising ticks, one at the top, 17 falling; a held SPACE jumps again.
    {"jump rises 1.7 and lands at tick 35", [] {},
     {{17, {SPACE}, "4.00 4.00 1.70 h0 alive air l3 d0 c2 p0 : jump@1"},
      {1, {SPACE}, "4.00 4.00 1.70 h0 alive air l3 d0 c2 p0 : jump@1"},
      {16, {}, "4.00 4.00 0.10 h0 alive air l3 d0 c2 p0 : jump@1"},
      {1, {SPACE}, "4.00 4.00 0.00 h0 alive l3 d0 c2 p0 : jump@1 land@35"},
      {1, {SPACE}, "4.00 4.00 0.10 h0 alive air l3 d0 c2 p0 : jump@1 land@35 jump@36"}}},
    // A fall comes to rest on the surface itself, also within the landing band of a cell 0.06
    // high: one landing, and SPACE jumps again in the very next tick.
    {"lands once on a cell 0.06 high", [] { for (int x = 3; x < GRID_SIZE; x++) cell(x, 2, 0.06f); },
     {{1, {SPACE}, nullptr}, {7, {UP}, nullptr}, {26, {}, "5.05 4.00 0.06 h0 alive l3 d0 c2 p0 : jump@1 land@34"},
      {1, {SPACE}, "5.05 4.00 0.16 h0 alive air l3 d0 c2 p0 : jump@1 land@34 jump@35"}}},
    // Ledges: the hero falls in the tick it leaves one and lands a tick later.
    {"falls off a ledge, lands a tick later", [] { cell(2, 2, 1.0f); cell(3, 2, 0.97f); },
     {{1, {}, "4.00 4.00 1.00 h0 alive l3 d0 c2 p0"}, {7, {UP}, "5.05 4.00 0.97 h0 alive air l3 d0 c2 p0"},
      {1, {}, "5.05 4.00 0.97 h0 alive l3 d0 c2 p0 : land@9"}}},
    // Lava: the floor kills as the centre enters; a raised block burns, in the air too.
    {"lava floor kills as the centre enters", [] { cell(3, 2, 0.0f, KIND_LAVA); },
     {{6, {UP}, "4.90 4.00 0.00 h0 alive l3 d0 c2 p0"}, {1, {UP}, "5.05 4.00 0.00 h0 dead l3 d0 c2 p0 : lava@7"},
      {3, {UP, LEFT}, "5.05 4.00 0.00 h0 dead l3 d0 c2 p0 : lava@7"}}},
    {"raised lava burns rather than stops", [] { cell(3, 2, 1.0f, KIND_LAVA); },
     {{2, {UP}, "4.30 4.00 0.00 h0 dead l3 d0 c2 p0 : lava@2"}}},
    {"raised lava burns in mid-air", [] { cell(3, 2, 1.0f, KIND_LAVA); },
     {{5, {SPACE}, nullptr}, {2, {UP}, "4.30 4.00 0.70 h0 dead air l3 d0 c2 p0 : jump@1 lava@7"}}},
    // Drops: taken as a grounded centre enters; not in the air, taken the tick after landing.
    {"jumps over lava and a drop, takes the drops beyond",
     [] { cell(3, 2, 0.0f, KIND_LAVA); drop(3, 2); drop(5, 2); drop(6, 2); },
     {{1, {UP, SPACE}, nullptr}, {34, {UP}, "9.25 4.00 0.00 h0 alive l3 d3 c2 p0 : jump@1 land@35"},
      {1, {UP}, "9.40 4.00 0.00 h0 alive l3 d2 c2 p0 : jump@1 land@35 drop@36"},
      {12, {UP}, "11.20 4.00 0.00 h0 alive l3 d1 c2 p0 : jump@1 land@35 drop@36 drop@47"}}},
    // Death takes the last drop and sounds once for lava and once for each enemy; then a dead hero
    // ignores every key but SPACE, while the enemies walk on.
    {"dies on lava between two enemies taking the last drop",
     [] { cell(2, 2, 0.0f, KIND_LAVA); add_enemy(4, 4, TOWARD_PLUS_X); add_enemy(4, 4, TOWARD_MINUS_Y); drop(2, 2); },
     {{1, {}, "4.00 4.00 0.00 h0 dead l3 d0 c2 p0 e4.20,4.00>1 e4.00,3.80>0 : drop@1 lava@1 lava@1 lava@1"},
      {4, {UP, LEFT, KEY_3, KEY_F12, KEY_TAB, KEY_END},
       "4.00 4.00 0.00 h0 dead l3 d0 c2 p0 e5.00,4.00>1 e4.00,3.00>0 : drop@1 lava@1 lava@1 lava@1"}}},
    {"the level-complete pause ignores every key", [] { level_phase = 1; hero_dead = 1; drop(5, 5); },
     {{4, {UP, LEFT, SPACE, KEY_3, KEY_F12, KEY_TAB, KEY_END}, "4.00 4.00 0.00 h0 dead l3 d1 c2 p5"}}},
    // Revival: SPACE spends a life (the last one too), starts at the start with a jump and
    // empties the key buffer.
    {"revival on the last life", [] { lives = 1; hero_dead = 1; hero_x = 12; start_x = 6; simulate_keypress(KEY_A << 8 | 'a'); },
     {{1, {}, "12.00 4.00 0.00 h0 dead l1 d0 c2 p0 typed"}, {1, {SPACE}, "6.00 4.00 0.10 h0 alive air l0 d0 c2 p0 : jump@2"}}},
    // Enemies: they turn at any change of height (a hundredth up or down) and at the grid's edge.
    {"patrol turns on a hundredth lower and higher", [] { cell(4, 5, 0.02f); cell(5, 5, 0.01f); add_enemy(10, 10, TOWARD_PLUS_X); },
     {{5, {}, "4.00 4.00 0.00 h0 alive l3 d0 c2 p0 e11.00,10.00>1"}, {1, {}, "4.00 4.00 0.00 h0 alive l3 d0 c2 p0 e11.00,10.00>3"},
      {11, {}, "4.00 4.00 0.00 h0 alive l3 d0 c2 p0 e9.00,10.00>1"}}},
    {"patrol turns at the grid's edge", [] { add_enemy(2, 6, TOWARD_MINUS_X); add_enemy(6, 46, TOWARD_PLUS_Y); },
     {{25, {}, "4.00 4.00 0.00 h0 alive l3 d0 c2 p0 e-2.80,6.00>1 e6.00,46.80>0"}}},
    {"directions outside 0..3 stand still", [] { add_enemy(20, 20, 4); add_enemy(24, 20, -2); add_enemy(28, 20, 1000); },
     {{3, {}, "4.00 4.00 0.00 h0 alive l3 d0 c2 p0 e20.00,20.00>4 e24.00,20.00>-2 e28.00,20.00>1000"}}},
    // Enemy contact: closer than 1.2 on both horizontal axes and 0.8 vertically (direction 7
    // keeps an enemy where it is).
    {"an enemy 1.1 ahead kills", [] { add_enemy(5.1f, 4, 7); }, {{1, {}, "4.00 4.00 0.00 h0 dead l3 d0 c2 p0 e5.10,4.00>7 : lava@1"}}},
    {"an enemy 0.7 above kills", [] { add_enemy(4.5f, 4, 7, 0.7f); }, {{1, {}, "4.00 4.00 0.00 h0 dead l3 d0 c2 p0 e4.50,4.00>7 : lava@1"}}},
    {"enemies 1.3 ahead, 1.3 aside, 0.9 above do not", [] { add_enemy(5.3f, 4, 7); add_enemy(4, 5.3f, 7); add_enemy(4.5f, 4, 7, 0.9f); },
     {{1, {}, "4.00 4.00 0.00 h0 alive l3 d0 c2 p0 e5.30,4.00>7 e4.00,5.30>7 e4.50,4.00>7"}}},
    // The hot keys: F12 takes a screenshot each tick it is held; TAB and END together skip the level.
    {"F12 takes a shot a tick", [] {},
     {{2, {KEY_F12}, "4.00 4.00 0.00 h0 alive l3 d0 c2 p0 shots 2"}, {1, {}, "4.00 4.00 0.00 h0 alive l3 d0 c2 p0 shots 2"}}},
    {"TAB and END together skip the level", [] { drop(5, 5); },
     {{1, {KEY_TAB}, "4.00 4.00 0.00 h0 alive l3 d1 c2 p0"}, {1, {KEY_END}, "4.00 4.00 0.00 h0 alive l3 d1 c2 p0"},
      {1, {KEY_TAB, KEY_END}, "4.00 4.00 0.00 h0 alive l3 d0 c2 p0"}}},
};

TEST(WorldUpdate, Scenarios)
{
  for (const scenario &s : scenarios) {
    start_flat_level();
    s.lay_out();
    for (size_t i = 0; i < s.runs.size(); i++) {
      play(s.runs[i].ticks, s.runs[i].keys);
      if (s.runs[i].world) {
        EXPECT_EQ(world_line(), s.runs[i].world) << s.name << ", run " << i + 1 << " (tick " << ticks_run << ")";
      }
    }
  }
}

constexpr int BLOCK_NEAR = 9, BLOCK_FAR = 12;  // the columns of a block across the whole grid
constexpr int MAX_HEADING = 88, MAX_TAKE_OFF = 50, FLIGHT_TICKS = 60;

// True when some run-up from cell (4, 12), at a heading from straight on to nearly sideways
// and with SPACE pressed after up to MAX_TAKE_OFF ticks, lands the hero on the block.
bool a_running_jump_lands_on(float height)
{
  for (int heading = 0; heading <= MAX_HEADING; heading += 8)
    for (int take_off = 0; take_off < MAX_TAKE_OFF; take_off++) {
      start_flat_level();
      for (int x = BLOCK_NEAR; x <= BLOCK_FAR; x++)
        wall_across_column(x, height);
      hero_x = 8, hero_y = 24, hero_heading = heading;
      for (int tick = 0; tick < take_off + FLIGHT_TICKS; tick++) {
        play(1, {UP, tick == take_off ? SPACE : UP});
        if (!hero_airborne && hero_z == height && cell_index(hero_x) >= BLOCK_NEAR)
          return true;
      }
    }
  return false;
}

TEST(WorldUpdate, RunningJumpsReachTheCheckersHeightAndNoHigher)
{
  EXPECT_TRUE(a_running_jump_lands_on(JUMP_ONTO_REACH - 0.01f));
  EXPECT_FALSE(a_running_jump_lands_on(JUMP_ONTO_REACH + 0.01f));
}

}  // namespace

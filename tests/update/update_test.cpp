// The real world_update tick by tick: a flat level in the game's own globals,
// keys held in Allegro's key array, effects counted through the game's sound helper.
#include <gtest/gtest.h>
#include <allegro.h>

#include "world/effects.h"
#include "world/update.h"
#include "world/world.h"
#include "tests/support/test_maps.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <unistd.h>
#include <vector>

namespace {

using effects = std::vector<std::pair<int, SAMPLE *>>;
using values = std::vector<long>;
effects effects_log;  // (tick, sample) for every effect played, ticks counted from 1
int ticks_run;

void hold(const std::vector<int> &keys)
{
  std::fill(key, key + KEY_MAX, 0);
  for (int scancode : keys)
    key[scancode] = 1;
}

void set_cell(int x, int y, float z, int kind = KIND_STONE_FLOOR) { level_map[x][y] = {kind, 1, z}; }
void place_drop(int x, int y) { drops_left += drop_grid[x][y] = 1; }
void place_enemy(int x, int y, int dir)
{
  enemies[enemy_count++] = {2.0f * x, 2.0f * y, level_map[x][y].height, dir, 0.2f};
}

void tick(int n = 1)
{
  for (int i = 0; i < n; i++, ticks_run++)
    world_update();
}

// Walks forward until the hero's centre is in column x; returns that tick.
int walk_into_column(int x)
{
  hold({KEY_UP});
  while (cell_index(hero_x) < x && ticks_run < 100)
    tick();
  return ticks_run;
}

// A stone floor at height 0; the hero at (4, 4) heading 0 with 3 lives, camera preset 2, no key held.
void start_flat_level()
{
  static std::string scratch = [] {  // once: Allegro without a display, and a folder for stray screenshots
    EXPECT_EQ(install_allegro(SYSTEM_NONE, &errno, std::atexit), 0);
    for (SAMPLE **handle : {&snd_get_drop, &snd_jump, &snd_land, &snd_end, &snd_lava})
      *handle = create_sample(8, 0, 11025, 1);
    effect_listener = [](SAMPLE *sample) { effects_log.push_back({ticks_run + 1, sample}); };
    std::string folder = temp_folder();
    EXPECT_EQ(chdir(folder.c_str()), 0);
    std::atexit([] { rmdir(scratch.c_str()); });
    return folder;
  }();
  reset_world();
  std::fill(&level_map[0][0], &level_map[0][0] + GRID_SIZE * GRID_SIZE, map_cell{KIND_STONE_FLOOR, 1, 0.0f});
  std::fill(&drop_grid[0][0], &drop_grid[0][0] + GRID_SIZE * GRID_SIZE, 0);
  drops_left = enemy_count = level_phase = ticks_run = 0;
  lives = 3;
  current_camera = &camera_presets[1];
  hold({});
  effects_log.clear();
}

class Tick : public ::testing::Test {
  void SetUp() override { start_flat_level(); }
};

}  // namespace

TEST_F(Tick, HeadingTurnsEightDegreesKeeping360BothKeysCancelCameraKeysHighestWinsAndStays)
{
  hero_heading = 352;
  struct { std::vector<int> keys; long heading, preset; } steps[] = {
    {{KEY_LEFT, KEY_3}, 360, 2}, {{KEY_LEFT}, 8, 2}, {{KEY_RIGHT, KEY_2}, 0, 1},
    {{KEY_RIGHT, KEY_1, KEY_3}, 352, 2}, {{KEY_LEFT, KEY_RIGHT, KEY_4, KEY_2, KEY_1}, 352, 3},
  };
  for (const auto &s : steps) {
    hold(s.keys);
    tick();
    EXPECT_EQ(values({hero_heading, current_camera - camera_presets}), values({s.heading, s.preset}));
  }
}

TEST_F(Tick, WalkStopsAt4_15BeforeAWallAndSlidesAlongItAtAnAngle)
{
  for (int y = 0; y < GRID_SIZE; y++)
    set_cell(3, y, 1.0f);
  hold({KEY_UP});
  tick(5);
  EXPECT_FLOAT_EQ(hero_x, 4.15f);
  hold({KEY_UP, KEY_DOWN});
  tick();  // forward refused, backward taken
  EXPECT_FLOAT_EQ(hero_x, 4.0f);
  hero_heading = 45;
  hold({KEY_UP});
  tick(6);
  float x_at_wall = hero_x, y_before = hero_y;
  tick(10);
  EXPECT_FLOAT_EQ(hero_x, x_at_wall);
  EXPECT_NEAR(hero_y - y_before, 1.5f * std::sin(0.785398f), 1e-3);
}

TEST_F(Tick, OffTheGridIsAWallForTheHeroWhenALevelHasNone)
{
  hold({KEY_UP});
  for (int heading : {180, 90}) {
    hero_heading = heading;
    tick(400);
  }
  EXPECT_EQ(values({cell_index(hero_x), cell_index(hero_y), hero_dead}), values({0, 24, 0}));
}

TEST_F(Tick, StepsUpAQuarterAsTheCentreEntersButNotPointThreeFive)
{
  struct { float height; values after7; } cases[] = {{0.25f, {505, 25}}, {0.35f, {415, 0}}};
  for (const auto &c : cases) {
    start_flat_level();
    set_cell(3, 2, c.height);
    hold({KEY_UP});
    tick(6);
    EXPECT_EQ(hero_z, 0.0f) << c.height;
    tick();
    EXPECT_EQ(values({std::lround(hero_x * 100), std::lround(hero_z * 100)}), c.after7) << c.height;
    EXPECT_EQ(hero_airborne + effects_log.size(), 0u);  // stepping up is silent
  }
}

TEST_F(Tick, JumpTimelineWithSpaceHeldJumpsAgainAfterLanding)
{
  hold({KEY_SPACE});
  for (int t = 1; t <= 36; t++) {
    tick();
    // 17 rising ticks, one where rise and fall cancel, 17 falling.
    float z = t <= 17 ? 0.1f * t : t == 18 ? 1.7f : t <= 35 ? 1.7f - 0.1f * (t - 18) : 0.1f;
    EXPECT_NEAR(hero_z, z, t == 35 ? 0.0 : 1e-4) << "tick " << t;
    EXPECT_EQ(hero_airborne, t == 35 ? 0 : 1) << "tick " << t;
  }
  EXPECT_EQ(effects_log, (effects{{1, snd_jump}, {35, snd_land}, {36, snd_jump}}));
}

TEST_F(Tick, FallsOffALedgeInTheSameTickLandingATickLaterOutsideTheBand)
{
  set_cell(2, 2, 1.0f);
  set_cell(3, 2, 0.97f);  // 0.9 after one fall step: 0.07 below, outside the band
  tick();
  int t = walk_into_column(3);
  EXPECT_EQ(values({std::lround(hero_z * 100), hero_airborne}), values({97, 1}));  // still falling
  tick();
  EXPECT_EQ(effects_log, (effects{{t + 1, snd_land}}));
}

TEST_F(Tick, LavaFloorKillsAsTheCentreEntersARaisedLavaBlockAlsoInMidAir)
{
  set_cell(3, 2, 0.0f, KIND_LAVA);
  int t = walk_into_column(3);
  EXPECT_EQ(effects_log, (effects{{t, snd_lava}}));
  for (bool in_air : {false, true}) {
    start_flat_level();
    set_cell(3, 2, 1.0f, KIND_LAVA);
    hold({KEY_SPACE});
    tick(in_air ? 5 : 0);
    hold({KEY_UP});
    tick(2);  // the second step's probe reaches 5.1, inside the block: a lava wall burns, it does not stop
    EXPECT_EQ(effects_log.back(), (std::pair<int, SAMPLE *>(ticks_run, snd_lava))) << in_air;
    EXPECT_EQ(values({hero_dead, hero_airborne, std::lround(hero_x * 100)}), values({1, in_air, 430}));
  }
}

TEST_F(Tick, DropsCollectedAsTheCentreEntersOnLandingTheTickAfterNotInTheAir)
{
  set_cell(3, 2, 0.0f, KIND_LAVA);
  place_drop(3, 2);  // passed over in the air: neither collected nor deadly
  place_drop(5, 2);  // where the jump comes down in tick 35
  place_drop(6, 2);  // walked into
  hold({KEY_UP, KEY_SPACE});
  tick();
  int t = walk_into_column(6);
  EXPECT_EQ(effects_log, (effects{{1, snd_jump}, {35, snd_land}, {36, snd_get_drop}, {t, snd_get_drop}}));
}

TEST_F(Tick, LavaAndTwoEnemiesSoundThriceThenNothingButTheEnemiesMovesWhileDeadOrPaused)
{
  for (bool paused : {false, true}) {
    start_flat_level();
    set_cell(2, 2, 0.0f, KIND_LAVA);
    place_enemy(2, 2, TOWARD_PLUS_X);
    place_enemy(2, 2, TOWARD_MINUS_Y);
    place_drop(2, 2);  // the last drop, taken in the tick of death: the level-complete pause begins
    tick();
    level_phase = paused;
    hold({KEY_UP, KEY_LEFT, KEY_3, KEY_F12, KEY_TAB, KEY_END});
    key[KEY_SPACE] = paused;  // no revival in the pause
    tick(4);
    EXPECT_EQ(effects_log, (effects{{1, snd_get_drop}, {1, snd_lava}, {1, snd_lava}, {1, snd_lava}}));
    EXPECT_EQ(values({std::lround(hero_x), hero_heading, drops_left, lives, current_camera - camera_presets,
                      access("vgrab-000.tga", F_OK), std::lround(enemies[0].x * 10), level_phase}),
              values({4, 0, 0, 3, 1, -1, 50, paused ? 5 : 0})) << paused;
  }
}

TEST_F(Tick, RevivalSpendsALifeEvenTheLastAtTheStartAndJumps)
{
  lives = 1;
  hero_x = 12.0f;
  hero_dead = 1;
  simulate_keypress(KEY_A << 8 | 'a');  // emptied from the keyboard buffer
  hold({KEY_SPACE});
  tick();
  EXPECT_EQ(values({hero_dead, lives, std::lround(hero_x), keypressed()}), values({0, 0, start_x, 0}));
  EXPECT_EQ(effects_log, (effects{{1, snd_jump}}));
}

TEST_F(Tick, PatrolReversesOnAHundredthHigherStaysInItsCellAndTurnsOffTheGrid)
{
  set_cell(4, 5, 0.01f);
  set_cell(6, 5, 0.01f);
  place_enemy(5, 5, TOWARD_PLUS_X);
  place_enemy(1, 3, TOWARD_MINUS_X);
  place_enemy(3, 23, TOWARD_PLUS_Y);
  int turns = 0;
  for (int t = 0; t < 100; t++) {
    int direction = enemies[0].direction;
    enemies_patrol();
    ASSERT_EQ(cell_index(enemies[0].x), 5) << "tick " << t;
    ASSERT_TRUE(cell_index(enemies[1].x) >= 0 && cell_index(enemies[2].y) < GRID_SIZE) << "tick " << t;
    turns += enemies[0].direction != direction;
  }
  EXPECT_EQ(turns, 9);  // one at each end of the cell after walking its whole width, 9 to 11
  EXPECT_EQ(values({enemies[1].direction, enemies[2].direction}), values({TOWARD_PLUS_X, TOWARD_MINUS_Y}));
}

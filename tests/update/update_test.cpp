// The real world_update tick by tick: a flat level in the game's own globals,
// keys held in Allegro's key array, effects counted through the game's sound helper.
#include <gtest/gtest.h>
#include <allegro.h>

#include "world/effects.h"
#include "world/update.h"
#include "world/world.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_maps.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <unistd.h>
#include <vector>

namespace {

using effects = std::vector<std::pair<int, SAMPLE *>>;
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
  static scratch_folder stray_screenshots = [] {  // once: Allegro without a display, and a folder for them
    EXPECT_EQ(install_allegro(SYSTEM_NONE, &errno, std::atexit), 0);
    for (SAMPLE **handle : {&snd_get_drop, &snd_jump, &snd_land, &snd_end, &snd_lava})
      *handle = create_sample(8, 0, 11025, 1);
    effect_listener = [](SAMPLE *sample) { effects_log.push_back({ticks_run + 1, sample}); };
    scratch_folder folder;
    EXPECT_EQ(chdir(folder.path.c_str()), 0);
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

TEST_F(Tick, LeftTurnsEightDegreesUpTo360)
{
  hero_heading = 352;
  hold({KEY_LEFT});
  tick();
  EXPECT_EQ(hero_heading, 360);
  tick();
  EXPECT_EQ(hero_heading, 8);
}

TEST_F(Tick, RightTurnsEightDegreesDownPastZero)
{
  hero_heading = 8;
  hold({KEY_RIGHT});
  tick();
  EXPECT_EQ(hero_heading, 0);
  tick();
  EXPECT_EQ(hero_heading, 352);
}

TEST_F(Tick, BothTurnKeysCancel)
{
  hero_heading = 352;
  hold({KEY_LEFT, KEY_RIGHT});
  tick();
  EXPECT_EQ(hero_heading, 352);
}

TEST_F(Tick, HighestCameraKeyChoosesThePreset)
{
  struct { const char *name; std::vector<int> keys; long preset; } cases[] = {
    {"3 alone", {KEY_3}, 2},
    {"2 alone", {KEY_2}, 1},
    {"1 and 3", {KEY_1, KEY_3}, 2},
    {"4, 2 and 1", {KEY_4, KEY_2, KEY_1}, 3},
  };
  for (const auto &c : cases) {
    hold(c.keys);
    tick();
    EXPECT_EQ(current_camera - camera_presets, c.preset) << c.name;
  }
}

TEST_F(Tick, CameraStaysWhenNoCameraKeyIsHeld)
{
  hold({KEY_3});
  tick();
  hold({KEY_LEFT});
  tick();
  EXPECT_EQ(current_camera - camera_presets, 2);
}

// A wall of height 1 along column 3, just ahead of the hero.
void build_wall_ahead()
{
  for (int y = 0; y < GRID_SIZE; y++)
    set_cell(3, y, 1.0f);
}

TEST_F(Tick, WalkStopsJustBeforeAWall)
{
  build_wall_ahead();
  hold({KEY_UP});
  tick(5);
  EXPECT_FLOAT_EQ(hero_x, 4.15f);
}

TEST_F(Tick, BlockedForwardStillLetsTheHeroBackUp)
{
  build_wall_ahead();
  hold({KEY_UP});
  tick(5);
  hold({KEY_UP, KEY_DOWN});
  tick();
  EXPECT_FLOAT_EQ(hero_x, 4.0f);
}

TEST_F(Tick, SlidesAlongAWallAtAnAngle)
{
  build_wall_ahead();
  hero_heading = 45;
  hold({KEY_UP});
  tick(6);
  float x_at_wall = hero_x, y_at_wall = hero_y;
  tick(10);
  EXPECT_FLOAT_EQ(hero_x, x_at_wall);
  EXPECT_NEAR(hero_y - y_at_wall, 1.5f * std::sin(0.785398f), 1e-3);
}

TEST_F(Tick, GridEdgeStopsTheHeroWithoutWalls)
{
  hold({KEY_UP});
  for (int heading : {180, 90}) {
    hero_heading = heading;
    tick(400);
  }
  EXPECT_EQ(cell_index(hero_x), 0);
  EXPECT_EQ(cell_index(hero_y), 24);
  EXPECT_EQ(hero_dead, 0);
}

TEST_F(Tick, StepsUpAQuarterAsTheCentreEnters)
{
  set_cell(3, 2, 0.25f);
  hold({KEY_UP});
  tick(6);
  EXPECT_EQ(hero_z, 0.0f) << "before the centre enters";
  tick();
  EXPECT_NEAR(hero_x, 5.05f, 1e-4);
  EXPECT_NEAR(hero_z, 0.25f, 1e-6);
  EXPECT_EQ(hero_airborne, 0);
  EXPECT_TRUE(effects_log.empty()) << "stepping up is silent";
}

TEST_F(Tick, ThirtyFiveHundredthsIsAWall)
{
  set_cell(3, 2, 0.35f);
  hold({KEY_UP});
  tick(7);
  EXPECT_FLOAT_EQ(hero_x, 4.15f);
  EXPECT_EQ(hero_z, 0.0f);
}

TEST_F(Tick, JumpRisesSeventeenTicksAndLandsIn35)
{
  hold({KEY_SPACE});
  for (int t = 1; t <= 35; t++) {
    tick();
    // 17 rising ticks, one where rise and fall cancel, 17 falling.
    float z = t <= 17 ? 0.1f * t : t == 18 ? 1.7f : 1.7f - 0.1f * (t - 18);
    EXPECT_NEAR(hero_z, z, t == 35 ? 0.0 : 1e-4) << "tick " << t;
    EXPECT_EQ(hero_airborne, t == 35 ? 0 : 1) << "tick " << t;
  }
  EXPECT_EQ(effects_log, (effects{{1, snd_jump}, {35, snd_land}}));
}

TEST_F(Tick, AJumpLandsOnceOnTheSurfaceAndMayJumpAtOnce)
{
  // Tenth steps in 32-bit floats bring a falling hero down a hair off the surface, or within
  // the landing band of a cell 0.06 high at 0.1; it comes to rest on the surface as it lands:
  // one landing, one sound, and SPACE jumps again in the very next tick.
  const struct { const char *name; int walk_ticks; float height; } cases[] = {
      {"level ground", 0, 0.0f}, {"down onto a cell 0.06 high", 7, 0.06f}};
  for (const auto &c : cases) {
    start_flat_level();
    for (int x = 3; x < GRID_SIZE; x++)
      set_cell(x, 2, c.height);
    hold({KEY_SPACE});
    tick();
    hold({KEY_UP});
    tick(c.walk_ticks);
    hold({});
    while (effects_log.size() < 2 && ticks_run < 60)
      tick();
    int landing = ticks_run;
    EXPECT_EQ(hero_z, c.height) << c.name;
    hold({KEY_SPACE});
    tick();
    EXPECT_EQ(effects_log, (effects{{1, snd_jump}, {landing, snd_land}, {landing + 1, snd_jump}})) << c.name;
  }
}

TEST_F(Tick, FallsOffALedgeInTheTickItLeaves)
{
  set_cell(2, 2, 1.0f);
  set_cell(3, 2, 0.97f);  // 0.9 after one fall step: 0.07 below, outside the band
  tick();
  walk_into_column(3);
  EXPECT_NEAR(hero_z, 0.97f, 0.005f);
  EXPECT_EQ(hero_airborne, 1) << "still falling";
}

TEST_F(Tick, LandsOnALowerLedgeATickLater)
{
  set_cell(2, 2, 1.0f);
  set_cell(3, 2, 0.97f);
  tick();
  int t = walk_into_column(3);
  tick();
  EXPECT_EQ(hero_airborne, 0);
  EXPECT_EQ(effects_log, (effects{{t + 1, snd_land}}));
}

TEST_F(Tick, LavaFloorKillsAsTheCentreEnters)
{
  set_cell(3, 2, 0.0f, KIND_LAVA);
  int t = walk_into_column(3);
  EXPECT_EQ(hero_dead, 1);
  EXPECT_EQ(effects_log, (effects{{t, snd_lava}}));
}

// Walks two steps toward a lava block of height 1 after airborne_ticks of a jump: the second
// step's probe reaches 5.1, inside the block.
void walk_into_raised_lava(int airborne_ticks)
{
  set_cell(3, 2, 1.0f, KIND_LAVA);
  hold({KEY_SPACE});
  tick(airborne_ticks);
  hold({KEY_UP});
  tick(2);
}

TEST_F(Tick, RaisedLavaBurnsRatherThanStops)
{
  walk_into_raised_lava(0);
  EXPECT_EQ(hero_dead, 1);
  EXPECT_FLOAT_EQ(hero_x, 4.3f);
  EXPECT_EQ(effects_log.back(), (std::pair<int, SAMPLE *>(ticks_run, snd_lava)));
}

TEST_F(Tick, RaisedLavaBurnsInMidAir)
{
  walk_into_raised_lava(5);
  EXPECT_EQ(hero_dead, 1);
  EXPECT_EQ(hero_airborne, 1);
  EXPECT_EQ(effects_log.back(), (std::pair<int, SAMPLE *>(ticks_run, snd_lava)));
}

// Jumps forward from the start over lava with a drop, comes down in column 5 on a
// drop, and walks on into column 6 onto another; returns the tick it enters column 6.
int jump_across_drops()
{
  set_cell(3, 2, 0.0f, KIND_LAVA);
  place_drop(3, 2);  // passed over in the air
  place_drop(5, 2);  // where the jump comes down in tick 35
  place_drop(6, 2);  // walked into
  hold({KEY_UP, KEY_SPACE});
  tick();
  return walk_into_column(6);
}

TEST_F(Tick, DropTakenAsTheCentreEnters)
{
  int t = jump_across_drops();
  EXPECT_EQ(effects_log.back(), (std::pair<int, SAMPLE *>(t, snd_get_drop)));
  EXPECT_EQ(drop_grid[6][2], 0);
}

TEST_F(Tick, DropTakenTheTickAfterLanding)
{
  jump_across_drops();
  EXPECT_EQ(effects_log.at(1), (std::pair<int, SAMPLE *>(35, snd_land)));
  EXPECT_EQ(effects_log.at(2), (std::pair<int, SAMPLE *>(36, snd_get_drop)));
  EXPECT_EQ(drop_grid[5][2], 0);
}

TEST_F(Tick, NoDropTakenAndNoLavaInTheAir)
{
  jump_across_drops();
  EXPECT_EQ(drop_grid[3][2], 1);
  EXPECT_EQ(drops_left, 1);
  EXPECT_EQ(hero_dead, 0);
}

// The hero dies on lava between two enemies in the tick it takes the last drop, then every
// key that does something in play is held for four ticks, in the level-complete pause or not.
void die_taking_the_last_drop(bool paused)
{
  set_cell(2, 2, 0.0f, KIND_LAVA);
  place_enemy(2, 2, TOWARD_PLUS_X);
  place_enemy(2, 2, TOWARD_MINUS_Y);
  place_drop(2, 2);
  tick();
  level_phase = paused;
  hold({KEY_UP, KEY_LEFT, KEY_3, KEY_F12, KEY_TAB, KEY_END});
  key[KEY_SPACE] = paused;  // no revival in the pause
  tick(4);
}

TEST_F(Tick, LavaAndTwoEnemiesSoundThreeTimes)
{
  die_taking_the_last_drop(false);
  EXPECT_EQ(effects_log, (effects{{1, snd_get_drop}, {1, snd_lava}, {1, snd_lava}, {1, snd_lava}}));
}

TEST_F(Tick, DeadHeroIgnoresEveryKey)
{
  die_taking_the_last_drop(false);
  EXPECT_FLOAT_EQ(hero_x, 4.0f);
  EXPECT_EQ(hero_heading, 0);
  EXPECT_EQ(lives, 3);
  EXPECT_EQ(current_camera - camera_presets, 1);
  EXPECT_NE(access("vgrab-000.tga", F_OK), 0) << "a screenshot was taken";
  EXPECT_EQ(level_phase, 0) << "TAB and END completed the level";
}

TEST_F(Tick, PauseIgnoresEveryKeyAndRunsOn)
{
  die_taking_the_last_drop(true);
  EXPECT_FLOAT_EQ(hero_x, 4.0f);
  EXPECT_EQ(hero_heading, 0);
  EXPECT_EQ(lives, 3);
  EXPECT_EQ(hero_dead, 1) << "SPACE revived the hero";
  EXPECT_EQ(current_camera - camera_presets, 1);
  EXPECT_NE(access("vgrab-000.tga", F_OK), 0) << "a screenshot was taken";
  EXPECT_EQ(level_phase, 5);
}

TEST_F(Tick, EnemiesWalkOnWhileTheHeroIsDead)
{
  die_taking_the_last_drop(false);
  EXPECT_NEAR(enemies[0].x, 5.0f, 1e-4);
  EXPECT_NEAR(enemies[1].y, 3.0f, 1e-4);
}

// A dead hero far from the start on the last life, a key typed, SPACE held for one tick.
void revive_on_the_last_life()
{
  lives = 1;
  hero_x = 12.0f;
  hero_dead = 1;
  simulate_keypress(KEY_A << 8 | 'a');
  hold({KEY_SPACE});
  tick();
}

TEST_F(Tick, RevivalSpendsEvenTheLastLife)
{
  revive_on_the_last_life();
  EXPECT_EQ(hero_dead, 0);
  EXPECT_EQ(lives, 0);
}

TEST_F(Tick, RevivalStartsAtTheStartWithAJump)
{
  revive_on_the_last_life();
  EXPECT_FLOAT_EQ(hero_x, (float)start_x);
  EXPECT_EQ(effects_log, (effects{{1, snd_jump}}));
}

TEST_F(Tick, RevivalEmptiesTheKeyboardBuffer)
{
  revive_on_the_last_life();
  EXPECT_FALSE(keypressed());
}

TEST_F(Tick, PatrolReversesOnAHundredthHigher)
{
  set_cell(4, 5, 0.01f);
  set_cell(6, 5, 0.01f);
  place_enemy(5, 5, TOWARD_PLUS_X);
  int turns = 0;
  for (int t = 0; t < 100; t++) {
    int direction = enemies[0].direction;
    enemies_patrol();
    ASSERT_EQ(cell_index(enemies[0].x), 5) << "left its cell in tick " << t;
    turns += enemies[0].direction != direction;
  }
  EXPECT_EQ(turns, 9);  // one at each end of the cell after walking its whole width, 9 to 11
}

TEST_F(Tick, PatrolTurnsAtTheGridEdge)
{
  place_enemy(1, 3, TOWARD_MINUS_X);
  place_enemy(3, 23, TOWARD_PLUS_Y);
  for (int t = 0; t < 100; t++) {
    enemies_patrol();
    ASSERT_GE(cell_index(enemies[0].x), 0) << "tick " << t;
    ASSERT_LT(cell_index(enemies[1].y), GRID_SIZE) << "tick " << t;
  }
  EXPECT_EQ(enemies[0].direction, TOWARD_PLUS_X);
  EXPECT_EQ(enemies[1].direction, TOWARD_MINUS_Y);
}

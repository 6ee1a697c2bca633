// The real world_update tick by tick: a flat level built in the game's own
// globals, keys held in Allegro's key array, effects counted through the
// game's sound helper.
#include <gtest/gtest.h>
#include <allegro.h>

#include "game/sound.h"
#include "game/update.h"
#include "game/world.h"
#include "tests/support/test_maps.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <unistd.h>
#include <vector>

namespace {

std::vector<std::pair<int, SAMPLE *>> effects_log;  // (tick, sample) for every effect played
int ticks_run;

void record_effect(SAMPLE *sample) { effects_log.push_back({ticks_run, sample}); }

void hold(const std::vector<int> &keys)
{
  for (int i = 0; i < KEY_MAX; i++)
    key[i] = 0;
  for (int scancode : keys)
    key[scancode] = 1;
}

// A flat stone floor at height 0, no drops or enemies; the hero at (4, 4)
// heading 0 with 3 lives, camera preset 2, no key held.
void start_flat_level()
{
  static bool started = false;
  if (!started) {  // Allegro without display or sound, five silent samples, a scratch folder
    ASSERT_EQ(install_allegro(SYSTEM_NONE, &errno, std::atexit), 0);
    for (SAMPLE **handle : {&snd_get_drop, &snd_jump, &snd_land, &snd_end, &snd_lava})
      ASSERT_NE(*handle = create_sample(8, 0, 11025, 1), nullptr);
    effect_listener = record_effect;
    static std::string scratch = temp_folder();
    ASSERT_EQ(chdir(scratch.c_str()), 0);
    std::atexit([] { rmdir(scratch.c_str()); });
    started = true;
  }
  reset_world();
  for (int x = 0; x < GRID_SIZE; x++)
    for (int y = 0; y < GRID_SIZE; y++) {
      level_map[x][y] = map_cell{KIND_STONE_FLOOR, 1, 0.0f};
      drop_grid[x][y] = 0;
    }
  drops_left = enemy_count = level_phase = 0;
  lives = 3;
  current_camera = &camera_presets[1];
  hold({});
  effects_log.clear();
  ticks_run = 0;
}

void set_cell(int x, int y, float height, int kind = KIND_STONE_FLOOR)
{
  level_map[x][y] = map_cell{kind, 1, height};
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

// Runs world_update n times; returns the number of the last tick run (from 1).
int tick(int n = 1)
{
  for (int i = 0; i < n; i++) {
    ticks_run++;
    world_update();
  }
  return ticks_run;
}

// How often sample was played: in tick t, or in any tick when t is 0.
int played(SAMPLE *sample, int t = 0)
{
  int count = 0;
  for (const auto &e : effects_log)
    count += e.second == sample && (t == 0 || e.first == t);
  return count;
}

// Walks forward (heading 0) until the hero's centre is in column x; returns that tick.
int walk_into_column(int x)
{
  hold({KEY_UP});
  int t = 0;
  while (cell_index(hero_x) < x && t < 100)
    t = tick();
  return t;
}

class PlayTest : public ::testing::Test {
protected:
  void SetUp() override { start_flat_level(); }
};
class Heading : public PlayTest {};
class Walk : public PlayTest {};
class Climb : public PlayTest {};
class Jump : public PlayTest {};
class Fall : public PlayTest {};
class Lava : public PlayTest {};
class Drops : public PlayTest {};
class Camera : public PlayTest {};
class Contact : public PlayTest {};
class Death : public PlayTest {};
class Revival : public PlayTest {};
class LevelSkip : public PlayTest {};
class Patrol : public PlayTest {};

}  // namespace

TEST_F(Heading, TurnsEightDegreesKeeping360AndBothKeysCancel)
{
  struct { int start; std::vector<int> keys; int after1, after2; } cases[] = {
    {352, {KEY_LEFT}, 360, 8},
    {0, {KEY_RIGHT}, 352, 344},
    {100, {KEY_LEFT, KEY_RIGHT}, 100, 100},
    {360, {KEY_LEFT, KEY_RIGHT}, 0, 0},  // left wraps past 360 to 8, right brings it to 0
  };
  for (const auto &c : cases) {
    hero_heading = c.start;
    hold(c.keys);
    tick();
    EXPECT_EQ(hero_heading, c.after1) << c.start;
    tick();
    EXPECT_EQ(hero_heading, c.after2) << c.start;
  }
}

TEST_F(Walk, StopsShortOfAWallAt4_15AndBacksAwayWithDown)
{
  for (int y = 0; y < GRID_SIZE; y++)
    set_cell(3, y, 1.0f);  // a wall from x = 5 to 7
  hold({KEY_UP});
  tick();
  EXPECT_FLOAT_EQ(hero_x, 4.15f);
  tick(10);
  EXPECT_FLOAT_EQ(hero_x, 4.15f);
  EXPECT_EQ(hero_dead, 0);
  hold({KEY_UP, KEY_DOWN});
  tick();  // forward refused, backward taken
  EXPECT_FLOAT_EQ(hero_x, 4.0f);
  tick(5);  // both free again: they cancel
  EXPECT_FLOAT_EQ(hero_x, 4.0f);
}

TEST_F(Walk, SlidesAlongAWallMetAtAnAngle)
{
  for (int y = 0; y < GRID_SIZE; y++)
    set_cell(3, y, 1.0f);
  hero_heading = 45;
  hold({KEY_UP});
  tick(6);
  float x_at_wall = hero_x;
  EXPECT_LT(x_at_wall, 5.0f - 0.8f * std::cos(0.785398f));
  for (int i = 0; i < 10; i++) {
    float y_before = hero_y;
    tick();
    EXPECT_FLOAT_EQ(hero_x, x_at_wall);
    EXPECT_NEAR(hero_y - y_before, 0.15f * std::sin(0.785398f), 1e-4);
  }
}

TEST_F(Walk, TheGridEdgeIsAWallWhenALevelHasNone)
{
  hero_heading = 180;
  hold({KEY_UP});
  tick(200);
  EXPECT_GT(hero_x, -3.0f);
  hero_heading = 90;
  tick(400);
  EXPECT_LT(cell_index(hero_y), GRID_SIZE);
  EXPECT_EQ(hero_dead, 0);
  EXPECT_FLOAT_EQ(hero_z, 0.0f);
}

TEST_F(Climb, StepsUpAQuarterAsTheCentreEntersButNotPointThreeFive)
{
  struct { float height, x7, z7; } cases[] = {{0.25f, 5.05f, 0.25f}, {0.35f, 4.15f, 0.0f}};
  for (const auto &c : cases) {
    start_flat_level();
    set_cell(3, 2, c.height);
    hold({KEY_UP});
    tick(6);
    EXPECT_FLOAT_EQ(hero_z, 0.0f) << c.height;
    tick();
    EXPECT_FLOAT_EQ(hero_x, c.x7) << c.height;
    EXPECT_FLOAT_EQ(hero_z, c.z7) << c.height;
    EXPECT_EQ(hero_airborne, 0);
    EXPECT_EQ(played(snd_land), 0);  // stepping up is silent
  }
}

TEST_F(Jump, WholeTimelineWithSpaceHeldJumpsAgainAfterLanding)
{
  hold({KEY_SPACE});
  for (int t = 1; t <= 36; t++) {
    tick();
    // 17 rising ticks from take-off, one where rise and fall cancel, 17 falling.
    float z = t <= 17 ? 0.1f * t : t == 18 ? 1.7f : t <= 35 ? 1.7f - 0.1f * (t - 18) : 0.1f;
    EXPECT_NEAR(hero_z, z, t == 35 ? 0.0 : 1e-4) << "tick " << t;
    EXPECT_EQ(hero_airborne, t == 35 ? 0 : 1) << "tick " << t;
  }
  EXPECT_EQ(played(snd_land, 35), 1);
  EXPECT_EQ(played(snd_jump, 1) + played(snd_jump, 36), 2);
  EXPECT_EQ(played(snd_land) + played(snd_jump), 3);
}

TEST_F(Fall, OffALedgeInTheSameTickLandingATickLaterOutsideTheBand)
{
  set_cell(2, 2, 1.0f);
  set_cell(3, 2, 0.97f);  // 0.9 after one fall step: 0.07 below, outside the band
  tick();
  EXPECT_FLOAT_EQ(hero_z, 1.0f);
  walk_into_column(3);
  EXPECT_FLOAT_EQ(hero_z, 0.97f);  // a fall never passes through a surface
  EXPECT_EQ(hero_airborne, 1);
  EXPECT_EQ(played(snd_land), 0);
  int t = tick();
  EXPECT_EQ(played(snd_land, t), 1);
  EXPECT_EQ(hero_airborne, 0);
}

TEST_F(Lava, FloorKillsAsTheCentreEntersButNotInTheAir)
{
  set_cell(3, 2, 0.0f, KIND_LAVA);
  int t = walk_into_column(3);
  EXPECT_EQ(hero_dead, 1);
  EXPECT_EQ(played(snd_lava), 1);
  EXPECT_EQ(played(snd_lava, t), 1);

  start_flat_level();  // off a ledge: harmless in the fall, deadly on landing
  set_cell(2, 2, 1.0f);
  set_cell(3, 2, 0.0f, KIND_LAVA);
  tick();
  walk_into_column(3);
  hold({});
  EXPECT_EQ(hero_dead, 0);
  do
    t = tick();
  while (hero_airborne && t < 50);
  EXPECT_EQ(played(snd_land, t), 1);
  EXPECT_EQ(played(snd_lava, t), 1);
  EXPECT_EQ(hero_dead, 1);
}

TEST_F(Lava, RaisedBlockKillsAStepAheadOnTheGroundAndInMidAir)
{
  for (bool in_air : {false, true}) {
    SCOPED_TRACE(in_air ? "in the air" : "on the ground");
    start_flat_level();
    set_cell(3, 2, 1.0f, KIND_LAVA);
    if (in_air) {
      hold({KEY_SPACE});
      tick(5);  // up to 0.5
    }
    hold({KEY_UP});
    tick();
    EXPECT_EQ(hero_dead, 0);
    int t = tick();  // the probe reaches 5.1, inside the block
    EXPECT_EQ(hero_dead, 1);
    EXPECT_EQ(played(snd_lava, t), 1);
    EXPECT_EQ(hero_airborne, in_air ? 1 : 0);
    EXPECT_FLOAT_EQ(hero_x, 4.3f);  // a lava wall burns, it does not stop
  }
}

TEST_F(Drops, CollectedAsTheCentreEntersOnLandingTheTickAfter)
{
  place_drop(3, 2);  // passed over in the air
  place_drop(5, 2);  // where the jump comes down
  place_drop(6, 2);  // walked into
  hold({KEY_UP, KEY_SPACE});
  tick();
  hold({KEY_UP});
  tick(34);
  EXPECT_EQ(played(snd_land, 35), 1);
  EXPECT_EQ(drop_grid[5][2], 1);
  tick();
  EXPECT_EQ(drop_grid[5][2], 0);
  EXPECT_EQ(played(snd_get_drop, 36), 1);
  int t = walk_into_column(6);
  EXPECT_EQ(played(snd_get_drop, t), 1);
  EXPECT_EQ(drop_grid[3][2], 1);
  EXPECT_EQ(drops_left, 1);
}

TEST_F(Camera, NumberKeysChooseThePresetHighestWinsAndItStays)
{
  struct { std::vector<int> keys; int preset; } steps[] = {
    {{KEY_1}, 0}, {{KEY_3}, 2}, {{}, 2}, {{KEY_2}, 1}, {{KEY_1, KEY_3}, 2}, {{KEY_4, KEY_2, KEY_1}, 3},
  };
  for (const auto &s : steps) {
    hold(s.keys);
    tick();
    EXPECT_EQ(current_camera, &camera_presets[s.preset]) << s.preset;
  }
}

TEST_F(Contact, TwoEnemiesAndLavaPlayTheSampleThreeTimes)
{
  set_cell(2, 2, 0.0f, KIND_LAVA);
  place_enemy(2, 2, TOWARD_PLUS_X);
  place_enemy(2, 2, TOWARD_MINUS_Y);
  tick();
  EXPECT_EQ(hero_dead, 1);
  EXPECT_EQ(played(snd_lava, 1), 3);
  tick(3);
  EXPECT_EQ(played(snd_lava), 3);  // one death: nothing more while dead
}

TEST_F(Contact, BoxIsOnePointTwoAcrossAndPointEightHigh)
{
  struct { float dx, dy, dz; int dead; } cases[] = {
    {1.19f, 0, 0, 1}, {1.21f, 0, 0, 0}, {0, -1.19f, 0, 1},
    {0, -1.21f, 0, 0}, {0, 0, 0.79f, 1}, {0, 0, 0.81f, 0},
  };
  for (const auto &c : cases) {
    start_flat_level();
    place_enemy(2, 2, 9);  // no patrol direction: it stands still but touches
    enemies[0].x += c.dx;
    enemies[0].y += c.dy;
    enemies[0].z = c.dz;
    tick();
    EXPECT_EQ(hero_dead, c.dead) << c.dx << " " << c.dy << " " << c.dz;
  }
}

TEST_F(Death, NothingButTheEnemiesMovesWhileDeadOrPaused)
{
  for (bool paused : {false, true}) {
    SCOPED_TRACE(paused ? "paused" : "dead");
    start_flat_level();
    place_enemy(8, 8, TOWARD_PLUS_X);
    place_drop(2, 2);  // under the hero
    (paused ? level_phase : hero_dead) = 1;
    hold({KEY_UP, KEY_LEFT, KEY_3, KEY_F12, KEY_TAB, KEY_END});
    if (paused)
      key[KEY_SPACE] = 1;
    tick(5);
    EXPECT_FLOAT_EQ(hero_x, 4.0f);
    EXPECT_FLOAT_EQ(hero_z, 0.0f);
    EXPECT_EQ(hero_heading, 0);
    EXPECT_EQ(current_camera, &camera_presets[1]);
    EXPECT_EQ(drops_left, 1);
    EXPECT_EQ(lives, 3);
    EXPECT_NE(access("vgrab-000.tga", F_OK), 0);
    EXPECT_EQ(played(snd_jump) + played(snd_get_drop), 0);
    EXPECT_FLOAT_EQ(enemies[0].x, 17.0f);
    EXPECT_EQ(level_phase, paused ? 6 : 0);
  }
}

TEST_F(Death, LastDropAndDeathInOneTickCompleteTheLevelWithoutALostLife)
{
  set_cell(3, 2, 0.0f, KIND_LAVA);
  place_drop(3, 2);
  walk_into_column(3);
  EXPECT_EQ(drops_left, 0);
  EXPECT_EQ(hero_dead, 1);
  level_phase = 1;  // what the level loop does when it sees no drop left
  hold({KEY_SPACE});
  tick(20);
  EXPECT_EQ(lives, 3);
  EXPECT_EQ(hero_dead, 1);
  EXPECT_EQ(level_phase, 21);
}

TEST_F(Revival, SpaceSpendsALifeEvenTheLastRevivesAtTheStartAndJumps)
{
  for (int lives_before : {3, 1}) {
    start_flat_level();
    lives = lives_before;
    hero_x = 12.0f;
    hero_y = 9.0f;
    hero_dead = 1;
    tick(10);  // waits
    EXPECT_EQ(lives, lives_before);
    simulate_keypress(KEY_A << 8 | 'a');
    hold({KEY_SPACE});
    int t = tick();
    EXPECT_EQ(hero_dead, 0);
    EXPECT_EQ(lives, lives_before - 1);
    EXPECT_FLOAT_EQ(hero_x, (float)start_x);
    EXPECT_FLOAT_EQ(hero_y, (float)start_y);
    EXPECT_EQ(played(snd_jump, t), 1);
    EXPECT_FALSE(keypressed());  // the keyboard buffer is emptied
  }
}

TEST_F(LevelSkip, TabWithEndEmptiesTheCountButLeavesTheDrops)
{
  place_drop(10, 10);
  place_drop(11, 10);
  for (std::vector<int> keys : {std::vector<int>{KEY_TAB}, {KEY_END}, {KEY_TAB, KEY_END}}) {
    EXPECT_EQ(drops_left, 2);
    hold(keys);
    tick();
  }
  EXPECT_EQ(drops_left, 0);
  EXPECT_EQ(drop_grid[10][10] + drop_grid[11][10], 2);
}

TEST_F(Patrol, ReversesOnAHundredthHigherAndStaysInItsOneCell)
{
  set_cell(4, 5, 0.01f);
  set_cell(6, 5, 0.01f);
  place_enemy(5, 5, TOWARD_PLUS_X);
  int still_ticks = 0, turns = 0;
  float lowest = 10.0f, highest = 10.0f;
  for (int t = 0; t < 100; t++) {
    float before = enemies[0].x;
    int direction = enemies[0].direction;
    enemies_patrol();
    ASSERT_EQ(cell_index(enemies[0].x), 5) << "tick " << t;
    if (enemies[0].x == before)
      still_ticks++;  // stands still as it turns
    else
      EXPECT_NEAR(std::fabs(enemies[0].x - before), 0.2f, 1e-5);
    turns += enemies[0].direction != direction;
    lowest = std::min(lowest, enemies[0].x);
    highest = std::max(highest, enemies[0].x);
  }
  EXPECT_GE(turns, 9);
  EXPECT_EQ(still_ticks, turns);
  EXPECT_LT(lowest, 9.1f);  // the whole cell, 9 to 11, is walked
  EXPECT_GT(highest, 10.7f);
  EXPECT_FLOAT_EQ(enemies[0].y, 10.0f);
}

TEST_F(Patrol, TurnsAtTheGridEdgeAndOtherDirectionsStandStill)
{
  place_enemy(1, 3, TOWARD_MINUS_X);
  place_enemy(3, 23, TOWARD_PLUS_Y);
  place_enemy(5, 5, NO_ENEMY);
  place_enemy(7, 7, 4);
  for (int t = 0; t < 60; t++) {
    enemies_patrol();
    ASSERT_GE(cell_index(enemies[0].x), 0);
    ASSERT_LT(cell_index(enemies[1].y), GRID_SIZE);
  }
  EXPECT_EQ(enemies[0].direction, TOWARD_PLUS_X);
  EXPECT_EQ(enemies[1].direction, TOWARD_MINUS_Y);
  EXPECT_FLOAT_EQ(enemies[2].x + enemies[2].y, 20.0f);  // still on (5, 5)
  EXPECT_FLOAT_EQ(enemies[3].x + enemies[3].y, 28.0f);  // still on (7, 7)
}

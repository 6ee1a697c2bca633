// The real world_update tick by tick: a flat level in the game's own globals,
// keys held in Allegro's key array, effects counted through the game's sound helper.
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
#include <cstring>
#include <unistd.h>
#include <vector>

namespace {

std::vector<std::pair<int, SAMPLE *>> effects_log;  // (tick, sample) for every effect played
int ticks_run;

void hold(const std::vector<int> &keys)
{
  for (int i = 0; i < KEY_MAX; i++)
    key[i] = 0;
  for (int scancode : keys)
    key[scancode] = 1;
}

void set_cell(int x, int y, float height, int kind = KIND_STONE_FLOOR) { level_map[x][y] = map_cell{kind, 1, height}; }

void place_drop(int x, int y) { drops_left += drop_grid[x][y] = 1; }

void place_enemy(int x, int y, int direction)
{
  enemies[enemy_count++] = enemy{2.0f * x, 2.0f * y, level_map[x][y].height, direction, 0.2f};
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
  return std::count_if(effects_log.begin(), effects_log.end(),
                       [&](const auto &e) { return e.second == sample && (t == 0 || e.first == t); });
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

// A flat stone floor at height 0; the hero at (4, 4) heading 0 with 3 lives,
// camera preset 2, no key held, in a scratch folder.
void start_flat_level()
{
  static bool started = false;
  if (!started) {
    ASSERT_EQ(install_allegro(SYSTEM_NONE, &errno, std::atexit), 0);
    for (SAMPLE **handle : {&snd_get_drop, &snd_jump, &snd_land, &snd_end, &snd_lava})
      *handle = create_sample(8, 0, 11025, 1);
    effect_listener = [](SAMPLE *sample) { effects_log.push_back({ticks_run, sample}); };
    static std::string scratch = temp_folder();
    ASSERT_EQ(chdir(scratch.c_str()), 0);
    std::atexit([] { rmdir(scratch.c_str()); });
    started = true;
  }
  reset_world();
  std::fill(&level_map[0][0], &level_map[0][0] + GRID_SIZE * GRID_SIZE, map_cell{KIND_STONE_FLOOR, 1, 0.0f});
  std::memset(drop_grid, 0, sizeof drop_grid);
  drops_left = enemy_count = level_phase = 0;
  lives = 3;
  current_camera = &camera_presets[1];
  hold({});
  effects_log.clear();
  ticks_run = 0;
}

class Tick : public ::testing::Test {
  void SetUp() override { start_flat_level(); }
};

}  // namespace

TEST_F(Tick, HeadingTurnsEightDegreesKeeping360AndBothKeysCancel)
{
  struct { int start; std::vector<int> keys; int after1, after2; } cases[] = {
    {352, {KEY_LEFT}, 360, 8}, {0, {KEY_RIGHT}, 352, 344}, {100, {KEY_LEFT, KEY_RIGHT}, 100, 100},
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
  hero_heading = 180;
  hold({KEY_UP});
  tick(200);
  EXPECT_GT(hero_x, -3.0f);
  hero_heading = 90;
  tick(400);
  EXPECT_LT(cell_index(hero_y), GRID_SIZE);
  EXPECT_EQ(hero_dead, 0);
}

TEST_F(Tick, StepsUpAQuarterAsTheCentreEntersButNotPointThreeFive)
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
    EXPECT_EQ(hero_z, c.z7) << c.height;
    EXPECT_EQ(hero_airborne + played(snd_land), 0);  // stepping up is silent
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
  EXPECT_EQ(effects_log, (decltype(effects_log){{1, snd_jump}, {35, snd_land}, {36, snd_jump}}));
}

TEST_F(Tick, FallsOffALedgeInTheSameTickLandingATickLaterOutsideTheBand)
{
  set_cell(2, 2, 1.0f);
  set_cell(3, 2, 0.97f);  // 0.9 after one fall step: 0.07 below, outside the band
  tick();
  walk_into_column(3);
  EXPECT_EQ(std::vector<float>({hero_z, (float)hero_airborne}), std::vector<float>({0.97f, 1}));  // still falling
  int t = tick();
  EXPECT_EQ(played(snd_land) + played(snd_land, t) + hero_airborne, 2);
}

TEST_F(Tick, LavaFloorKillsAsTheCentreEntersEvenTakingTheLastDropARaisedBlockAlsoInMidAir)
{
  set_cell(3, 2, 0.0f, KIND_LAVA);
  place_drop(3, 2);  // the last drop: taken in the tick of death, so the level completes
  int t = walk_into_column(3);
  EXPECT_EQ(played(snd_lava, t) + played(snd_get_drop, t) + hero_dead, 3);
  EXPECT_EQ(drops_left, 0);
  for (bool in_air : {false, true}) {
    start_flat_level();
    set_cell(3, 2, 1.0f, KIND_LAVA);
    hold({KEY_SPACE});
    tick(in_air ? 5 : 0);
    hold({KEY_UP});
    tick();
    EXPECT_EQ(hero_dead, 0) << in_air;
    EXPECT_EQ(played(snd_lava, tick()), 1) << in_air;  // the probe reaches 5.1, inside the block
    EXPECT_EQ(hero_airborne, in_air ? 1 : 0);
    EXPECT_FLOAT_EQ(hero_x, 4.3f);  // a lava wall burns, it does not stop
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
  hold({KEY_UP});
  tick(34);
  EXPECT_EQ(drop_grid[5][2], 1);
  EXPECT_EQ(played(snd_get_drop, tick()), 1);
  EXPECT_EQ(drop_grid[5][2], 0);
  EXPECT_EQ(played(snd_get_drop, walk_into_column(6)), 1);
  EXPECT_EQ(drop_grid[3][2] + drops_left + hero_dead, 2);
}

TEST_F(Tick, CameraNumberKeysHighestWinsAndItStays)
{
  struct { std::vector<int> keys; int preset; } steps[] = {
    {{KEY_3}, 2}, {{}, 2}, {{KEY_2}, 1}, {{KEY_1, KEY_3}, 2}, {{KEY_4, KEY_2, KEY_1}, 3},
  };
  for (const auto &s : steps) {
    hold(s.keys);
    tick();
    EXPECT_EQ(current_camera, &camera_presets[s.preset]) << s.preset;
  }
}

TEST_F(Tick, TwoEnemiesAndLavaPlayTheSampleThreeTimes)
{
  set_cell(2, 2, 0.0f, KIND_LAVA);
  place_enemy(2, 2, TOWARD_PLUS_X);
  place_enemy(2, 2, TOWARD_MINUS_Y);
  tick(4);
  EXPECT_EQ(played(snd_lava, 1), 3);
  EXPECT_EQ(played(snd_lava), 3);  // one death: nothing more while dead
}

TEST_F(Tick, NothingButTheEnemiesMovesWhileDeadOrPausedNoRevivalInThePause)
{
  for (bool paused : {false, true}) {
    SCOPED_TRACE(paused ? "paused" : "dead");
    start_flat_level();
    place_enemy(8, 8, TOWARD_PLUS_X);
    place_drop(2, 2);  // under the hero
    hero_dead = 1;
    level_phase = paused;  // paused: as after dying in the tick of the last drop
    hold({KEY_UP, KEY_LEFT, KEY_3, KEY_F12, KEY_TAB, KEY_END});
    key[KEY_SPACE] = paused;
    tick(5);
    EXPECT_EQ(std::vector<long>({std::lround(hero_x * 10), std::lround(hero_z * 10), hero_heading, drops_left,
                                 lives, std::lround(enemies[0].x * 10), level_phase}),
              std::vector<long>({40, 0, 0, 1, 3, 170, paused ? 6 : 0}));
    EXPECT_EQ(current_camera, &camera_presets[1]);
    EXPECT_NE(access("vgrab-000.tga", F_OK), 0);
    EXPECT_EQ(played(snd_jump) + played(snd_get_drop), 0);
  }
}

TEST_F(Tick, RevivalSpendsALifeEvenTheLastAtTheStartAndJumps)
{
  for (int lives_before : {3, 1}) {
    start_flat_level();
    lives = lives_before;
    hero_x = 12.0f;
    hero_dead = 1;
    simulate_keypress(KEY_A << 8 | 'a');  // emptied from the keyboard buffer
    hold({KEY_SPACE});
    int t = tick();
    EXPECT_EQ(std::vector<int>({hero_dead, lives, (int)hero_x, played(snd_jump, t), keypressed()}),
              std::vector<int>({0, lives_before - 1, start_x, 1, 0}));
  }
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
    ASSERT_GE(cell_index(enemies[1].x), 0);
    ASSERT_LT(cell_index(enemies[2].y), GRID_SIZE);
    turns += enemies[0].direction != direction;
  }
  EXPECT_EQ(turns, 9);  // one at each end of the cell after walking its whole width, 9 to 11
  EXPECT_EQ(std::vector<int>({enemies[1].direction, enemies[2].direction}),
            std::vector<int>({TOWARD_PLUS_X, TOWARD_MINUS_Y}));  // turned at the grid edge
}

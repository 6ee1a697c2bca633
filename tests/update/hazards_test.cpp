// Lava, enemies, death and revival, drops, camera keys and the hot keys, tick
// by tick on the real world_update; and the enemies' patrol.
#include "tests/update/play_world.h"

#include "game/update.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

// Walks the hero forward (heading 0) until its centre has entered cell x;
// returns the tick in which it did.
int walk_into_column(int x)
{
  hold({KEY_UP});
  int t = 0;
  while (cell_index(hero_x) < x && t < 100)
    t = tick();
  return t;
}

// Runs the test body in a fresh temporary folder, so that anything written
// to the working directory (screenshots) stays there.
class InTempFolder {
public:
  InTempFolder()
  {
    char pattern[] = "/tmp/pilko-update-XXXXXX";
    folder_ = mkdtemp(pattern);
    previous_ = getcwd(nullptr, 0);
    EXPECT_EQ(chdir(folder_.c_str()), 0);
  }
  ~InTempFolder()
  {
    EXPECT_EQ(chdir(previous_), 0);
    std::free(previous_);
    std::system(("rm -rf " + folder_).c_str());
  }

private:
  std::string folder_;
  char *previous_;
};

bool file_exists(const char *name) { return access(name, F_OK) == 0; }

// Every key the hero's controls read except SPACE, held at once.
void hold_every_control_but_space()
{
  hold({KEY_UP, KEY_LEFT, KEY_3, KEY_F12, KEY_TAB, KEY_END});
}

class Lava : public PlayTest {};
class Drops : public PlayTest {};
class Camera : public PlayTest {};
class Contact : public PlayTest {};
class Death : public PlayTest {};
class Revival : public PlayTest {};
class Pause : public PlayTest {};
class LevelSkip : public PlayTest {};
class Patrol : public PlayTest {};

}  // namespace

// ---- Lava -----------------------------------------------------------------------

TEST_F(Lava, FloorKillsAGroundedHeroAsItsCentreEnters)
{
  set_cell(3, 2, 0.0f, KIND_LAVA);
  int t = walk_into_column(3);
  EXPECT_EQ(hero_dead, 1);
  EXPECT_EQ(played(snd_lava), 1);
  EXPECT_EQ(last_played(snd_lava), t);
}

TEST_F(Lava, LowLavaStepIsEnteredAndKills)
{
  set_cell(3, 2, 0.2f, KIND_LAVA);
  int t = walk_into_column(3);
  EXPECT_FLOAT_EQ(hero_z, 0.2f);
  EXPECT_EQ(hero_dead, 1);
  EXPECT_EQ(last_played(snd_lava), t);
}

TEST_F(Lava, RaisedBlockKillsAndTheStepIsStillTaken)
{
  set_cell(3, 2, 1.0f, KIND_LAVA);
  hold({KEY_UP});
  tick();
  EXPECT_EQ(hero_dead, 0);
  tick();  // the probe reaches 5.1, inside the lava block
  EXPECT_EQ(hero_dead, 1);
  EXPECT_EQ(played_in(snd_lava, 2), 1);
  EXPECT_FLOAT_EQ(hero_x, 4.3f);
}

TEST_F(Lava, RaisedBlockKillsInMidAir)
{
  set_cell(3, 2, 1.0f, KIND_LAVA);
  hold({KEY_SPACE});
  tick();
  release_keys();
  ticks(4);  // up to 0.5
  hold({KEY_UP});
  tick();
  EXPECT_EQ(hero_dead, 0);
  int t = tick();
  EXPECT_EQ(hero_dead, 1);
  EXPECT_EQ(hero_airborne, 1);
  EXPECT_EQ(played_in(snd_lava, t), 1);
}

TEST_F(Lava, FloorDoesNoHarmToAHeroInTheAir)
{
  for (int x = 3; x <= 4; x++)
    set_cell(x, 2, 0.0f, KIND_LAVA);
  hold({KEY_UP, KEY_SPACE});
  tick();
  hold({KEY_UP});
  ticks(40);  // over both lava cells and down beyond them
  EXPECT_EQ(cell_index(hero_x), 5);
  EXPECT_EQ(hero_dead, 0);
  EXPECT_EQ(played(snd_lava), 0);
}

TEST_F(Lava, LowerLavaKillsInTheLandingTick)
{
  set_cell(2, 2, 1.0f);
  set_cell(3, 2, 0.0f, KIND_LAVA);
  tick();  // onto the start block
  walk_into_column(3);
  release_keys();
  EXPECT_EQ(hero_dead, 0);  // falling
  int t = tick();
  while (hero_airborne && t < 50)
    t = tick();
  EXPECT_EQ(last_played(snd_land), t);
  EXPECT_EQ(last_played(snd_lava), t);
  EXPECT_EQ(hero_dead, 1);
}

// ---- Drops ----------------------------------------------------------------------

TEST_F(Drops, CollectedInTheTickTheCentreEnters)
{
  place_drop(3, 2);
  int t = walk_into_column(3);
  EXPECT_EQ(drop_grid[3][2], 0);
  EXPECT_EQ(drops_left, 0);
  EXPECT_EQ(played(snd_get_drop), 1);
  EXPECT_EQ(last_played(snd_get_drop), t);
}

TEST_F(Drops, WhereTheHeroLandsCollectedTheTickAfter)
{
  place_drop(3, 2);  // passed over in the air
  place_drop(5, 2);  // where the jump comes down
  hold({KEY_UP, KEY_SPACE});
  tick();
  hold({KEY_UP});
  ticks(34);
  EXPECT_EQ(last_played(snd_land), 35);
  EXPECT_EQ(cell_index(hero_x), 5);
  EXPECT_EQ(drop_grid[5][2], 1);
  tick();
  EXPECT_EQ(drop_grid[5][2], 0);
  EXPECT_EQ(last_played(snd_get_drop), 36);
  EXPECT_EQ(drop_grid[3][2], 1);
  EXPECT_EQ(drops_left, 1);
}

TEST_F(Drops, OnALowerCellCollectedBeforeTheFall)
{
  set_cell(2, 2, 1.0f);
  place_drop(3, 2);
  tick();
  int t = walk_into_column(3);
  EXPECT_EQ(hero_airborne, 1);  // falls in this very tick
  EXPECT_EQ(last_played(snd_get_drop), t);
  EXPECT_EQ(drops_left, 0);
}

// ---- Camera keys ----------------------------------------------------------------

TEST_F(Camera, NumberKeysChooseThePresets)
{
  const int keys[] = {KEY_1, KEY_2, KEY_3, KEY_4};
  for (int i = 0; i < 4; i++) {
    hold({keys[i]});
    tick();
    EXPECT_EQ(current_camera, &camera_presets[i]);
  }
  release_keys();
  tick();
  EXPECT_EQ(current_camera, &camera_presets[3]);  // stays when let go
}

TEST_F(Camera, HighestHeldNumberWins)
{
  hold({KEY_1, KEY_3});
  tick();
  EXPECT_EQ(current_camera, &camera_presets[2]);
  hold({KEY_4, KEY_2, KEY_1});
  tick();
  EXPECT_EQ(current_camera, &camera_presets[3]);
}

// ---- Enemy contact --------------------------------------------------------------

TEST_F(Contact, TwoEnemiesAndLavaPlayTheSampleThreeTimes)
{
  set_cell(2, 2, 0.0f, KIND_LAVA);
  place_enemy(2, 2, TOWARD_PLUS_X);
  place_enemy(2, 2, TOWARD_MINUS_Y);
  tick();
  EXPECT_EQ(hero_dead, 1);
  EXPECT_EQ(played_in(snd_lava, 1), 3);
  ticks(3);
  EXPECT_EQ(played(snd_lava), 3);  // one death: nothing more while dead
}

TEST_F(Contact, BoxIsOnePointTwoAcrossAndPointEightHigh)
{
  // Direction 9 is no patrol direction: the enemy stands still but touches.
  place_enemy(2, 2, 9);
  struct { float dx, dy, dz; int dead; } cases[] = {
    {1.19f, 0.0f, 0.0f, 1}, {1.21f, 0.0f, 0.0f, 0}, {0.0f, -1.19f, 0.0f, 1},
    {0.0f, -1.21f, 0.0f, 0}, {0.0f, 0.0f, 0.79f, 1}, {0.0f, 0.0f, 0.81f, 0},
  };
  for (const auto &c : cases) {
    start_flat_level();
    place_enemy(2, 2, 9);
    enemies[0].x = 4.0f + c.dx;
    enemies[0].y = 4.0f + c.dy;
    enemies[0].z = c.dz;
    tick();
    EXPECT_EQ(hero_dead, c.dead) << c.dx << " " << c.dy << " " << c.dz;
  }
}

TEST_F(Death, NothingButTheEnemiesMovesWhileDead)
{
  InTempFolder folder;
  place_enemy(8, 8, TOWARD_PLUS_X);
  place_drop(9, 9);
  hero_dead = 1;
  hold_every_control_but_space();
  ticks(5);
  EXPECT_FLOAT_EQ(hero_x, 4.0f);
  EXPECT_EQ(hero_heading, 0);
  EXPECT_EQ(current_camera, &camera_presets[1]);
  EXPECT_EQ(drops_left, 1);
  EXPECT_FALSE(file_exists("vgrab-000.tga"));
  EXPECT_EQ(lives, 3);
  EXPECT_FLOAT_EQ(enemies[0].x, 17.0f);
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
  ticks(20);
  EXPECT_EQ(lives, 3);
  EXPECT_EQ(hero_dead, 1);
  EXPECT_EQ(level_phase, 21);
}

TEST_F(Revival, SpaceRevivesAtTheStartAndJumpsInTheSameTick)
{
  hero_x = 12.0f;
  hero_y = 9.0f;
  hero_heading = 90;
  hero_dead = 1;
  ticks(10);  // waits
  EXPECT_EQ(lives, 3);
  hold({KEY_SPACE});
  int t = tick();
  EXPECT_EQ(hero_dead, 0);
  EXPECT_EQ(lives, 2);
  EXPECT_FLOAT_EQ(hero_x, (float)start_x);
  EXPECT_FLOAT_EQ(hero_y, (float)start_y);
  EXPECT_EQ(hero_heading, 90);
  EXPECT_EQ(played_in(snd_jump, t), 1);
  EXPECT_EQ(hero_airborne, 1);
}

TEST_F(Revival, EmptiesTheKeyboardBuffer)
{
  simulate_keypress(KEY_A << 8 | 'a');
  ASSERT_TRUE(keypressed());
  hero_dead = 1;
  hold({KEY_SPACE});
  tick();
  EXPECT_FALSE(keypressed());
}

TEST_F(Revival, TheLastLifeBringsLivesToZero)
{
  lives = 1;
  hero_dead = 1;
  ticks(30);
  EXPECT_EQ(lives, 1);
  hold({KEY_SPACE});
  tick();
  EXPECT_EQ(lives, 0);
}

// ---- The level-complete pause ---------------------------------------------------

TEST_F(Pause, OnlyTheEnemiesMoveAndThePhaseCounts)
{
  InTempFolder folder;
  place_enemy(8, 8, TOWARD_PLUS_Y);
  place_drop(2, 2);  // under the hero: not collected during the pause
  level_phase = 1;
  hold({KEY_UP, KEY_LEFT, KEY_SPACE, KEY_3, KEY_F12, KEY_TAB, KEY_END});
  ticks(5);
  EXPECT_EQ(level_phase, 6);
  EXPECT_FLOAT_EQ(hero_x, 4.0f);
  EXPECT_FLOAT_EQ(hero_z, 0.0f);
  EXPECT_EQ(hero_heading, 0);
  EXPECT_EQ(drops_left, 1);
  EXPECT_EQ(current_camera, &camera_presets[1]);
  EXPECT_FALSE(file_exists("vgrab-000.tga"));
  EXPECT_EQ(played(snd_jump) + played(snd_get_drop), 0);
  EXPECT_FLOAT_EQ(enemies[0].y, 17.0f);
}

// ---- Level skip -----------------------------------------------------------------

TEST_F(LevelSkip, TabWithEndEmptiesTheCountButLeavesTheDrops)
{
  place_drop(10, 10);
  place_drop(11, 10);
  hold({KEY_TAB});
  tick();
  hold({KEY_END});
  tick();
  EXPECT_EQ(drops_left, 2);
  hold({KEY_TAB, KEY_END});
  tick();
  EXPECT_EQ(drops_left, 0);
  EXPECT_EQ(drop_grid[10][10], 1);
  EXPECT_EQ(drop_grid[11][10], 1);
}

// ---- Enemy patrol ---------------------------------------------------------------

TEST_F(Patrol, TurnsBackAtAHeightDifferenceOfOneHundredth)
{
  set_cell(7, 2, 0.01f);
  place_enemy(3, 2, TOWARD_PLUS_X);
  float furthest = 0.0f;
  int turned_at = 0;
  for (int t = 1; t <= 60; t++) {
    float before = enemies[0].x;
    enemies_patrol();
    if (enemies[0].x > furthest)
      furthest = enemies[0].x;
    if (!turned_at && enemies[0].direction == TOWARD_MINUS_X) {
      turned_at = t;
      EXPECT_EQ(enemies[0].x, before);  // stands still as it turns
    }
  }
  EXPECT_GT(turned_at, 0);
  EXPECT_EQ(cell_index(furthest), 6);
  EXPECT_GT(furthest, 12.7f);
  EXPECT_FLOAT_EQ(enemies[0].y, 4.0f);
}

TEST_F(Patrol, StaysInsideItsOneCellBetweenHigherNeighbours)
{
  set_cell(4, 5, 0.5f);
  set_cell(6, 5, 0.5f);
  place_enemy(5, 5, TOWARD_PLUS_X);
  int still_ticks = 0, turns = 0;
  int direction = enemies[0].direction;
  for (int t = 0; t < 100; t++) {
    float before = enemies[0].x;
    enemies_patrol();
    ASSERT_EQ(cell_index(enemies[0].x), 5) << "tick " << t;
    if (enemies[0].x == before)
      still_ticks++;
    else
      EXPECT_NEAR(std::abs(enemies[0].x - before), 0.2f, 1e-5);
    if (enemies[0].direction != direction) {
      turns++;
      direction = enemies[0].direction;
    }
  }
  EXPECT_GE(turns, 9);
  EXPECT_EQ(still_ticks, turns);
}

TEST_F(Patrol, TurnsAtTheEdgeOfTheGrid)
{
  // The flat test level has no enclosing walls.
  place_enemy(1, 3, TOWARD_MINUS_X);
  place_enemy(3, 23, TOWARD_PLUS_Y);
  for (int t = 0; t < 60; t++) {
    enemies_patrol();
    ASSERT_GE(cell_index(enemies[0].x), 0);
    ASSERT_LT(cell_index(enemies[1].y), GRID_SIZE);
  }
  EXPECT_EQ(enemies[0].direction, TOWARD_PLUS_X);
  EXPECT_EQ(enemies[1].direction, TOWARD_MINUS_Y);
}

TEST_F(Patrol, FreeSlotsAndOtherDirectionsStandStill)
{
  place_enemy(5, 5, NO_ENEMY);
  place_enemy(7, 7, 4);
  ticks(5);
  EXPECT_FLOAT_EQ(enemies[0].x, 10.0f);
  EXPECT_FLOAT_EQ(enemies[0].y, 10.0f);
  EXPECT_FLOAT_EQ(enemies[1].x, 14.0f);
  EXPECT_FLOAT_EQ(enemies[1].y, 14.0f);
}

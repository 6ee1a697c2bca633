// The hero's motion tick by tick on the real world_update: turning, walking
// against walls, climbing, jumping and falling.
#include "tests/update/play_world.h"

#include "game/update.h"

#include <cmath>
#include <vector>

namespace {

// Raises the whole column of cells x to height: a wall across the level.
void raise_column(int x, float height)
{
  for (int y = 0; y < GRID_SIZE; y++)
    set_cell(x, y, height);
}

// Holds keys for one tick, then lets them go.
int tap(std::initializer_list<int> keys)
{
  hold(keys);
  int t = tick();
  release_keys();
  return t;
}

class Heading : public PlayTest {};
class Walk : public PlayTest {};
class Climb : public PlayTest {};
class Jump : public PlayTest {};
class Fall : public PlayTest {};

}  // namespace

// ---- Heading -------------------------------------------------------------------

TEST_F(Heading, LeftReachesExactly360ThenWraps)
{
  hero_heading = 352;
  hold({KEY_LEFT});
  tick();
  EXPECT_EQ(hero_heading, 360);  // 360 itself is kept
  tick();
  EXPECT_EQ(hero_heading, 8);
}

TEST_F(Heading, RightFromZeroGoesTo352)
{
  hold({KEY_RIGHT});
  tick();
  EXPECT_EQ(hero_heading, 352);
  tick();
  EXPECT_EQ(hero_heading, 344);
}

TEST_F(Heading, BothTurnKeysCancel)
{
  hold({KEY_LEFT, KEY_RIGHT});
  for (int heading : {0, 100, 356}) {
    hero_heading = heading;
    tick();
    EXPECT_EQ(hero_heading, heading);
  }
  hero_heading = 360;  // left wraps past 360 to 8, right brings it to 0
  tick();
  EXPECT_EQ(hero_heading, 0);
}

TEST_F(Heading, NinetyDegreesWalksTowardPlusY)
{
  hero_heading = 90;
  hold({KEY_UP});
  ticks(4);
  EXPECT_NEAR(hero_y, 4.6f, 1e-5);
  EXPECT_NEAR(hero_x, 4.0f, 1e-4);  // only the truncated degree factor's drift
}

// ---- Walking against walls ------------------------------------------------------

TEST_F(Walk, StopsShortOfAWallAt4_15)
{
  raise_column(3, 1.0f);  // cells from x = 5 to 7
  hold({KEY_UP});
  tick();
  EXPECT_FLOAT_EQ(hero_x, 4.15f);
  ticks(10);
  EXPECT_FLOAT_EQ(hero_x, 4.15f);  // the front of the sphere rests 0.05 short
  EXPECT_FLOAT_EQ(hero_y, 4.0f);
  EXPECT_EQ(hero_dead, 0);
}

TEST_F(Walk, SlidesAlongAWallMetAtAnAngle)
{
  raise_column(3, 1.0f);
  hero_heading = 45;
  hold({KEY_UP});
  ticks(6);  // by now pressed against the wall
  float x_at_wall = hero_x;
  EXPECT_LT(x_at_wall, 5.0f - 0.8f * std::cos(0.785398f));
  for (int i = 0; i < 10; i++) {
    float y_before = hero_y;
    tick();
    EXPECT_FLOAT_EQ(hero_x, x_at_wall);
    EXPECT_NEAR(hero_y - y_before, 0.15f * std::sin(0.785398f), 1e-4);
  }
}

TEST_F(Walk, ForwardAndBackwardTogetherStayPutOnOpenGround)
{
  hero_heading = 30;
  hold({KEY_UP, KEY_DOWN});
  ticks(20);
  EXPECT_NEAR(hero_x, 4.0f, 1e-5);
  EXPECT_NEAR(hero_y, 4.0f, 1e-5);
}

TEST_F(Walk, ForwardAndBackwardWithAWallAheadBacksAway)
{
  raise_column(3, 1.0f);
  hero_x = 4.15f;  // pressed against the wall
  hold({KEY_UP, KEY_DOWN});
  tick();  // forward refused, backward taken
  EXPECT_FLOAT_EQ(hero_x, 4.0f);
  ticks(5);  // from here both steps are free again and cancel
  EXPECT_FLOAT_EQ(hero_x, 4.0f);
}

TEST_F(Walk, DiagonalNeighbourNeverBlocks)
{
  set_cell(3, 3, 5.0f);  // only touches the hero's circle diagonally
  hero_x = 4.9f;
  hero_y = 4.9f;
  hold({KEY_UP});
  tick();
  EXPECT_FLOAT_EQ(hero_x, 5.05f);
}

TEST_F(Walk, NeverLeavesAGridWithoutEnclosingWalls)
{
  // The flat test level has no walls: the grid's edge must act as one.
  hero_heading = 180;
  hold({KEY_UP});
  ticks(200);
  EXPECT_GE(cell_index(hero_x), 0);
  EXPECT_GT(hero_x, -3.0f);
  hero_heading = 90;
  ticks(400);
  EXPECT_LT(cell_index(hero_y), GRID_SIZE);
  EXPECT_EQ(hero_dead, 0);
  EXPECT_FLOAT_EQ(hero_z, 0.0f);
}

// ---- Climbing -------------------------------------------------------------------

TEST_F(Climb, StepsOntoACellAQuarterHigherAsItsCentreEnters)
{
  set_cell(3, 2, 0.25f);
  hold({KEY_UP});
  for (int t = 1; t <= 6; t++) {
    tick();
    ASSERT_LT(hero_x, 5.0f);
    EXPECT_FLOAT_EQ(hero_z, 0.0f) << "tick " << t;
  }
  tick();  // the centre crosses x = 5
  EXPECT_GE(hero_x, 5.0f);
  EXPECT_FLOAT_EQ(hero_z, 0.25f);
  EXPECT_EQ(hero_airborne, 0);
  EXPECT_EQ(played(snd_land), 0);  // stepping up is silent
}

TEST_F(Climb, BlockedByACellPointThreeFiveHigher)
{
  set_cell(3, 2, 0.35f);
  hold({KEY_UP});
  ticks(10);
  EXPECT_FLOAT_EQ(hero_x, 4.15f);
  EXPECT_FLOAT_EQ(hero_z, 0.0f);
}

TEST_F(Climb, FirstTickLiftsTheHeroOntoARaisedStartCell)
{
  set_cell(2, 2, 1.5f);
  tick();
  EXPECT_FLOAT_EQ(hero_z, 1.5f);
  EXPECT_EQ(hero_airborne, 0);
}

// ---- Jumping --------------------------------------------------------------------

TEST_F(Jump, WholeTimelineOnLevelGround)
{
  EXPECT_EQ(tap({KEY_SPACE}), 1);
  EXPECT_EQ(played_in(snd_jump, 1), 1);
  std::vector<float> z = {0.0f};
  for (int t = 1; t <= 40; t++) {
    if (t > 1)
      tick();
    z.push_back(hero_z);
    if (t < 35) {
      EXPECT_EQ(hero_airborne, 1) << "tick " << t;
    }
  }
  for (int t = 1; t <= 17; t++)  // 17 rising ticks, the take-off tick first
    EXPECT_NEAR(z[t], 0.1f * t, 1e-4) << "tick " << t;
  EXPECT_NEAR(z[17], 1.7f, 1e-4);
  EXPECT_NEAR(z[18], 1.7f, 1e-4);  // the timer runs out: rise and fall cancel
  for (int t = 19; t <= 34; t++)
    EXPECT_NEAR(z[t], 1.7f - 0.1f * (t - 18), 1e-4) << "tick " << t;
  EXPECT_EQ(z[35], 0.0f);
  EXPECT_EQ(hero_airborne, 0);
  EXPECT_EQ(played(snd_land), 1);  // once: the hero stands still afterwards
  EXPECT_EQ(last_played(snd_land), 35);
  EXPECT_EQ(played(snd_jump), 1);
}

TEST_F(Jump, HeldSpaceJumpsAgainTheTickAfterLanding)
{
  hold({KEY_SPACE});
  ticks(71);
  EXPECT_EQ(played(snd_jump), 3);
  EXPECT_EQ(played_in(snd_jump, 1), 1);
  EXPECT_EQ(played_in(snd_jump, 36), 1);
  EXPECT_EQ(played_in(snd_jump, 71), 1);
  EXPECT_EQ(played_in(snd_land, 35), 1);
  EXPECT_EQ(played_in(snd_land, 70), 1);
  EXPECT_EQ(played(snd_land), 2);
}

TEST_F(Jump, CarriesTheHeroOntoABlockWithARunningStart)
{
  for (int x = 3; x < GRID_SIZE; x++)
    raise_column(x, 1.5f);
  hero_x = 2.0f;
  hold({KEY_UP, KEY_SPACE});
  tick();
  hold({KEY_UP});
  ticks(30);
  EXPECT_GE(cell_index(hero_x), 3);
  EXPECT_FLOAT_EQ(hero_z, 1.5f);
  EXPECT_EQ(hero_airborne, 0);
  EXPECT_EQ(played(snd_land), 1);
}

// ---- Falling --------------------------------------------------------------------

TEST_F(Fall, WalkingOffALedgeFallsInTheSameTick)
{
  set_cell(2, 2, 1.0f);
  tick();  // onto the start block
  hold({KEY_UP});
  int t = 1;
  while (hero_x < 5.0f) {
    t = tick();
    ASSERT_LT(t, 20);
    if (hero_x < 5.0f) {
      EXPECT_FLOAT_EQ(hero_z, 1.0f);
    }
  }
  EXPECT_NEAR(hero_z, 0.9f, 1e-5);  // the centre left the ledge: falling
  EXPECT_EQ(hero_airborne, 1);
  release_keys();
  ticks(8);
  EXPECT_EQ(played(snd_land), 0);
  tick();
  EXPECT_EQ(played_in(snd_land, t + 9), 1);
  EXPECT_EQ(hero_z, 0.0f);
  EXPECT_EQ(hero_airborne, 0);
}

TEST_F(Fall, CaughtOutsideTheBandLandsATickLater)
{
  set_cell(2, 2, 1.0f);
  set_cell(3, 2, 0.97f);  // 0.9 after one fall step: 0.07 below, outside the band
  tick();
  hold({KEY_UP});
  int t = 1;
  while (hero_x < 5.0f)
    t = tick();
  EXPECT_FLOAT_EQ(hero_z, 0.97f);  // a fall never passes through a surface
  EXPECT_EQ(hero_airborne, 1);
  EXPECT_EQ(played(snd_land), 0);
  t = tick();
  EXPECT_EQ(played_in(snd_land, t), 1);
  EXPECT_EQ(hero_airborne, 0);
}

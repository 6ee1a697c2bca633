// What reset_world changes and what it leaves alone, and the cell a position lies in.
#include <gtest/gtest.h>
#include "world/world.h"


TEST(World, ResetPutsTheHeroAtTheStart)
{
  hero_heading = 123;
  hero_x = hero_y = hero_z = 9.0f;
  hero_vz = 1.0f;
  hero_airborne = hero_dead = 1;
  hero_speed = 0.0f;
  turn_step = 1;
  start_x = start_y = 20;
  tick_count = 7;

  reset_world();

  EXPECT_EQ(hero_heading, 0);
  EXPECT_EQ(turn_step, 8);
  EXPECT_EQ(start_x, 4);
  EXPECT_EQ(start_y, 4);
  EXPECT_EQ(hero_airborne, 0);
  EXPECT_EQ(hero_dead, 0);
  EXPECT_EQ(tick_count, 0);
  EXPECT_EQ(hero_x, 4.0f);
  EXPECT_EQ(hero_y, 4.0f);
  EXPECT_EQ(hero_z, 0.0f);
  EXPECT_EQ(hero_speed, 0.15f);
  EXPECT_EQ(hero_vz, 0.0f);
}

TEST(World, ResetEmptiesEveryEnemySlot)
{
  for (enemy &e : enemies)
    e = enemy{1.0f, 2.0f, 3.0f, 2, 0.5f};

  reset_world();

  for (const enemy &e : enemies) {
    EXPECT_EQ(e.direction, NO_ENEMY);
    EXPECT_EQ(e.x, 0.0f);
    EXPECT_EQ(e.y, 0.0f);
    EXPECT_EQ(e.z, 0.0f);
    EXPECT_EQ(e.speed, 0.2f);
  }
}

TEST(World, ResetLeavesLevelAndGameAlone)
{
  lives = 2;
  level_number = 5;
  level_phase = 17;
  drops_left = 33;
  drop_grid[3][4] = 1;
  level_map[7][8] = map_cell{4, 0, 1.5f};
  enemy_count = 6;
  current_camera = &camera_presets[3];
  end_zoom = 1.25f;
  end_spin = 40.0f;

  reset_world();

  EXPECT_EQ(lives, 2);
  EXPECT_EQ(level_number, 5);
  EXPECT_EQ(level_phase, 17);
  EXPECT_EQ(drops_left, 33);
  EXPECT_EQ(drop_grid[3][4], 1);
  EXPECT_EQ(level_map[7][8].kind, 4);
  EXPECT_EQ(level_map[7][8].height, 1.5f);
  EXPECT_EQ(enemy_count, 6);
  EXPECT_EQ(current_camera, &camera_presets[3]);
  EXPECT_EQ(end_zoom, 1.25f);
  EXPECT_EQ(end_spin, 40.0f);
  level_number = 1;
  level_phase = 0;
}

TEST(World, CellIndexTruncatesTowardZero)
{
  EXPECT_EQ(cell_index(-0.5f), 0);
  EXPECT_EQ(cell_index(-2.9f), 0);  // cell 0 reaches down to -3
  EXPECT_EQ(cell_index(0.99f), 0);
  EXPECT_EQ(cell_index(1.0f), 1);
  EXPECT_EQ(cell_index(48.9f), 24);
}

// The highest block a running jump lands on, found by search through the real world update: the
// figure the level checker warns with and the guide states.
#include "tests/support/headless.h"
#include "world/update.h"
#include "world/world.h"
#include "world/physics.h"

#include <algorithm>

namespace {

constexpr int START_X = 4, START_Y = 12;  // the hero's cell, facing the block along +x
constexpr int BLOCK_NEAR = 9, BLOCK_FAR = 12;
constexpr int MAX_HEADING = 88;           // run-ups from straight on to nearly sideways
constexpr int MAX_TAKE_OFF = 50;          // ticks of run-up tried before the jump
constexpr int FLIGHT_TICKS = 60;

// A stone floor with a block of height across the whole width at BLOCK_NEAR..BLOCK_FAR along x.
void build_level(float height)
{
  reset_world();
  for (int x = 0; x < GRID_SIZE; x++)
    for (int y = 0; y < GRID_SIZE; y++)
      level_map[x][y] = {KIND_STONE_FLOOR, 1, x >= BLOCK_NEAR && x <= BLOCK_FAR ? height : 0.0f};
  drops_left = enemy_count = level_phase = 0;
  lives = 3;
  hero_x = 2.0f * START_X;
  hero_y = 2.0f * START_Y;
}

// True when walking UP at heading from the start and pressing SPACE after take_off ticks puts the
// hero standing on the block.
bool lands(float height, int heading, int take_off)
{
  build_level(height);
  hero_heading = heading;
  std::fill(key, key + KEY_MAX, 0);
  key[KEY_UP] = 1;
  for (int tick = 0; tick < take_off + FLIGHT_TICKS; tick++) {
    key[KEY_SPACE] = tick == take_off;
    world_update();
    if (!hero_airborne && hero_z == height && cell_index(hero_x) >= BLOCK_NEAR)
      return true;
  }
  return false;
}

bool any_jump_lands(float height)
{
  for (int heading = 0; heading <= MAX_HEADING; heading += 8)
    for (int take_off = 0; take_off < MAX_TAKE_OFF; take_off++)
      if (lands(height, heading, take_off))
        return true;
  return false;
}

// The highest block height (to 0.01) that some running jump lands on.
float highest_landing()
{
  float low = 0.5f, high = 3.0f;  // lands on the one, not on the other
  while (high - low > 0.01f) {
    float middle = (low + high) / 2;
    (any_jump_lands(middle) ? low : high) = middle;
  }
  return low;
}

}  // namespace

TEST(JumpReach, HighestLandingIsTheCheckersFigure)
{
  start_headless_allegro();
  float measured = highest_landing();
  std::printf("highest landing of a running jump: %.3f\n", measured);
  EXPECT_NEAR(measured, JUMP_ONTO_REACH, 0.01f);
  EXPECT_LT(measured, JUMP_REACH);  // the wall rule's margin lies above every landing
}

// The world update: one 40 ms tick of enemies, hero controls, collision,
// jumping and falling, lava and enemy contact, and the two hot keys.
#include "world/update.h"
#include "world/effects.h"
#include "world/game_rules.h"
#include "world/physics.h"
#include "world/world.h"

#include <allegro.h>
#include <cmath>
#include <limits>

namespace {

// Camera keys in preset order; the last one held wins.
const int camera_keys[CAMERA_PRESET_COUNT] = {KEY_1, KEY_2, KEY_3, KEY_4};

// What the hero meets beyond the edge of the grid: a wall no jump can clear.
// Levels are enclosed by walls, so only a broken level ever reaches it.
const map_cell boundary_wall = {KIND_METAL, 1, std::numeric_limits<float>::infinity()};

bool on_grid(int x, int y)
{
  return x >= 0 && x < GRID_SIZE && y >= 0 && y < GRID_SIZE;
}

// The cell at grid index (x, y) as the hero sees it; off the grid, a wall.
const map_cell &hero_cell_at(int x, int y)
{
  return on_grid(x, y) ? level_map[x][y] : boundary_wall;
}

// The hero's grid cell, kept up to date by the steps of one tick.
struct grid_cell {
  int x, y;
};

// ---- Hero controls ------------------------------------------------------------

void turn_hero()
{
  if (key[KEY_LEFT]) {
    hero_heading += turn_step;
    if (hero_heading > HEADING_WRAP)
      hero_heading -= HEADING_WRAP;
  }
  if (key[KEY_RIGHT]) {
    hero_heading -= turn_step;
    if (hero_heading < 0)
      hero_heading += HEADING_WRAP;
  }
}

// Kills the hero; the rest of the tick still runs.
void kill_hero()
{
  hero_dead = 1;
  play_effect(snd_lava);
}

// Moves the hero along one axis (x when along_x, else y) by its share t of
// the walking direction, forward (sign +1) or backward (-1), unless a wall
// stands one hero radius beyond the new position. other_index is the hero's
// cell on the other axis. Returns the hero's new cell index on this axis.
int axis_step(float &coordinate, double t, float sign, bool along_x, int other_index)
{
  float move = (float)(t * hero_speed);
  float probe = (float)(t * PROBE_REACH);
  int probe_index = cell_index(coordinate + sign * (move + probe));
  int tested_x = along_x ? probe_index : other_index;
  int tested_y = along_x ? other_index : probe_index;
  const map_cell &tested = hero_cell_at(tested_x, tested_y);
  if (tested.height - hero_z > CLIMB_LIMIT) {
    if (tested.kind == KIND_LAVA) {
      if (hero_dead == 0) {  // the first burn kills; later ones in the tick only sound
        fatal_lava_block_x = tested_x;
        fatal_lava_block_y = tested_y;
      }
      kill_hero();
      coordinate += sign * move;  // a lava wall burns, it does not stop
    }
  } else {
    coordinate += sign * move;
  }
  return cell_index(coordinate);
}

// One walking step, x axis first: a refused x step does not stop the y step,
// so the hero slides along a wall met at an angle.
void walk(float sign, grid_cell &cell)
{
  double angle = hero_heading * DEGREE_FACTOR;
  cell.x = axis_step(hero_x, std::cos(angle), sign, true, cell.y);
  cell.y = axis_step(hero_y, std::sin(angle), sign, false, cell.x);
}

// Collects the drop under a grounded hero. The airborne flag is the one the
// previous tick left, so a drop where the hero lands goes a tick later.
void pick_up_drop(grid_cell cell)
{
  if (!on_grid(cell.x, cell.y) || drop_grid[cell.x][cell.y] != 1 || hero_airborne != 0)
    return;
  drop_grid[cell.x][cell.y] = 0;
  drops_left--;
  play_effect(snd_get_drop);
}

void choose_camera()
{
  for (int i = 0; i < CAMERA_PRESET_COUNT; i++)
    if (key[camera_keys[i]])
      current_camera = &camera_presets[i];
}

void jump()
{
  if (!key[KEY_SPACE] || hero_airborne != 0)
    return;
  hero_airborne = 1;
  hero_vz = JUMP_TIMER_START;
  play_effect(snd_jump);
}

// Rise, fall, landing and step-up, in this order, over the hero's cell.
// hero_vz is a timer: the hero rises a constant step while it runs.
void move_vertically(grid_cell cell)
{
  float h = hero_cell_at(cell.x, cell.y).height;
  if (hero_vz != 0.0f) {
    hero_z += VERTICAL_STEP;
    hero_vz -= VERTICAL_STEP;
    if (hero_vz <= TIMER_CUT_OFF)
      hero_vz = 0.0f;
  }
  if (hero_z > h && hero_vz == 0.0f) {
    hero_z -= VERTICAL_STEP;
    hero_airborne = 1;
  }
  if (std::fabs(hero_z - h) < LANDING_BAND) {
    if (hero_airborne != 0)
      play_effect(snd_land);
    hero_airborne = 0;
    // Come to rest on the surface itself: the rounding of the tenth steps
    // leaves a falling hero a hair above it, which the fall rule would
    // otherwise take for a ledge in the next tick, with a second landing
    // after it. A hero still rising keeps its height.
    if (hero_vz == 0.0f)
      hero_z = h;
  }
  if (h > hero_z)
    hero_z = h;  // a fall never passes through a surface
}

void touch_lava_floor(grid_cell cell)
{
  if (hero_cell_at(cell.x, cell.y).kind == KIND_LAVA && hero_airborne == 0)
    kill_hero();
}

// Every enemy whose box overlaps the hero kills it and sounds once more.
void touch_enemies()
{
  for (int i = 0; i < enemy_count; i++) {
    const enemy &e = enemies[i];
    if (e.direction == NO_ENEMY)
      continue;
    if (within_enemy_reach(e.x - hero_x, e.y - hero_y, e.z - hero_z))
      kill_hero();
  }
}

// Revives a dead hero at the start point when SPACE is held; false while the
// hero stays dead.
bool wait_or_revive()
{
  if (hero_dead == 0)
    return true;
  if (!key[KEY_SPACE])
    return false;
  lives--;
  hero_x = (float)start_x;
  hero_y = (float)start_y;
  hero_dead = 0;
  clear_keybuf();  // key[] keeps SPACE held: the same tick may jump
  return true;
}

// ---- Enemies --------------------------------------------------------------------

// How each patrol direction moves, and what it turns into at a change of height.
struct patrol_rule {
  int moves_along_x;  // 1 for the x axis, 0 for y
  float sign;
  int reverse;
};

const patrol_rule patrol_rules[] = {
  {0, -1.0f, TOWARD_PLUS_Y},   // TOWARD_MINUS_Y
  {1, +1.0f, TOWARD_MINUS_X},  // TOWARD_PLUS_X
  {0, +1.0f, TOWARD_MINUS_Y},  // TOWARD_PLUS_Y
  {1, -1.0f, TOWARD_PLUS_X},   // TOWARD_MINUS_X
};
constexpr int PATROL_DIRECTION_COUNT = sizeof patrol_rules / sizeof patrol_rules[0];

// True when an enemy at height z may stand on cell (x, y): the cell is on the
// grid and exactly as high. Beyond the grid counts as a change of height.
bool enemy_may_enter(int x, int y, float z)
{
  return on_grid(x, y) && level_map[x][y].height == z;
}

void patrol_one(enemy &e)
{
  if (e.direction < 0 || e.direction >= PATROL_DIRECTION_COUNT)
    return;  // a free slot, or a direction that does not move
  const patrol_rule &rule = patrol_rules[e.direction];
  float &coordinate = rule.moves_along_x ? e.x : e.y;
  float before = coordinate;
  coordinate += rule.sign * e.speed;
  if (!enemy_may_enter(cell_index(e.x), cell_index(e.y), e.z)) {
    coordinate = before;  // exactly where it was: it stands still as it turns
    e.direction = rule.reverse;
  }
}

}  // namespace

void (*screenshot_hook)();

void enemies_patrol()
{
  for (int i = 0; i < enemy_count; i++)
    patrol_one(enemies[i]);
}

void world_update()
{
  enemies_patrol();
  if (level_phase != PHASE_PLAYING) {
    level_phase++;  // the level-complete pause: nothing but the enemies moves
    return;
  }
  if (!wait_or_revive())
    return;
  grid_cell cell = {cell_index(hero_x), cell_index(hero_y)};
  turn_hero();
  if (key[KEY_UP])
    walk(+1.0f, cell);
  if (key[KEY_DOWN])
    walk(-1.0f, cell);
  pick_up_drop(cell);
  choose_camera();
  jump();
  move_vertically(cell);
  touch_lava_floor(cell);
  touch_enemies();
  if (key[KEY_F12] && screenshot_hook)
    screenshot_hook();
  if (key[KEY_TAB] && key[KEY_END])
    drops_left = 0;  // level skip: the drops on the grid stay where they are
}

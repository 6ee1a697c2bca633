// The world's physics: every tuning constant of the hero and the enemies, and
// the rules that follow from them, in one place for the world update, the
// level checker and the simulator. Plain C++ (no Allegro, no OpenGL).
#pragma once

#include <cmath>

// ---- What reset_world gives the hero and the enemies --------------------------

constexpr float HERO_SPEED = 0.15f;   // distance walked per tick
constexpr int TURN_STEP = 8;          // degrees turned per tick
constexpr float ENEMY_SPEED = 0.2f;   // distance an enemy patrols per tick

// ---- The world update's constants --------------------------------------------

constexpr float PROBE_REACH = 0.8f;       // the hero's radius: walls are tested this far ahead
constexpr float CLIMB_LIMIT = 0.3f;       // a cell higher than this above the hero is a wall
constexpr float JUMP_TIMER_START = 1.8f;  // hero_vz at take-off
constexpr float VERTICAL_STEP = 0.1f;     // rise or fall per tick
constexpr float TIMER_CUT_OFF = 0.05f;    // a jump timer this low has run out
constexpr float LANDING_BAND = 0.05f;     // the hero stands on a surface this close to it
constexpr float ENEMY_REACH_XY = 1.2f;    // contact box around the hero, each horizontal axis
constexpr float ENEMY_REACH_Z = 0.8f;     // contact box around the hero, vertically
// Degrees to radians. A truncated pi/180 rather than 0.0174532925: the walk's
// small sideways drift at 90, 180 and 270 degrees comes from it and is kept.
constexpr double DEGREE_FACTOR = 0.01745328;
// The heading is kept within 0..360 inclusive: 360 itself is not wrapped to
// 0, only values past it are.
constexpr int HEADING_WRAP = 360;

// ---- What follows from them ----------------------------------------------------

// The height a jump lifts the hero's feet: the timer rises a step a tick
// until it runs out, and the fall cancels the last step (1.8 - 0.1).
constexpr float JUMP_RISE = 1.7f;
// Ticks from take-off until the fall begins: the rise, and the tick at the top.
constexpr int JUMP_RISE_TICKS = 18;
// A wall's least height to keep the hero in: the rise plus the step the hero
// may still walk up at its top. Anything higher walls the hero in, whatever
// the run-up; it is more than any block a jump lands on.
constexpr float JUMP_REACH = JUMP_RISE + CLIMB_LIMIT;
// The highest block a running jump lands the hero on, measured from the
// world update by search (a world update test tries a hundredth below and above).
constexpr float JUMP_ONTO_REACH = 1.8f;
// How far ahead of the hero's centre a walking step tests for a wall: the
// probe beyond the step itself.
constexpr float WALL_PROBE_LEAD = PROBE_REACH + HERO_SPEED;

// True when an enemy this far from the hero (each axis, either sign) touches it.
inline bool within_enemy_reach(float dx, float dy, float dz)
{
  return std::fabs(dx) < ENEMY_REACH_XY && std::fabs(dy) < ENEMY_REACH_XY && std::fabs(dz) < ENEMY_REACH_Z;
}

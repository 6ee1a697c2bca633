// The hero's contact rules, shared by the world update and by the tools that
// reason about it (the level checker, the simulator naming a death's cause).
// No Allegro or GL here.
#pragma once

constexpr float CLIMB_LIMIT = 0.3f;     // a cell higher than this above the hero is a wall
constexpr float ENEMY_REACH_XY = 1.2f;  // contact box around the hero, each horizontal axis
constexpr float ENEMY_REACH_Z = 0.8f;   // contact box around the hero, vertically

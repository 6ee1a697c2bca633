// The level checker: what would let the hero or an enemy leave the grid, what
// the level lacks, and drops that the hero cannot reach.
#pragma once

#include "tools/level-compiler/diagnostics.h"
#include "tools/level-compiler/level_data.h"

// The hero's reach, as the world update's physics gives it.
constexpr float CLIMB_LIMIT = 0.3f;  // a step up walked without a jump
// The highest a jump lifts the hero's feet past a wall's edge (1.7 + 0.3):
// anything higher walls the hero in.
constexpr float JUMP_REACH = 2.0f;
// The highest block a jump gets the hero onto: near the top of a jump the
// hero must still cover the probe's lead (about 0.8) to bring its centre
// over the block, and it stays high enough for that only up to this.
constexpr float JUMP_ONTO_REACH = 1.8f;

// Adds to messages an error for every rule the level breaks (start and
// enemies on the grid, at most 10 enemies, at least one drop, no start on
// lava, the hero's area walled in, enemy runs that end in a change of height,
// no enemy touching the hero at its start) and a warning for every drop the
// hero cannot collect alive and every enemy run over the start cell.
void check_level(const level_data &level, const level_sources &sources, diagnostics &messages);

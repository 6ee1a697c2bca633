// The level checker: what would let the hero or an enemy leave the grid, what
// the level lacks, and drops that the hero cannot reach.
#pragma once

#include "tools/level-compiler/diagnostics.h"
#include "tools/level-compiler/level_data.h"
#include "world/contact_rules.h"

// The hero's reach, as the world update's physics gives it.
// The wall rule's margin: the highest a jump lifts the hero's feet past a
// wall's edge (the rise of 1.7 plus the 0.3 step it may still walk up).
// Anything higher walls the hero in; it is more than any block a jump lands
// on, so that a wall is safe whatever the run-up.
constexpr float JUMP_REACH = 2.0f;
// The highest block a running jump lands the hero on, measured from the
// world update by search (the test JumpReach.* repeats the search).
constexpr float JUMP_ONTO_REACH = 1.8f;
// Heights a cell may have: the hero falls 0.1 a tick, so a floor far below
// is a fall that never ends, and a wall far above helps no level.
constexpr float HEIGHT_LIMIT = 100.0f;

// What a level that passed holds, for the checker's one-line report.
struct level_summary {
  int drops;
  int enemies;
  int reachable_cells;  // cells a walk, fall or jump takes the hero onto
};

// Adds to messages an error for every rule the level breaks (start and
// enemies on the grid, at most 10 enemies, enemy directions of the four,
// heights finite and within HEIGHT_LIMIT, at least one drop, no start on
// lava, the hero's area walled in, enemy runs that end in a change of
// height, no enemy touching the hero at its start) and a warning for every
// drop the hero cannot collect alive, every enemy run over the start cell
// and every two enemies that start on one cell. Returns what the level holds.
level_summary check_level(const level_data &level, const level_sources &sources, diagnostics &messages);

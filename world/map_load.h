// Reading a level map file ("maps/map%d.map") into the world state.
#pragma once

// The file's byte layout is in world/map_format.h.

// Reads the map file at path into the level, the drops, the hero's start and
// the enemies. Call after reset_world. Returns 1 when the file was read; 0
// when it cannot be opened or is not a well-formed map (too short, more than
// 10 or fewer than 0 enemies, a start cell off the grid), in which case the
// level is left cleared and everything else as it was.
int load_map(const char *path);

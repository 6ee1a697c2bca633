// Reading a level map file ("maps/map%d.map") into the world state.
#pragma once

// The file's byte layout is in world/map_format.h.

// Reads the map file at path into the level, the drops, the hero's start and
// the enemies. Call after reset_world. Returns 1 when the file was read; 0
// when it cannot be opened or is not a well-formed map (too short, more than
// 10 or fewer than 0 enemies, a start cell off the grid), in which case the
// level is left cleared and everything else as it was.
int load_map(const char *path);
// Reads a map from the size bytes at bytes, as load_map reads a file's (the
// editor's level, which lives in memory). The same result and rules.
int load_map_bytes(const unsigned char *bytes, long size);

// Why the last load_map returned 0, as a short phrase for a message ("no
// such file", "not a regular file", "too short: 7000 bytes of at least
// 7512", ...); empty after a load that succeeded.
const char *map_load_problem();
// 1 when the last load_map returned 0 because no file of that name exists,
// the designed end of a campaign; 0 otherwise.
int map_load_missing();

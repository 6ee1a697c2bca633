// The level's grid and its map file: sizes, block kinds, records and the
// byte layout, shared by the game's loader, the level compiler and the tests.
// Plain C++ only (no Allegro, no OpenGL), so a tool can include it alone.
#pragma once

#include <cstdint>

// ---- The grid -----------------------------------------------------------------

constexpr int GRID_SIZE = 25;       // cells along each axis of a level
constexpr int MAX_ENEMIES = 10;     // enemy slots in the data model
// World units between neighbouring cell centres: cell (x, y) is centred on
// world (2x, 2y) and reaches one unit to each side.
constexpr float CELL_PITCH = 2.0f;

// The index of the grid cell under world coordinate c: half a pitch on, over
// the pitch of 2; truncates toward zero.
inline int cell_index(float c) { return (int)((c + 1.0f) * 0.5f); }

// Block kinds; the kind is also the index of the block's texture.
enum block_kind {
  KIND_GRASS = 0,
  KIND_STONE_FLOOR = 1,
  KIND_HERO_SKIN = 2,
  KIND_METAL = 3,
  KIND_LAVA = 4,    // kills the hero
  KIND_ENEMY_SKIN = 5,
};
constexpr int BLOCK_KIND_COUNT = 6;  // kinds 0..5 have a texture

// Enemy directions; NO_ENEMY marks a free slot.
enum enemy_direction {
  NO_ENEMY = -1,
  TOWARD_MINUS_Y = 0,
  TOWARD_PLUS_X = 1,
  TOWARD_PLUS_Y = 2,
  TOWARD_MINUS_X = 3,
};

// One grid cell. height is the z of the cell's top; drop_marker
// DROP_MARKER_DROP means the cell carries a drop when the level starts.
struct map_cell {
  int32_t kind;
  int32_t drop_marker;
  float height;
};

// The drop marker that lays a drop; every other value lays none.
constexpr int32_t DROP_MARKER_DROP = 0;

// ---- The map file: 32-bit little-endian values throughout ------------------------

constexpr long MAP_START_X_OFFSET = 0;  // the hero's start cell, x then y
constexpr long MAP_START_Y_OFFSET = 4;
constexpr long MAP_CELLS_OFFSET = 8;    // the cell records, x-major
constexpr long MAP_WORD_SIZE = 4;
constexpr long MAP_RECORD_SIZE = 12;    // a cell or an enemy record

// Fields of a cell record (note the order: height first, kind last).
constexpr long CELL_HEIGHT_FIELD = 0;       // float
constexpr long CELL_DROP_MARKER_FIELD = 4;  // int32
constexpr long CELL_KIND_FIELD = 8;         // int32
// Fields of an enemy record: start cell and direction, all int32.
constexpr long ENEMY_X_FIELD = 0;
constexpr long ENEMY_Y_FIELD = 4;
constexpr long ENEMY_DIRECTION_FIELD = 8;

constexpr long MAP_ENEMY_COUNT_OFFSET = MAP_CELLS_OFFSET + GRID_SIZE * GRID_SIZE * MAP_RECORD_SIZE;
constexpr long MAP_ENEMIES_OFFSET = MAP_ENEMY_COUNT_OFFSET + MAP_WORD_SIZE;
static_assert(MAP_ENEMY_COUNT_OFFSET == 7508 && MAP_ENEMIES_OFFSET == 7512,
              "the map file's layout is fixed: shipped maps depend on it");

// Where the record of cell (x, y) begins.
constexpr long map_cell_offset(int x, int y)
{
  return MAP_CELLS_OFFSET + (GRID_SIZE * x + y) * MAP_RECORD_SIZE;
}
// Where enemy record i begins.
constexpr long map_enemy_offset(int i) { return MAP_ENEMIES_OFFSET + MAP_RECORD_SIZE * i; }
// The size of a map file with enemy_count enemy records.
constexpr long map_file_size(int32_t enemy_count) { return map_enemy_offset(enemy_count); }

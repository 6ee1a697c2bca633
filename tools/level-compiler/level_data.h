// One level as the compiler sees it: every value of a map file, exactly, plus
// the level's name and where in its text each value came from.
#pragma once

#include "world/map_format.h"

#include <cstdint>
#include <string>
#include <vector>

// The drop marker the text format writes for "no drop" (DROP_MARKER_DROP lays
// one). A map file may hold any other value for "no drop"; such a cell keeps
// its value.
constexpr int32_t DROP_MARKER_NONE = 1;

// One cell record. The height is kept as its raw bits so that every float
// (negative zero and NaNs included) survives a round trip unchanged.
struct level_cell {
  uint32_t height_bits;
  int32_t drop_marker;
  int32_t kind;
};

// One enemy record: start cell and direction as the map file stores them.
struct level_enemy {
  int32_t x, y;
  int32_t direction;
};

// Where a value was written in a level's text (1-based; 0 = nowhere).
struct source_pos {
  int line;
  int column;
};

// The text positions of everything the checker can complain about.
struct level_sources {
  source_pos name;
  source_pos start_x, start_y;
  source_pos grid;                           // the "grid" keyword
  source_pos cells[GRID_SIZE][GRID_SIZE];    // each cell's symbol
  source_pos heights[GRID_SIZE][GRID_SIZE];  // where each cell's height is written
  source_pos enemies[MAX_ENEMIES + 1];       // each enemy line (one extra
  source_pos enemy_x[MAX_ENEMIES + 1];       // for the first one too many)
  source_pos enemy_y[MAX_ENEMIES + 1];
  source_pos enemy_direction[MAX_ENEMIES + 1];
};

// A whole level. enemy_count may exceed MAX_ENEMIES by one while a text is
// read, so that the checker can point at the enemy too many.
struct level_data {
  std::string name;
  std::vector<std::string> legend_lines;     // the legend as written, comments and all
  int32_t start_x, start_y;
  level_cell cells[GRID_SIZE][GRID_SIZE];    // [x][y], as level_map
  int32_t enemy_count;
  level_enemy enemies[MAX_ENEMIES + 1];
};

// The height of a cell as a float.
float cell_height(const level_cell &cell);
// The raw bits of a height.
uint32_t height_bits_of(float height);

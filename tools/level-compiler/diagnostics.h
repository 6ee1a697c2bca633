// Messages about a level's text, each tied to a line and column.
#pragma once

#include "tools/level-compiler/level_data.h"

#include <string>
#include <vector>

// A cell of the grid by its indices.
struct grid_point {
  int x, y;
};
// What a message names when it is about no one cell of the grid.
constexpr grid_point NO_CELL = {-1, -1};

// One message: an error stops the level from being compiled, a warning not.
// A message about a place names it twice: where the text says it (for the
// compiler's file:line:column) and the cell of the grid (for the editor).
struct diagnostic {
  source_pos pos;
  bool is_error;
  std::string message;
  grid_point cell;
};

typedef std::vector<diagnostic> diagnostics;

// Adds an error at pos, about cell.
void add_error(diagnostics &out, source_pos pos, const std::string &message, grid_point cell = NO_CELL);
// Adds a warning at pos, about cell.
void add_warning(diagnostics &out, source_pos pos, const std::string &message, grid_point cell = NO_CELL);
// True when any of the messages is an error.
bool has_errors(const diagnostics &messages);
// "file:line:column: error: message" (or "warning:"), one per line, in
// order of position, with the bytes a terminal would act on escaped.
std::string format_diagnostics(const std::string &file, const diagnostics &messages);

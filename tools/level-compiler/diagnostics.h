// Messages about a level's text, each tied to a line and column.
#pragma once

#include "tools/level-compiler/level_data.h"

#include <string>
#include <vector>

// One message: an error stops the level from being compiled, a warning not.
struct diagnostic {
  source_pos pos;
  bool is_error;
  std::string message;
};

typedef std::vector<diagnostic> diagnostics;

// Adds an error at pos.
void add_error(diagnostics &out, source_pos pos, const std::string &message);
// Adds a warning at pos.
void add_warning(diagnostics &out, source_pos pos, const std::string &message);
// True when any of the messages is an error.
bool has_errors(const diagnostics &messages);
// "file:line:column: error: message" (or "warning:"), one per line, in
// order of position, with the bytes a terminal would act on escaped.
std::string format_diagnostics(const std::string &file, const diagnostics &messages);

// Messages about a level's text, printed the way compilers print theirs so
// that editors can jump to them.
#include "level/level.h"

#include <algorithm>

void add_error(diagnostics &out, source_pos pos, const std::string &message, grid_point cell)
{
  out.push_back(diagnostic{pos, true, message, cell});
}

void add_warning(diagnostics &out, source_pos pos, const std::string &message, grid_point cell)
{
  out.push_back(diagnostic{pos, false, message, cell});
}

bool has_errors(const diagnostics &messages)
{
  for (const diagnostic &d : messages)
    if (d.is_error)
      return true;
  return false;
}

std::string format_diagnostics(const std::string &file, const diagnostics &messages)
{
  diagnostics sorted = messages;
  std::stable_sort(sorted.begin(), sorted.end(), [](const diagnostic &a, const diagnostic &b) {
    return a.pos.line != b.pos.line ? a.pos.line < b.pos.line : a.pos.column < b.pos.column;
  });
  std::string text;
  for (const diagnostic &d : sorted)
    text += printable(file) + ":" + std::to_string(d.pos.line) + ":" + std::to_string(d.pos.column) +
            ": " + (d.is_error ? "error: " : "warning: ") + printable(d.message) + "\n";
  return text;
}

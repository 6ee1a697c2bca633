// Writing a level as text, in the form the decompiler and the editor give it:
// reading it back gives the same level.
#include "level/level.h"
#include "level/text_format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>

namespace {

// ---- Writing ----------------------------------------------------------------

std::string format_height(uint32_t bits)
{
  float height;
  std::memcpy(&height, &bits, sizeof height);
  char buffer[32];
  if (std::isnan(height)) {
    std::snprintf(buffer, sizeof buffer, "%s%08x", HEIGHT_BITS_PREFIX, (unsigned)bits);
    return buffer;
  }
  // The shortest decimal that reads back as the very same float.
  for (int digits = 1; digits <= FLOAT_DIGITS_MAX; digits++) {
    std::snprintf(buffer, sizeof buffer, "%.*g", digits, (double)height);
    if (height_bits_of(std::strtof(buffer, nullptr)) == bits)
      break;
  }
  return buffer;
}

// Appends blanks up to column, or the least gap when line is already past it.
void pad_to(std::string &line, size_t column)
{
  line += std::string(std::max(LEGEND_GAP, column > line.size() ? column - line.size() : 0), ' ');
}

bool plain_marker(int32_t marker) { return marker == DROP_MARKER_DROP || marker == DROP_MARKER_NONE; }

// Orders (kind, height bits) pairs by kind, then by height, NaNs last; ties
// (zeros of either sign, NaNs among themselves) by their bits.
struct pair_less {
  bool operator()(const std::pair<int32_t, uint32_t> &a, const std::pair<int32_t, uint32_t> &b) const
  {
    if (a.first != b.first)
      return a.first < b.first;
    level_cell ca{a.second, 0, 0}, cb{b.second, 0, 0};
    float fa = cell_height(ca), fb = cell_height(cb);
    if (std::isnan(fa) != std::isnan(fb))
      return std::isnan(fb);
    if (!std::isnan(fa) && fa != fb)
      return fa < fb;
    return a.second < b.second;  // both NaN, or zeros of either sign
  }
};

// A legend line being written: its symbol (0 for none left) and comment.
struct chosen_symbol {
  char symbol;
  std::string comment;
};

typedef std::map<std::pair<int32_t, uint32_t>, chosen_symbol, pair_less> symbol_table;

// Chooses a legend symbol for every (kind, height) pair of the level's plain
// cells, as far as symbols go; cells left without one are written as '?'.
// The hints come first, then each kind's usual symbol, then the rest.
symbol_table choose_symbols(const level_data &level, const legend_hints &hints)
{
  symbol_table symbols;
  for (const auto &column : level.cells)
    for (const level_cell &cell : column)
      if (plain_marker(cell.drop_marker))
        symbols[{cell.kind, cell.height_bits}] = chosen_symbol{0, ""};
  std::set<char> used;
  for (const legend_hint &hint : hints) {
    auto found = symbols.find({hint.kind, hint.height_bits});
    if (found != symbols.end() && !found->second.symbol && !used.count(hint.symbol)) {
      found->second = chosen_symbol{hint.symbol, hint.comment};
      used.insert(hint.symbol);
    }
  }
  size_t next = 0;
  for (auto &entry : symbols) {
    if (entry.second.symbol)
      continue;
    int32_t kind = entry.first.first;
    while (next < sizeof MORE_SYMBOLS - 1 && used.count(MORE_SYMBOLS[next]))
      next++;
    if (kind >= 0 && kind < NAMED_KINDS && !used.count(PREFERRED_SYMBOLS[kind]))
      entry.second.symbol = PREFERRED_SYMBOLS[kind];
    else if (next < sizeof MORE_SYMBOLS - 1)
      entry.second.symbol = MORE_SYMBOLS[next++];
    used.insert(entry.second.symbol);
  }
  return symbols;
}

char symbol_of(const symbol_table &symbols, const level_cell &cell)
{
  if (!plain_marker(cell.drop_marker))
    return SPECIAL_SYMBOL;
  char c = symbols.at({cell.kind, cell.height_bits}).symbol;
  return c ? c : SPECIAL_SYMBOL;
}

// A comment line with the y index over every other column, to read the grid by.
std::string y_labels()
{
  std::string line = "#   ";
  for (int column = 0; column < GRID_SIZE; column++) {
    int y = GRID_SIZE - 1 - column;
    char label[8];
    std::snprintf(label, sizeof label, y % 2 == 0 ? "%2d" : "  ", y);
    line += label;
  }
  return line.substr(0, line.find_last_not_of(' ') + 1) + "   <- y\n";
}

void write_grid(std::string &text, const level_data &level, const symbol_table &symbols)
{
  text += "grid\n" + y_labels();
  for (int x = GRID_SIZE - 1; x >= 0; x--) {
    char label[8];
    std::snprintf(label, sizeof label, "%2d %c", x, ROW_BAR);
    std::string row = label;
    for (int y = GRID_SIZE - 1; y >= 0; y--) {
      const level_cell &cell = level.cells[x][y];
      row += symbol_of(symbols, cell);
      row += cell.drop_marker == DROP_MARKER_DROP ? DROP_MARK : NO_DROP_MARK;
    }
    text += row.substr(0, row.find_last_not_of(' ') + 1) + "\n";
  }
  text += y_labels();
}

}  // namespace

std::string kind_word(int32_t kind)
{
  return kind >= 0 && kind < NAMED_KINDS ? KIND_NAMES[kind] : std::to_string(kind);
}

std::string direction_word(int32_t direction)
{
  return direction >= 0 && direction < NAMED_DIRECTIONS ? DIRECTION_NAMES[direction]
                                                        : std::to_string(direction);
}

std::string write_level_text(const level_data &level, const legend_hints &hints)
{
  std::string name = level.name.empty() ? "Untitled" : level.name;
  std::string text = "# " + name + "\n" + AXES_COMMENT + "\nname " + name + "\n";
  text += "start " + std::to_string(level.start_x) + " " + std::to_string(level.start_y) + "\n\n";
  symbol_table symbols = choose_symbols(level, hints);
  text += "legend\n";
  for (const auto &entry : symbols) {
    if (!entry.second.symbol)
      continue;
    std::string line = std::string("  ") + entry.second.symbol + "  " + kind_word(entry.first.first);
    pad_to(line, LEGEND_HEIGHT_COLUMN);
    line += format_height(entry.first.second);
    if (!entry.second.comment.empty()) {
      pad_to(line, LEGEND_COMMENT_COLUMN);
      line += std::string(1, COMMENT_MARK) + " " + entry.second.comment;
    }
    text += line + "\n";
  }
  text += "\n";
  write_grid(text, level, symbols);
  if (level.enemy_count > 0)
    text += "\n";
  for (int i = 0; i < level.enemy_count; i++) {
    const level_enemy &e = level.enemies[i];
    text += "enemy " + std::to_string(e.x) + " " + std::to_string(e.y) + " " +
            direction_word(e.direction) + "\n";
  }
  std::string specials;
  for (int x = 0; x < GRID_SIZE; x++)
    for (int y = 0; y < GRID_SIZE; y++) {
      const level_cell &cell = level.cells[x][y];
      if (symbol_of(symbols, cell) != SPECIAL_SYMBOL)
        continue;
      specials += "cell " + std::to_string(x) + " " + std::to_string(y) + " kind " +
                  kind_word(cell.kind) + " height " + format_height(cell.height_bits) +
                  " marker " + std::to_string(cell.drop_marker) + "\n";
    }
  if (!specials.empty())
    text += "\n" + specials;
  return text;
}

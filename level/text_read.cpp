// Reading the level text format. A level is a few keyword lines (name, start,
// enemy, cell), a legend that gives each grid symbol a kind and a height, and
// the grid itself drawn as seen from above. See levels/README.md for a guide.
#include "level/level.h"
#include "level/text_format.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <vector>

namespace {


struct token {
  std::string text;
  int column;
};

// What a legend symbol stands for, and where it was defined.
struct legend_entry {
  int32_t kind;
  uint32_t height_bits;
  source_pos pos;
  source_pos height_pos;
};

// A "cell" line: one cell given in full.
struct special_cell {
  level_cell cell;
  source_pos pos;
};

// The state of one parse.
struct parser {
  level_data &level;
  level_sources &sources;
  diagnostics &messages;
  int line_number = 0;
  std::map<char, legend_entry> legend;
  std::set<char> broken_symbols;                // legend lines already reported
  char symbols[GRID_SIZE][GRID_SIZE] = {};      // [x][y] as read
  std::map<std::pair<int, int>, special_cell> specials;
  std::set<std::string> seen_keywords;
  bool in_legend = false;
  bool in_grid = false;     // reading rows after "grid"
  int grid_rows = 0;        // rows read since "grid"
  bool rows_seen[GRID_SIZE] = {};
  bool bad_row_label = false;
  source_pos misplaced_row = {};  // the first row not where its label puts it
  std::string misplaced_message;

  parser(level_data &l, level_sources &s, diagnostics &m) : level(l), sources(s), messages(m) {}
};

source_pos pos_at(const parser &p, int column) { return source_pos{p.line_number, column}; }

void error_at(parser &p, int column, const std::string &message)
{
  add_error(p.messages, pos_at(p, column), message);
}

// Splits a line into words; a word that starts with '#' ends the line.
std::vector<token> split_words(const std::string &line, size_t from = 0)
{
  std::vector<token> words;
  size_t i = from;
  while (i < line.size()) {
    if (std::isspace((unsigned char)line[i])) {
      i++;
      continue;
    }
    if (line[i] == COMMENT_MARK)
      break;
    size_t start = i;
    while (i < line.size() && !std::isspace((unsigned char)line[i]))
      i++;
    words.push_back(token{line.substr(start, i - start), (int)start + 1});
  }
  return words;
}

bool parse_int32(const std::string &text, int32_t &value)
{
  if (text.empty())
    return false;
  errno = 0;
  char *end;
  long long v = std::strtoll(text.c_str(), &end, 10);
  if (*end != '\0' || errno == ERANGE || v < INT32_MIN || v > INT32_MAX)
    return false;
  value = (int32_t)v;
  return true;
}

bool parse_height(const std::string &text, uint32_t &bits)
{
  size_t prefix = std::strlen(HEIGHT_BITS_PREFIX);
  if (text.compare(0, prefix, HEIGHT_BITS_PREFIX) == 0) {
    std::string hex = text.substr(prefix);
    if (hex.empty() || hex.size() > 8 || hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
      return false;
    bits = (uint32_t)std::strtoul(hex.c_str(), nullptr, 16);
    return true;
  }
  if (text.empty())
    return false;
  errno = 0;
  char *end;
  float height = std::strtof(text.c_str(), &end);
  if (*end != '\0' || (errno == ERANGE && std::isinf(height)))
    return false;
  bits = height_bits_of(height);
  return true;
}

bool parse_kind(const std::string &text, int32_t &kind)
{
  for (int k = 0; k < NAMED_KINDS; k++)
    if (text == KIND_NAMES[k]) {
      kind = k;
      return true;
    }
  return parse_int32(text, kind);
}

bool parse_direction(const std::string &text, int32_t &direction)
{
  for (int d = 0; d < NAMED_DIRECTIONS; d++)
    if (text == DIRECTION_NAMES[d]) {
      direction = d;
      return true;
    }
  return parse_int32(text, direction);
}

// Checks a keyword line has exactly count arguments after the keyword.
bool expect_arguments(parser &p, const std::vector<token> &words, size_t count, const char *usage)
{
  if (words.size() == count + 1)
    return true;
  int column = words.size() > count + 1 ? words[count + 1].column : words.back().column;
  error_at(p, column, std::string("expected '") + usage + "'");
  return false;
}

// Keywords that a level gives once.
bool first_time(parser &p, const token &keyword)
{
  if (p.seen_keywords.insert(keyword.text).second)
    return true;
  error_at(p, keyword.column, "'" + keyword.text + "' is given twice: keep one");
  return false;
}

void read_legend_entry(parser &p, const std::string &line)
{
  std::vector<token> words;
  size_t at = line.find_first_not_of(" \t");
  words.push_back(token{line.substr(at, 1), (int)at + 1});
  for (const token &t : split_words(line, at + 1))
    words.push_back(t);
  const token &symbol = words[0];
  const char *usage = "SYMBOL KIND HEIGHT', for example '#  metal  2.5";
  // Whatever is wrong with this line, it is said here once and not again at
  // every use of the symbol in the grid.
  p.broken_symbols.insert(symbol.text[0]);
  if (words[0].text.size() != 1 || (words.size() > 1 && words[1].column == symbol.column + 1)) {
    error_at(p, symbol.column, "a legend symbol is one character, then a blank");
    return;
  }
  char c = symbol.text[0];
  if (reserved_in_grid(c)) {
    error_at(p, symbol.column, std::string("'") + c + "' is reserved in the grid: pick another symbol");
    return;
  }
  if (!expect_arguments(p, words, 2, usage))
    return;
  legend_entry entry{0, 0, pos_at(p, symbol.column), {}};
  if (!parse_kind(words[1].text, entry.kind)) {
    error_at(p, words[1].column, "unknown kind '" + words[1].text +
                                     "': use grass, stone, hero, metal, lava, enemy or a number");
    return;
  }
  if (!parse_height(words[2].text, entry.height_bits)) {
    error_at(p, words[2].column, "'" + words[2].text + "' is not a height: write a number such as 0.3");
    return;
  }
  auto found = p.legend.find(c);
  if (found != p.legend.end()) {
    error_at(p, symbol.column, std::string("symbol '") + c + "' is already in the legend (line " +
                                   std::to_string(found->second.pos.line) + "): pick another");
    return;
  }
  entry.height_pos = pos_at(p, words[2].column);
  p.legend[c] = entry;
  p.level.legend_lines.push_back(line);
  p.broken_symbols.erase(c);
}

// A grid row starts with its label, digits, and then '|': returns the
// position of the bar and the label as written, or npos for another line.
size_t find_row_bar(const std::string &line, std::string &label)
{
  size_t at = line.find_first_not_of(' ');
  size_t end = line.find_first_not_of("0123456789", at);
  if (at == std::string::npos || end == at || end == std::string::npos)
    return std::string::npos;
  size_t bar = line.find_first_not_of(' ', end);
  if (bar == std::string::npos || line[bar] != ROW_BAR)
    return std::string::npos;
  label = line.substr(at, end - at);
  return bar;
}

// Reads one row of the grid. Rows are placed by their labels, so a missing
// or extra row is one error about the count, not one for every row after it.
void read_grid_row(parser &p, const std::string &line, size_t bar, const std::string &label)
{
  int x = GRID_SIZE - 1 - p.grid_rows;
  p.grid_rows++;
  int32_t labelled;
  if (!parse_int32(label, labelled) || labelled < 0 || labelled >= GRID_SIZE) {
    error_at(p, 1, "row label " + label + " is off the grid: rows run from 24 at the top to 0");
    p.bad_row_label = true;
    return;
  }
  if (labelled != x && p.misplaced_row.line == 0) {
    p.misplaced_row = pos_at(p, 1);
    p.misplaced_message = "this row is labelled x = " + label + " but the row for x = " +
                          std::to_string(x) + " comes here (rows run from 24 at the top to 0)";
  }
  if (p.rows_seen[labelled])
    return;  // a second row for x: the count says so
  p.rows_seen[labelled] = true;
  x = labelled;
  size_t first = bar + 1;
  for (int column = 0; column < GRID_SIZE; column++) {
    int y = GRID_SIZE - 1 - column;
    size_t at = first + CELL_WIDTH * column;
    p.sources.cells[x][y] = pos_at(p, (int)at + 1);
    if (at >= line.size() || line[at] == ' ') {
      error_at(p, (int)at + 1, "row x = " + std::to_string(x) + " has " + std::to_string(column) +
                                   " cells; every row has 25 (the missing cell is y = " +
                                   std::to_string(y) + ")");
      return;
    }
    char mark = at + 1 < line.size() ? line[at + 1] : NO_DROP_MARK;
    if (mark != DROP_MARK && mark != NO_DROP_MARK) {
      error_at(p, (int)at + 2, std::string("'") + mark +
                                   "' after a cell's symbol: write '*' for a drop or a blank for none");
      return;
    }
    p.symbols[x][y] = line[at];
    p.level.cells[x][y].drop_marker = mark == DROP_MARK ? DROP_MARKER_DROP : DROP_MARKER_NONE;
  }
  size_t rest = first + ROW_WIDTH;
  if (rest < line.size()) {
    size_t next = line.find_first_not_of(" \t", rest);
    if (next != std::string::npos && (line[next] != COMMENT_MARK || next == rest))
      error_at(p, (int)rest + 1, "row x = " + std::to_string(x) +
                                     " is longer than 25 cells: remove the extra characters");
  }
}

void read_start(parser &p, const std::vector<token> &words)
{
  if (!first_time(p, words[0]) || !expect_arguments(p, words, 2, "start X Y"))
    return;
  if (!parse_int32(words[1].text, p.level.start_x) || !parse_int32(words[2].text, p.level.start_y)) {
    error_at(p, words[1].column, "the start cell is two whole numbers, x then y");
    return;
  }
  p.sources.start_x = pos_at(p, words[1].column);
  p.sources.start_y = pos_at(p, words[2].column);
}

void read_enemy(parser &p, const std::vector<token> &words)
{
  if (!expect_arguments(p, words, 3, "enemy X Y DIRECTION', for example 'enemy 5 7 +y"))
    return;
  level_enemy e;
  if (!parse_int32(words[1].text, e.x) || !parse_int32(words[2].text, e.y)) {
    error_at(p, words[1].column, "an enemy's cell is two whole numbers, x then y");
    return;
  }
  if (!parse_direction(words[3].text, e.direction)) {
    error_at(p, words[3].column, "unknown direction '" + words[3].text + "': use +x, -x, +y or -y");
    return;
  }
  // One enemy beyond the limit is kept so that the checker can point at it.
  int i = p.level.enemy_count;
  if (i > MAX_ENEMIES)
    return;
  p.level.enemies[i] = e;
  p.sources.enemies[i] = pos_at(p, words[0].column);
  p.sources.enemy_x[i] = pos_at(p, words[1].column);
  p.sources.enemy_y[i] = pos_at(p, words[2].column);
  p.sources.enemy_direction[i] = pos_at(p, words[3].column);
  p.level.enemy_count++;
}

void read_cell(parser &p, const std::vector<token> &words)
{
  const char *usage = "cell X Y kind KIND height HEIGHT marker NUMBER";
  if (!expect_arguments(p, words, 8, usage))
    return;
  int32_t x, y;
  special_cell special{};
  special.pos = pos_at(p, words[0].column);
  bool ok = parse_int32(words[1].text, x) && parse_int32(words[2].text, y) && words[3].text == "kind" &&
            parse_kind(words[4].text, special.cell.kind) && words[5].text == "height" &&
            parse_height(words[6].text, special.cell.height_bits) && words[7].text == "marker" &&
            parse_int32(words[8].text, special.cell.drop_marker);
  if (!ok) {
    error_at(p, words[1].column, std::string("expected '") + usage + "'");
    return;
  }
  if (x < 0 || x >= GRID_SIZE || y < 0 || y >= GRID_SIZE) {
    error_at(p, words[1].column, "cell (" + words[1].text + ", " + words[2].text +
                                     ") is off the grid: x and y run from 0 to 24");
    return;
  }
  if (!p.specials.insert({{x, y}, special}).second)
    error_at(p, words[0].column, "cell (" + words[1].text + ", " + words[2].text + ") is given twice");
}

void read_keyword_line(parser &p, const std::string &line)
{
  std::vector<token> words = split_words(line);
  if (words.empty())
    return;
  const std::string &keyword = words[0].text;
  if (keyword == "name") {
    if (!first_time(p, words[0]))
      return;
    size_t at = line.find_first_not_of(" \t", words[0].column - 1 + keyword.size());
    size_t end = line.find_last_not_of(" \t");
    if (at == std::string::npos) {
      error_at(p, words[0].column, "the level's name is missing after 'name'");
      return;
    }
    p.level.name = line.substr(at, end + 1 - at);
    p.sources.name = pos_at(p, words[0].column);
  } else if (keyword == "start") {
    read_start(p, words);
  } else if (keyword == "legend") {
    if (first_time(p, words[0]) && expect_arguments(p, words, 0, "legend"))
      p.in_legend = true;
  } else if (keyword == "grid") {
    if (first_time(p, words[0]) && expect_arguments(p, words, 0, "grid")) {
      p.in_grid = true;
      p.sources.grid = pos_at(p, words[0].column);
    }
  } else if (keyword == "enemy") {
    read_enemy(p, words);
  } else if (keyword == "cell") {
    read_cell(p, words);
  } else {
    error_at(p, words[0].column, "unknown keyword '" + keyword +
                                     "': a line starts with name, start, legend, grid, enemy or cell");
  }
}

void read_line(parser &p, const std::string &line)
{
  bool blank = line.find_first_not_of(" \t\r") == std::string::npos;
  if (blank || line[0] == COMMENT_MARK)
    return;
  if (p.in_grid) {
    std::string label;
    size_t bar = find_row_bar(line, label);
    if (bar != std::string::npos) {
      read_grid_row(p, line, bar, label);
      return;
    }
    p.in_grid = false;  // the first line that is not a row ends the grid
  }
  bool indented = line[0] == ' ' || line[0] == '\t';
  if (p.in_legend && indented) {
    read_legend_entry(p, line);
    return;
  }
  p.in_legend = false;
  read_keyword_line(p, line);
}

// Gives every grid cell the kind and height of its symbol, or of its cell line.
void resolve_symbols(parser &p)
{
  for (int x = 0; x < GRID_SIZE; x++)
    for (int y = 0; y < GRID_SIZE; y++) {
      char c = p.symbols[x][y];
      source_pos pos = p.sources.cells[x][y];
      level_cell &cell = p.level.cells[x][y];
      if (c == 0)
        continue;  // the row was short: already reported
      if (c == SPECIAL_SYMBOL) {
        auto found = p.specials.find({x, y});
        if (found == p.specials.end())
          add_error(p.messages, pos, "cell (" + std::to_string(x) + ", " + std::to_string(y) +
                                         ") is '?' but no 'cell " + std::to_string(x) + " " +
                                         std::to_string(y) + " ...' line gives it");
        else {
          cell = found->second.cell;
          p.sources.heights[x][y] = found->second.pos;
        }
        continue;
      }
      auto found = p.legend.find(c);
      if (found == p.legend.end()) {
        // One error for each symbol the legend lacks, at its first use.
        if (p.broken_symbols.insert(c).second)
          add_error(p.messages, pos, std::string("symbol '") + c + "' is not in the legend: add it there");
        continue;
      }
      cell.kind = found->second.kind;
      cell.height_bits = found->second.height_bits;
      p.sources.heights[x][y] = found->second.height_pos;
    }
  for (const auto &special : p.specials) {
    int x = special.first.first, y = special.first.second;
    if (p.symbols[x][y] != SPECIAL_SYMBOL && p.symbols[x][y] != 0)
      add_error(p.messages, special.second.pos,
                "cell (" + std::to_string(x) + ", " + std::to_string(y) +
                    ") has a cell line, but the grid shows it as '" + p.symbols[x][y] +
                    "': write '?' in the grid or drop this line");
  }
}

// The labels of the rows the grid lacks, for the message about its count.
std::string missing_rows(const parser &p)
{
  std::string missing;
  for (int x = GRID_SIZE - 1; x >= 0; x--)
    if (!p.rows_seen[x])
      missing += (missing.empty() ? "" : ", ") + std::to_string(x);
  return missing.empty() ? "" : " (missing: x = " + missing + ")";
}

void require(parser &p, const char *keyword, const char *fix)
{
  if (!p.seen_keywords.count(keyword))
    add_error(p.messages, source_pos{1, 1}, fix);
}

}  // namespace

bool parse_level_text(const std::string &text, level_data &level, level_sources &sources,
                      diagnostics &messages)
{
  level = level_data{};
  sources = level_sources{};
  size_t errors_before = messages.size();
  parser p{level, sources, messages};
  // Editors may start a file with a byte-order mark: it is no part of the text.
  size_t start = text.compare(0, sizeof UTF8_BOM - 1, UTF8_BOM) == 0 ? sizeof UTF8_BOM - 1 : 0;
  for (const std::string &line : split_lines(text.substr(start))) {
    p.line_number++;
    read_line(p, line);
  }
  require(p, "name", "the level has no name: add a line 'name The Level's Name'");
  require(p, "start", "the level has no start cell: add a line 'start X Y'");
  require(p, "grid", "the level has no grid: add 'grid' and then its 25 rows");
  if (p.seen_keywords.count("grid") && p.grid_rows != GRID_SIZE && !p.bad_row_label)
    add_error(messages, sources.grid, "the grid has " + std::to_string(p.grid_rows) +
                                          " rows; it needs 25, from x = 24 at the top to x = 0" +
                                          missing_rows(p));
  else if (p.misplaced_row.line != 0 && !p.bad_row_label)
    add_error(messages, p.misplaced_row, p.misplaced_message);
  resolve_symbols(p);
  for (size_t i = errors_before; i < messages.size(); i++)
    if (messages[i].is_error)
      return false;
  return true;
}

bool read_legend_hint(const std::string &line, legend_hint &hint)
{
  size_t at = line.find_first_not_of(" \t");
  if (at == std::string::npos || at + 1 >= line.size() || !std::isspace((unsigned char)line[at + 1]))
    return false;
  std::vector<token> words = split_words(line, at + 1);  // the symbol may be '#' itself
  if (reserved_in_grid(line[at]) || words.size() != 2 || !parse_kind(words[0].text, hint.kind) ||
      !parse_height(words[1].text, hint.height_bits))
    return false;
  hint.symbol = line[at];
  size_t comment = line.find(COMMENT_MARK, words[1].column - 1 + words[1].text.size());
  hint.comment = comment == std::string::npos ? "" : line.substr(comment + 1);
  size_t first = hint.comment.find_first_not_of(' ');
  hint.comment = first == std::string::npos ? "" : hint.comment.substr(first);
  return true;
}

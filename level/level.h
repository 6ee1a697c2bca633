// The level library: levels as text and as map files, the checker that keeps
// a level from breaking the game, and the index of the campaign's levels.
// Used by the level compiler, the simulator, the game and the editor. No
// Allegro, no OpenGL.
#pragma once

#include "base/base.h"
#include "world/map_format.h"

#include <cstdint>
#include <string>
#include <vector>

// --------------------------------------------------------------------------
// One level as the tools, the game and the editor see it: every value of a map
// file, exactly, plus the level's name and where in its text each value came from.

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

// --------------------------------------------------------------------------
// Messages about a level, each tied to a place in its text and, when it is
// about one, to a cell of its grid.

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

// --------------------------------------------------------------------------
// The level text format: reading it into a level and writing a level as text.

// Reads a level's text into level and sources. Mistakes of form (an unknown
// symbol, a short row, a missing start) go to messages as errors; whether the
// level is playable is the checker's business. True when there was no error.
bool parse_level_text(const std::string &text, level_data &level, level_sources &sources,
                      diagnostics &messages);

// A legend line a decompiled level may reuse: the symbol an author gave a
// kind and height, and the comment written beside it.
struct legend_hint {
  char symbol;
  int32_t kind;
  uint32_t height_bits;
  std::string comment;  // without the '#', empty for none
};
typedef std::vector<legend_hint> legend_hints;

// Reads one legend line ("  #  metal  2.5  # walls") into hint; false when
// it is not one a level text can hold (a symbol the grid reserves, say).
bool read_legend_hint(const std::string &line, legend_hint &hint);

// The word the level text writes for a kind ("grass", ..., "enemy", or its
// number) and for an enemy's direction ("+x", ..., or its number).
std::string kind_word(int32_t kind);
std::string direction_word(int32_t direction);

// The text of level, in the form the decompiler writes: reading it back gives
// the same level. Each (kind, height) takes the symbol and comment of the
// first hint that has it, when that symbol is still free.
std::string write_level_text(const level_data &level, const legend_hints &hints = {});

// --------------------------------------------------------------------------
// The checker: what would let the hero or an enemy leave the grid, what the
// level lacks, and drops that the hero cannot reach.

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

// --------------------------------------------------------------------------
// The binary map file: a level's exact bytes, and a level from them.

// The bytes of the map file of level (whose enemy_count is 0..MAX_ENEMIES).
byte_buffer encode_map(const level_data &level);

// Reads a level from the bytes of a map file, accepting what the game's
// loader accepts; bytes after the last enemy record are not part of the map.
// On failure returns false and says why in error.
bool decode_map(const byte_buffer &bytes, level_data &level, std::string &error);

// --------------------------------------------------------------------------
// A level's text compiled in memory: read, checked and reported, as the level
// compiler and the game (pilko --level FILE.level) both need it.

// How seriously the checker's findings are taken: unchecked makes its errors
// warnings (for maps that come from elsewhere; mistakes of form still stop a
// level), strict makes its warnings errors.
enum class level_rules { unchecked, normal, strict };

// The largest level text read: far more than any level needs.
constexpr long MAX_LEVEL_TEXT_BYTES = 1 << 20;

// Reads the level text file at path, a regular file of at most
// MAX_LEVEL_TEXT_BYTES; otherwise says "PROGRAM: path: why" on stderr and
// returns false.
bool read_level_file(const char *path, std::string &text);

// The solution beside a level: its path with ".solution" for ".level".
std::string solution_beside(const std::string &level_path);

// Reads and checks the level text of file into level, and what the checker
// found into summary. Every message, as "file:line:column: error: ..." lines,
// goes to report. True when the level has no error under the rules and fits
// a map file.
bool compile_level_text(const std::string &text, const std::string &file, level_rules how,
                        level_data &level, level_summary &summary, std::string &report);
// The level's map as a file that lives only in memory, under a path the
// game's map loader opens for as long as the process runs; empty on failure.
std::string map_in_memory(const level_data &level);

// --------------------------------------------------------------------------
// The index of levels written beside the maps ("maps/levels.txt"): each
// level's number and name, and the legend it was written with, so that the
// game can name a level and the decompiler can give a map back its words.

// The file name of the index in the maps folder.
constexpr const char *LEVEL_INDEX_NAME = "levels.txt";

// The index of levels, numbered from 1 in order: "N name" lines, each
// followed by its level's legend lines as written.
std::string index_text(const std::vector<level_data> &levels);

// The name to give the map file at map_path ("…/mapN.map"): level N's name in
// the index beside it, else the file's own name. hints gets the legend lines
// of level N first, then those of every other level in the index. The index
// comes from outside like any file: a name with a control character (a line
// end among them) is not taken, nor a legend line a level text cannot hold.
std::string index_entry_for_map(const std::string &map_path, legend_hints &hints);

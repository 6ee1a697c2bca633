// The level text format's symbols and words, shared by its reader and its
// writer (internal to the level library).
#pragma once

#include "world/map_format.h"

#include <cstddef>

constexpr char DROP_MARK = '*';       // second character of a cell with a drop
constexpr char NO_DROP_MARK = ' ';
constexpr char SPECIAL_SYMBOL = '?';  // a cell given in full by a "cell" line
constexpr char ROW_BAR = '|';         // ends a row's label
constexpr char COMMENT_MARK = '#';
// The grid's own marks, which no legend symbol may be.
constexpr bool reserved_in_grid(char c) { return c == DROP_MARK || c == SPECIAL_SYMBOL || c == ROW_BAR; }
constexpr int CELL_WIDTH = 2;         // symbol and drop mark
constexpr int ROW_WIDTH = GRID_SIZE * CELL_WIDTH;
constexpr int FLOAT_DIGITS_MAX = 9;   // enough to write any float exactly
constexpr const char *HEIGHT_BITS_PREFIX = "bits:";
constexpr char UTF8_BOM[] = "\xef\xbb\xbf";
constexpr size_t LEGEND_HEIGHT_COLUMN = 12;   // where a written legend line puts
constexpr size_t LEGEND_COMMENT_COLUMN = 19;  // its height and its comment (from 0)
constexpr size_t LEGEND_GAP = 2;              // blanks at least between them

const char *const KIND_NAMES[] = {"grass", "stone", "hero", "metal", "lava", "enemy"};
constexpr int NAMED_KINDS = sizeof KIND_NAMES / sizeof KIND_NAMES[0];

// Directions as written, indexed by the direction's number.
const char *const DIRECTION_NAMES[] = {"-y", "+x", "+y", "-x"};
constexpr int NAMED_DIRECTIONS = sizeof DIRECTION_NAMES / sizeof DIRECTION_NAMES[0];

// The symbol the decompiler likes best for each named kind, then the symbols
// it hands out after those, in order.
const char PREFERRED_SYMBOLS[] = ".:o#~x";
const char MORE_SYMBOLS[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnpqrstuvwyz0123456789=+-%&@$^!;/\\<>()[]{}'\",_`";

const char *const AXES_COMMENT =
    "# The grid is drawn as the player first sees it: the hero starts facing +x,\n"
    "# which runs up the page, and +y runs to the left. Rows are x (24 at the\n"
    "# top), columns are y (24 at the left). Each cell is its legend symbol and\n"
    "# then '*' for a drop or a blank for none; '?' cells are given by a cell line.\n";

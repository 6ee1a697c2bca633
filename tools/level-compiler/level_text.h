// The level text format: reading it into a level and writing a level as text.
#pragma once

#include "tools/level-compiler/diagnostics.h"
#include "tools/level-compiler/level_data.h"

#include <string>

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
// it is not one.
bool read_legend_hint(const std::string &line, legend_hint &hint);

// The text of level, in the form the decompiler writes: reading it back gives
// the same level. Each (kind, height) takes the symbol and comment of the
// first hint that has it, when that symbol is still free.
std::string write_level_text(const level_data &level, const legend_hints &hints = {});

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

// The text of level, in the form the decompiler writes: reading it back gives
// the same level.
std::string write_level_text(const level_data &level);

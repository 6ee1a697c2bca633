// A level's text compiled in memory: read, checked and reported, as the level
// compiler and the game (pilko --level FILE.level) both need it.
#pragma once

#include "tools/level-compiler/level_check.h"
#include "tools/level-compiler/level_data.h"

#include <string>

// How seriously the checker's findings are taken: unchecked makes its errors
// warnings (for maps that come from elsewhere; mistakes of form still stop a
// level), strict makes its warnings errors.
enum class level_rules { unchecked, normal, strict };

// Reads and checks the level text of file into level, and what the checker
// found into summary. Every message, as "file:line:column: error: ..." lines,
// goes to report. True when the level has no error under the rules and fits
// a map file.
bool compile_level_text(const std::string &text, const std::string &file, level_rules how,
                        level_data &level, level_summary &summary, std::string &report);
// The level's map as a file that lives only in memory, under a path the
// game's map loader opens for as long as the process runs; empty on failure.
std::string map_in_memory(const level_data &level);

// A level's text compiled in memory: read, checked and reported, as the level
// compiler and the game (pilko --level FILE.level) both need it.
#pragma once

#include "tools/level-compiler/level_data.h"

#include <string>

// Reads and checks the level text of file into level. Every message, as
// "file:line:column: error: ..." lines, goes to report. With unchecked, the
// checker's errors count as warnings (mistakes of form still stop it). True
// when the level has no error and fits a map file.
bool compile_level_text(const std::string &text, const std::string &file, bool unchecked,
                        level_data &level, std::string &report);

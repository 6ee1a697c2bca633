// The binary map file: a level's exact bytes, and a level from them.
#pragma once

#include "tools/level-compiler/level_data.h"

#include <string>
#include <vector>

// The bytes of the map file of level (whose enemy_count is 0..MAX_ENEMIES).
std::vector<unsigned char> encode_map(const level_data &level);

// Reads a level from the bytes of a map file, accepting what the game's
// loader accepts; bytes after the last enemy record are not part of the map.
// On failure returns false and says why in error.
bool decode_map(const std::vector<unsigned char> &bytes, level_data &level, std::string &error);


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

// The largest level text the tools read: far more than any level needs.
constexpr long MAX_LEVEL_TEXT_BYTES = 1 << 20;

// Reads at most limit bytes of the regular file at path (a FIFO, a device or
// a folder is refused without waiting on it). On failure returns false and
// says why in error; too_long (when not null) is set when the file holds more.
bool read_regular_file(const std::string &path, long limit, std::vector<unsigned char> &bytes,
                       std::string &error, bool *too_long = nullptr);
// Reads at most limit bytes from the open file fd, the same way.
bool read_at_most(int fd, long limit, std::vector<unsigned char> &bytes, std::string &error,
                  bool *too_long = nullptr);

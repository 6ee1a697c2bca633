// Whole files read into and written from memory, for the tools.
#pragma once

#include "base/base.h"

#include <string>

// Reads a whole regular file of at most MAX_WHOLE_FILE_BYTES (through the
// base's careful reader); false when it cannot be opened or read, or is longer.
constexpr long MAX_WHOLE_FILE_BYTES = 256L << 20;
bool read_file(const std::string &path, byte_buffer &bytes);
// Writes the bytes as the whole file; false when it cannot be written.
bool write_file(const std::string &path, const byte_buffer &bytes);
bool write_file(const std::string &path, const std::string &text);

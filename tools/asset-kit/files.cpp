// Whole files read into and written from memory.
#include "tools/asset-kit/files.h"

#include <cstdio>

namespace {

// Writes size bytes as the whole file; false when any of it fails.
bool write_whole(const std::string &path, const void *data, size_t size)
{
  FILE *file = std::fopen(path.c_str(), "wb");
  if (!file)
    return false;
  // An empty file is written by opening it: fwrite may not be handed the null
  // pointer an empty vector gives.
  bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}

}  // namespace

bool read_file(const std::string &path, byte_buffer &bytes)
{
  std::string error;
  bool too_long = false;
  return read_regular_file(path, MAX_WHOLE_FILE_BYTES, bytes, error, &too_long) && !too_long;
}

bool write_file(const std::string &path, const byte_buffer &bytes)
{
  return write_whole(path, bytes.data(), bytes.size());
}

bool write_file(const std::string &path, const std::string &text)
{
  return write_whole(path, text.data(), text.size());
}

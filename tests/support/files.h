// Whole files for tests: written with the tools' writer, read back whole
// (empty when they cannot be read, where missing and empty are alike).
#pragma once

#include "tools/asset-kit/files.h"

#include <string>

inline byte_buffer file_bytes(const std::string &path)
{
  byte_buffer bytes;
  if (!read_file(path, bytes))
    bytes.clear();
  return bytes;
}

inline std::string file_text(const std::string &path)
{
  byte_buffer bytes = file_bytes(path);
  return std::string(bytes.begin(), bytes.end());
}

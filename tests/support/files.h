// Whole files for tests: written with the tools' writer, read back whole
// (empty when they cannot be read, where missing and empty are alike); and
// a full disk in small.
#pragma once

#include "tools/asset-kit/files.h"

#include <csignal>
#include <functional>
#include <string>
#include <sys/resource.h>

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

// Runs act with every file limited to bytes, as a full disk would leave it: a write past the
// limit fails (EFBIG), SIGXFSZ ignored as the game ignores it. Limit and signal come back after.
inline void with_file_size_limit(rlim_t bytes, const std::function<void()> &act)
{
  rlimit before{};
  getrlimit(RLIMIT_FSIZE, &before);
  rlimit limited = before;
  limited.rlim_cur = bytes;
  auto previous = std::signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &limited);
  act();
  setrlimit(RLIMIT_FSIZE, &before);
  std::signal(SIGXFSZ, previous);
}

// Whole files for tests: written with the tools' writer, read back whole
// (empty when they cannot be read, where missing and empty are alike); a
// full disk in small; and files as a player, not root, may use them.
#pragma once

#include "tools/asset-kit/files.h"

#include <csignal>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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

// Runs work in a child process of a player (nobody) when the test runs as root, who may read
// and write any file: what work returned, or "" when it could not run.
inline std::string as_player(const std::function<std::string()> &work)
{
  constexpr uid_t PLAYER_ID = 65534;
  int ends[2];
  if (pipe(ends) != 0)
    return "";
  pid_t child = fork();
  if (child == 0) {
    bool player = geteuid() != 0 || (setgid(PLAYER_ID) == 0 && setuid(PLAYER_ID) == 0);
    std::string said = player ? work() : "";
    _exit(write(ends[1], said.data(), said.size()) == (ssize_t)said.size() ? 0 : 1);
  }
  close(ends[1]);
  std::string said;
  char buffer[256];
  for (ssize_t n; (n = read(ends[0], buffer, sizeof buffer)) > 0;)
    said.append(buffer, n);
  close(ends[0]);
  waitpid(child, nullptr, 0);
  return said;
}

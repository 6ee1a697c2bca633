// Telling one X server process apart from a later one that reuses its id,
// by its start time, for the virtual display's tests.
#pragma once

#include "tests/support/run_command.h"

#include <fstream>
#include <string>
#include <sys/types.h>

// "PID START_TIME" of the live process with this id, or "" when there is none
// (a zombie has ended: it holds nothing any more).
inline std::string process_identity(pid_t pid)
{
  std::string ps = pid > 0 ? run_command("ps -o stat=,lstart= -p " + std::to_string(pid)).output : "";
  size_t start = ps.find(' ');  // after the state, up to the line's end
  return ps.empty() || ps[0] == 'Z' ? "" : std::to_string(pid) + ps.substr(start, ps.find('\n') - start);
}

// The identity of the live server of display ":N" (by its lock file), or "".
inline std::string display_server(const std::string &display)
{
  pid_t pid = 0;
  std::ifstream("/tmp/.X" + display.substr(display.empty() ? 0 : 1) + "-lock") >> pid;
  return display.size() > 1 ? process_identity(pid) : "";
}

// Whether the process with this identity still runs.
inline bool still_runs(const std::string &identity)
{
  return !identity.empty() && process_identity(std::stoi(identity)) == identity;
}

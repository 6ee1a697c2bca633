// Telling one X server process apart from a later one that reuses its id,
// by its start time, for the virtual display's tests.
#pragma once

#include "tests/support/run_command.h"

#include <fstream>
#include <sstream>
#include <string>
#include <sys/types.h>

// "PID START_TIME" (ps's words) of the live process with this id, or "" when there is none
// (a zombie has ended: it holds nothing any more).
inline std::string process_identity(pid_t pid)
{
  std::istringstream words(pid > 0 ? run_command("ps -o stat=,lstart= -p " + std::to_string(pid)).output : "");
  std::string state, word, identity = std::to_string(pid);
  for (words >> state; words >> word;)
    identity += " " + word;
  return state.empty() || state[0] == 'Z' ? "" : identity;
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

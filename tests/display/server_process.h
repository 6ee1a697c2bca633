// Telling one X server process apart from a later one that reuses its id,
// by its start time in /proc, for the virtual display's tests.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <sys/types.h>

// "PID START_TIME" of the live process with this id, or "" when there is none
// (a zombie has ended: it holds nothing any more).
inline std::string process_identity(pid_t pid)
{
  std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
  std::string line, field;
  std::getline(file, line);
  size_t name_end = line.rfind(')');  // the command name may hold spaces
  std::istringstream fields(name_end == std::string::npos ? "" : line.substr(name_end + 2));
  char state = 'Z';
  fields >> state;
  for (int read = 4; read <= 22 && fields >> field; read++)  // the start time is field 22
    ;
  return pid > 0 && fields && state != 'Z' ? std::to_string(pid) + " " + field : "";
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

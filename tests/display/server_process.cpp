// Telling one X server process apart from any other, for the display tests.
#include "server_process.h"

#include <fstream>
#include <sstream>

namespace {

// The state letter and start time from /proc/PID/stat; false when the process
// is gone. The fields after the command name, which may hold spaces, are
// read from its closing parenthesis on.
bool read_stat(pid_t pid, char &state, unsigned long long &start_time)
{
  std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (pid <= 0 || !std::getline(file, line))
    return false;
  size_t name_end = line.rfind(')');
  if (name_end == std::string::npos)
    return false;
  std::istringstream fields(line.substr(name_end + 1));
  fields >> state;
  std::string skipped;
  for (int field = 4; field < 22; field++)  // start time is field 22
    fields >> skipped;
  return bool(fields >> start_time);
}

}  // namespace

process_identity identify(pid_t pid)
{
  process_identity process;
  char state;
  if (read_stat(pid, state, process.start_time) && state != 'Z')
    process.pid = pid;
  return process;
}

process_identity display_server(const std::string &display)
{
  if (display.size() < 2 || display[0] != ':')
    return process_identity();
  std::ifstream lock("/tmp/.X" + display.substr(1) + "-lock");
  pid_t pid = 0;
  lock >> pid;
  return identify(pid);
}

bool still_runs(const process_identity &process)
{
  char state;
  unsigned long long start_time;
  return read_stat(process.pid, state, start_time) && start_time == process.start_time && state != 'Z';
}

std::string identity_text(const process_identity &process)
{
  return std::to_string(process.pid) + " " + std::to_string(process.start_time);
}

process_identity identity_from_text(const std::string &text)
{
  process_identity process;
  std::istringstream(text) >> process.pid >> process.start_time;
  return process;
}

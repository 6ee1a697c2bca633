// The project's virtual X server for test programs.
#include "tests/support/display.h"
#include "tests/support/run_command.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <signal.h>
#include <unistd.h>
#include <vector>

namespace {

std::vector<std::string> started_displays;

void stop_displays()
{
  for (const std::string &display : started_displays)
    std::system((std::string(VIRTUAL_DISPLAY) + " stop " + display).c_str());
}

// The display that CTest's shared-display fixture started for this run, if
// its server is still alive (a run that was killed leaves the file behind).
std::string shared_display()
{
  std::string display;
  std::ifstream(SHARED_DISPLAY_FILE) >> display;
  if (display.size() < 2 || display[0] != ':')
    return "";
  long server = 0;
  std::ifstream("/tmp/.X" + display.substr(1) + "-lock") >> server;
  return server > 0 && kill((pid_t)server, 0) == 0 ? display : "";
}

}  // namespace

std::string test_display()
{
  static std::string shared = shared_display();
  return shared.empty() ? own_display("") : shared;
}

std::string own_display(const std::string &server_options)
{
  static std::map<std::string, std::string> displays;
  std::string &display = displays[server_options];
  if (!display.empty())
    return display;
  // Owned by this process: the server ends with it, also when it crashes or
  // is killed (a test timeout), where the stop at exit never runs.
  display = run_command(std::string(VIRTUAL_DISPLAY) + " start --owner " + std::to_string(getpid()) + " " +
                        server_options).output;
  display.erase(display.find_last_not_of("\n ") + 1);
  if (display.empty() || display[0] != ':')
    return display = "";
  if (started_displays.empty())
    std::atexit(stop_displays);
  started_displays.push_back(display);
  return display;
}

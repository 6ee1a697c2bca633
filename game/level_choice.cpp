// The level a game starts on: a number of the campaign, or one file played alone.
#include "game/level_choice.h"
#include "game/play_messages.h"
#include "world/game_rules.h"
#include "world/map_load.h"
#include "level/level.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

bool ends_with(const std::string &text, const std::string &end)
{
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A whole number from 1 up, or 0.
int32_t level_number_in(const char *value)
{
  char *end = nullptr;
  errno = 0;
  long number = std::strtol(value, &end, 10);
  if (end == value || *end != '\0' || errno != 0 || number < 1 || number > 1000000)
    return 0;
  return (int32_t)number;
}

bool choose_campaign_level(int32_t number)
{
  char path[64];
  std::snprintf(path, sizeof path, "maps/map%d.map", number);
  if (access(path, R_OK) != 0) {
    std::fprintf(stderr, "pilko: there is no level %d (%s)\n", number, path);
    return false;
  }
  first_level = number;
  return true;
}

bool choose_level_text(const char *path)
{
  std::string text;
  if (!read_level_file(path, text))
    return false;
  static level_data level;
  std::string report;
  level_summary summary;
  bool compiled = compile_level_text(text, path, level_rules::normal, level, summary, report);
  std::fputs(report.c_str(), stderr);
  if (!compiled)
    return false;
  static std::string map_path_in_memory;
  map_path_in_memory = map_in_memory(level);
  if (map_path_in_memory.empty()) {
    report_file_problem(path, std::string("cannot keep it compiled: ") + std::strerror(errno));
    return false;
  }
  single_map = map_path_in_memory.c_str();
  name_single_level(level.name);
  return true;
}

bool choose_map_file(const char *path)
{
  if (!load_map(path)) {
    report_file_problem(path, std::string("not a map pilko can read: ") + map_load_problem());
    return false;
  }
  single_map = path;
  return true;
}

}  // namespace

bool choose_first_level(const char *value)
{
  int32_t number = level_number_in(value);
  if (number != 0)
    return choose_campaign_level(number);
  if (ends_with(value, ".level"))
    return choose_level_text(value);
  return choose_map_file(value);
}

// Writing and reading the index of levels that lies beside the maps.
#include "level/level.h"

#include <cstdlib>

namespace {

const char *const INDEX_HEADER =
    "# The levels of this folder: \"NUMBER NAME\" for maps/mapNUMBER.map, then\n"
    "# the legend the level was written with. Made by level-compiler index.\n";
constexpr long MAX_INDEX_BYTES = 1 << 20;

// The file's name without folder and extension.
std::string stem(const std::string &path)
{
  size_t slash = path.find_last_of('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  size_t dot = name.find_last_of('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

// N of "mapN", or 0.
int map_number(const std::string &name)
{
  if (name.compare(0, 3, "map") != 0 || name.size() == 3 || name.size() > 9 ||
      name.find_first_not_of("0123456789", 3) != std::string::npos)
    return 0;
  return std::atoi(name.c_str() + 3);
}

// A level's name can be written on a line of its own and read back as it was:
// no control character, no byte a terminal could not show.
bool fits_a_name(const std::string &name)
{
  return !name.empty() && printable(name) == name;
}

}  // namespace

std::string index_text(const std::vector<level_data> &levels)
{
  std::string text = INDEX_HEADER;
  for (size_t i = 0; i < levels.size(); i++) {
    text += std::to_string(i + 1) + " " + levels[i].name + "\n";
    for (const std::string &line : levels[i].legend_lines)
      text += line + "\n";
  }
  return text;
}

std::string index_entry_for_map(const std::string &map_path, legend_hints &hints)
{
  std::string name = stem(map_path);
  int wanted = map_number(name);
  size_t slash = map_path.find_last_of('/');
  std::string folder = slash == std::string::npos ? "" : map_path.substr(0, slash + 1);
  std::vector<unsigned char> bytes;
  std::string error;
  bool too_long = false;
  if (!read_regular_file(folder + LEVEL_INDEX_NAME, MAX_INDEX_BYTES, bytes, error, &too_long) || too_long)
    return name;
  legend_hints others;
  int number = 0;
  for (const std::string &line : split_lines(std::string(bytes.begin(), bytes.end()))) {
    legend_hint hint;
    if (!line.empty() && line[0] >= '0' && line[0] <= '9') {
      number = std::atoi(line.c_str());
      size_t blank = line.find(' ');
      if (number == wanted && blank != std::string::npos && fits_a_name(line.substr(blank + 1)))
        name = line.substr(blank + 1);
    } else if (!line.empty() && line[0] == ' ' && read_legend_hint(line, hint)) {
      (number == wanted ? hints : others).push_back(hint);
    }
  }
  hints.insert(hints.end(), others.begin(), others.end());
  return name;
}

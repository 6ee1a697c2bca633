// A level's text read and compiled in memory: parse, check, report.
#include "level/level.h"

#include <sys/mman.h>
#include <unistd.h>

bool read_level_file(const char *path, std::string &text)
{
  byte_buffer bytes;
  std::string error;
  bool too_long = false;
  if (!read_regular_file(path, MAX_LEVEL_TEXT_BYTES, bytes, error, &too_long) || too_long) {
    report_file_problem(path, too_long ? "longer than 1 MB: not a level text" : error);
    return false;
  }
  text.assign(bytes.begin(), bytes.end());
  return true;
}

std::string solution_beside(const std::string &level_path)
{
  const std::string extension = ".level";
  bool has = level_path.size() > extension.size() &&
             level_path.compare(level_path.size() - extension.size(), extension.size(), extension) == 0;
  return (has ? level_path.substr(0, level_path.size() - extension.size()) : level_path) + ".solution";
}

bool compile_level_text(const std::string &text, const std::string &file, level_rules how,
                        level_data &level, level_summary &summary, std::string &report)
{
  static level_sources sources;  // large: kept out of the stack
  diagnostics messages;
  if (parse_level_text(text, level, sources, messages)) {
    diagnostics findings;
    summary = check_level(level, sources, findings);
    for (diagnostic &d : findings) {
      d.is_error = how == level_rules::strict || (d.is_error && how != level_rules::unchecked);
      messages.push_back(d);
    }
  }
  report = format_diagnostics(file, messages);
  // A map has no room for more enemies, checked or not.
  return !has_errors(messages) && level.enemy_count <= MAX_ENEMIES;
}

std::string map_in_memory(const level_data &level)
{
  std::vector<unsigned char> bytes = encode_map(level);
  int fd = memfd_create("pilko-level.map", 0);
  if (fd < 0)
    return "";
  if (write(fd, bytes.data(), bytes.size()) != (ssize_t)bytes.size()) {
    close(fd);
    return "";
  }
  return "/proc/self/fd/" + std::to_string(fd);
}

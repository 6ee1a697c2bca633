// level-compiler: turns a level's text into the game's map file, a map file
// back into text, checks levels and proves them playable.
//
//   level-compiler verify [--strict] LEVEL.level [SOLUTION]
//   level-compiler check [--strict] LEVEL.level...
//   level-compiler compile [--strict | --unchecked] LEVEL.level MAP.map
//   level-compiler decompile MAP.map [LEVEL.level]
//   level-compiler index INDEX LEVEL.level...
//
// Messages are "file:line:column: error: ..." or "...: warning: ...", and
// "level-compiler: path: message" for a file that cannot be read or written.
// Exit status: 0 done, 1 a level has errors, fails its solution or a file
// cannot be read or written, 2 wrong usage.
#include "tools/level-compiler/level_check.h"
#include "tools/level-compiler/level_codec.h"
#include "tools/level-compiler/level_index.h"
#include "tools/level-compiler/level_text.h"
#include "tools/level-compiler/printable.h"
#include "tools/simulator/play.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

constexpr int EXIT_OK = 0;
constexpr int EXIT_BAD_LEVEL = 1;
constexpr int EXIT_USAGE = 2;
const char *const TOOL = "level-compiler";

const char *const USAGE =
    "usage: level-compiler verify [--strict] LEVEL.level [SOLUTION]\n"
    "       level-compiler check [--strict] LEVEL.level...\n"
    "       level-compiler compile [--strict | --unchecked] LEVEL.level MAP.map\n"
    "       level-compiler decompile MAP.map [LEVEL.level]\n"
    "       level-compiler index INDEX LEVEL.level...\n"
    "\n"
    "  verify      check the level, compile it in memory and play its solution\n"
    "              (default: the .solution file beside it) through the game's\n"
    "              world update; print one line: ok, or the first failure\n"
    "  check       check levels; print what each holds when it passes\n"
    "  compile     check a level and write its map file\n"
    "  decompile   write a map file back as level text (to standard output\n"
    "              without LEVEL); reuses the name and legend of the levels.txt\n"
    "              index beside the map\n"
    "  index       write the index of levels (number, name and legend of each,\n"
    "              in the order given) that decompile reads back\n"
    "\n"
    "  --strict    warnings count as errors\n"
    "  --unchecked the checker's errors count as warnings (for maps from elsewhere)\n"
    "  -h, --help  print this and exit\n"
    "\n"
    "Exit status: 0 done, 1 a level has errors or fails its solution, or a file\n"
    "cannot be read or written, 2 wrong usage.\n";

// How seriously to take the checker's findings.
enum class rules { unchecked, normal, strict };

void say(const std::string &path, const std::string &problem)
{
  std::fprintf(stderr, "%s: %s: %s\n", TOOL, printable(path).c_str(), problem.c_str());
}

bool read_level_text(const char *path, std::string &text)
{
  std::vector<unsigned char> bytes;
  std::string error;
  bool too_long = false;
  if (!read_regular_file(path, MAX_LEVEL_TEXT_BYTES, bytes, error, &too_long)) {
    say(path, error);
    return false;
  }
  if (too_long) {
    say(path, "longer than 1 MB: not a level text");
    return false;
  }
  text.assign(bytes.begin(), bytes.end());
  return true;
}

// Reads, parses and checks one level; prints its messages. False when the
// level has errors under the rules, or more enemies than a map has room for
// (which even --unchecked cannot let through).
bool load_level(const char *path, rules how, level_data &level, level_summary &summary)
{
  std::string text;
  if (!read_level_text(path, text))
    return false;
  static level_sources sources;
  diagnostics messages;
  bool parsed = parse_level_text(text, level, sources, messages);
  if (parsed) {
    diagnostics findings;
    summary = check_level(level, sources, findings);
    for (diagnostic &d : findings) {
      d.is_error = how == rules::strict || (d.is_error && how != rules::unchecked);
      messages.push_back(d);
    }
  }
  std::fputs(format_diagnostics(path, messages).c_str(), stderr);
  return !has_errors(messages) && level.enemy_count <= MAX_ENEMIES;
}

std::string count_of(int n, const char *one, const char *many)
{
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

bool write_bytes(const char *path, const std::vector<unsigned char> &bytes)
{
  if (write_file(path, bytes))
    return true;
  say(path, std::string("cannot write: ") + std::strerror(errno));
  return false;
}

int compile_level(const char *in, const char *out, rules how)
{
  static level_data level;
  level_summary summary;
  if (!load_level(in, how, level, summary))
    return EXIT_BAD_LEVEL;
  return write_bytes(out, encode_map(level)) ? EXIT_OK : EXIT_BAD_LEVEL;
}

int check_levels(const std::vector<const char *> &paths, rules how)
{
  static level_data level;
  int status = EXIT_OK;
  for (const char *path : paths) {
    level_summary s;
    if (!load_level(path, how, level, s)) {
      status = EXIT_BAD_LEVEL;
      continue;
    }
    std::printf("%s: checked: %s, %s; the hero reaches %d of %d cells\n", printable(path).c_str(),
                count_of(s.drops, "drop", "drops").c_str(), count_of(s.enemies, "enemy", "enemies").c_str(),
                s.reachable_cells, GRID_SIZE * GRID_SIZE);
  }
  return status;
}

// The solution beside a level: its path with ".solution" for ".level".
std::string solution_beside(const std::string &level)
{
  const std::string extension = ".level";
  bool has = level.size() > extension.size() &&
             level.compare(level.size() - extension.size(), extension.size(), extension) == 0;
  return (has ? level.substr(0, level.size() - extension.size()) : level) + ".solution";
}

// A map file that lives only in memory, under a path the game's loader opens.
std::string map_in_memory(const level_data &level)
{
  int fd = memfd_create("compiled.map", 0);
  std::vector<unsigned char> bytes = encode_map(level);
  if (fd < 0 || write(fd, bytes.data(), bytes.size()) != (ssize_t)bytes.size())
    return "";
  return "/proc/self/fd/" + std::to_string(fd);
}

// What went wrong with a play that did not complete the level.
std::string failure_of(const play_result &r)
{
  std::string death = r.last_death.cause + " at " + r.last_death.place;
  if (r.game_over)
    return "tick " + std::to_string(r.ticks) + ": game over: the last life was lost to " + death;
  std::string text = "tick " + std::to_string(r.ticks) + ": the solution ends with " +
                     count_of(r.drops_left, "drop", "drops") + " left, the hero at " + r.hero_place;
  if (r.last_death.tick)
    text += "; its last death, tick " + std::to_string(r.last_death.tick) + ": " + death;
  return text;
}

int verify_level(const char *path, const char *solution_path, rules how)
{
  static level_data level;
  level_summary summary;
  if (!load_level(path, how, level, summary))
    return EXIT_BAD_LEVEL;
  std::string solution = solution_path ? solution_path : solution_beside(path);
  std::vector<key_run> runs;
  if (!start_headless() || !load_key_script(TOOL, solution.c_str(), runs, stderr))
    return EXIT_BAD_LEVEL;
  std::string map = map_in_memory(level);
  if (map.empty()) {
    say(path, std::string("cannot compile in memory: ") + std::strerror(errno));
    return EXIT_BAD_LEVEL;
  }
  if (!start_game(TOOL, map.c_str()))
    return EXIT_BAD_LEVEL;
  play_result r = play_runs(runs, play_options{nullptr, false, false});
  if (!r.completed || r.game_over) {
    std::fprintf(stderr, "%s: %s\n", printable(solution).c_str(), failure_of(r).c_str());
    return EXIT_BAD_LEVEL;
  }
  std::printf("%s: ok: %s in %ld ticks, %s left\n", printable(path).c_str(),
              count_of(summary.drops, "drop", "drops").c_str(), r.completed_tick, count_of(r.lives, "life", "lives").c_str());
  return EXIT_OK;
}

int decompile_map(const char *in, const char *out)
{
  std::vector<unsigned char> bytes;
  std::string error;
  if (!read_regular_file(in, map_file_size(MAX_ENEMIES), bytes, error)) {
    say(in, error);
    return EXIT_BAD_LEVEL;
  }
  static level_data level;
  if (!decode_map(bytes, level, error)) {
    say(in, "not a map file: " + error);
    return EXIT_BAD_LEVEL;
  }
  legend_hints hints;
  level.name = index_entry_for_map(in, hints);
  std::string text = write_level_text(level, hints);
  if (!out) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    return EXIT_OK;
  }
  return write_bytes(out, std::vector<unsigned char>(text.begin(), text.end())) ? EXIT_OK : EXIT_BAD_LEVEL;
}

int write_index(const char *out, const std::vector<const char *> &paths)
{
  std::vector<level_data> levels(paths.size());
  for (size_t i = 0; i < paths.size(); i++) {
    std::string text;
    static level_sources sources;
    diagnostics messages;
    if (!read_level_text(paths[i], text))
      return EXIT_BAD_LEVEL;
    if (!parse_level_text(text, levels[i], sources, messages)) {
      std::fputs(format_diagnostics(paths[i], messages).c_str(), stderr);
      return EXIT_BAD_LEVEL;
    }
  }
  std::string index = index_text(levels);
  return write_bytes(out, std::vector<unsigned char>(index.begin(), index.end())) ? EXIT_OK : EXIT_BAD_LEVEL;
}

// The command line: a command, options anywhere, then file names.
struct command_line {
  std::string command;
  rules how = rules::normal;
  bool help = false, bad_option = false, both_rules = false;
  std::vector<const char *> files;
};

command_line read_command_line(int argc, char **argv)
{
  command_line line;
  for (int i = 1; i < argc; i++) {
    std::string arg = argv[i];
    if (arg == "--help" || arg == "-h")
      line.help = true;
    else if (arg == "--strict" || arg == "--unchecked") {
      rules how = arg == "--strict" ? rules::strict : rules::unchecked;
      line.both_rules = line.both_rules || (line.how != rules::normal && line.how != how);
      line.how = how;
    } else if (arg.size() > 1 && arg[0] == '-')
      line.bad_option = true;
    else if (line.command.empty())
      line.command = arg;
    else
      line.files.push_back(argv[i]);
  }
  return line;
}

int usage_error(const std::string &problem)
{
  std::fprintf(stderr, "%s: %s\n%s", TOOL, problem.c_str(), USAGE);
  return EXIT_USAGE;
}

}  // namespace

int main(int argc, char **argv)
{
  command_line line = read_command_line(argc, argv);
  if (line.help) {
    std::fputs(USAGE, stdout);
    return EXIT_OK;
  }
  const std::string &c = line.command;
  size_t n = line.files.size();
  const char *first = n > 0 ? line.files[0] : nullptr, *second = n > 1 ? line.files[1] : nullptr;
  if (line.bad_option || line.both_rules)
    return usage_error(line.both_rules ? "--strict and --unchecked contradict each other" : "unknown option");
  if (line.how == rules::unchecked && c != "compile")
    return usage_error("--unchecked is for compile only");
  if (c == "verify" && (n == 1 || n == 2))
    return verify_level(first, second, line.how);
  if (c == "check" && n >= 1)
    return check_levels(line.files, line.how);
  if (c == "compile" && n == 2)
    return compile_level(first, second, line.how);
  if (c == "decompile" && (n == 1 || n == 2) && line.how == rules::normal)
    return decompile_map(first, second);
  if (c == "index" && n >= 1 && line.how == rules::normal)
    return write_index(first, std::vector<const char *>(line.files.begin() + 1, line.files.end()));
  return usage_error(c.empty() ? "no command" : "wrong arguments for '" + printable(c) + "'");
}

// level-compiler: checks levels, proves them playable with their solutions,
// turns a level's text into the game's map file and a map file back into text
// (usage: level-compiler --help).
#include "level/level.h"
#include "replay/replay.h"
#include "tools/asset-kit/command_line.h"
#include "tools/asset-kit/files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int EXIT_OK = 0;
constexpr int EXIT_BAD_LEVEL = 1;

int command_form;  // which of the commands below was given

struct arguments {
  const char *level = nullptr, *map = nullptr, *solution = nullptr, *index = nullptr;
  bool strict = false, unchecked = false;
  std::vector<const char *> levels;
};
arguments args;

enum command { VERIFY, CHECK, COMPILE, DECOMPILE, INDEX };

const tool_usage usage = {
  "level-compiler",
  "Checks levels, proves them with their solutions, compiles a level's text into the game's map\n"
  "file, and turns maps back into text.",
  {
    {"verify", "checks LEVEL.level, compiles it in memory and plays its solution through the game's\n"
               "world update; prints one line: ok, or the first failure with its tick, cell and cause", {
      operand("LEVEL.level", "the level's text", &args.level),
      optional_operand("SOLUTION", "its key script (default: the .solution file beside it)", &args.solution),
      switch_option("--strict", "warnings count as errors", &args.strict),
    }},
    {"check", "prints every level's errors and warnings, and one line for each level that passes", {
      operand_list("LEVEL.level", "the levels to check", &args.levels),
      switch_option("--strict", "warnings count as errors", &args.strict),
    }},
    {"compile", "writes MAP.map from LEVEL.level when the level has no errors", {
      operand("LEVEL.level", "the level's text", &args.level),
      operand("MAP.map", "the map file to write", &args.map),
      switch_option("--strict", "warnings count as errors", &args.strict),
      switch_option("--unchecked", "the checker's errors count as warnings (for maps from elsewhere)",
                    &args.unchecked),
    }},
    {"decompile", "writes a map file back as level text, with the name and legend of the levels.txt\n"
                  "index beside the map", {
      operand("MAP.map", "the map file to read", &args.map),
      optional_operand("LEVEL.level", "the text file to write (standard output when left out)",
                       &args.level),
    }},
    {"index", "writes the index of levels (number, name and legend of each, in order) that\n"
              "decompile reads back", {
      operand("INDEX", "the index file to write (maps/levels.txt)", &args.index),
      operand_list("LEVEL.level", "the levels in their order", &args.levels),
    }},
  },
  "Messages: 'file:line:column: error: ...' or '...: warning: ...'. Exit status: 0 done, 1 a level\n"
  "has errors or fails its solution, or a file cannot be read or written, 2 wrong usage.\n",
};

// Reads, parses and checks one level; prints its messages. False when the
// level has errors under the rules, or more enemies than a map has room for
// (which even --unchecked cannot let through).
bool load_level(const char *path, level_rules how, level_data &level, level_summary &summary)
{
  std::string text;
  if (!read_level_file(path, text))
    return false;
  std::string report;
  bool compiled = compile_level_text(text, path, how, level, summary, report);
  std::fputs(report.c_str(), stderr);
  return compiled;
}

std::string count_of(int n, const char *one, const char *many)
{
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// Writes a whole file (bytes or text); false after saying why it cannot.
template <typename contents>
bool write_whole(const char *path, const contents &data)
{
  if (write_file(path, data))
    return true;
  file_error(path, std::string("cannot write: ") + std::strerror(errno));
  return false;
}

int compile_level(const char *in, const char *out, level_rules how)
{
  static level_data level;
  level_summary summary;
  if (!load_level(in, how, level, summary))
    return EXIT_BAD_LEVEL;
  return write_whole(out, encode_map(level)) ? EXIT_OK : EXIT_BAD_LEVEL;
}

int check_levels(const std::vector<const char *> &paths, level_rules how)
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

// What went wrong with a play that did not complete the level.
std::string failure_of(const play_result &r)
{
  std::string death = r.last_death.cause + " at " + r.last_death.place;
  if (r.game_over)
    return "tick " + std::to_string(r.ticks) + ": game over: the last life was lost to " + death;
  if (r.skipped)
    return "tick " + std::to_string(r.completed_tick) +
           ": the solution skips the level with TAB and END; a solution collects every drop";
  std::string text = "tick " + std::to_string(r.ticks) + ": the solution ends with " +
                     count_of(r.drops_left, "drop", "drops") + " left, the hero at " + r.hero_place;
  if (r.last_death.tick)
    text += "; its last death, tick " + std::to_string(r.last_death.tick) + ": " + death;
  return text;
}

int verify_level(const char *path, const char *solution_path, level_rules how)
{
  static level_data level;
  level_summary summary;
  if (!load_level(path, how, level, summary))
    return EXIT_BAD_LEVEL;
  std::string solution = solution_path ? solution_path : solution_beside(path);
  std::vector<key_run> runs;
  if (!start_headless() || !load_key_script(solution.c_str(), runs, stderr))
    return EXIT_BAD_LEVEL;
  std::string map = map_in_memory(level);
  if (map.empty()) {
    file_error(path, std::string("cannot compile in memory: ") + std::strerror(errno));
    return EXIT_BAD_LEVEL;
  }
  if (!start_game(map.c_str()))
    return EXIT_BAD_LEVEL;
  play_result r = play_runs(runs, play_options{nullptr, false, false});
  if (!r.completed || r.skipped || r.game_over) {
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
    file_error(in, error);
    return EXIT_BAD_LEVEL;
  }
  static level_data level;
  if (!decode_map(bytes, level, error)) {
    file_error(in, "not a map file: " + error);
    return EXIT_BAD_LEVEL;
  }
  legend_hints hints;
  level.name = index_entry_for_map(in, hints);
  std::string text = write_level_text(level, hints);
  if (!out) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    return EXIT_OK;
  }
  return write_whole(out, text) ? EXIT_OK : EXIT_BAD_LEVEL;
}

int write_index(const char *out, const std::vector<const char *> &paths)
{
  std::vector<level_data> levels(paths.size());
  for (size_t i = 0; i < paths.size(); i++) {
    std::string text;
    static level_sources sources;
    diagnostics messages;
    if (!read_level_file(paths[i], text))
      return EXIT_BAD_LEVEL;
    if (!parse_level_text(text, levels[i], sources, messages)) {
      std::fputs(format_diagnostics(paths[i], messages).c_str(), stderr);
      return EXIT_BAD_LEVEL;
    }
  }
  std::string index = index_text(levels);
  return write_whole(out, index) ? EXIT_OK : EXIT_BAD_LEVEL;
}

int run_command()
{
  level_rules how = args.strict ? level_rules::strict : args.unchecked ? level_rules::unchecked : level_rules::normal;
  if (args.strict && args.unchecked)
    return usage_error(usage, "--strict and --unchecked contradict each other");
  if (command_form == VERIFY)
    return verify_level(args.level, args.solution, how);
  if (command_form == CHECK)
    return check_levels(args.levels, how);
  if (command_form == COMPILE)
    return compile_level(args.level, args.map, how);
  if (command_form == DECOMPILE)
    return decompile_map(args.map, args.level);
  return write_index(args.index, args.levels);
}

}  // namespace

int main(int argc, char **argv)
{
  int status = read_command_line(usage, argc, argv, &command_form);
  return status == RUN_TOOL ? run_command() : status;
}

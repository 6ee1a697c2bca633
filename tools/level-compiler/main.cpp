// level-compiler: turns a level's text into the game's map file, a map file
// back into text, and checks levels (usage: level-compiler --help).
//
// Messages are "file:line:column: error: ..." or "...: warning: ...". A level
// with an error is not written, unless --unchecked turns the checker's errors
// into warnings (for maps that come from elsewhere, which the decompiler must
// reproduce byte for byte). Exit status: 0 done, 1 a level has errors or a file
// cannot be read or written, 2 wrong usage.
#include "tools/level-compiler/level_codec.h"
#include "tools/level-compiler/level_compile.h"
#include "tools/level-compiler/level_text.h"
#include "tools/asset-kit/command_line.h"
#include "tools/asset-kit/files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int EXIT_OK = 0;
constexpr int EXIT_BAD_LEVEL = 1;

struct arguments {
  const char *level = nullptr, *map = nullptr;
  bool unchecked = false;
  std::vector<const char *> levels;
};
arguments args;

enum command { COMPILE, CHECK, DECOMPILE };

const tool_usage usage = {
  "level-compiler",
  "Compiles a level's text into the game's map file, checks levels, and turns maps back into text.",
  {
    {"compile", "writes MAP.map from LEVEL.level when the level has no errors", {
      operand("LEVEL.level", "the level's text", &args.level),
      operand("MAP.map", "the map file to write", &args.map),
      switch_option("--unchecked", "the checker's errors count as warnings", &args.unchecked),
    }},
    {"check", "prints every level's errors and warnings", {
      operand_list("LEVEL.level", "the levels to check", &args.levels),
    }},
    {"decompile", "writes a map file back as level text", {
      operand("MAP.map", "the map file to read", &args.map),
      optional_operand("LEVEL.level", "the text file to write (standard output when left out)",
                       &args.level),
    }},
  },
};

// Reads, parses and checks one level; prints its messages. With unchecked,
// the checker's errors count as warnings. False when the level has errors.
bool load_level(const char *path, bool unchecked, level_data &level)
{
  std::vector<unsigned char> bytes;
  if (!read_file(path, bytes)) {
    file_error(path, std::string("cannot read: ") + std::strerror(errno));
    return false;
  }
  std::string report;
  bool compiled = compile_level_text(std::string(bytes.begin(), bytes.end()), path, unchecked,
                                     level, report);
  std::fputs(report.c_str(), stderr);
  return compiled;
}

int compile_level(const char *in, const char *out, bool unchecked)
{
  static level_data level;
  if (!load_level(in, unchecked, level))
    return EXIT_BAD_LEVEL;
  if (!write_file(out, encode_map(level)))
    return file_error(out, std::string("cannot write: ") + std::strerror(errno));
  return EXIT_OK;
}

int check_levels(const std::vector<const char *> &paths)
{
  static level_data level;
  int status = EXIT_OK;
  for (const char *path : paths)
    if (!load_level(path, false, level))
      status = EXIT_BAD_LEVEL;
  return status;
}

// The file's name without folder and extension: a decompiled level's name.
std::string stem(const std::string &path)
{
  size_t slash = path.find_last_of('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  size_t dot = name.find_last_of('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

int decompile_map(const char *in, const char *out)
{
  std::vector<unsigned char> bytes;
  if (!read_file(in, bytes))
    return file_error(in, std::string("cannot read: ") + std::strerror(errno));
  static level_data level;
  std::string error;
  if (!decode_map(bytes, level, error))
    return file_error(in, "not a map file: " + error);
  level.name = stem(in);
  std::string text = write_level_text(level);
  if (!out) {
    std::fputs(text.c_str(), stdout);
    return EXIT_OK;
  }
  if (!write_file(out, text))
    return file_error(out, std::string("cannot write: ") + std::strerror(errno));
  return EXIT_OK;
}

}  // namespace

int main(int argc, char **argv)
{
  int form = 0;
  int status = read_command_line(usage, argc, argv, &form);
  if (status != RUN_TOOL)
    return status;
  if (form == COMPILE)
    return compile_level(args.level, args.map, args.unchecked);
  if (form == CHECK)
    return check_levels(args.levels);
  return decompile_map(args.map, args.level);
}

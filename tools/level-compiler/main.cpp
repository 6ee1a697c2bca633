// level-compiler: turns a level's text into the game's map file, a map file
// back into text, and checks levels.
//
//   level-compiler compile LEVEL.level MAP.map [--unchecked]
//   level-compiler check LEVEL.level...
//   level-compiler decompile MAP.map [LEVEL.level]
//
// Messages are "file:line:column: error: ..." or "...: warning: ...". A level
// with an error is not written, unless --unchecked turns the checker's errors
// into warnings (for maps that come from elsewhere, which the decompiler must
// reproduce byte for byte). Exit status: 0 done, 1 a level has errors or a file
// cannot be read or written, 2 wrong usage.
#include "tools/level-compiler/level_check.h"
#include "tools/level-compiler/level_codec.h"
#include "tools/level-compiler/level_text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int EXIT_OK = 0;
constexpr int EXIT_BAD_LEVEL = 1;
constexpr int EXIT_USAGE = 2;

const char *const USAGE =
    "usage: level-compiler compile LEVEL.level MAP.map [--unchecked]\n"
    "       level-compiler check LEVEL.level...\n"
    "       level-compiler decompile MAP.map [LEVEL.level]\n";

// Reads, parses and checks one level; prints its messages. With unchecked,
// the checker's errors count as warnings. False when the level has errors.
bool load_level(const char *path, bool unchecked, level_data &level)
{
  std::vector<unsigned char> bytes;
  if (!read_file(path, bytes)) {
    std::fprintf(stderr, "%s: cannot read: %s\n", path, std::strerror(errno));
    return false;
  }
  static level_sources sources;
  diagnostics messages;
  bool parsed = parse_level_text(std::string(bytes.begin(), bytes.end()), level, sources, messages);
  if (parsed) {
    diagnostics findings;
    check_level(level, sources, findings);
    for (diagnostic &d : findings) {
      d.is_error = d.is_error && !unchecked;
      messages.push_back(d);
    }
  }
  std::fputs(format_diagnostics(path, messages).c_str(), stderr);
  return !has_errors(messages);
}

int compile_level(const char *in, const char *out, bool unchecked)
{
  static level_data level;
  if (!load_level(in, unchecked, level))
    return EXIT_BAD_LEVEL;
  if (level.enemy_count > MAX_ENEMIES)
    return EXIT_BAD_LEVEL;  // a map has no room for them, checked or not
  if (!write_file(out, encode_map(level))) {
    std::fprintf(stderr, "%s: cannot write: %s\n", out, std::strerror(errno));
    return EXIT_BAD_LEVEL;
  }
  return EXIT_OK;
}

int check_levels(int count, char **paths)
{
  static level_data level;
  int status = EXIT_OK;
  for (int i = 0; i < count; i++)
    if (!load_level(paths[i], false, level))
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
  if (!read_file(in, bytes)) {
    std::fprintf(stderr, "%s: cannot read: %s\n", in, std::strerror(errno));
    return EXIT_BAD_LEVEL;
  }
  static level_data level;
  std::string error;
  if (!decode_map(bytes, level, error)) {
    std::fprintf(stderr, "%s: not a map file: %s\n", in, error.c_str());
    return EXIT_BAD_LEVEL;
  }
  level.name = stem(in);
  std::string text = write_level_text(level);
  if (!out) {
    std::fputs(text.c_str(), stdout);
    return EXIT_OK;
  }
  if (!write_file(out, std::vector<unsigned char>(text.begin(), text.end()))) {
    std::fprintf(stderr, "%s: cannot write: %s\n", out, std::strerror(errno));
    return EXIT_BAD_LEVEL;
  }
  return EXIT_OK;
}

}  // namespace

int main(int argc, char **argv)
{
  std::string command = argc > 1 ? argv[1] : "";
  if (command == "compile" && argc == 4)
    return compile_level(argv[2], argv[3], false);
  if (command == "compile" && argc == 5 && std::strcmp(argv[4], "--unchecked") == 0)
    return compile_level(argv[2], argv[3], true);
  if (command == "check" && argc >= 3)
    return check_levels(argc - 2, argv + 2);
  if (command == "decompile" && (argc == 3 || argc == 4))
    return decompile_map(argv[2], argc == 4 ? argv[3] : nullptr);
  std::fputs(USAGE, command == "--help" ? stdout : stderr);
  return command == "--help" ? EXIT_OK : EXIT_USAGE;
}

// The level file: read before the window opens, a new level when there is
// none, and written back in the level text format, with the keys of the
// play-test that completed it as its solution.
#include "editor/session.h"
#include "level/level.h"

#include <cctype>
#include <cstdio>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char *LEVEL_EXTENSION = ".level";
constexpr const char *UNNAMED_LEVEL = "New Level";
// Where a level unsaved at a quit signal goes: beside its file.
constexpr const char *UNSAVED_EXTENSION = ".unsaved";
// The first line of a solution the editor writes.
constexpr const char *SOLUTION_HEADER = "# The keys of a play-test in pilko's editor that completed the level.\n";

// A new level's name, from its file's: "11-my-level.level" is "My level".
std::string name_from_path(const std::string &path)
{
  std::string name = path.substr(path.find_last_of('/') + 1);
  size_t extension = name.rfind(LEVEL_EXTENSION);
  if (extension != std::string::npos && extension + std::strlen(LEVEL_EXTENSION) == name.size())
    name.erase(extension);
  size_t first = name.find_first_not_of("0123456789-_ ");
  name = first == std::string::npos ? "" : name.substr(first);
  for (char &c : name)
    if (c == '-' || c == '_' || !std::isprint((unsigned char)c))
      c = ' ';
  if (name.empty())
    return UNNAMED_LEVEL;
  name[0] = (char)std::toupper((unsigned char)name[0]);
  return name.substr(0, MAX_LEVEL_NAME);
}

// Replaces the file at path with text; false with why in error. A file that
// is there but read-only is left as it is: its owner has said so.
bool write_whole(const std::string &path, const std::string &text, std::string &error)
{
  if (access(path.c_str(), F_OK) == 0 && access(path.c_str(), W_OK) != 0) {
    error = "read-only";
    return false;
  }
  return replace_file(path, byte_buffer(text.begin(), text.end()), error);
}

}  // namespace

bool open_level_file(const std::string &path, editor_session &session, std::string &error)
{
  session.path = path;
  struct stat status;
  if (lstat(path.c_str(), &status) != 0 && errno == ENOENT) {
    start_editing(session.model, new_level(name_from_path(path)));
    session.new_file = true;
    session.note = "a new level: the file is written when you save (Ctrl+S); H shows the keys";
    return true;
  }
  byte_buffer bytes;
  bool too_long = false;
  if (!read_regular_file(path, MAX_LEVEL_TEXT_BYTES, bytes, error, &too_long))
    return false;
  if (too_long) {
    error = "longer than 1 MB: not a level text";
    return false;
  }
  std::string text(bytes.begin(), bytes.end());
  if (text.find('\0') != std::string::npos) {
    error = "holds NUL bytes: not a level text";
    return false;
  }
  static level_data level;
  static level_sources sources;
  diagnostics messages;
  parse_level_text(text, level, sources, messages);
  std::string report = format_diagnostics(path, messages);
  for (size_t at = 0, end; at < report.size(); at = end + 1) {
    end = report.find('\n', at);
    session.file_messages.push_back(report.substr(at, end - at));
  }
  start_editing(session.model, level);
  session.note = session.file_messages.empty() ? "H shows the keys"
                                               : "the file has mistakes (below): saving writes the level as it is shown";
  return true;
}

std::string level_text(const level_data &level)
{
  legend_hints hints;
  legend_hint hint;
  for (const std::string &line : level.legend_lines)
    if (read_legend_hint(line, hint))
      hints.push_back(hint);
  return write_level_text(level, hints);
}

void save_level(editor_session &session)
{
  edit_model &model = session.model;
  std::string error;
  if (!write_whole(session.path, level_text(model.level), error)) {
    session.note = "cannot save " + printable(session.path) + ": " + error + "; the file is as it was";
    return;
  }
  mark_saved(model);
  session.new_file = false;
  session.file_messages.clear();  // they were the old text's
  session.note = "saved";
  if (level_has_errors(model))
    session.note += " with errors: the level will not compile until they are mended";
  std::string solution = solution_beside(session.path);
  if (!solution_is_current(model))
    session.note += "; no play-test has completed the level as it is, so " + printable(solution) +
                    " is left as it was";
  else if (!write_whole(solution, SOLUTION_HEADER + key_script_text(model.solution.runs), error))
    session.note += ", but not its solution: " + printable(solution) + ": " + error;
  else
    session.note += ", with the play-test's keys as " + printable(solution);
}

void keep_unsaved_level(const editor_session &session)
{
  if (!unsaved_changes(session.model))
    return;
  std::string kept = session.path + UNSAVED_EXTENSION, error;
  if (write_whole(kept, level_text(session.model.level), error))
    std::fprintf(stderr, "pilko: quit with the level unsaved: it is kept in %s\n", printable(kept).c_str());
  else
    std::fprintf(stderr, "pilko: quit with the level unsaved, and cannot keep it in %s: %s\n",
                 printable(kept).c_str(), error.c_str());
}

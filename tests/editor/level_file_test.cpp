// The editor's level files: every shipped level opened and written back
// compiles to the same map, the legend follows the kinds and heights in use,
// and what is no level text is refused before the editor starts.
#include <gtest/gtest.h>
#include "editor/session.h"
#include "tests/support/files.h"
#include "tests/support/scratch_folder.h"
#include "level/level.h"

#include <set>
#include <sys/stat.h>

namespace {

level_data parsed(const std::string &text)
{
  level_data level;
  static level_sources sources;
  diagnostics messages;
  EXPECT_TRUE(parse_level_text(text, level, sources, messages)) << format_diagnostics("saved", messages);
  return level;
}

// The legend's symbols, kinds, heights and comments, in any order.
std::set<std::string> legend_of(const level_data &level)
{
  std::set<std::string> entries;
  legend_hint hint;
  for (const std::string &line : level.legend_lines)
    if (read_legend_hint(line, hint))
      entries.insert(hint.symbol + std::to_string(hint.kind) + " " + std::to_string(hint.height_bits) + hint.comment);
  return entries;
}

// A session on a fresh level at path, the cursor on an empty floor cell.
editor_session session_at(const std::string &path)
{
  editor_session session;
  std::string error;
  EXPECT_TRUE(open_level_file(path, session, error)) << error;
  move_cursor(session.model, 5, 0, false);
  return session;
}

}  // namespace

TEST(LevelFile, ShippedLevelsWrittenBackCompileToTheSameMaps)
{
  const char *const levels[] = {SHIPPED_LEVELS};
  ASSERT_EQ(std::size(levels), 10u);
  for (const std::string path : levels) {
    editor_session session;
    std::string error;
    ASSERT_TRUE(open_level_file(path, session, error)) << path << ": " << error;
    EXPECT_TRUE(session.file_messages.empty()) << path;
    EXPECT_FALSE(unsaved_changes(session.model)) << path;
    std::string text = level_text(session.model.level);
    level_data back = parsed(text);
    EXPECT_EQ(encode_map(back), encode_map(session.model.level)) << path;
    EXPECT_EQ(back.name, session.model.level.name) << path;
    EXPECT_EQ(legend_of(back), legend_of(session.model.level)) << path << ": the author's legend is kept";
    EXPECT_EQ(level_text(back), text) << path << ": a second save changes the text";
  }
}

// The legend has one line for each kind and height the grid uses, no more.
TEST(LevelFile, TheLegendFollowsTheKindsAndHeightsInUse)
{
  struct legend_case {
    const char *name;
    void (*edit)(edit_model &);
    size_t legend_lines;
  } cases[] = {
      {"a new level: grass and walls", [](edit_model &) {}, 2},
      {"one cell of lava",
       [](edit_model &m) { move_cursor(m, 1, 0, false); for (int i = 0; i < 4; i++) step_kind(m, 1); }, 3},
      {"a raised block and a raised lava cell",
       [](edit_model &m) {
         move_cursor(m, 1, 0, false);
         for (int i = 0; i < 4; i++) step_kind(m, 1);
         step_height(m, LARGE_HEIGHT_STEP);
         move_cursor(m, 1, 0, false);
         step_height(m, LARGE_HEIGHT_STEP);
       },
       4},
      {"the lava taken back",
       [](edit_model &m) { move_cursor(m, 1, 0, false); step_kind(m, -1); step_kind(m, 1); }, 2},
  };
  for (const legend_case &c : cases) {
    edit_model model;
    start_editing(model, new_level("Legend"));
    c.edit(model);
    level_data back = parsed(level_text(model.level));
    EXPECT_EQ(back.legend_lines.size(), c.legend_lines) << c.name;
    EXPECT_EQ(encode_map(back), encode_map(model.level)) << c.name;
  }
}

// A text with mistakes opens, its messages kept for the panel; a missing file opens as a new
// level; binary bytes are no level text (a folder, a FIFO and a file over 1 MB are refused end
// to end, in play_test).
TEST(LevelFile, OpensMistakesAndNewLevelsButNoBinaryBytes)
{
  scratch_folder folder;
  std::string text = level_text(new_level("Broken"));
  write_file(folder.file("broken.level"), text.replace(text.find("legend\n"), 7, "legend\n  @  gold  1\n"));
  write_file(folder.file("nul.level"), std::string("name A\0B\n", 9));
  editor_session broken, fresh, refused;
  std::string error;
  ASSERT_TRUE(open_level_file(folder.file("broken.level"), broken, error)) << error;
  ASSERT_EQ(broken.file_messages.size(), 1u);
  EXPECT_NE(broken.file_messages[0].find("broken.level:"), std::string::npos) << broken.file_messages[0];
  EXPECT_NE(broken.file_messages[0].find("unknown kind 'gold'"), std::string::npos) << broken.file_messages[0];
  EXPECT_EQ(broken.model.level.name, "Broken");
  ASSERT_TRUE(open_level_file(folder.file("11-my-first_level.level"), fresh, error));
  EXPECT_EQ(fresh.model.level.name, "My first level");
  EXPECT_TRUE(fresh.new_file);
  EXPECT_FALSE(open_level_file(folder.file("nul.level"), refused, error));
  EXPECT_EQ(error, "holds NUL bytes: not a level text");
}

// The solution is written only while it proves the level as saved; any
// other .solution beside it is left alone.
TEST(LevelFile, TheSolutionIsSavedOnlyWhileItProvesTheLevel)
{
  scratch_folder folder;
  std::string path = folder.file("proven.level"), solution = folder.file("proven.solution");
  editor_session session = session_at(path);
  session.model.solution = kept_solution{{{30, 1, 0}, {5, 0, 0}}, encode_map(session.model.level)};
  save_level(session);
  EXPECT_EQ(file_text(solution).substr(file_text(solution).find('\n') + 1), "30 UP\n5\n") << session.note;
  EXPECT_FALSE(session.new_file);
  EXPECT_FALSE(unsaved_changes(session.model));

  toggle_drops(session.model);
  write_file(solution, "1 SPACE\n");  // the author's own
  save_level(session);
  EXPECT_EQ(file_text(solution), "1 SPACE\n");
  EXPECT_NE(session.note.find("is left as it was"), std::string::npos) << session.note;
  EXPECT_EQ(parsed(file_text(path)).cells[8][12].drop_marker, DROP_MARKER_DROP);
}

// A save that cannot be written leaves the old file whole and says why, saved as a player
// would (root writes over a read-only file).
TEST(LevelFile, AFailedSaveLeavesTheOldFileWholeAndSaysSo)
{
  scratch_folder folder;
  std::string kept = folder.file("kept.level");
  write_file(kept, "the old text\n");
  chmod(folder.path.c_str(), 0777);
  const struct { const char *name; std::string path; rlim_t size_limit; const char *said; } cases[] = {  // limit: a full disk
      {"a folder that is not there", folder.file("gone/new.level"), RLIM_INFINITY, "No such file or directory"},
      {"a full disk", kept, 100, "File too large"},
      {"a read-only file", kept, RLIM_INFINITY, "read-only"},
  };
  for (const auto &c : cases) {
    chmod(kept.c_str(), std::string(c.said) == "read-only" ? 0444 : 0666);
    std::string note = as_player([&] {
      editor_session session = session_at(c.path);
      toggle_drops(session.model);
      with_file_size_limit(c.size_limit, [&] { save_level(session); });
      return session.note + (unsaved_changes(session.model) ? " (unsaved)" : "");
    });
    for (const std::string &said : {std::string(c.said), std::string("the file is as it was"), std::string(" (unsaved)")})
      EXPECT_NE(note.find(said), std::string::npos) << c.name << ": " << note;
    EXPECT_EQ(file_text(kept), "the old text\n") << c.name;
    EXPECT_EQ(folder.entries(), 1) << c.name << ": a file was left";
  }
}

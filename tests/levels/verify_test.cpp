// The author's loop through the real tools: verify a level with its solution in one command, check's one
// line, the command-line convention, and files that are not level texts or maps refused at once.
#include "tests/levels/level_tools.h"

#include <sys/stat.h>

namespace {

const char *const ROOM_SOLUTION = "27 UP\n11 LEFT\n27 UP\n";  // from the start (11, 11) to the drop on (13, 13)

// Writes the level and its solution beside it (name.level, name.solution); returns the level's path.
std::string level_with_solution(const std::string &name, const room &level, const std::string &solution)
{
  write_file(scratch_path(name + ".level"), level.text());
  write_file(scratch_path(name + ".solution"), solution);
  return scratch_path(name + ".level");
}

}  // namespace

TEST(Verify, PrintsOneOkLineForASolvedLevel)
{
  std::string level = level_with_solution("solved", room(), ROOM_SOLUTION);
  tool_result result = run_compiler("verify --strict " + level);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.output, level + ": ok: 1 drop in 59 ticks, 3 lives left\n");
}

TEST(Verify, NamesTheTickCellAndCauseOfAFailure)
{
  room level;
  level.cell(13, 11) = '~';  // lava on the way to the drop
  std::string path = level_with_solution("burnt", level, ROOM_SOLUTION);
  tool_result result = run_compiler("verify " + path);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.output, scratch_path("burnt.solution") + ": tick 65: the solution ends with 1 drop left, "
            "the hero at cell (13, 11), world (25.150, 22.000); its last death, tick 21: lava floor at "
            "cell (13, 11), world (26.000, 22.000)\n");
}

TEST(Verify, StrictTurnsAWarningIntoAFailure)
{
  room level;
  level.cell(10, 14) = '~';
  level.drop(10, 14) = '*';  // a drop on lava: a warning, and the solution leaves it
  std::string path = level_with_solution("warned", level, std::string(ROOM_SOLUTION) + "1 TAB END\n");
  std::string warning = path + ":" + std::to_string(row_line(10)) + ":" + std::to_string(cell_column(14)) +
                        ": warning: the drop on (10, 14) lies on lava: taking it costs a life\n";
  tool_result lenient = run_compiler("verify " + path), strict = run_compiler("verify --strict " + path);
  EXPECT_EQ(lenient.status, 0);
  EXPECT_EQ(lenient.output, warning + path + ": ok: 2 drops in 66 ticks, 3 lives left\n");
  EXPECT_EQ(strict.status, 1);
  EXPECT_EQ(strict.output, std::string(warning).replace(warning.find("warning"), 7, "error"));
}

TEST(Verify, TakesAnotherSolutionAndSaysWhenNoneIsThere)
{
  std::string level = level_with_solution("elsewhere", room(), "1\n");
  write_file(scratch_path("other.keys"), ROOM_SOLUTION);
  EXPECT_EQ(run_compiler("verify " + level + " " + scratch_path("other.keys")).status, 0);
  write_file(scratch_path("alone.level"), room().text());
  tool_result alone = run_compiler("verify " + scratch_path("alone.level"));
  EXPECT_EQ(alone.status, 1);
  EXPECT_EQ(alone.output, "level-compiler: " + scratch_path("alone.solution") + ": cannot read: No such file or directory\n");
}

TEST(Check, PrintsOneLineSayingWhatItChecked)
{
  write_file(scratch_path("checked.level"), room().text());
  tool_result result = run_compiler("check " + scratch_path("checked.level"));
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.output, scratch_path("checked.level") +
                               ": checked: 1 drop, 1 enemy; the hero reaches 25 of 625 cells\n");
}

TEST(LevelText, ReadsAByteOrderMarkAndCrOnlyLineEnds)
{
  std::string text = room().text();
  for (char &c : text)
    c = c == '\n' ? '\r' : c;
  write_file(scratch_path("old-mac.level"), "\xef\xbb\xbf" + text);
  tool_result result = run_compiler("compile " + scratch_path("old-mac.level") + " " + scratch_path("old-mac.map"));
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.output, "");
}

TEST(CommandLine, HelpToStdoutUsageErrorsExitTwo)
{
  for (const char *help : {"-h", "--help", "check -h"}) {
    tool_result result = run_command(LEVEL_COMPILER " " + std::string(help) + " 2>/dev/null");
    EXPECT_EQ(result.status, 0) << help;
    EXPECT_EQ(result.output.compare(0, 28, "usage: level-compiler verify"), 0) << help;
  }
  for (const char *wrong : {"", "check", "frobnicate x", "check --fast x.level", "verify --strict --unchecked x"}) {
    tool_result result = run_command("(" LEVEL_COMPILER " " + std::string(wrong) + " >/dev/null)");
    EXPECT_EQ(result.status, 2) << wrong;
    EXPECT_EQ(result.output.compare(0, 16, "level-compiler: "), 0) << result.output;
  }
  EXPECT_EQ(run_command(SIMULATOR " -h 2>/dev/null").status, 0);
  EXPECT_EQ(run_command(SIMULATOR " --fast a b 2>/dev/null").status, 2);
}

TEST(Readers, RefuseDevicesFifosFoldersHugeTexts)
{
  std::string fifo = scratch_path("fifo"), folder = scratch_path("folder"), big = scratch_path("big.level");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
  write_file(big, room().text() + std::string(1 << 20, '#'));
  write_file(scratch_path("room.map"), "");
  ASSERT_EQ(compile_text("room", room()).status, 0);
  struct { std::string command, message; } cases[] = {
      {LEVEL_COMPILER " decompile /dev/zero", "level-compiler: /dev/zero: not a regular file"},
      {LEVEL_COMPILER " decompile " + fifo, "level-compiler: " + fifo + ": not a regular file"},
      {LEVEL_COMPILER " check " + fifo, "level-compiler: " + fifo + ": not a regular file"},
      {LEVEL_COMPILER " compile " + folder + " x.map", "level-compiler: " + folder + ": a folder, not a file"},
      {LEVEL_COMPILER " check " + big, "level-compiler: " + big + ": longer than 1 MB: not a level text"},
      {SIMULATOR " " + fifo + " -", "pilko-sim: " + fifo + ": not a regular file"},
      {SIMULATOR " " + scratch_path("room.map") + " " + folder, "pilko-sim: " + folder + ": a folder, not a file"},
      {SIMULATOR " " + scratch_path("room.map") + " /dev/zero", "pilko-sim: /dev/zero: not a regular file"},
  };
  for (const auto &c : cases) {
    tool_result result = run_command(c.command + " </dev/null");
    EXPECT_EQ(result.status, 1) << c.command;
    EXPECT_EQ(result.output, c.message + "\n") << c.command;
  }
}

TEST(KeyScript, QuotesOddBytesEscaped)
{
  ASSERT_EQ(compile_text("keys", room()).status, 0);
  write_file(scratch_path("odd.keys"), std::string("5 UP\n3 \x1b[2J\0X\n", 14));
  tool_result result = run_command(SIMULATOR " " + scratch_path("keys.map") + " " + scratch_path("odd.keys"));
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.output, scratch_path("odd.keys") + ":2:3: unknown key '\\x1b[2J\\x00X'\n");
}

// Every program under tools/ keeps one command-line convention: --help and -h print the usage to
// standard output and exit 0, a usage mistake prints the usage to standard error and exits 2, a
// failed file is "tool: path: message" with exit 1, and no word that looks like a flag becomes a
// file. Each run happens in an empty folder, which must stay empty.
#include <gtest/gtest.h>
#include "tests/support/run_command.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/files.h"

#include <filesystem>
#include <string>

namespace {

const char *const tool_paths[] = {TOOL_PATHS};

struct tool_run {
  int status;
  std::string out, err;
  bool wrote_files;  // anything appeared in the working folder
};

std::string name_of(const std::string &path) { return std::filesystem::path(path).filename(); }

tool_run run_tool(const std::string &tool, const std::string &arguments)
{
  scratch_folder work, logs;
  command_result run = run_command("cd '" + work.path + "' && '" + tool + "' " + arguments + " 2>'" +
                                   logs.file("err") + "'");
  return {run.status, run.output, file_text(logs.file("err")), !std::filesystem::is_empty(work.path)};
}

bool starts_with(const std::string &text, const std::string &start)
{
  return text.compare(0, start.size(), start) == 0;
}

}  // namespace

TEST(ToolCommandLine, HelpGoesToStdoutWithExitZero)
{
  ASSERT_GE(std::size(tool_paths), 9u) << "the tool list is short";
  for (const char *tool : tool_paths)
    for (const char *flag : {"--help", "-h"}) {
      std::string name = name_of(tool);
      tool_run run = run_tool(tool, flag);
      EXPECT_EQ(run.status, 0) << name << " " << flag;
      EXPECT_TRUE(starts_with(run.out, "usage: " + name + " ")) << name << " " << flag << ":\n" << run.out;
      EXPECT_NE(run.out.find("\n  -h, --help "), std::string::npos) << name << ": no option line for help";
      EXPECT_EQ(run.err, "") << name << " " << flag;
      EXPECT_FALSE(run.wrote_files) << name << " " << flag << " wrote a file";
    }
}

TEST(ToolCommandLine, BadFlagIsAUsageErrorExitTwo)
{
  for (const char *tool : tool_paths) {
    std::string name = name_of(tool);
    tool_run run = run_tool(tool, "'--no-such-flag\x1b]0;title\x07'");  // and bytes a terminal acts on
    EXPECT_EQ(run.status, 2) << name;
    EXPECT_EQ(run.out, "") << name;
    EXPECT_TRUE(starts_with(run.err, name + ": ")) << name << ":\n" << run.err;
    EXPECT_NE(run.err.find("--no-such-flag\\x1b]0;title\\x07"), std::string::npos) << name << ": not named, quoted";
    EXPECT_NE(run.err.find("\nusage: " + name + " "), std::string::npos) << name << ": no usage";
    EXPECT_FALSE(run.wrote_files) << name << " wrote a file named after a flag";
  }
}

TEST(ToolCommandLine, MissingOrExtraWordsAreUsageErrors)
{
  for (const char *tool : tool_paths) {
    std::string name = name_of(tool);
    const char *arguments = name == "music-maker"   ? "one.mid two.mid"
                            : name == "font-showcase" ? "--frames 0 --shot shot.ppm"
                            : name == "level-compiler" ? "compile only-one.level"
                                                       : "";
    tool_run run = run_tool(tool, arguments);
    EXPECT_EQ(run.status, 2) << name << " " << arguments;
    EXPECT_NE(run.err.find("usage: " + name + " "), std::string::npos) << name << ":\n" << run.err;
    EXPECT_FALSE(run.wrote_files) << name << " " << arguments;
  }
}

TEST(ToolCommandLine, FailureNamesToolAndPath)
{
  const std::string missing = "/nonexistent-pilko-folder";
  struct { const char *tool, *arguments, *message; } cases[] = {
      {"texture-maker", "", "/graphics/gras.bmp: cannot write"},
      {"sound-maker", "", "/sound/get_drop.wav: cannot write"},
      {"music-maker", "/kez.mid", "/kez.mid: cannot write"},
      {"level-compiler", "/map.map", "/map.map: cannot read: No such file or directory"},
  };
  for (const auto &c : cases) {
    const char *tool = nullptr;
    for (const char *path : tool_paths)
      if (name_of(path) == c.tool)
        tool = path;
    ASSERT_NE(tool, nullptr) << c.tool << " is not among the tools";
    std::string arguments = std::string(c.tool) == "level-compiler" ? "decompile " + missing + c.arguments
                                                                    : missing + c.arguments;
    tool_run run = run_tool(tool, arguments);
    EXPECT_EQ(run.status, 1) << c.tool;
    EXPECT_EQ(run.err, std::string(c.tool) + ": " + missing + c.message + "\n") << c.tool;
    EXPECT_EQ(run.out, "") << c.tool;
  }
}

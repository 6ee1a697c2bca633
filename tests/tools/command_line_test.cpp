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

tool_run run_tool(const std::string &tool, const std::string &arguments)
{
  scratch_folder work, logs;
  command_result run = run_command("cd '" + work.path + "' && '" + tool + "' " + arguments + " 2>'" +
                                   logs.file("err") + "'");
  return {run.status, run.output, file_text(logs.file("err")), !std::filesystem::is_empty(work.path)};
}

bool starts_with(const std::string &text, const std::string &start) { return text.compare(0, start.size(), start) == 0; }

}  // namespace

TEST(ToolCommandLine, HelpAndUsageMistakesKeepTheConvention)
{
  ASSERT_GE(std::size(tool_paths), 9u) << "the tool list is short";
  for (const char *tool : tool_paths) {
    std::string name = std::filesystem::path(tool).filename();
    // Words missing or one too many, and a flag it does not know (with bytes a terminal acts on).
    std::string wrong_words = name == "music-maker"      ? "one.mid two.mid"
                              : name == "font-showcase"  ? "--frames 0 --shot shot.ppm"
                              : name == "level-compiler" ? "compile only-one.level"
                                                         : "";
    for (const std::string &arguments : {std::string("--help"), std::string("-h"), wrong_words,
                                         std::string("'--no-such-flag\x1b]0;title\x07'")}) {
      tool_run run = run_tool(tool, arguments);
      bool help = arguments == "--help" || arguments == "-h", flag = arguments[0] == '\'';
      std::string usage = (help ? run.out : run.err), what = name + " " + arguments;
      EXPECT_EQ(run.status, help ? 0 : 2) << what;
      EXPECT_NE(usage.find("usage: " + name + " "), std::string::npos) << what << ":\n" << usage;
      EXPECT_EQ(help ? run.err : run.out, "") << what;
      EXPECT_FALSE(run.wrote_files) << what << " wrote a file";
      EXPECT_TRUE(!help || (starts_with(run.out, "usage: ") && run.out.find("\n  -h, --help ") != std::string::npos))
          << what;
      EXPECT_TRUE(!flag || (starts_with(run.err, name + ": ") &&
                            run.err.find("--no-such-flag\\x1b]0;title\\x07") != std::string::npos))
          << what << ": not named, quoted";
    }
  }
}

TEST(ToolCommandLine, FailureNamesToolAndPath)
{
  const std::string missing = "/nonexistent-pilko-folder";
  struct { const char *tool, *arguments, *message; } cases[] = {
      {"texture-maker", "", "/graphics/gras.bmp: cannot write"},
      {"sound-maker", "", "/sound/get_drop.wav: cannot write"},
      {"music-maker", "/kez.mid", "/kez.mid: cannot write"},
  };
  for (const auto &c : cases) {
    const char *tool = nullptr;
    for (const char *path : tool_paths)
      if (std::filesystem::path(path).filename() == c.tool)
        tool = path;
    ASSERT_NE(tool, nullptr) << c.tool << " is not among the tools";
    tool_run run = run_tool(tool, missing + c.arguments);
    EXPECT_EQ(run.status, 1) << c.tool;
    EXPECT_EQ(run.err, std::string(c.tool) + ": " + missing + c.message + "\n") << c.tool;
    EXPECT_EQ(run.out, "") << c.tool;
  }
}

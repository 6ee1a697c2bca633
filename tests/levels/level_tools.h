// Shared by the level tests: the real compiler run as a level author runs it, a scratch folder,
// and a small valid level to break.
#pragma once

#include <gtest/gtest.h>
#include "tests/support/scratch_folder.h"
#include "tools/asset-kit/files.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <vector>

struct tool_result { int status; std::string output; };  // output: stdout and stderr together

inline tool_result run_command(const std::string &command)
{
  tool_result result{-1, ""};
  FILE *pipe = popen((command + " 2>&1").c_str(), "r");
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    result.output.append(buffer, n);
  int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

inline tool_result run_compiler(const std::string &args) { return run_command(LEVEL_COMPILER " " + args); }

// A path in a fresh folder of this test program's own, removed when it ends.
inline std::string scratch_path(const std::string &name)
{
  static scratch_folder folder;
  return folder.file(name);
}

// Lines: name 1, start 2, legend entries 5..8, "grid" 9, the row of x at 34 - x, extra line n at 35 + n.
constexpr int row_line(int x) { return 34 - x; }
constexpr int extra_line(int n) { return 35 + n; }
constexpr int cell_column(int y) { return 5 + 2 * (24 - y); }

// A walled-in level that passes the checker: a 5 x 5 grass room (cells 10..14 on both axes) in
// stone 5.0 high, the hero at (11, 11), a drop at (13, 13), an enemy at (14, 10) walking +y.
struct room {
  std::string name = "name Test Room", start = "start 11 11";
  std::vector<std::string> legend = {"  .  grass  0", "  #  stone  5", "  ~  lava  0", "  =  metal  2"};
  std::string rows[25];  // [x], drawn: "12 |# # . ", a '*' in place of the blank after a cell with a drop
  std::vector<std::string> extra = {"enemy 14 10 +y"};

  char &cell(int x, int y) { return rows[x][cell_column(y) - 1]; }
  char &drop(int x, int y) { return rows[x][cell_column(y)]; }

  room()
  {
    for (int x = 0; x < 25; x++) {
      rows[x] = (x < 10 ? " " : "") + std::to_string(x) + " |";
      for (int y = 24; y >= 0; y--)
        rows[x] += x >= 10 && x <= 14 && y >= 10 && y <= 14 ? ". " : "# ";
    }
    drop(13, 13) = '*';
  }

  std::string text() const
  {
    std::string out = name + "\n" + start + "\n\nlegend\n";
    for (const std::string &line : legend)
      out += line + "\n";
    out += "grid\n";
    for (int x = 24; x >= 0; x--)
      out += rows[x] + "\n";
    for (const std::string &line : extra)
      out += line + "\n";
    return out;
  }
};

// Compiles level text in the scratch folder as name.level into name.map.
inline tool_result compile_text(const std::string &name, const room &level)
{
  write_file(scratch_path(name + ".level"), level.text());
  return run_compiler("compile " + scratch_path(name + ".level") + " " + scratch_path(name + ".map"));
}

// Shared by the level tests: running the real level compiler and simulator,
// a scratch folder, and a small valid level to break on purpose.
#pragma once

#include <string>
#include <vector>

// What a program printed and how it ended.
struct tool_result {
  int status;
  std::string output;  // stdout and stderr together
};

// Runs the level compiler with the given arguments.
tool_result run_compiler(const std::string &arguments);
// Runs a command line through the shell.
tool_result run_command(const std::string &command);

// A fresh folder of this test program's own, removed when it ends.
const std::string &scratch_folder();
// A path inside the scratch folder.
std::string scratch_path(const std::string &name);
// Writes text (or bytes) to path; fails the test when it cannot.
void write_text(const std::string &path, const std::string &text);
std::vector<unsigned char> read_bytes(const std::string &path);
std::string read_text(const std::string &path);

// A small walled-in level that passes the checker: a 5 x 5 grass room
// (cells 10..14 on both axes) in stone 3.0 high, the hero at (11, 11), one
// drop at (13, 13), one enemy at (14, 10) walking +y along the room's edge.
// Every line of it can be replaced through the fields below.
struct test_level {
  std::string name = "name Test Room";
  std::string start = "start 11 11";
  std::vector<std::string> legend = {"  .  grass  0", "  #  stone  3"};
  char grid[25][25];  // [x][y] symbols
  bool drops[25][25];
  std::vector<std::string> extra = {"enemy 14 10 +y"};

  test_level();
  // The level's text.
  std::string text() const;
  // The line of the grid row of x, and the column of cell (x, y)'s symbol.
  int line_of_row(int x) const;
  static int column_of_cell(int y);
  // The line of the nth extra line (0-based).
  int line_of_extra(int n) const;
};

// Compiles level text in the scratch folder under name; returns the result.
tool_result compile_text(const std::string &name, const std::string &text,
                         const std::string &extra_arguments = "");

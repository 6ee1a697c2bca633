// Shared by the level tests: the real compiler and simulator run as a level
// author runs them, a scratch folder, and a small valid level to break.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

struct tool_result {
  int status;
  std::string output;  // stdout and stderr together
};

inline tool_result run_command(const std::string &command)
{
  tool_result result{-1, ""};
  FILE *pipe = popen((command + " 2>&1").c_str(), "r");
  char buffer[4096];
  for (size_t n; pipe && (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    result.output.append(buffer, n);
  int status = pipe ? pclose(pipe) : -1;
  result.status = pipe && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

inline tool_result run_compiler(const std::string &arguments)
{
  return run_command(std::string(LEVEL_COMPILER) + " " + arguments);
}

// A path in a fresh folder of this test program's own, removed when it ends.
inline std::string scratch_path(const std::string &name)
{
  static std::string folder;
  if (folder.empty()) {
    char pattern[] = "/tmp/pilko-levels-XXXXXX";
    folder = mkdtemp(pattern);
    std::atexit([] { std::system(("rm -rf '" + folder + "'").c_str()); });
  }
  return folder + "/" + name;
}

inline void write_text(const std::string &path, const std::string &text)
{
  std::ofstream(path, std::ios::binary) << text;
}

inline std::string read_text(const std::string &path)
{
  std::ostringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

// A walled-in level that passes the checker: a 5 x 5 grass room (cells 10..14
// on both axes) in stone 3.0 high, the hero at (11, 11), a drop at (13, 13),
// an enemy at (14, 10) walking +y. Lines: name 1, start 2, legend entries
// 5..8, "grid" 9, the row of x at 34 - x, extra line n at 35 + n.
struct test_level {
  std::string name = "name Test Room", start = "start 11 11";
  std::vector<std::string> legend = {"  .  grass  0", "  #  stone  3", "  ~  lava  0", "  =  metal  2"};
  char grid[25][25];  // [x][y] symbols
  bool drops[25][25] = {};
  std::string rows[25];  // a row's whole text, in place of the drawn one
  std::vector<std::string> extra = {"enemy 14 10 +y"};

  test_level()
  {
    for (int x = 0; x < 25; x++)
      for (int y = 0; y < 25; y++)
        grid[x][y] = x >= 10 && x <= 14 && y >= 10 && y <= 14 ? '.' : '#';
    drops[13][13] = true;
  }

  std::string text() const
  {
    std::string out = name + "\n" + start + "\n\nlegend\n";
    for (const std::string &entry : legend)
      out += entry + "\n";
    out += "grid\n";
    for (int x = 24; x >= 0; x--) {
      char row[64];
      int at = std::snprintf(row, sizeof row, "%2d |", x);
      for (int y = 24; y >= 0; y--, at += 2)
        row[at] = grid[x][y], row[at + 1] = drops[x][y] ? '*' : ' ';
      out += (rows[x].empty() ? std::string(row, at) : rows[x]) + "\n";
    }
    for (const std::string &line : extra)
      out += line + "\n";
    return out;
  }
};

constexpr int row_line(int x) { return 34 - x; }
constexpr int extra_line(int n) { return 35 + n; }
constexpr int cell_column(int y) { return 5 + 2 * (24 - y); }

// Compiles level text in the scratch folder as name.level into name.map.
inline tool_result compile_text(const std::string &name, const std::string &text,
                                const std::string &options = "")
{
  write_text(scratch_path(name + ".level"), text);
  return run_compiler("compile " + scratch_path(name + ".level") + " " + scratch_path(name + ".map") +
                      " " + options);
}

// Shared by the level tests: the real programs, run as a level author runs
// them, in a scratch folder of the test program's own.
#include "tests/levels/level_tools.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/wait.h>

namespace {

constexpr int GRID = 25;
constexpr int ROOM_LOW = 10, ROOM_HIGH = 14;
// Lines before the legend entries: name, start, blank, "legend".
constexpr int LINES_BEFORE_LEGEND = 4;

void remove_scratch_folder()
{
  std::string command = "rm -rf '" + scratch_folder() + "'";
  std::system(command.c_str());
}

}  // namespace

tool_result run_command(const std::string &command)
{
  tool_result result{-1, ""};
  FILE *pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe)
    return result;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
    result.output.append(buffer, n);
  int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

tool_result run_compiler(const std::string &arguments)
{
  return run_command(std::string(LEVEL_COMPILER) + " " + arguments);
}

const std::string &scratch_folder()
{
  static std::string folder;
  if (folder.empty()) {
    char pattern[] = "/tmp/pilko-levels-XXXXXX";
    folder = mkdtemp(pattern);
    std::atexit(remove_scratch_folder);
  }
  return folder;
}

std::string scratch_path(const std::string &name) { return scratch_folder() + "/" + name; }

void write_text(const std::string &path, const std::string &text)
{
  std::ofstream out(path, std::ios::binary);
  out << text;
  ASSERT_TRUE(out.good()) << "cannot write " << path;
}

std::vector<unsigned char> read_bytes(const std::string &path)
{
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string read_text(const std::string &path)
{
  std::vector<unsigned char> bytes = read_bytes(path);
  return std::string(bytes.begin(), bytes.end());
}

test_level::test_level()
{
  for (int x = 0; x < GRID; x++)
    for (int y = 0; y < GRID; y++) {
      bool room = x >= ROOM_LOW && x <= ROOM_HIGH && y >= ROOM_LOW && y <= ROOM_HIGH;
      grid[x][y] = room ? '.' : '#';
      drops[x][y] = false;
    }
  drops[13][13] = true;
}

std::string test_level::text() const
{
  std::ostringstream out;
  out << name << "\n" << start << "\n\nlegend\n";
  for (const std::string &entry : legend)
    out << entry << "\n";
  out << "grid\n";
  for (int x = GRID - 1; x >= 0; x--) {
    char label[8];
    std::snprintf(label, sizeof label, "%2d |", x);
    out << label;
    for (int y = GRID - 1; y >= 0; y--)
      out << grid[x][y] << (drops[x][y] ? '*' : ' ');
    out << "\n";
  }
  for (const std::string &line : extra)
    out << line << "\n";
  return out.str();
}

int test_level::line_of_row(int x) const
{
  int grid_line = LINES_BEFORE_LEGEND + (int)legend.size() + 1;
  return grid_line + (GRID - x);
}

int test_level::column_of_cell(int y) { return 5 + 2 * (GRID - 1 - y); }

int test_level::line_of_extra(int n) const { return line_of_row(0) + 1 + n; }

tool_result compile_text(const std::string &name, const std::string &text,
                         const std::string &extra_arguments)
{
  std::string level = scratch_path(name + ".level");
  write_text(level, text);
  return run_compiler("compile " + level + " " + scratch_path(name + ".map") + " " + extra_arguments);
}

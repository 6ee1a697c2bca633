// The shipped campaign: a level ships only if it passes verify --strict (the checker without a warning,
// and its solution played through the world update) and is built under its number; the index beside
// the maps gives a decompiled map back its name and legend.
#include "tests/levels/level_tools.h"
#include "world/map_format.h"

#include <algorithm>
#include <filesystem>
#include <regex>
#include <set>
#include <sstream>

namespace {

// The level files of levels/ without ".level", in the order the build numbers them.
std::vector<std::string> level_files()
{
  std::vector<std::string> files;
  for (const auto &entry : std::filesystem::directory_iterator(LEVELS_DIR))
    if (entry.path().extension() == ".level")
      files.push_back(entry.path().parent_path() / entry.path().stem());
  std::sort(files.begin(), files.end());
  return files;
}

std::string built_map(int number) { return DATA_DIR "/maps/map" + std::to_string(number) + ".map"; }

class Level : public ::testing::TestWithParam<std::string> {};

}  // namespace

// The lines of text from the first that starts with from to the next blank one, trailing blanks cut.
std::vector<std::string> block(const std::string &text, const std::string &from)
{
  std::vector<std::string> lines;
  std::istringstream in(text.substr(text.find("\n" + from + "\n") + 1));
  for (std::string line; std::getline(in, line) && !line.empty();)
    lines.push_back(line.substr(0, line.find_last_not_of(' ') + 1));
  std::sort(lines.begin(), lines.end());
  return lines;
}

// verify --strict passes it, and the build's map of its number is this level.
TEST_P(Level, VerifiesStrict)
{
  std::vector<std::string> files = level_files();
  int number = (int)(std::find(files.begin(), files.end(), GetParam()) - files.begin()) + 1;
  tool_result verified = run_compiler("verify --strict " + GetParam() + ".level");
  EXPECT_EQ(verified.status, 0) << verified.output;
  std::regex ok(": ok: \\d+ drops in \\d+ ticks, [1-3] li(fe|ves) left\n$");
  EXPECT_TRUE(std::regex_search(verified.output, ok)) << verified.output;
  std::string map = scratch_path(std::to_string(number) + ".map");
  EXPECT_EQ(run_compiler("compile --strict " + GetParam() + ".level " + map).output, "");
  EXPECT_TRUE(file_text(built_map(number)) == file_text(map)) << "map" << number << " is not this level";
}

// decompile gives back its name, legend and grid.
TEST_P(Level, Decompiles)
{
  std::vector<std::string> files = level_files();
  int number = (int)(std::find(files.begin(), files.end(), GetParam()) - files.begin()) + 1;
  std::string source = file_text(GetParam() + ".level");
  tool_result back = run_compiler("decompile " + built_map(number));
  EXPECT_EQ(back.status, 0);
  size_t name = source.find("\nname ");
  EXPECT_NE(back.output.find(source.substr(name, source.find('\n', name + 1) - name)), std::string::npos);
  EXPECT_EQ(block(back.output, "legend"), block(source, "legend"));
  EXPECT_EQ(block(back.output, "grid"), block(source, "grid"));
}

// Each case named by its level file, "08-high-treasures" as 08_high_treasures.
INSTANTIATE_TEST_SUITE_P(Campaign, Level, ::testing::ValuesIn(level_files()),
                         [](const ::testing::TestParamInfo<std::string> &info) {
                           std::string name = std::filesystem::path(info.param).filename();
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

TEST(Campaign, TenNamedLevelsUseEveryKind)
{
  std::vector<std::string> files = level_files();
  std::set<std::string> names;
  std::set<char> kinds;
  for (size_t i = 0; i < files.size(); i++) {
    std::string map = file_text(built_map((int)i + 1)), text = file_text(files[i] + ".level");
    for (long kind = map_cell_offset(0, 0) + CELL_KIND_FIELD; kind < MAP_ENEMY_COUNT_OFFSET; kind += MAP_RECORD_SIZE)
      kinds.insert(map.at(kind));
    size_t at = text.find("\nname ");
    names.insert(text.substr(at, text.find('\n', at + 1) - at));
  }
  EXPECT_GE(files.size(), 10u);
  EXPECT_EQ(names.size(), files.size()) << "two levels share a name";
  EXPECT_EQ(kinds, std::set<char>({0, 1, 2, 3, 4, 5}));
}

TEST(Guide, WorkedExamplePassesVerifyStrict)
{
  tool_result verified = run_compiler("verify --strict " LEVELS_DIR "/example/staircase.level");
  EXPECT_EQ(verified.status, 0);
  EXPECT_EQ(verified.output, LEVELS_DIR "/example/staircase.level: ok: 2 drops in 295 ticks, 3 lives left\n");
}

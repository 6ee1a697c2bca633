// The shipped campaign: a level ships only if it passes the checker, is built under its number, and its
// solution completes it through the real simulator.
#include "tests/levels/level_tools.h"
#include "world/map_format.h"

#include <algorithm>
#include <filesystem>
#include <regex>
#include <set>

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

TEST_P(Level, PassesTheCheckerIsBuiltAndItsSolutionCompletesIt)
{
  std::vector<std::string> files = level_files();
  int number = (int)(std::find(files.begin(), files.end(), GetParam()) - files.begin()) + 1;
  std::string map = scratch_path(std::to_string(number) + ".map");
  EXPECT_EQ(run_compiler("compile " + GetParam() + ".level " + map).output, "");  // not even a warning
  EXPECT_TRUE(file_text(built_map(number)) == file_text(map)) << "map" << number << " is not this level";
  tool_result played = run_command(SIMULATOR " --events " + map + " " + GetParam() + ".solution");
  std::regex won("\nsummary ticks \\d+ drops_left 0 lives [1-9]\\d* completed yes\n");
  EXPECT_TRUE(std::regex_search(played.output, won)) << played.output;
  EXPECT_EQ(played.output.find("game-over"), std::string::npos) << played.output;
}

INSTANTIATE_TEST_SUITE_P(Campaign, Level, ::testing::ValuesIn(level_files()));

TEST(Campaign, HasTenLevelsWithNamesOfTheirOwnAndEveryKindOfCell)
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

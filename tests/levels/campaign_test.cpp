// The shipped campaign: a level ships only if it passes the checker, is built
// under its number, and its solution completes it through the real simulator.
#include "tests/levels/level_tools.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
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

std::string stem(const std::string &path) { return std::filesystem::path(path).filename(); }

// The value of "word" in the simulator's summary line, or "".
std::string summary_field(const std::string &output, const std::string &word)
{
  size_t line = output.rfind("summary "), at = output.find(" " + word + " ", line);
  if (line == std::string::npos || at == std::string::npos)
    return "";
  at += word.size() + 2;
  return output.substr(at, output.find_first_of(" \n", at) - at);
}

std::string built_map(int number)
{
  return std::string(DATA_DIR) + "/maps/map" + std::to_string(number) + ".map";
}

std::string test_name(const ::testing::TestParamInfo<std::string> &info)
{
  std::string name = stem(info.param);
  std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum((unsigned char)c); }, '_');
  return name;
}

class Level : public ::testing::TestWithParam<std::string> {};

}  // namespace

TEST_P(Level, PassesTheCheckerIsBuiltAndItsSolutionCompletesIt)
{
  std::vector<std::string> files = level_files();
  int number = (int)(std::find(files.begin(), files.end(), GetParam()) - files.begin()) + 1;
  std::string map = scratch_path(stem(GetParam()) + ".map");
  tool_result compiled = run_compiler("compile " + GetParam() + ".level " + map);
  ASSERT_EQ(compiled.status, 0) << compiled.output;
  EXPECT_EQ(compiled.output, "");  // not even a warning
  EXPECT_TRUE(read_text(built_map(number)) == read_text(map)) << "map" << number << " is not this level";

  std::string solution = GetParam() + ".solution";
  tool_result played = run_command(std::string(SIMULATOR) + " --events " + map + " " + solution);
  ASSERT_EQ(played.status, 0) << played.output;
  EXPECT_EQ(summary_field(played.output, "completed"), "yes") << played.output;
  EXPECT_EQ(summary_field(played.output, "drops_left"), "0") << played.output;
  EXPECT_GE(std::atoi(summary_field(played.output, "lives").c_str()), 1) << played.output;
  EXPECT_EQ(played.output.find("game-over"), std::string::npos) << played.output;
}

INSTANTIATE_TEST_SUITE_P(Campaign, Level, ::testing::ValuesIn(level_files()), test_name);

TEST(Campaign, HasTenLevelsWithNamesOfTheirOwnAndEveryKindOfCell)
{
  std::vector<std::string> files = level_files();
  EXPECT_GE(files.size(), 10u);
  std::set<std::string> names;
  std::set<int> kinds;
  for (size_t i = 0; i < files.size(); i++) {
    std::string bytes = read_text(built_map((int)i + 1));
    for (long kind = 8 + 8; kind < 7508; kind += 12)
      kinds.insert((unsigned char)bytes.at(kind));
    std::string text = read_text(files[i] + ".level");
    size_t at = text.find("\nname ") + 6;
    names.insert(text.substr(at, text.find('\n', at) - at));
  }
  EXPECT_EQ(names.size(), files.size()) << "two levels share a name";
  for (int kind = 0; kind < 6; kind++)
    EXPECT_TRUE(kinds.count(kind)) << "no level uses kind " << kind;
}

// The shipped campaign: every level passes the checker without a warning, and
// its solution, replayed through the real world update by the simulator,
// collects every drop with a life to spare. A level that fails here does not
// ship.
#include "tests/levels/level_tools.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <dirent.h>
#include <set>

namespace {

constexpr int CAMPAIGN_MIN_LEVELS = 10;
constexpr int KINDS = 6;

// The level files of levels/, in the order the build numbers them.
std::vector<std::string> level_files()
{
  std::vector<std::string> files;
  if (DIR *dir = opendir(LEVELS_DIR)) {
    while (dirent *entry = readdir(dir)) {
      std::string name = entry->d_name;
      if (name.size() > 6 && name.compare(name.size() - 6, 6, ".level") == 0)
        files.push_back(std::string(LEVELS_DIR) + "/" + name);
    }
    closedir(dir);
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string without_extension(const std::string &path) { return path.substr(0, path.size() - 6); }

std::string stem(const std::string &path)
{
  std::string base = without_extension(path);
  return base.substr(base.find_last_of('/') + 1);
}

// The value of "word" in a simulator summary line, or "".
std::string summary_field(const std::string &output, const std::string &word)
{
  size_t line = output.rfind("summary ");
  if (line == std::string::npos)
    return "";
  size_t at = output.find(" " + word + " ", line);
  if (at == std::string::npos)
    return "";
  at += word.size() + 2;
  return output.substr(at, output.find_first_of(" \n", at) - at);
}

class Level : public ::testing::TestWithParam<std::string> {};

std::string level_test_name(const ::testing::TestParamInfo<std::string> &info)
{
  std::string name;
  for (char c : stem(info.param))
    name += std::isalnum((unsigned char)c) ? c : '_';
  return name;
}

}  // namespace

TEST_P(Level, PassesTheCheckerWithoutAWarning)
{
  tool_result result = run_compiler("check " + GetParam());
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.output, "");
}

TEST_P(Level, ItsSolutionCollectsEveryDropWithALifeLeft)
{
  std::string map = scratch_path(stem(GetParam()) + ".map");
  ASSERT_EQ(run_compiler("compile " + GetParam() + " " + map).status, 0);
  std::string solution = without_extension(GetParam()) + ".solution";
  tool_result played = run_command(std::string(SIMULATOR) + " --events " + map + " " + solution);
  ASSERT_EQ(played.status, 0) << played.output;
  EXPECT_EQ(summary_field(played.output, "completed"), "yes") << played.output;
  EXPECT_EQ(summary_field(played.output, "drops_left"), "0") << played.output;
  EXPECT_GE(std::atoi(summary_field(played.output, "lives").c_str()), 1) << played.output;
  EXPECT_EQ(played.output.find("game-over"), std::string::npos) << played.output;
}

TEST_P(Level, IsBuiltIntoTheDataFolderUnderItsNumber)
{
  std::vector<std::string> files = level_files();
  int number = (int)(std::find(files.begin(), files.end(), GetParam()) - files.begin()) + 1;
  std::string map = scratch_path(stem(GetParam()) + "-built.map");
  ASSERT_EQ(run_compiler("compile " + GetParam() + " " + map).status, 0);
  std::string built = std::string(DATA_DIR) + "/maps/map" + std::to_string(number) + ".map";
  EXPECT_TRUE(read_bytes(built) == read_bytes(map)) << built << " is not " << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Campaign, Level, ::testing::ValuesIn(level_files()), level_test_name);

TEST(Campaign, HasTenLevelsWithNamesOfTheirOwnAndEverySkin)
{
  std::vector<std::string> files = level_files();
  EXPECT_GE((int)files.size(), CAMPAIGN_MIN_LEVELS);
  std::set<std::string> names;
  std::set<int> kinds;
  for (const std::string &file : files) {
    std::string map = scratch_path(stem(file) + "-kinds.map");
    ASSERT_EQ(run_compiler("compile " + file + " " + map).status, 0);
    std::vector<unsigned char> bytes = read_bytes(map);
    for (int cell = 0; cell < 25 * 25; cell++)
      kinds.insert(bytes.at(8 + cell * 12 + 8));
    std::string text = read_text(file);
    size_t at = text.find("\nname ");
    ASSERT_NE(at, std::string::npos) << file;
    names.insert(text.substr(at + 6, text.find('\n', at + 1) - at - 6));
  }
  EXPECT_EQ(names.size(), files.size()) << "two levels share a name";
  for (int kind = 0; kind < KINDS; kind++)
    EXPECT_TRUE(kinds.count(kind)) << "no level uses kind " << kind;
}

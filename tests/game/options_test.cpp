// The game's command line and the level it starts on, read before any window
// opens: what each option does, what a mistake says, and which level a
// number, a level text or a map file gives.
#include <gtest/gtest.h>
#include "game/level_choice.h"
#include "game/options.h"
#include "tests/level/room.h"
#include "tests/support/run_command.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_maps.h"
#include "world/game_rules.h"
#include "world/map_load.h"

#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TEST(Options, EachOptionAndEachMistake)
{
  const struct {
    std::vector<const char *> words;
    int status;
    const char *said;  // the start of what it prints, stdout then stderr
    player_choices chosen;
  } lines[] = {
      {{}, START_GAME, "", {}},
      {{"-w", "-l", "3", "--record", "r.keys", "-p", "p.keys"}, START_GAME, "", {{true}, "3", "r.keys", "p.keys"}},
      {{"-s", "800x600", "-e", "x.level"}, START_GAME, "", {{true, 800, 600}, nullptr, nullptr, nullptr, "x.level"}},
      {{"--version"}, 0, "pilko " PILKO_VERSION "\n", {}},
      {{"-h", "--fly"}, 0, "pilko: a small 3D platform game.", {}},
      {{"--fly"}, 2, "pilko: unknown option '--fly'\nUsage: pilko [OPTION]...\n", {}},
      {{"--window", "--level"}, 2, "pilko: --level needs N|FILE\nUsage: pilko", {{true}}},
      {{"-e", "x.level", "-r", "r.keys"}, 2, "pilko: --edit plays no game: leave out --level, --record and --replay\n",
       {{}, nullptr, "r.keys", nullptr, "x.level"}},
  };
  for (const auto &line : lines) {
    std::vector<char *> argv = {const_cast<char *>("pilko")};
    for (const char *word : line.words)
      argv.push_back(const_cast<char *>(word));
    argv.push_back(nullptr);
    choices = player_choices{};
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_EQ(read_options((int)argv.size() - 1, argv.data()), line.status) << argv.size();
    std::string said = testing::internal::GetCapturedStdout() + testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.compare(0, std::strlen(line.said), line.said), 0) << said;
    const player_choices &c = line.chosen;
    EXPECT_EQ(choices.screen.window, c.screen.window);
    EXPECT_EQ(std::make_pair(choices.screen.width, choices.screen.height), std::make_pair(c.screen.width, c.screen.height));
    for (auto [got, want] : {std::pair{choices.level, c.level}, {choices.record, c.record}, {choices.replay, c.replay},
                             {choices.edit, c.edit}})
      EXPECT_STREQ(got, want);
  }
}

TEST(Options, WindowSizesOutOfReachAreUsageMistakes)
{
  for (const char *size : {"0x0", "159x600", "800x119", "8193x600", "800", "800x", "x600", "800x600x", "-800x600",
                           "800x+600", " 800x600", "99999999999999999999x600"}) {
    char pilko[] = "pilko", option[] = "--window-size", *argv[] = {pilko, option, const_cast<char *>(size), nullptr};
    testing::internal::CaptureStderr();
    EXPECT_EQ(read_options(3, argv), 2) << size;
    EXPECT_EQ(testing::internal::GetCapturedStderr().find("pilko: --window-size needs WIDTHxHEIGHT"), 0u) << size;
  }
}

TEST(LevelChoice, NumberTextOrMap)
{
  scratch_folder folder;
  std::string before = std::filesystem::current_path();
  ASSERT_EQ(chdir(folder.path.c_str()), 0);
  mkdir("maps", 0755);
  write_file("maps/map2.map", map_bytes(walled_level()));
  write_file("alone.map", map_bytes(walled_level()));
  write_file("cut.map", std::string("cut"));
  write_file("room.level", room().text());
  room broken;
  broken.legend[1] = "  #  marble  3";
  write_file("broken.level", broken.text());
  const struct {
    const char *value;
    bool chosen;
    int first;
    bool alone;      // one level played alone, loaded from single_map
    const char *said;
  } values[] = {
      {"2", true, 2, false, ""},
      {"7", false, START_LEVEL, false, "pilko: there is no level 7 (maps/map7.map)\n"},
      {"room.level", true, START_LEVEL, true, ""},
      {"broken.level", false, START_LEVEL, false, "broken.level:6:6: error: unknown kind 'marble'"},
      {"alone.map", true, START_LEVEL, true, ""},
      {"cut.map", false, START_LEVEL, false, "pilko: cut.map: not a map pilko can read: too short: 3 bytes of at least 7512\n"},
  };
  for (const auto &v : values) {
    first_level = START_LEVEL;
    single_map = nullptr;
    testing::internal::CaptureStderr();
    EXPECT_EQ(choose_first_level(v.value), v.chosen) << v.value;
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.compare(0, std::strlen(v.said), v.said), 0) << v.value << ": " << said;
    EXPECT_EQ(first_level, v.first) << v.value;
    EXPECT_EQ(single_map != nullptr, v.alone) << v.value;
    EXPECT_TRUE(!single_map || load_map(single_map)) << v.value;
  }
  single_map = nullptr;
  EXPECT_EQ(chdir(before.c_str()), 0);
}

// The usage, the README and the manual page name the same options, each with
// its short form, and say the same of F12.
TEST(Options, UsageReadmeAndManualAgree)
{
  testing::internal::CaptureStdout();
  char pilko[] = "pilko", help[] = "--help", *argv[] = {pilko, help, nullptr};
  read_options(2, argv);
  std::string usage = testing::internal::GetCapturedStdout();
  std::string readme = file_text(PILKO_SOURCE_DIR "/README.md");
  std::string manual = run_command("man -l " PILKO_SOURCE_DIR "/dist/pilko.6 2>/dev/null | col -b").output;
  const std::pair<std::string, std::string> options[] = {{"-h", "--help"}, {"-V", "--version"}, {"-w", "--window"},
                                                         {"-s", "--window-size"}, {"-l", "--level"}, {"-r", "--record"},
                                                         {"-p", "--replay"}, {"-e", "--edit"}};
  for (const auto &[short_name, long_name] : options) {
    std::string both = short_name + ", " + long_name;
    EXPECT_NE(usage.find(both), std::string::npos) << both << " missing from the usage:\n" << usage;
    EXPECT_NE(manual.find(both), std::string::npos) << both << " missing from the manual page";
    for (const std::string &name : {short_name, long_name})
      EXPECT_NE(readme.find("`" + name), std::string::npos) << name << " missing from the README";
  }
  for (const std::string *text : {&usage, &readme, &manual})
    EXPECT_NE(text->find("25 a second"), std::string::npos) << "F12's pace missing from\n" << *text;
  for (const char *named : {"--level N|FILE", "--record FILE", "--replay FILE", "P pauses"})
    EXPECT_NE(usage.find(named), std::string::npos) << named << " missing from the usage";
}

}  // namespace

// The level compiler and the simulator as a level author runs them: verify's
// one line for a solved level and the tick, cell and cause of a failure;
// check's one line; maps written back as text with their names; files that
// are no level texts or maps refused at once; pilko-sim's trajectory and events.
#include <gtest/gtest.h>
#include "tests/level/room.h"
#include "tests/support/run_command.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_maps.h"
#include "tests/support/files.h"

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <sys/stat.h>

namespace {

const char *const ROOM_SOLUTION = "27 UP\n11 LEFT\n27 UP\n";  // from the start (11, 11) to the drop on (13, 13)

// What the command prints on both its outputs, with its exit status.
command_result run(const std::string &command) { return run_command(command + " 2>&1 </dev/null"); }

// verify, check and compile say what they found; whatever stands in a file's place, the tools
// neither wait nor grow.
TEST(LevelCompiler, SaysWhatItFoundOrWhyItRefusedAFile)
{
  scratch_folder folder;
  // Writes the level, and its solution beside it when given; returns the level's path.
  auto write_level = [&](const std::string &name, const room &level, const char *solution = nullptr) {
    write_file(folder.file(name + ".level"), level.text());
    if (solution)
      write_file(folder.file(name + ".solution"), std::string(solution));
    return folder.file(name + ".level");
  };
  std::string fifo = folder.file("fifo"), dir = folder.file("folder"), big = folder.file("big.level");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
  write_file(big, room().text() + std::string(1 << 20, '#'));
  std::string map = folder.file("room.map");
  ASSERT_EQ(run(LEVEL_COMPILER " compile " + write_level("room", room()) + " " + map).status, 0);
  room burnt, warned, skipped;
  burnt.cell(13, 11) = '~';  // lava on the way to the drop
  warned.extra.push_back("enemy 14 10 -y");  // two enemies on one cell: a warning
  skipped.drop(10, 14) = '*';  // a drop the solution leaves, skipping the level
  std::string solved = write_level("solved", room(), ROOM_SOLUTION), lost = write_level("burnt", burnt, ROOM_SOLUTION);
  std::string twins = write_level("warned", warned, ROOM_SOLUTION);
  std::string skip = write_level("skipped", skipped, "27 UP\n11 LEFT\n27 UP\n1 TAB END\n");
  std::string warning = twins + ":" + std::to_string(extra_line(1)) + ":1: warning: enemy 2 starts on (14, 10) "
                        "like enemy 1: move one of them\n";
  write_file(folder.file("other.keys"), std::string(ROOM_SOLUTION));
  write_level("alone", room());
  const struct {
    std::string arguments;
    int status;
    std::string said;
  } runs[] = {
      {"verify --strict " + solved, 0, solved + ": ok: 1 drop in 59 ticks, 3 lives left\n"},
      {"verify " + lost, 1, folder.file("burnt.solution") + ": tick 65: the solution ends with 1 drop left, "
       "the hero at cell (13, 11), world (25.150, 22.000); its last death, tick 21: lava floor at "
       "cell (13, 11), world (26.000, 22.000)\n"},
      {"verify " + twins, 0, warning + twins + ": ok: 1 drop in 59 ticks, 3 lives left\n"},
      {"verify --strict " + twins, 1, std::string(warning).replace(warning.find("warning"), 7, "error")},
      {"verify " + skip, 1, folder.file("skipped.solution") + ": tick 66: the solution skips the level with "
       "TAB and END; a solution collects every drop\n"},
      {"verify " + folder.file("alone.level") + " " + folder.file("other.keys"), 0,
       folder.file("alone.level") + ": ok: 1 drop in 59 ticks, 3 lives left\n"},
      {"verify " + folder.file("alone.level"), 1,
       "level-compiler: " + folder.file("alone.solution") + ": cannot read: No such file or directory\n"},
      {"check " + solved, 0, solved + ": checked: 1 drop, 1 enemy; the hero reaches 25 of 625 cells\n"},
      {"compile --strict " + twins + " " + folder.file("refused.map"), 1,
       std::string(warning).replace(warning.find("warning"), 7, "error")},
      {"decompile /dev/zero", 1, "level-compiler: /dev/zero: not a regular file\n"},
      {"check " + fifo, 1, "level-compiler: " + fifo + ": not a regular file\n"},
      {"compile " + dir + " x.map", 1, "level-compiler: " + dir + ": a folder, not a file\n"},
      {"check " + big, 1, "level-compiler: " + big + ": longer than 1 MB: not a level text\n"},
      {SIMULATOR " " + fifo + " -", 1, "pilko-sim: " + fifo + ": not a regular file\n"},
      {SIMULATOR " " + map + " " + dir, 1, "pilko-sim: " + dir + ": a folder, not a file\n"},
  };
  for (const auto &r : runs) {
    bool simulator = r.arguments.rfind(SIMULATOR, 0) == 0;
    command_result result = run(simulator ? r.arguments : LEVEL_COMPILER " " + r.arguments);
    EXPECT_EQ(result.status, r.status) << r.arguments;
    EXPECT_EQ(result.output, r.said) << r.arguments;
  }
  EXPECT_FALSE(std::filesystem::exists(folder.file("refused.map"))) << "a refused level left a map";
}

// The lines of text from the first that starts with from to the next blank one, trailing blanks cut, sorted.
std::vector<std::string> block(const std::string &text, const std::string &from)
{
  std::vector<std::string> lines;
  std::istringstream in(text.substr(text.find("\n" + from + "\n") + 1));
  for (std::string line; std::getline(in, line) && !line.empty();)
    lines.push_back(line.substr(0, line.find_last_not_of(' ') + 1));
  std::sort(lines.begin(), lines.end());
  return lines;
}

// Every shipped map, decompiled, gives back its level's name, legend and grid (the index
// beside the maps holds the words).
TEST(Campaign, MapsDecompileToTheirLevels)
{
  const char *const levels[] = {SHIPPED_LEVELS};
  ASSERT_GE(std::size(levels), 10u);
  for (size_t i = 0; i < std::size(levels); i++) {
    std::string map = DATA_DIR "/maps/map" + std::to_string(i + 1) + ".map", source = file_text(levels[i]);
    command_result back = run(LEVEL_COMPILER " decompile " + map);
    EXPECT_EQ(back.status, 0) << map;
    size_t name = source.find("\nname ");
    EXPECT_NE(back.output.find(source.substr(name, source.find('\n', name + 1) - name)), std::string::npos) << map;
    EXPECT_EQ(block(back.output, "legend"), block(source, "legend")) << map;
    EXPECT_EQ(block(back.output, "grid"), block(source, "grid")) << map;
  }
  EXPECT_EQ(run(LEVEL_COMPILER " verify --strict " LEVELS_DIR "/example/staircase.level").output,
            LEVELS_DIR "/example/staircase.level: ok: 2 drops in 295 ticks, 3 lives left\n");
}

// What pilko-sim prints for the level and the key script, then "exit" and its exit status.
std::string simulate(const std::string &options, const test_map &map, const std::string &script)
{
  scratch_folder folder;
  write_file(folder.file("level.map"), map_bytes(map));
  write_file(folder.file("keys.txt"), script);
  return run_command("cd " + folder.path + " && env -u DISPLAY " SIMULATOR " " + options +
                     " level.map keys.txt; echo exit $?").output;
}

TEST(Simulator, PrintsTheTrajectoryAndEachDeathsCauseAndCell)
{
  test_map map = walled_level();
  map.drop_marker[10][10] = 0;
  EXPECT_EQ(simulate("", map, "1 UP\n1 LEFT\n"),
            "start cell (2, 2), world (4.000, 4.000), z 0.000 heading 0 drops 1 enemies 0 lives 3\n"
            "tick 1 cell (2, 2), world (4.150, 4.000), z 0.000 heading 0 grounded\n"
            "tick 2 cell (2, 2), world (4.150, 4.000), z 0.000 heading 8 grounded\n"
            "summary ticks 2 drops_left 1 lives 3 completed no\nexit 0\n");
  map = walled_level();
  map.kind[4][2] = KIND_LAVA;
  map.height[4][2] = 1.0f;  // a lava block ahead of the hero
  map.drop_marker[2][3] = 0;
  map.enemies.push_back({2, 12, 0});  // walking -y toward the revived hero
  std::string out = simulate("--events", map, "20 UP\n1 SPACE\n100\n");
  EXPECT_NE(out.find("tick 15 death lava block cell (4, 2), world (8.000, 4.000)\n"), std::string::npos) << out;
  EXPECT_NE(out.find("tick 94 death enemy 1 cell (2, 3), world (4.000, 5.200)\n"), std::string::npos) << out;
  // Rising from 0.1 to 0.2 in the tick it walks into lava 0.45 high: a wall as the walk tests
  // it, no longer one once the tick is over.
  map = walled_level();
  map.kind[3][2] = KIND_LAVA;
  map.height[3][2] = 0.45f;
  map.drop_marker[2][3] = 0;
  out = simulate("--events", map, "1 SPACE UP\n1 UP\n");
  EXPECT_NE(out.find("tick 2 death lava block cell (3, 2), world (6.000, 4.000)\n"), std::string::npos) << out;
}

}  // namespace

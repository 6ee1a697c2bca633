// pilko-sim as level authors use it: a map, a key script, the events and the
// summary it prints, and its answers to bad input. Runs without a display.
#include <gtest/gtest.h>

#include "tests/update/play_maps.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace {

constexpr int EXIT_NOT_COMPLETED = 3;

struct sim_result {
  int status = -1;
  std::string out, err;

  // True when out has this exact line.
  bool has_line(const std::string &line) const
  {
    std::istringstream in(out);
    for (std::string l; std::getline(in, l);)
      if (l == line)
        return true;
    return false;
  }
  // The last line of out.
  std::string last_line() const
  {
    std::string last;
    std::istringstream in(out);
    for (std::string l; std::getline(in, l);)
      last = l;
    return last;
  }
};

std::string read_all(const std::string &path)
{
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Runs pilko-sim without a display on map and a script with this text.
class Simulator : public ::testing::Test {
protected:
  std::string folder = temp_folder();

  void TearDown() override { std::system(("rm -rf '" + folder + "'").c_str()); }

  std::string write_map(const test_map &map)
  {
    return write_file(folder + "/level.map", map_bytes(map));
  }

  sim_result run(const std::string &options, const std::string &map_path, const std::string &script)
  {
    std::string script_path = folder + "/keys.txt";
    std::ofstream(script_path) << script;
    std::string command = "env -u DISPLAY " PILKO_SIM " " + options + " '" + map_path + "' '" +
                          script_path + "' >'" + folder + "/out' 2>'" + folder + "/err'";
    sim_result result;
    int status = std::system(command.c_str());
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = read_all(folder + "/out");
    result.err = read_all(folder + "/err");
    return result;
  }
};

}  // namespace

TEST_F(Simulator, PrintsTheTrajectoryTickByTick)
{
  test_map map = walled_level();
  map.drop_marker[10][10] = 0;
  sim_result r = run("", write_map(map), "2 UP\n1 LEFT\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.has_line("start at 4.000 4.000 0.000 heading 0 drops 1 enemies 0 lives 3")) << r.out;
  EXPECT_TRUE(r.has_line("tick 1 at 4.150 4.000 0.000 heading 0 grounded")) << r.out;
  EXPECT_TRUE(r.has_line("tick 2 at 4.300 4.000 0.000 heading 0 grounded")) << r.out;
  EXPECT_TRUE(r.has_line("tick 3 at 4.300 4.000 0.000 heading 8 grounded")) << r.out;
}

TEST_F(Simulator, JumpOverOneDropAndCollectTheOneWhereItLands)
{
  test_map map = walled_level();
  map.drop_marker[3][2] = 0;
  map.drop_marker[5][2] = 0;
  sim_result r = run("--events", write_map(map), "# take a run-up\n5 UP\n1 SPACE UP\n40 up\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "start at 4.000 4.000 0.000 heading 0 drops 2 enemies 0 lives 3\n"
            "tick 6 jump\n"
            "tick 40 land\n"
            "tick 41 drop 5 2 left 1\n"
            "summary ticks 46 drops_left 1 lives 3 completed no\n");
}

TEST_F(Simulator, LastDropStartsThePauseAndItsEndEndsTheRun)
{
  test_map map = walled_level();
  map.drop_marker[3][2] = 0;
  sim_result r = run("--events --require-complete", write_map(map), "10 UP\n500\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.has_line("tick 7 drop 3 2 left 0")) << r.out;
  EXPECT_TRUE(r.has_line("tick 7 complete")) << r.out;
  EXPECT_TRUE(r.has_line("tick 97 level-end")) << r.out;
  EXPECT_EQ(r.last_line(), "summary ticks 97 drops_left 0 lives 3 completed yes");
}

TEST_F(Simulator, LevelWithoutDropsIsCompleteAtOnce)
{
  sim_result r = run("--events", write_map(walled_level()), "1\n");
  EXPECT_TRUE(r.has_line("tick 0 complete")) << r.out;
  EXPECT_EQ(r.last_line(), "summary ticks 1 drops_left 0 lives 3 completed yes");
}

TEST_F(Simulator, ThreeDeathsEndTheGameOnTheThirdRevival)
{
  test_map map = walled_level();
  map.kind[3][2] = TEST_KIND_LAVA;
  map.drop_marker[10][10] = 0;
  std::string one_life = "10 UP\n1 SPACE\n40\n";
  sim_result r = run("--events --require-complete", write_map(map), one_life + one_life + one_life + "100 UP\n");
  EXPECT_EQ(r.status, EXIT_NOT_COMPLETED);
  EXPECT_TRUE(r.has_line("tick 7 death hits 1")) << r.out;
  EXPECT_TRUE(r.has_line("tick 11 revival lives 2")) << r.out;
  EXPECT_TRUE(r.has_line("tick 11 jump")) << r.out;  // SPACE also jumps
  EXPECT_TRUE(r.has_line("tick 58 death hits 1")) << r.out;
  EXPECT_TRUE(r.has_line("tick 62 revival lives 1")) << r.out;
  EXPECT_TRUE(r.has_line("tick 109 death hits 1")) << r.out;
  EXPECT_TRUE(r.has_line("tick 113 revival lives 0")) << r.out;
  EXPECT_TRUE(r.has_line("tick 113 game-over")) << r.out;
  EXPECT_EQ(r.last_line(), "summary ticks 113 drops_left 1 lives 0 completed no");
}

TEST_F(Simulator, EnemyOptionShowsThePatrol)
{
  test_map map = walled_level();
  map.enemies.push_back({10, 10, 1});
  sim_result r = run("--events --enemies", write_map(map), "2\n");
  EXPECT_TRUE(r.has_line("tick 1 enemy 0 at 20.200 20.000 0.000 direction 1")) << r.out;
  EXPECT_TRUE(r.has_line("tick 2 enemy 0 at 20.400 20.000 0.000 direction 1")) << r.out;
}

TEST_F(Simulator, BadScriptLinesNameTheirPlace)
{
  std::string map = write_map(walled_level());
  struct { const char *script, *message; } cases[] = {
    {"5 UP\n3 JUMP\n", "keys.txt:2:3: unknown key 'JUMP'"},
    {"UP 5\n", "keys.txt:1:1: expected a tick count, got 'UP'"},
    {"# fine\n0 UP\n", "keys.txt:2:1: tick count must be 1 to 1000000, got '0'"},
    {"2000000 UP\n", "keys.txt:1:1: tick count must be 1 to 1000000, got '2000000'"},
    {"5 F12\n", "keys.txt:1:3: unknown key 'F12'"},
  };
  for (const auto &c : cases) {
    sim_result r = run("", map, c.script);
    EXPECT_EQ(r.status, 1) << c.script;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "") << c.script;
  }
}

TEST_F(Simulator, MissingOrDamagedMapIsRefused)
{
  sim_result r = run("", folder + "/nothing.map", "1\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("nothing.map"), std::string::npos) << r.err;
  std::vector<unsigned char> bytes = map_bytes(walled_level());
  bytes.resize(100);
  r = run("", write_file(folder + "/short.map", bytes), "1\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("short.map"), std::string::npos) << r.err;
}

TEST_F(Simulator, HelpDescribesTheScriptFormat)
{
  std::string command = "env -u DISPLAY " PILKO_SIM " --help >'" + folder + "/out'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::string help = read_all(folder + "/out");
  for (const char *word : {"SCRIPT", "SPACE", "TAB", "COUNT", "#", "summary"})
    EXPECT_NE(help.find(word), std::string::npos) << word;
  EXPECT_NE(std::system(("env -u DISPLAY " PILKO_SIM " >/dev/null 2>&1")), 0);
}

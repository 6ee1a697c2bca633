// pilko-sim as level authors use it: a map, a key script, the trajectory and
// events it prints, and its answers to bad input. Runs without a display.
#include <gtest/gtest.h>

#include "tests/update/play_maps.h"

#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

constexpr int EXIT_BAD_INPUT = 1, EXIT_NOT_COMPLETED = 3;

std::string read_all(const std::string &path)
{
  std::stringstream text;
  text << std::ifstream(path).rdbuf();
  return text.str();
}

struct sim_result {
  int status = -1;
  std::string out, err;

  // True when out has every one of these lines.
  bool has_lines(std::initializer_list<const char *> lines) const
  {
    for (const char *line : lines)
      if (("\n" + out).find("\n" + std::string(line) + "\n") == std::string::npos)
        return false;
    return true;
  }
};

class Simulator : public ::testing::Test {
protected:
  std::string folder = temp_folder();

  void TearDown() override { std::system(("rm -rf '" + folder + "'").c_str()); }

  std::string write_map(const test_map &map) { return write_file(folder + "/level.map", map_bytes(map)); }

  // Runs pilko-sim without a display on the map and a script with this text.
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

TEST_F(Simulator, PrintsTheTrajectoryAndTheEnemiesTickByTick)
{
  test_map map = walled_level();
  map.drop_marker[10][10] = 0;
  map.enemies.push_back({10, 10, 1});
  sim_result r = run("--enemies", write_map(map), "2 UP\n1 LEFT\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.has_lines({"start at 4.000 4.000 0.000 heading 0 drops 1 enemies 1 lives 3",
                           "tick 1 at 4.150 4.000 0.000 heading 0 grounded",
                           "tick 1 enemy 0 at 20.200 20.000 0.000 direction 1",
                           "tick 2 at 4.300 4.000 0.000 heading 0 grounded",
                           "tick 3 at 4.300 4.000 0.000 heading 8 grounded"})) << r.out;
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
  EXPECT_TRUE(r.has_lines({"tick 7 drop 3 2 left 0", "tick 7 complete", "tick 97 level-end",
                           "summary ticks 97 drops_left 0 lives 3 completed yes"})) << r.out;

  r = run("--events", write_map(walled_level()), "1\n");  // no drops: complete at once
  EXPECT_TRUE(r.has_lines({"tick 0 complete"})) << r.out;
}

TEST_F(Simulator, ThreeDeathsEndTheGameOnTheThirdRevival)
{
  test_map map = walled_level();
  map.kind[3][2] = TEST_KIND_LAVA;
  map.drop_marker[10][10] = 0;
  std::string one_life = "10 UP\n1 SPACE\n40\n";
  sim_result r = run("--events --require-complete", write_map(map),
                     one_life + one_life + one_life + "100 UP\n");
  EXPECT_EQ(r.status, EXIT_NOT_COMPLETED);
  EXPECT_TRUE(r.has_lines({"tick 7 death hits 1", "tick 11 revival lives 2", "tick 11 jump",
                           "tick 58 death hits 1", "tick 62 revival lives 1", "tick 109 death hits 1",
                           "tick 113 revival lives 0", "tick 113 game-over",
                           "summary ticks 113 drops_left 1 lives 0 completed no"})) << r.out;
}

TEST_F(Simulator, BadScriptsAndMapsAreRefusedNamingTheirPlace)
{
  std::string good = write_map(walled_level());
  std::vector<unsigned char> bytes = map_bytes(walled_level());
  bytes.resize(100);
  std::string damaged = write_file(folder + "/short.map", bytes);
  struct { std::string map; const char *script, *message; } cases[] = {
    {good, "5 UP\n3 JUMP\n", "keys.txt:2:3: unknown key 'JUMP'"},
    {good, "UP 5\n", "keys.txt:1:1: expected a tick count, got 'UP'"},
    {good, "# fine\n0 UP\n", "keys.txt:2:1: tick count must be 1 to 1000000, got '0'"},
    {good, "2000000 UP\n", "keys.txt:1:1: tick count must be 1 to 1000000, got '2000000'"},
    {good, "5 F12\n", "keys.txt:1:3: unknown key 'F12'"},
    {folder + "/nothing.map", "1\n", "nothing.map"},
    {damaged, "1\n", "short.map"},
  };
  for (const auto &c : cases) {
    sim_result r = run("", c.map, c.script);
    EXPECT_EQ(r.status, EXIT_BAD_INPUT) << c.message;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "") << c.message;
  }
}

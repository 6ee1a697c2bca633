// pilko-sim as level authors use it, without a display: a map and a key
// script in, the trajectory and events out.
#include <gtest/gtest.h>

#include "tests/update/play_maps.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace {

std::string read_all(const std::string &path)
{
  std::stringstream text;
  text << std::ifstream(path).rdbuf();
  return text.str();
}

class Simulator : public ::testing::Test {
protected:
  std::string folder = temp_folder(), out, err;

  void TearDown() override { std::system(("rm -rf '" + folder + "'").c_str()); }

  // Runs pilko-sim on the map and a script with this text; returns its exit status.
  int run(const std::string &options, const test_map &map, const std::string &script)
  {
    write_file(folder + "/level.map", map_bytes(map));
    std::ofstream(folder + "/keys.txt") << script;
    int status = std::system(("env -u DISPLAY " PILKO_SIM " " + options + " '" + folder + "/level.map' '" +
                              folder + "/keys.txt' >'" + folder + "/out' 2>'" + folder + "/err'").c_str());
    out = read_all(folder + "/out");
    err = read_all(folder + "/err");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
};

}  // namespace

TEST_F(Simulator, PrintsTheTrajectoryAndTheEnemiesTickByTick)
{
  test_map map = walled_level();
  map.drop_marker[10][10] = 0;
  map.enemies.push_back({10, 10, 1});
  EXPECT_EQ(run("--enemies", map, "1 UP\n1 LEFT\n"), 0) << err;
  EXPECT_EQ(out, "start at 4.000 4.000 0.000 heading 0 drops 1 enemies 1 lives 3\n"
                 "tick 1 at 4.150 4.000 0.000 heading 0 grounded\n"
                 "tick 1 enemy 0 at 20.200 20.000 0.000 direction 1\n"
                 "tick 2 at 4.150 4.000 0.000 heading 8 grounded\n"
                 "tick 2 enemy 0 at 20.400 20.000 0.000 direction 1\n"
                 "summary ticks 2 drops_left 1 lives 3 completed no\n");
}

TEST_F(Simulator, EventsOfDeathRevivalJumpLandingDropAndCompletion)
{
  test_map map = walled_level();
  map.kind[3][2] = TEST_KIND_LAVA;
  map.drop_marker[2][3] = 0;
  EXPECT_EQ(run("--events --require-complete", map, "# into the lava\n10 UP\n1 SPACE\n40\n11 left\n10 UP\n100\n"),
            0) << err;
  EXPECT_EQ(out, "start at 4.000 4.000 0.000 heading 0 drops 1 enemies 0 lives 3\n"
                 "tick 7 death hits 1\n"
                 "tick 11 revival lives 2\n"
                 "tick 11 jump\n"
                 "tick 45 land\n"
                 "tick 69 drop 2 3 left 0\n"
                 "tick 69 complete\n"
                 "tick 159 level-end\n"
                 "summary ticks 159 drops_left 0 lives 2 completed yes\n");
}
